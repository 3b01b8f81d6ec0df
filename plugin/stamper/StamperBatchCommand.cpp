// Registration of the batch command and its procedures other than the work
// itself (StamperBatchWork.cpp).
#include "stamper/StamperBatchCommand.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "qmhost/HostError.h"
#include "stamper/BatchCommandState.h"
#include "stamper/CStamperLog.h"
#include "stamper/RunWarnings.h"
#include "stamper/HostServices.h"
#include "stamper/StampRunCounters.h"
#include "stamper/StamperBatchWork.h"
#include "support/CallbackGuard.h"
#include "support/HostHandle.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"

namespace {

AVCommandHandlerRec* gHandlerRecord = nullptr;

BatchDialogRunner& DialogRunner() {
    static BatchDialogRunner runner;
    return runner;
}

// Batch procedures show nothing: a failure goes to the log only.
void LogFailure(const char* inWhere) noexcept {
    const std::string why = DescribeCurrentException();
    TrapRun([&] {
        if (why.empty())
            GetStamperLog().Printf("%s failed", inWhere);
        else
            GetStamperLog().Printf("%s: %s", inWhere, why.c_str());
    });
}

// The one callback guard, reporting to the log.
template <class... Args>
auto Guarded(const char* inWhere, Args&&... inArgs) noexcept {
    return GuardCallback(inWhere, std::forward<Args>(inArgs)..., LogFailure);
}

bool HostOffersBatchCommands() {
    // The batch members end with the cursors: a table that reaches them has them all.
    return gASExtraHFT && gCoreHFT && gAppSupportHFT &&
           TableHasMember(gAppViewHFT, &AppViewTable::registerCommandHandler) &&
           TableReaches(gAppViewHFT, &AppViewTable::cursorGetStandard);
}

template <class P>
ASCallback Callback(P inProcedure) {
    return gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(inProcedure));
}

// Puts the text under the key; the cabinet takes the host text.
void PutText(ASCab ioCab, const char* inKey, const char* inText) {
    CHostText text(CStringToASText(inText));
    gASExtraHFT->cabPutText(ioCab, inKey, text.Get());
    text.Take();
}

// Gives the cabinet to the command under the name; destroyed when refused.
void PutCommandCab(AVCommand inCommand, const char* inName, ASCab inCab) {
    CHostCab cab(inCab);
    gAppViewHFT->commandPutCab(inCommand, inName, cab.Get());
    cab.Take();
}

void PutSubCab(ASCab ioCab, const char* inKey, ASCab inSub) {
    CHostCab sub(inSub);
    gASExtraHFT->cabPutCab(ioCab, inKey, sub.Get());
    sub.Take();
}

// The description of the parameters as a property: a duplicate of the
// command's, which is made (empty) and kept when it has none.
ASCab DuplicateParamsDesc(AVCommand inCommand) {
    ASCab desc = gAppViewHFT->commandGetCab(inCommand, kParamsDescCab, false);
    if (!desc) {
        const ASCab made = gASExtraHFT->cabNew();
        PutCommandCab(inCommand, kParamsDescCab, made);
        desc = made;
    }
    return gASExtraHFT->cabDup(desc);
}

}  // namespace

bool RegisterBatchCommand() {
    if (!HostOffersBatchCommands()) return false;
    return TrapFailure(
        [&] {
            if (!gHandlerRecord) {
                void* block = gAppSupportHFT->memMalloc(sizeof(AVCommandHandlerRec));
                if (!block) return false;
                std::memset(block, 0, sizeof(AVCommandHandlerRec));
                gHandlerRecord = static_cast<AVCommandHandlerRec*>(block);
            }
            AVCommandHandlerRec& record = *gHandlerRecord;
            record.size = sizeof(AVCommandHandlerRec);
            record.initialize = Callback(&BatchInitialize);
            record.terminate = Callback(&BatchTerminate);
            record.registerCommands = Callback(&BatchRegisterCommands);
            record.created = Callback(&BatchCreated);
            record.setParams = Callback(&BatchSetParams);
            record.getParams = Callback(&BatchGetParams);
            record.getProps = Callback(&BatchGetProps);
            record.showDialog = Callback(&BatchShowDialog);
            record.work = Callback(&BatchWork);
            record.cancel = Callback(&BatchCancel);
            record.reset = Callback(&BatchReset);
            record.preflightSequence = Callback(&BatchPreflightSequence);
            return gAppViewHFT->registerCommandHandler(GetBatchCommandAtom(), &record);
        },
        [] {
            CurrentErrorCode(kErrNoMemory);  // a host error leaves its text in the buffer
            return false;
        });
}

