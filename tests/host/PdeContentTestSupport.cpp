#include "PdeContentTestSupport.h"

#include "pde/PageContentTables.h"

namespace pdetest {

const PagePDEContentTable& loans() {
    qmhost::registerHostTables();  // hands the loans their access to pages
    return *qmhost::pagePDEContentTable();
}

std::vector<int32_t> elementTypes(PDEContent content) {
    std::vector<int32_t> types;
    for (int32_t i = 0; i < rd().contentGetNumElems(content); ++i)
        types.push_back(rd().objectGetType(rd().contentGetElem(content, i)));
    return types;
}

LentPage::LentPage(PDDoc doc, int32_t index) : mPage(pdm().docAcquirePage(doc, index)) {
    mContent = loans().pageAcquirePDEContent(mPage, testExtension());
}

LentPage::~LentPage() {
    loans().pageReleasePDEContent(mPage, testExtension());
    pdm().pageRelease(mPage);
}

void saveDoc(PDDoc doc, const std::string& path) {
    qmtest::HostPath target(path);
    pdm().docSave(doc, target);
}

}  // namespace pdetest
