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
#include "stamper/CStamperLog.h"
#include "stamper/RunWarnings.h"
#include "stamper/StampMessages.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
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
    // The host's reason for an action document that does not open goes into
    // the warning, not into the buffer that holds a failed run's message.
    const std::string buffered = GetErrorMessage();
    const ActionDocument actionDoc(GetCab());
    if (!actionDoc.Get()) {
        // No action at all is no link; an action document that cannot be
        // read is a link that cannot be made, which the user is told of.
        const std::string hostReason = GetErrorMessage();
        SetErrorMessage(buffered);
        int64_t size = 0;
        if (CCabinet(GetCab()).GetBinary(kKeyAction, &size) && size > 0)
            WarnLinkNotMade("its action document cannot be read" +
                            (hostReason != buffered && !hostReason.empty() ? ": " + hostReason : std::string()));
        return true;
    }
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
        SetErrorMessage(buffered);
        WarnLinkNotMade("its destination is not in this document");
        return true;
    }
    mElement->SetAction(mAction.get());
    return true;
}

void CStamp::WarnLinkNotMade(const std::string& inReason) {
    // A link that cannot be made leaves the stamp without it; the stamp is
    // still written and the run goes on, so this is a warning, not a failed
    // run (which would also keep the stamped document from being saved).
    mAction = nullptr;
    if (mNoLog) return;
    // A warning that cannot be given is no reason to stop the run.
    TrapRun([&] {
        const std::string text = "stamp \"" + GetName() + "\": " + StampMessageText(kStrBadAction) + " (" +
                                 inReason + "); the stamp is placed without its link";
        GetStamperLog().Printf("%s", text.c_str());
        WarnOncePerRun("link " + GetName(), text);
    });
}
