#include "stamper/UndoCommand.h"

#include <memory>

#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFElementUndoData.h"
#include "stamper/StampingRun.h"
#include "stamper/StamperMenuSupport.h"
#include "support/Alerts.h"
#include "support/av/CAVMenu.h"
#include "support/CallbackGuard.h"
#include "support/HostTables.h"
#include "support/ResourceStrings.h"

namespace {

// One record's undo: false when it fails or throws, so that a broken record
// counts as a failure and the records after it are still taken back.
bool UndoOne(CUndoManagerData& inRecord) {
    return TrapOr(false, [&] {
        auto* element = dynamic_cast<CPDFElementUndoData*>(&inRecord);
        return element && element->Undo();
    });
}

}  // namespace

bool UndoElementRecords(AVDoc inView) {
    const int32_t count = CPDFElementUndoController::CountElementUndoRecords(inView);
    bool allSucceeded = true;
    ProgressBegin(GetWaitCursor(), count);
    // A failure is reported like a failed record; the stack is still emptied.
    const bool ranThrough = TrapRun([&] {
        // Bounded by the count at the start, so no record can keep the loop going.
        for (int32_t left = count; left > 0; --left) {
            CUndoManagerData* popped = nullptr;
            if (!CPDFElementUndoController::PopElementUndoRecord(inView, popped) || !popped) break;
            std::unique_ptr<CUndoManagerData> record(popped);  // deleted after use
            allSucceeded = UndoOne(*record) && allSucceeded;
            ProgressAdvance(1);
        }
    });
    allSucceeded = ranThrough && allSucceeded;
    ProgressEnd();
    CPDFElementUndoController::ClearElementUndo(inView);
    return allSucceeded;
}

CUndoMenuItem::CUndoMenuItem(AVMenu inParent) {
    Create(MenuTitle(kStrUndo).c_str(), "VELM:SUndo", 0, 0, nullptr, 0, nullptr);
    CAVMenu(inParent).AddMenuItem(GetMenuItem(), kAVMenuAppend);
}

CUndoMenuItem::~CUndoMenuItem() { TakeOutOfMenu(*this); }

bool CUndoMenuItem::ComputeEnabled() {
    if (!CanStampActiveDocument()) return false;
    const AVDoc view = gAppViewHFT->getActiveDoc();
    return view && CPDFElementUndoController::CanUndoElements(view);
}

void CUndoMenuItem::Execute() {
    if (!ComputeEnabled()) return;
    if (!UndoElementRecords(gAppViewHFT->getActiveDoc())) ShowAlert(LoadResString(kStrUndoFailed));
}
