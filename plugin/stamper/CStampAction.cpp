// The link action of a stamp: "kActionC" holds a small PDF document whose first
// top-level bookmark carries the action; the action is copied into the target
// document and its go-to destination resolved there.
#include <exception>

#include "engine/CPDFAction.h"
#include "engine/CPDFElement.h"
#include "stamper/ActionBookmark.h"
#include "qmhost/HostError.h"
#include "stamper/CCabinet.h"
#include "stamper/CStamp.h"
#include "stamper/StampKeys.h"
#include "stamper/StampMessages.h"
#include "support/ErrorCode.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

ASAtom Atom(const char* inName) { return gCoreHFT->atomFromString(inName); }

bool IsDict(CosObj inObj) { return gCosHFT->objGetType(inObj) == CosDict; }

// The action document and its temporary file, closed and deleted when this goes.
class ActionDocument {
public:
    explicit ActionDocument(ASCab inCab) : mDoc(CCabinet(inCab).GetEmbeddedDocument(kKeyAction, mFile)) {}
    ~ActionDocument() {
        if (mDoc) {
            try {
                gPDModelHFT->docClose(mDoc);
            } catch (const HostError&) {
            }
        }
        if (!mFile.IsEmpty()) DeleteFileSpec(mFile);
    }
    ActionDocument(const ActionDocument&) = delete;
    ActionDocument& operator=(const ActionDocument&) = delete;
    PDDoc Get() const { return mDoc; }

private:
    TFileSpecifier mFile;
    PDDoc mDoc;
};

// A destination that names a page of the action document by its dictionary
// would lose that page in the copy (pages are never copied between documents):
// the page becomes its number, which the target document resolves. The action
// document is a private copy, closed without saving.
void PageToNumber(PDDoc inDoc, PDAction inAction) {
    const CosObj dest = gCosHFT->dictGet(inAction.cos, Atom("D"));
    if (gCosHFT->objGetType(dest) != CosArray || gCosHFT->arrayLength(dest) < 1) return;
    const CosObj page = gCosHFT->arrayGet(dest, 0);
    if (!IsDict(page)) return;
    const int32_t number = gPDModelHFT->docGetPageNumberOfCosObj(inDoc, page);
    if (number < 0) return;
    const CosObj index = gCosHFT->newInteger(gCosHFT->objGetDoc(dest), false, number);
    gCosHFT->arrayPut(dest, 0, index);
}

}  // namespace

bool CStamp::BuildAction(PDDoc inDoc) {
    const ActionDocument actionDoc(GetCab());
    if (!actionDoc.Get()) return true;
    mAction = std::make_unique<CPDFAction>();
    mAction->SetDocument(inDoc);
    bool resolved = false;
    try {
        CallHost([&] {
            const PDAction source = FirstBookmarkAction(actionDoc.Get());
            // No bookmark or no action: the stamp simply has no link.
            if (gCosHFT->objGetType(source.cos) == CosNull) {
                resolved = true;
                return;
            }
            PageToNumber(actionDoc.Get(), source);
            const CosObj copy = gCosHFT->objCopy(source.cos, gPDModelHFT->docGetCosDoc(inDoc));
            mAction->SetAction(PDAction{copy});
        });
        if (resolved) return true;
        resolved = mAction->ResolveGoTo();
    } catch (ErrorCode) {
        // A damaged action document is an action that cannot be set.
        resolved = false;
    }
    if (!resolved) {
        SetMessage(kStrBadAction);
        ReportMessage();
        return false;
    }
    mElement->SetAction(mAction.get());
    return true;
}
