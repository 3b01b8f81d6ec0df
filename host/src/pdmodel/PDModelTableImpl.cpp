// The "PDModel" table: documents over qpdf and their pages.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <qpdf/QPDF.hh>

#include "pdmodel/PDModelTableImpl.h"
#include "core/Raise.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/DocumentChanges.h"
#include "pdmodel/DocumentFiles.h"
#include "pdmodel/OpenWarnings.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PageGeometry.h"
#include "pdmodel/PageHandles.h"
#include "pdmodel/PageInsertion.h"
#include "pdmodel/SavePreparation.h"
#include "pdmodel/SaveWarnings.h"
#include "qmhost/PDModelTable.h"
#include "support/Paths.h"

namespace qmhost::pdmodel {
namespace {

PDDoc docOpen(ASPathName path) {
    const std::string text = pathOf(path);
    setLastOpenWarnings({});
    std::vector<std::string> warnings;
    std::unique_ptr<QPDF> qpdf = guarded("docOpen", [&] { return openPdfFile(text, &warnings); });
    std::string full = guarded("docOpen", [&] { return resolvedFilePath(text); });
    const PDDoc doc = registerDocument(std::move(qpdf), std::move(full)).pdDoc();
    setLastOpenWarnings(std::move(warnings));
    return doc;
}

PDDoc docCreate() {
    std::unique_ptr<QPDF> qpdf = guarded("docCreate", [] {
        auto made = std::make_unique<QPDF>();
        made->setSuppressWarnings(true);
        made->emptyPDF();
        return made;
    });
    return registerDocument(std::move(qpdf), std::string()).pdDoc();
}

void docSave(PDDoc doc, ASPathName path) {
    Document& document = checkedDocument(doc, "docSave");
    const std::string text = pathOf(path);
    setLastSaveWarnings({});
    std::vector<std::string> warnings;
    guarded("docSave", [&] {
        const SavePreparer prepare = savePreparer();
        std::unique_ptr<SavePreparation> preparation = prepare ? prepare(document.qpdf()) : nullptr;
        std::vector<std::string> written;
        writePdfFile(document.qpdf(), text, &written, document.writtenLinearized());
        if (preparation) warnings = preparation->warnings();
        warnings.insert(warnings.end(), written.begin(), written.end());
    });
    setLastSaveWarnings(std::move(warnings));
    // The file is written: a path that cannot be resolved now keeps the text given.
    std::string full = text;
    try {
        full = resolvedFilePath(text);
    } catch (const HostError&) {
    }
    document.setPath(std::move(full));
    noteDocumentSaved(document);
}

void docClose(PDDoc doc) {
    if (!doc) return;
    closeDocument(checkedDocument(doc, "docClose"));
}

int32_t docGetNumPages(PDDoc doc) {
    Document& document = checkedDocument(doc, "docGetNumPages");
    return docGuarded("docGetNumPages", document,
                      [&] { return static_cast<int32_t>(document.qpdf().getAllPages().size()); });
}

CosDoc docGetCosDoc(PDDoc doc) { return checkedDocument(doc, "docGetCosDoc").cosDoc(); }

ASPathName docAcquirePath(PDDoc doc) {
    Document& document = checkedDocument(doc, "docAcquirePath");
    if (!document.hasPath()) return nullptr;
    return guarded("docAcquirePath", [&] { return makePath(document.path()); });
}

PDPage docAcquirePage(PDDoc doc, int32_t pageNumber) {
    Document& document = checkedDocument(doc, "docAcquirePage");
    return docGuarded("docAcquirePage", document, [&] { return acquirePageAt(document, pageNumber); });
}

void pageAcquire(PDPage page) { acquirePage(page); }

void pageRelease(PDPage page) { releasePage(page); }

CosObj pageGetCosObj(PDPage page) {
    Document& document = documentOfPage(page, "pageGetCosObj");
    return docGuarded("pageGetCosObj", document,
                      [&] { return handleFor(document, pageObjectOf(page, "pageGetCosObj")); });
}

PDDoc pageGetDoc(PDPage page) { return documentOfPage(page, "pageGetDoc").pdDoc(); }

int32_t pageGetNumber(PDPage page) {
    Document& document = documentOfPage(page, "pageGetNumber");
    QPDFObjectHandle object = pageObjectOf(page, "pageGetNumber");
    return docGuarded("pageGetNumber", document, [&] {
        const auto& pages = document.qpdf().getAllPages();
        for (size_t i = 0; i < pages.size(); ++i)
            if (pages[i].getObjGen() == object.getObjGen()) return static_cast<int32_t>(i);
        raise(kHostErrNotFound, "pageGetNumber: the page is no longer in " + document.displayName());
    });
}

void pageGetBox(PDPage page, ASFixedRect* box) {
    if (!box) raise(kHostErrBadParameter, "pageGetBox: no rectangle");
    Document& document = documentOfPage(page, "pageGetBox");
    QPDFObjectHandle object = pageObjectOf(page, "pageGetBox");
    *box = docGuarded("pageGetBox", document, [&] { return displayedPageBox(std::move(object)); });
}

void pageGetDefaultMatrix(PDPage page, ASFixedMatrix* matrix) {
    if (!matrix) raise(kHostErrBadParameter, "pageGetDefaultMatrix: no matrix");
    Document& document = documentOfPage(page, "pageGetDefaultMatrix");
    QPDFObjectHandle object = pageObjectOf(page, "pageGetDefaultMatrix");
    *matrix = docGuarded("pageGetDefaultMatrix", document, [&] {
        const PageGeometry geometry = pageGeometry(std::move(object));
        return defaultPageMatrix(geometry.box, geometry.rotation);
    });
}

const PDModelTable kTable = {
    sizeof(PDModelTable),
    docOpen, docCreate, docSave, docClose, docGetNumPages, docGetCosDoc, docAcquirePath,
    docAcquirePage, pageAcquire, pageRelease, pageGetCosObj, pageGetDoc, pageGetNumber,
    pageGetBox, pageGetDefaultMatrix,
    docCreatePage, docDeletePages, pageSetBox, docGetPageNumberOfCosObj, pageNotifyContentsDidChange,
    pageAddResource, pageRemoveResource,
    docGetInfo, docSetInfo, docGetSecurityData, docGetSecurityHandlerName, docPermRequest,
    pageCreateAnnot, pageGetNumAnnots, pageGetAnnot, pageAddAnnot, pageGetAnnotIndex, pageRemoveAnnot,
    annotIsValid, annotGetSubtype, linkAnnotSetBorder, linkAnnotSetAction,
    actionNew, actionNewFromDest, actionNewFromFileSpec, actionIsValid, actionGetSubtype, actionGetDest,
    actionDestroy,
    destCreate, destResolve, destIsValid, destGetAttr,
    fileSpecNewFromPath, fileSpecIsValid, fileSpecGetText,
    nullptr,  // pageDrawContents: the render layer's
    docInsertPages,
    nullptr, nullptr, nullptr,  // image documents: the convert layer's
    docGetPermissions,
};

}  // namespace
}  // namespace qmhost::pdmodel

namespace qmhost {
const PDModelTable* documentModelTable() { return &pdmodel::kTable; }
}  // namespace qmhost
