#include "stamper/BatchCommandState.h"

#include "qmhost/HostError.h"
#include "stamper/CStamp.h"
#include "stamper/HostServices.h"
#include "support/CallbackGuard.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"

namespace {

ASCallback& DestroyStampCallback() {
    static ASCallback callback = nullptr;
    return callback;
}

}  // namespace

void* GetCabPointer(ASCab inCab, const char* inKey, const char* inType) {
    return gASExtraHFT->cabGetPointer(inCab, inKey, inType);
}

void PutCabPointer(ASCab inCab, const char* inKey, const char* inType, void* inPointer,
                   ASCallback inDestroy) {
    gASExtraHFT->cabPutPointer(inCab, inKey, inType, inPointer, inDestroy);
}

CStamp* GetCabStampPointer(ASCab inCab, const char* inKey) {
    return static_cast<CStamp*>(GetCabPointer(inCab, inKey, kStampPointerType));
}

void PutCabStampPointer(ASCab inCab, const char* inKey, std::unique_ptr<CStamp> inStamp) {
    // The stamp stays ours until the cabinet has taken it.
    PutCabPointer(inCab, inKey, kStampPointerType, inStamp.get(), GetDestroyStampCallback());
    inStamp.release();
}

void DestroyStampPointerEntry(void* inStamp) {
    // Called by the host: nothing may cross back into it.
    TrapRun([&] { delete static_cast<CStamp*>(inStamp); });
}

ASCallback GetDestroyStampCallback() {
    ASCallback& callback = DestroyStampCallback();
    if (!callback)
        callback = gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(&DestroyStampPointerEntry));
    return callback;
}

void ForgetDestroyStampCallback() { DestroyStampCallback() = nullptr; }

ASAtom GetBatchCommandAtom() {
    static ASAtom atom = kASAtomNull;
    if (atom == kASAtomNull) atom = gCoreHFT->atomFromString("StamperCmd");
    return atom;
}

bool IsGlobalCommand(AVCommand inCommand) {
    return gAppViewHFT->commandGetName(inCommand) == GetBatchCommandAtom();
}

ASCab GetCommandState(AVCommand inCommand, bool inCreate) {
    return gAppViewHFT->commandGetCab(inCommand, kCommandStateCab, inCreate);
}

int32_t GetStateInt(ASCab inState, const char* inKey, int32_t inDefault) {
    return gASExtraHFT->cabGetInt(inState, inKey, inDefault);
}

void PutStateInt(ASCab inState, const char* inKey, int32_t inValue) {
    gASExtraHFT->cabPutInt(inState, inKey, inValue);
}

void RemoveStateKey(ASCab inState, const char* inKey) { gASExtraHFT->cabRemove(inState, inKey); }

void ShowBatchWaitCursor(ASCab inState) {
    PutCabPointer(inState, kStateCursor, kCursorPointerType, gAppViewHFT->cursorGetCurrent(), nullptr);
    gAppViewHFT->cursorSet(gAppViewHFT->cursorGetStandard(kAVCursorWait));
}

void RestoreBatchCursor(ASCab inState) {
    // The entry's presence says a cursor was kept: the host's default cursor is
    // kept as null and must be shown again too, or the wait cursor would stay.
    if (gASExtraHFT->cabGetType(inState, kStateCursor) != kASCabValuePointer) return;
    const auto kept = static_cast<AVCursor>(GetCabPointer(inState, kStateCursor, kCursorPointerType));
    RemoveStateKey(inState, kStateCursor);
    gAppViewHFT->cursorSet(kept);
}

void BeginBatchProgress(AVCommand inCommand, ASCab inState, int32_t inDuration) {
    void* data = nullptr;
    ASProgressMonitor monitor = gAppViewHFT->commandGetProgressMonitor(inCommand, &data);
    if (!monitor) return;
    monitor->beginOperation(data);
    PutStateInt(inState, kStateProgressBegun, 1);
    monitor->setDuration(inDuration, data);
    monitor->setCurrValue(0, data);
}

void SetBatchProgressValue(AVCommand inCommand, int32_t inValue) {
    void* data = nullptr;
    ASProgressMonitor monitor = gAppViewHFT->commandGetProgressMonitor(inCommand, &data);
    if (monitor) monitor->setCurrValue(inValue, data);
}

void EndBatchProgress(AVCommand inCommand, ASCab inState) {
    if (GetStateInt(inState, kStateProgressBegun, 0) == 0) return;
    RemoveStateKey(inState, kStateProgressBegun);
    void* data = nullptr;
    ASProgressMonitor monitor = gAppViewHFT->commandGetProgressMonitor(inCommand, &data);
    if (monitor) monitor->endOperation(data);
}

void ReportToCommand(AVCommand inCommand, int32_t inSeverity, int32_t inErrorCode,
                     const std::string& inMessage) noexcept {
    // A report that cannot be made is left out; the log has the message.
    TrapRun([&] {
        AVCommandReportProc report = gAppViewHFT->commandGetReportProc(inCommand);
        if (!report) return;
        const CHostText text(inMessage.empty() ? nullptr : CStringToASText(inMessage.c_str()));
        report(inSeverity, inErrorCode, text.Get(), nullptr, nullptr, inCommand);
    });
}
