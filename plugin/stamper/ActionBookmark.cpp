#include "stamper/ActionBookmark.h"

#include <cstring>

#include "qmhost/PDModelTable.h"
#include "support/HostTables.h"

namespace {

ASAtom Atom(const char* inName) { return gCoreHFT->atomFromString(inName); }

bool IsDict(CosObj inObj) { return gCosHFT->objGetType(inObj) == CosDict; }

CosObj Root(PDDoc inDoc) { return gCosHFT->docGetRoot(gPDModelHFT->docGetCosDoc(inDoc)); }

}  // namespace

PDAction FirstBookmarkAction(PDDoc inDoc) {
    const PDAction none{gCosHFT->newNull()};
    const CosObj root = Root(inDoc);
    if (!IsDict(root)) return none;
    const CosObj outlines = gCosHFT->dictGet(root, Atom("Outlines"));
    if (!IsDict(outlines)) return none;
    const CosObj first = gCosHFT->dictGet(outlines, Atom("First"));
    if (!IsDict(first)) return none;
    const PDAction action{gCosHFT->dictGet(first, Atom("A"))};
    if (!IsDict(action.cos) || !gPDModelHFT->actionIsValid(action)) return none;
    return action;
}

void RemoveBookmarks(PDDoc inDoc) {
    const CosObj root = Root(inDoc);
    if (IsDict(root)) gCosHFT->dictRemove(root, Atom("Outlines"));
}

void SetActionBookmark(PDDoc inDoc, PDAction inAction) {
    RemoveBookmarks(inDoc);
    const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(inDoc);
    const CosObj outlines = gCosHFT->newDict(cosDoc, true, 4);
    const CosObj item = gCosHFT->newDict(cosDoc, true, 3);
    gCosHFT->dictPut(item, Atom("Title"),
                     gCosHFT->newString(cosDoc, false, kActionBookmarkTitle,
                                        static_cast<int32_t>(std::strlen(kActionBookmarkTitle))));
    gCosHFT->dictPut(item, Atom("Parent"), outlines);
    gCosHFT->dictPut(item, Atom("A"), inAction.cos);
    gCosHFT->dictPut(outlines, Atom("Type"), gCosHFT->newName(cosDoc, false, Atom("Outlines")));
    gCosHFT->dictPut(outlines, Atom("First"), item);
    gCosHFT->dictPut(outlines, Atom("Last"), item);
    gCosHFT->dictPut(outlines, Atom("Count"), gCosHFT->newInteger(cosDoc, false, 1));
    gCosHFT->dictPut(Root(inDoc), Atom("Outlines"), outlines);
}
