#include "pdmodel/PageHandles.h"

#include <string>

#include "core/Raise.h"

namespace qmhost {
namespace {

uint64_t pageValue(PDPage page) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(page)); }
uint32_t serialOf(PDPage page) { return static_cast<uint32_t>(pageValue(page) >> 32); }
uint32_t slotOf(PDPage page) { return static_cast<uint32_t>(pageValue(page) & 0xFFFFFFFFu) - 1; }

// The document of a held page, or null.
Document* heldPageDocument(PDPage page) {
    if ((pageValue(page) & 0xFFFFFFFFu) == 0) return nullptr;
    Document* document = documentOf(reinterpret_cast<PDDoc>(static_cast<uintptr_t>(serialOf(page))));
    if (!document || !document->pageHeld(slotOf(page))) return nullptr;
    return document;
}

}  // namespace

PDPage acquirePageAt(Document& document, int32_t index) {
    const auto& pages = document.qpdf().getAllPages();
    if (index < 0 || static_cast<size_t>(index) >= pages.size())
        raise(kHostErrBadIndex, "no page " + std::to_string(index) + " in " + document.displayName() +
                                    " (" + std::to_string(pages.size()) + " pages)");
    const uint32_t slot = document.objects().slotFor(pages[static_cast<size_t>(index)]);
    document.addPageRef(slot);
    const uint64_t value = (static_cast<uint64_t>(document.serial()) << 32) | (uint64_t{slot} + 1);
    return reinterpret_cast<PDPage>(static_cast<uintptr_t>(value));
}

void acquirePage(PDPage page) {
    Document& document = documentOfPage(page, "pageAcquire");
    document.addPageRef(slotOf(page));
}

void releasePage(PDPage page) {
    if (Document* document = heldPageDocument(page)) document->dropPageRef(slotOf(page));
}

Document& documentOfPage(PDPage page, const char* op) {
    Document* document = heldPageDocument(page);
    if (!document)
        raise(kHostErrBadHandle, std::string(op) + ": unknown, released or closed page " +
                                     std::to_string(pageValue(page)));
    return *document;
}

QPDFObjectHandle pageObjectOf(PDPage page, const char* op) {
    return documentOfPage(page, op).objects().at(slotOf(page));
}

}  // namespace qmhost