void FreeBatchCommandRecord() {
    if (gHandlerRecord && gAppSupportHFT) gAppSupportHFT->memFree(gHandlerRecord);
    gHandlerRecord = nullptr;
    ForgetDestroyStampCallback();
}

void SetBatchDialogRunner(BatchDialogRunner inRunner) { DialogRunner() = std::move(inRunner); }

bool BatchInitialize(ASAtom) { return true; }

void BatchTerminate(ASAtom) {}

void BatchRegisterCommands(ASAtom) {
    Guarded("BatchRegisterCommands", [] {
        const ASAtom name = GetBatchCommandAtom();
        if (gAppViewHFT->commandFindGlobal(name)) return;
        gAppViewHFT->commandRegisterGlobal(gAppViewHFT->commandNew(name));
    });
}

void BatchCreated(AVCommand inCommand) {
    Guarded("BatchCreated", [&] {
        const CHostCab empty(gASExtraHFT->cabNew());
        gAppViewHFT->commandSetParams(inCommand, empty.Get());
    });
}

AVCommandStatus BatchSetParams(AVCommand inCommand, ASCab inParams) {
    return Guarded("BatchSetParams", kAVCommandInError, [&] {
        PutCommandCab(inCommand, kParamsCab, gASExtraHFT->cabDup(inParams));
        gAppViewHFT->commandPutCab(inCommand, kParamsDescCab, nullptr);
        return kAVCommandReady;
    });
}

void BatchGetParams(AVCommand inCommand, ASCab ioParams) {
    Guarded("BatchGetParams", [&] {
        gASExtraHFT->cabMakeEmpty(ioParams);
        gASExtraHFT->cabCopy(gAppViewHFT->commandGetCab(inCommand, kParamsCab, true), ioParams);
    });
}

void BatchGetProps(AVCommand inCommand, ASCab ioProps) {
    Guarded("BatchGetProps", [&] {
        const bool all = gASExtraHFT->cabNumEntries(ioProps) == 0;
        auto wanted = [&](const char* key) { return all || gASExtraHFT->cabKnown(ioProps, key); };
        const bool global = IsGlobalCommand(inCommand);
        if (wanted("GroupTitle")) PutText(ioProps, "GroupTitle", "Quillmark Commands");
        if (wanted("CanBatch")) gASExtraHFT->cabPutBool(ioProps, "CanBatch", true);
        if (wanted("CanDescribeParams")) gASExtraHFT->cabPutBool(ioProps, "CanDescribeParams", global);
        if (wanted("CanShowDialog")) gASExtraHFT->cabPutBool(ioProps, "CanShowDialog", global);
        if (global && wanted("GenericTitle")) PutText(ioProps, "GenericTitle", "Stamp Document");
        if (wanted("Title")) PutText(ioProps, "Title", "Title");
        if (wanted("ParamsDesc")) PutSubCab(ioProps, "ParamsDesc", DuplicateParamsDesc(inCommand));
    });
}

AVCommandStatus BatchShowDialog(AVCommand inCommand) {
    return Guarded("BatchShowDialog", kAVCommandInError, [&] {
        const CHostCab params(gASExtraHFT->cabNew());
        gAppViewHFT->commandGetParams(inCommand, params.Get());
        if (IsGlobalCommand(inCommand) && DialogRunner() && DialogRunner()(params.Get()))
            gAppViewHFT->commandSetParams(inCommand, params.Get());
        return kAVCommandReady;
    });
}

AVCommandStatus BatchPreflightSequence(AVCommand inCommand) {
    return Guarded("BatchPreflightSequence", kAVCommandInError, [&] {
        const ASCab state = GetCommandState(inCommand, true);
        CStamperLog& log = GetStamperLog();
        log.Printf("%s", "");
        log.Printf("%s", "");
        log.Printf("%s", kStamperLogRule);
        log.WriteDateLine();
        log.Printf("%s", "Batch sequence");
        BeginRunWarnings();
        if (IsGlobalCommand(inCommand)) {
            PutStateInt(state, kStateCurrentStamp, 0);
            PutStateInt(state, kStateCurrentPage, 0);
            GetStampRunCounters().StartBatchSequence();
        }
        return kAVCommandReady;
    });
}

AVCommandStatus BatchCancel(AVCommand inCommand) { return BatchStop(inCommand, kAVCommandCancelled); }

AVCommandStatus BatchReset(AVCommand inCommand) { return BatchStop(inCommand, kAVCommandReady); }
