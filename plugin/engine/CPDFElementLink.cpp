// CPDFElement: the link annotation put over an element.
#include <algorithm>

#include "engine/CPDFAction.h"
#include "engine/CPDFElement.h"
#include "engine/CPDFElementUndoData.h"
#include "engine/EngineHostFrame.h"

using engine::HostFrame;

bool CPDFElement::AddLinkAnnot(const ASFixedRect& rect, PDPage page) {
    if (!mAction || !mAction->IsValid()) return false;
    PDAnnot annot{};
    int32_t pageIndex = -1;
    CosObj pageDict{};
    ASAtom annotsKey{};
    CosObj annotsBefore{};
    CosObj annotsAfter{};
    const bool added = HostFrame([&] {
        pageDict = gPDModelHFT->pageGetCosObj(page);
        annotsKey = engine::Atom("Annots");
        annotsBefore = gCosHFT->dictGet(pageDict, annotsKey);
        const ASFixedRect normalised{std::min(rect.left, rect.right), std::max(rect.top, rect.bottom),
                                     std::max(rect.left, rect.right), std::min(rect.top, rect.bottom)};
        annot = gPDModelHFT->pageCreateAnnot(page, engine::Atom("Link"), &normalised);
        PDLinkBorder border;
        mAction->GetBorder(border);
        gPDModelHFT->linkAnnotSetBorder(annot, &border);
        gPDModelHFT->linkAnnotSetAction(annot, mAction->GetAction());
        const int32_t count = gPDModelHFT->pageGetNumAnnots(page);
        // After the last existing annotation, so that it is the page's last.
        gPDModelHFT->pageAddAnnot(page, std::max(count - 1, 0), annot);
        pageIndex = gPDModelHFT->pageGetNumber(page);
        annotsAfter = gCosHFT->dictGet(pageDict, annotsKey);
    });
    if (!added) return false;
    // The array the host made for a page without annotations goes with the
    // last annotation taken back (recorded first, so undone after it).
    if (!gCosHFT->objEqual(annotsBefore, annotsAfter))
        RecordReplaced(pageDict, annotsKey, annotsBefore, annotsAfter);
    Record(pageIndex, kElementUndoAnnot, annot.cos, "", kElementUndoNameAnnot);
    return true;
}
