// Creating and deleting pages, setting their boxes, finding a page's number and
// noting content changes. Pages are added and removed through qpdf's own page
// operations, so that qpdf's page list stays right.
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

#include "core/Raise.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/Destinations.h"
#include "pdmodel/DocumentChanges.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PageHandles.h"
#include "pdmodel/PdfValues.h"

namespace qmhost::pdmodel {
namespace {

int32_t pageCount(Document& document) {
    return static_cast<int32_t>(document.qpdf().getAllPages().size());
}

std::string rangeText(int32_t first, int32_t last, Document& document) {
    return "pages " + std::to_string(first) + ".." + std::to_string(last) + " of " + document.displayName() +
           " (" + std::to_string(pageCount(document)) + " pages)";
}

}  // namespace

PDPage docCreatePage(PDDoc doc, int32_t afterPage, const ASFixedRect* mediaBox) {
    if (!mediaBox) raise(kHostErrBadParameter, "docCreatePage: no media box");
    Document& document = checkedDocument(doc, "docCreatePage");
    return docGuarded("docCreatePage", document, [&] {
        QPDF& qpdf = document.qpdf();
        const std::vector<QPDFObjectHandle> pages = qpdf.getAllPages();
        if (afterPage < -1 || afterPage >= static_cast<int32_t>(pages.size()))
            raise(kHostErrBadIndex, "docCreatePage: no page " + std::to_string(afterPage) + " in " +
                                        document.displayName());
        QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
        page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
        page.replaceKey("/MediaBox", pdfRectangle(*mediaBox));
        page.replaceKey("/Resources", QPDFObjectHandle::newDictionary());
        page = qpdf.makeIndirectObject(page);
        if (afterPage == -1)
            qpdf.addPage(page, true);
        else
            qpdf.addPageAt(page, false, pages[static_cast<size_t>(afterPage)]);
        noteDocumentChanged(document);
        return acquirePageAt(document, afterPage + 1);
    });
}

void docDeletePages(PDDoc doc, int32_t firstPage, int32_t lastPage) {
    Document& document = checkedDocument(doc, "docDeletePages");
    docGuarded("docDeletePages", document, [&] {
        QPDF& qpdf = document.qpdf();
        const std::vector<QPDFObjectHandle> pages = qpdf.getAllPages();
        const int32_t count = static_cast<int32_t>(pages.size());
        // An empty range (last = first - 1, first up to count) deletes nothing, so
        // that "all pages" of a document without pages (0..-1) is no error.
        if (lastPage == firstPage - 1 && firstPage >= 0 && firstPage <= count) return;
        if (firstPage < 0 || lastPage < firstPage || lastPage >= count)
            raise(kHostErrBadIndex, "docDeletePages: " + rangeText(firstPage, lastPage, document));
        for (int32_t i = firstPage; i <= lastPage; ++i) qpdf.removePage(pages[static_cast<size_t>(i)]);
        noteDocumentChanged(document);
    });
}

void pageSetBox(PDPage page, const ASFixedRect* box) {
    if (!box) raise(kHostErrBadParameter, "pageSetBox: no box");
    Document& document = documentOfPage(page, "pageSetBox");
    QPDFObjectHandle object = pageObjectOf(page, "pageSetBox");
    docGuarded("pageSetBox", document, [&] {
        object.replaceKey("/MediaBox", pdfRectangle(*box));
        object.replaceKey("/CropBox", pdfRectangle(*box));
        noteDocumentChanged(document);
    });
}

int32_t docGetPageNumberOfCosObj(PDDoc doc, CosObj pageDict) {
    Document& document = checkedDocument(doc, "docGetPageNumberOfCosObj");
    if (isNullHandle(pageDict)) return -1;
    QPDFObjectHandle object;
    // A stale handle or one of another document is no page of this one (object
    // numbers of different documents may coincide).
    if (!findObject(pageDict, &object) || pageDict.a != document.serial()) return -1;
    return docGuarded("docGetPageNumberOfCosObj", document, [&]() -> int32_t {
        return pageNumberIn(document, object);
    });
}

void pageNotifyContentsDidChange(PDPage page) {
    noteDocumentChanged(documentOfPage(page, "pageNotifyContentsDidChange"));
}

}  // namespace qmhost::pdmodel
