// The export operations of the image types' base: finding the image behind a
// page-content element.
#include "engine/CImageType.h"

#include "pagecontent/CPDEContent.h"
#include "pagecontent/CPDEForm.h"
#include "pagecontent/CPDEImageXObject.h"

bool CImageType::ExportElementImage(CPDEImageXObject& element) {
    PDEImage found = FindElementImage(element);
    if (!found) return false;
    CPDEImage image(found);
    WriteImageFile(element.GetAVDoc(), element.GetPageNumber(), image);
    return true;
}

PDEImage CImageType::FindElementImage(CPDEImageXObject& element) {
    if (element.IsForm()) return FindFormImage(element.GetHandle());
    return element.IsCosObj() ? element.GetHandle() : nullptr;
}

PDEImage CImageType::FindFormImage(PDEForm form) {
    CPDEContent content(CPDEForm(form, true).GetContent());
    for (int32_t i = 0; i < content.GetNumElems(); ++i) {
        CPDEImage element(content.GetElem(i));
        const int32_t type = element.GetType();
        if (type == kPDEImage && element.IsCosObj()) return element.GetHandle();
        if (type == kPDEForm)
            if (PDEImage inner = FindFormImage(element.GetHandle())) return inner;
    }
    return nullptr;
}
