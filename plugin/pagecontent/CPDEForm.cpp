#include "pagecontent/CPDEForm.h"

#include "pagecontent/CPDEContent.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/cos/CCosStream.h"
#include "support/cos/PDFAtoms.h"

CPDEForm::CPDEForm(CosObj form, CosObj resources, const ASFixedMatrix& matrix) { Create(form, resources, matrix); }

void CPDEForm::Create(CosObj form, CosObj resources, const ASFixedMatrix& matrix) {
    TakeMade(CallHost([&] { return gPDFEditWriteHFT->formCreateFromCosObj(&form, &resources, &matrix); }));
}

void CPDEForm::GetCosObj(CosObj& out) {
    out = CosObj{0, 0};
    out = CallHost([&] { return gPDFEditReadHFT->formGetCosObj(mHandle); });
}

PDEContent CPDEForm::GetContent() { return CallHost([&] { return gPDFEditWriteHFT->formGetContent(mHandle); }); }

bool CPDEForm::IsPlainForm() {
    CPDEContent content(GetContent());
    if (content.GetNumElems() != 1) return true;
    CPDEElement only(content.GetElem(0), true);
    const int32_t type = only.GetType();
    if (type == kPDEImage) return false;
    if (type == kPDEForm) return CPDEForm(only.GetHandle(), true).IsPlainForm();
    return true;
}

namespace {
// The walk of FindImage and FindImageOwner: what the last image or form element
// of the content gives; an image gives itself, or with owner the form holding it.
PDEElement findImageWalk(CPDEForm& form, bool owner) {
    CPDEContent content(form.GetContent());
    PDEElement found = nullptr;
    for (int32_t i = 0; i < content.GetNumElems(); ++i) {
        CPDEElement element(content.GetElem(i), true);
        const int32_t type = element.GetType();
        if (type == kPDEImage) {
            found = owner ? form.GetHandle() : element.GetHandle();
        } else if (type == kPDEForm) {
            CPDEForm nested(element.GetHandle(), true);
            found = findImageWalk(nested, owner);
        }
    }
    return found;
}
}  // namespace

PDEImage CPDEForm::FindImage() { return findImageWalk(*this, false); }

PDEForm CPDEForm::FindImageOwner() { return findImageWalk(*this, true); }

void CPDEForm::DumpFormContents(const char* path, AVDoc view, FILE* out) {
    if (!view) view = CallHost([] { return gAppViewHFT->getActiveDoc(); });
    const CosDoc doc = CallHost([&] { return gPDModelHFT->docGetCosDoc(gAppViewHFT->avDocGetPDDoc(view)); });
    FILE* file = out;
    if (!file) {
        file = path ? std::fopen(path, "w") : nullptr;
        if (!file) return;
    }
    struct Closer {
        FILE* file;
        bool own;
        ~Closer() {
            if (own) std::fclose(file);
        }
    } closer{file, out == nullptr};

    CosObj object;
    GetCosObj(object);
    CCosStream stream(doc, object);
    // /Name is optional (and obsolete): a form without one is headed with an empty name.
    CCosDict* attributes = stream.GetAttributesDict();
    const ASAtom name = attributes->HasKey(gAtomName) ? attributes->GetName(gAtomName, true) : kASAtomNull;
    const char* text = name == kASAtomNull ? "" : CallHost([&] { return gCoreHFT->atomGetString(name); });
    std::fprintf(file, "STARTING FORM (%s):\n\n", text ? text : "");
    stream.OpenStream(2);
    char buffer[1024];
    for (;;) {
        const int32_t n = stream.GetStream().Read(buffer, 1, sizeof buffer);
        if (n < 1) break;
        std::fwrite(buffer, 1, static_cast<size_t>(n), file);
    }
    stream.CloseStream();
    CPDEContent content(GetContent());
    for (int32_t i = 0; i < content.GetNumElems(); ++i) {
        CPDEElement element(content.GetElem(i), true);
        if (element.GetType() == kPDEForm) CPDEForm(element.GetHandle(), true).DumpFormContents(path, view, file);
    }
}
