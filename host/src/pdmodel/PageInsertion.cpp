// Copying pages of one document into another. The pages are copied with
// qpdf's foreign-object copier, which copies everything a page refers to
// except the page tree; what a page inherits through the tree is added to the
// copy, and links between the copied pages are pointed at the copies. The
// source document is read, never changed.
//
// qpdf's copier remembers, for as long as the target lives, what it copied
// from each source and hands that copy back when asked again, even after the
// copy was changed (a preview stamped) or the source was. So every insertion
// copies through a scratch document of its own: it starts from the source's
// pages as they are now, while what the pages of one insertion share stays
// shared.
#include "pdmodel/PageInsertion.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

#include "core/Raise.h"
#include "cos/CosCopy.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/DocumentChanges.h"

namespace qmhost::pdmodel {
namespace {

// Page attributes that a page may inherit from its ancestors in the page tree.
const char* const kInheritedKeys[] = {"/Resources", "/MediaBox", "/CropBox", "/Rotate"};
// Deeper page trees than this are taken as damaged (a /Parent loop).
constexpr int kMaxTreeDepth = 256;

// The value that page inherits under key from the nearest ancestor that has
// it; null when none has.
QPDFObjectHandle inheritedValue(QPDFObjectHandle page, const std::string& key) {
    QPDFObjectHandle node = page.getKey("/Parent");
    for (int depth = 0; node.isDictionary() && depth < kMaxTreeDepth; ++depth) {
        if (node.hasKey(key)) return node.getKey(key);
        node = node.getKey("/Parent");
    }
    return QPDFObjectHandle::newNull();
}

// A copy of page in scratch, with what it inherits.
QPDFObjectHandle copyPage(QPDF& scratch, QPDFObjectHandle page) {
    QPDFObjectHandle copy = scratch.copyForeignObject(page);
    for (const char* key : kInheritedKeys) {
        if (copy.hasKey(key) && !copy.getKey(key).isNull()) continue;
        QPDFObjectHandle value = inheritedValue(page, key);
        if (!value.isNull()) copy.replaceKey(key, cos::copyInto(scratch, value));
    }
    return copy;
}

// A document that nothing has been copied into or out of yet; its copies carry
// their stream data, so it may go as soon as they are copied on.
std::unique_ptr<QPDF> newScratch() {
    auto scratch = std::make_unique<QPDF>();
    scratch->emptyPDF();
    scratch->setImmediateCopyFrom(true);
    return scratch;
}

// Points a copied destination array at the copy of the page that the source
// array names, when that page was copied too.
void relinkDestination(QPDFObjectHandle source, QPDFObjectHandle copy,
                       const std::map<QPDFObjGen, QPDFObjectHandle>& copies) {
    if (!source.isArray() || !copy.isArray() || source.getArrayNItems() < 1 || copy.getArrayNItems() < 1)
        return;
    QPDFObjectHandle page = source.getArrayItem(0);
    if (!page.isIndirect()) return;
    const auto found = copies.find(page.getObjGen());
    if (found != copies.end()) copy.setArrayItem(0, found->second);
}

// The copier leaves a reference to a page that was not copied yet as null:
// links from one copied page to another are set here, once all are copied.
void relinkAnnotations(QPDFObjectHandle source, QPDFObjectHandle copy,
                       const std::map<QPDFObjGen, QPDFObjectHandle>& copies) {
    QPDFObjectHandle sourceAnnots = source.getKey("/Annots");
    QPDFObjectHandle copyAnnots = copy.getKey("/Annots");
    if (!sourceAnnots.isArray() || !copyAnnots.isArray()) return;
    const int n = std::min(sourceAnnots.getArrayNItems(), copyAnnots.getArrayNItems());
    for (int i = 0; i < n; ++i) {
        QPDFObjectHandle from = sourceAnnots.getArrayItem(i);
        QPDFObjectHandle to = copyAnnots.getArrayItem(i);
        if (!from.isDictionary() || !to.isDictionary()) continue;
        relinkDestination(from.getKey("/Dest"), to.getKey("/Dest"), copies);
        QPDFObjectHandle fromAction = from.getKey("/A");
        QPDFObjectHandle toAction = to.getKey("/A");
        if (fromAction.isDictionary() && toAction.isDictionary())
            relinkDestination(fromAction.getKey("/D"), toAction.getKey("/D"), copies);
    }
}

// The index in dest's page list before which the copies go.
size_t insertionIndex(int32_t afterPage, size_t pageCount, Document& document) {
    if (afterPage == kPDInsertAfterLastPage) return pageCount;
    if (afterPage == kPDInsertBeforeFirstPage) return 0;
    if (afterPage < 0 || static_cast<size_t>(afterPage) >= pageCount)
        raise(kHostErrBadIndex, "docInsertPages: no page " + std::to_string(afterPage) + " in " +
                                    document.displayName());
    return static_cast<size_t>(afterPage) + 1;
}

}  // namespace

void docInsertPages(PDDoc dest, int32_t afterPage, PDDoc source, int32_t firstPage, int32_t count) {
    Document& target = checkedDocument(dest, "docInsertPages");
    Document& from = checkedDocument(source, "docInsertPages");
    if (&target == &from) raise(kHostErrBadParameter, "docInsertPages: a document cannot take pages from itself");
    if (count < 0) raise(kHostErrBadParameter, "docInsertPages: negative page count");
    docGuarded("docInsertPages", target, [&] {
        const std::vector<QPDFObjectHandle> sourcePages = from.qpdf().getAllPages();
        const std::vector<QPDFObjectHandle> targetPages = target.qpdf().getAllPages();
        const auto available = static_cast<int64_t>(sourcePages.size());
        if (firstPage < 0 || int64_t{firstPage} + count > available)
            raise(kHostErrBadIndex, "docInsertPages: pages " + std::to_string(firstPage) + ".." +
                                        std::to_string(int64_t{firstPage} + count - 1) + " of " +
                                        from.displayName() + " (" + std::to_string(available) + " pages)");
        const size_t at = insertionIndex(afterPage, targetPages.size(), target);
        if (count == 0) return;
        const std::unique_ptr<QPDF> scratch = newScratch();
        std::map<QPDFObjGen, QPDFObjectHandle> copies;
        std::vector<QPDFObjectHandle> copied;
        for (int32_t i = 0; i < count; ++i) {
            QPDFObjectHandle page = sourcePages[static_cast<size_t>(firstPage + i)];
            copied.push_back(target.qpdf().copyForeignObject(copyPage(*scratch, page)));
            copies[page.getObjGen()] = copied.back();
        }
        for (int32_t i = 0; i < count; ++i)
            relinkAnnotations(sourcePages[static_cast<size_t>(firstPage + i)], copied[static_cast<size_t>(i)], copies);
        // Nothing enters the page tree until every page is copied.
        for (QPDFObjectHandle& copy : copied) {
            if (at < targetPages.size())
                target.qpdf().addPageAt(copy, true, targetPages[at]);
            else
                target.qpdf().addPage(copy, false);
        }
        noteDocumentChanged(target);
    });
}

}  // namespace qmhost::pdmodel
