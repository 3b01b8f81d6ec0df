// The batch command's work: one page of one stamp per call.
//
// Mended here, against the letter of the protocol this command follows:
// - the run counters are set for a document before its first stamp is built,
//   so the stamp's file name, path, page count and document information are
//   those of the document being stamped, not of the one before;
// - every terminal answer (done or error) ends the progress, shows the kept
//   cursor again and deletes the stamp in hand, instead of leaving them to a
//   later cancel or reset; a default cursor kept as null is shown again too;
// - a later stamp that does not build ends the document with an error (not
//   "done" and string 26), stamps of kinds this version cannot apply are
//   skipped as in the interactive run, and an empty profile is done, not an
//   error;
// - a document starts at the first stamp even when the host did not reset the
//   command after the document before;
// - a stamp built with a failure (a font or link action that could not be
//   made) still stamps, but the document's log ends with string 27 and the
//   report procedure gets a warning;
// - the parameters made for a command without any are destroyed after the call;
// - the batch total is the pages of the sequence's documents, not of the PDF
//   files that happen to lie in the first document's folder;
// - the warnings given once per run are given once per document;
// - a document whose security settings forbid stamping fails untouched, as
//   the interactive run refuses it.
#include "stamper/StamperBatchWork.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CPDFDocument.h"
#include "qmhost/HostError.h"
#include "stamper/BatchCommandState.h"
#include "stamper/CCabinet.h"
#include "stamper/CStamp.h"
#include "stamper/CStamperLog.h"
#include "stamper/RunWarnings.h"
#include "stamper/StampKeys.h"
#include "stamper/StampKinds.h"
#include "stamper/StampMessages.h"
#include "stamper/StampRunCounters.h"
#include "stamper/StampingPermission.h"
#include "stamper/StamperBatchCommand.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"

namespace {

const std::string kRunRule(74, '-');

void LogLine(const std::string& inText) { GetStamperLog().Printf("%s", inText.c_str()); }

void LogOutcome(bool inSucceeded) {
    LogLine("");
    LogLine(kRunRule);
    LogLine(StampMessageText(inSucceeded ? kStrRunComplete : kStrRunFailed));
    LogLine(kRunRule);
}

struct Failure {
    std::string message;
    int32_t hostCode = 0;  // the host's code when a host error is the cause
};

// What the exception being handled says (the run's failure text when it
// says nothing). Call only inside a catch block.
Failure CurrentFailure() {
    Failure failure;
    failure.message = DescribeCurrentException(&failure.hostCode);
    // The host's text goes into the error buffer, as for any host failure.
    if (failure.hostCode != 0) TakeHostError(HostError(failure.hostCode, failure.message));
    if (failure.message.empty()) failure.message = StampMessageText(kStrRunFailed);
    return failure;
}

int32_t PageCountOf(PDDoc inDoc) { return gPDModelHFT->docGetNumPages(inDoc); }

// Ends what the document's work began; each part on its own, so that one
// failure does not keep the others from running.
void EndDocument(AVCommand inCommand, ASCab inState) noexcept {
    if (!inState) return;
    TrapRun([&] { EndBatchProgress(inCommand, inState); });
    TrapRun([&] { RemoveStateKey(inState, kStateStampObject); });
    TrapRun([&] { RestoreBatchCursor(inState); });
}

// The document failed: its message (unless already logged), string 27 and the
// report procedure. kAVCommandInError.
AVCommandStatus FailDocument(AVCommand inCommand, ASCab inState, const Failure& inFailure,
                             bool inLogMessage) noexcept {
    TrapRun([&] {
        if (inLogMessage && !inFailure.message.empty()) LogLine(inFailure.message);
        LogOutcome(false);
    });
    // A host error is reported by its code (its text is the host's); any other
    // failure by its message.
    ReportToCommand(inCommand, kAVCommandReportError, inFailure.hostCode,
                    inFailure.hostCode ? std::string() : inFailure.message);
    EndDocument(inCommand, inState);
    return kAVCommandInError;
}

// The document is finished: its pages count for the batch numbers that follow.
AVCommandStatus FinishDocument(AVCommand inCommand, ASCab inState) {
    EndDocument(inCommand, inState);
    GetStampRunCounters().FinishBatchDocument();
    const bool stampFailed = GetStateInt(inState, kStateStampFailed, 0) != 0;
    RemoveStateKey(inState, kStateStampFailed);
    LogOutcome(!stampFailed);
    return kAVCommandDone;
}

// Moves to the next stamp; answers the status to give when the document ends
// here, or kAVCommandWorking when a stamp is in hand.
AVCommandStatus AdvanceStamp(AVCommand inCommand, ASCab inParams, ASCab inState, PDDoc inDoc) {
    // The stamp in hand is done with this document.
    if (CStamp* done = GetCabStampPointer(inState, kStateStampObject)) done->WarnOfPagesOffPage();
    std::string message;
    switch (NextBatchStamp(inParams, inState, inDoc, message)) {
        case NextStamp::kBuilt:
            if (!message.empty()) {
                PutStateInt(inState, kStateStampFailed, 1);
                ReportToCommand(inCommand, kAVCommandReportWarning, 0, message);
            }
            return kAVCommandWorking;
        case NextStamp::kNone: return FinishDocument(inCommand, inState);
        case NextStamp::kFailed: break;
    }
    return FailDocument(inCommand, inState, Failure{message, 0}, false);
}

// The first call for a document; kAVCommandWorking to go on with its first page.
AVCommandStatus StartDocument(AVCommand inCommand, ASCab inParams, ASCab inState, PDDoc inDoc,
                              bool inGlobal) {
    RemoveStateKey(inState, kStateStampObject);
    RemoveStateKey(inState, kStateStampFailed);
    // Each document's stamps warn of what they meet in it, not only the first
    // document's.
    BeginRunWarnings();
    PutStateInt(inState, kStateCurrentStamp, 0);
    PutStateInt(inState, kStateCurrentPage, 0);
    BeginBatchProgress(inCommand, inState, inGlobal ? CountBatchTotalPages(inCommand, inParams, inDoc) : PageCountOf(inDoc));
    if (gAppViewHFT->commandGetCursorPolicy(inCommand) != 0) ShowBatchWaitCursor(inState);
    if (!inGlobal) return kAVCommandWorking;
    ClearErrorMessage();
    LogLine(kRunRule);
    char path[kFileSpecCapacity];
    GetDocFileName(inDoc, path, sizeof path, true, true);
    GetStamperLog().Printf("正在处理文件：   %s", path);
    // A document whose security settings forbid stamping fails, untouched;
    // the sequence goes on with the next.
    if (const std::string forbidden = StampingForbiddenReason(inDoc); !forbidden.empty()) {
        const std::string refusal = StampingRefusal("", forbidden);
        SetErrorMessage(refusal);
        return FailDocument(inCommand, inState, Failure{refusal, 0}, true);
    }
    WarnIfSigned(inDoc);
    CPDFDocument(inDoc).WrapAllPageContents();
    return AdvanceStamp(inCommand, inParams, inState, inDoc);
}

// Stamps the page in hand; false when the stamp failed (its message is logged).
bool StampCurrentPage(ASCab inState, PDDoc inDoc, int32_t inPage, std::string& outMessage) {
    CStamp* stamp = GetCabStampPointer(inState, kStateStampObject);
    if (!stamp || !stamp->IsPageInRange(inPage)) return true;
    StampRunCounters& counters = GetStampRunCounters();
    if (counters.firstStampedPage < 0) counters.firstStampedPage = inPage;
    if (stamp->ApplyToPage(inDoc, inPage)) return true;
    outMessage = stamp->GetMessage();
    return false;
}

}  // namespace

AVCommandStatus BatchWork(AVCommand inCommand) {
    ASCab state = nullptr;
    std::unique_ptr<CCabinet> params;
    // Whatever escapes fails the document with what it says.
    return TrapFailure(
        [&]() -> AVCommandStatus {
            if (const ASCab given = gAppViewHFT->commandGetCab(inCommand, kParamsCab, false))
                params = std::make_unique<CCabinet>(given);
            else
                params = std::make_unique<CCabinet>();  // empty, destroyed after this call
            const PDDoc doc = gAppViewHFT->commandGetPDDoc(inCommand);
            state = GetCommandState(inCommand, true);
            if (!doc) return FailDocument(inCommand, state, Failure{"no document to stamp", 0}, true);
            const bool global = IsGlobalCommand(inCommand);
            if (gAppViewHFT->commandGetStatus(inCommand) == kAVCommandReady) {
                const AVCommandStatus started = StartDocument(inCommand, params->GetCab(), state, doc, global);
                if (started != kAVCommandWorking) return started;
            }

            int32_t page = GetStateInt(state, kStateCurrentPage, 0);
            std::string message;
            if (global && !StampCurrentPage(state, doc, page, message))
                return FailDocument(inCommand, state, Failure{message, 0}, false);

            page += 1;
            SetBatchProgressValue(inCommand, page);
            if (global) {
                if (page < PageCountOf(doc)) {
                    PutStateInt(state, kStateCurrentPage, page);
                    return kAVCommandWorking;
                }
                return AdvanceStamp(inCommand, params->GetCab(), state, doc);
            }
            return FinishDocument(inCommand, state);
        },
        [&] { return FailDocument(inCommand, state, CurrentFailure(), true); });
}

NextStamp NextBatchStamp(ASCab inParams, ASCab ioState, PDDoc inDoc, std::string& outMessage) {
    outMessage.clear();
    RemoveStateKey(ioState, kStateStampObject);
    const int32_t count = gASExtraHFT->cabGetInt(inParams, kKeyNumberOfStamps, 0);
    for (int32_t i = GetStateInt(ioState, kStateCurrentStamp, 0); i < count; ++i) {
        PutStateInt(ioState, kStateCurrentStamp, i + 1);
        const std::string key = StampCabinetKey(i);
        const ASCab stampCab = gASExtraHFT->cabGetCab(inParams, key.c_str());
        if (!stampCab) {
            outMessage = MissingStampMessage("", key);
            LogLine(outMessage);
            SetErrorMessage(outMessage);
            return NextStamp::kFailed;
        }
        std::unique_ptr<CStamp> stamp = MakeStampForCabinet(stampCab);
        if (!stamp) continue;
        PutStateInt(ioState, kStateCurrentPage, 0);
        // Before Build: the text the stamp shows is expanded for this document.
        GetStampRunCounters().StartBatchDocument(inDoc, PageCountOf(inDoc));
        stamp->SetInteractive(false);
        stamp->SetNoLog(false);
        CStamp* built = stamp.get();
        PutCabStampPointer(ioState, kStateStampObject, std::move(stamp));
        const bool clean = built->Build(inDoc);
        if (!built->IsBuilt()) {
            outMessage = built->GetMessage();
            RemoveStateKey(ioState, kStateStampObject);
            return NextStamp::kFailed;
        }
        if (!clean) outMessage = built->GetMessage();
        return NextStamp::kBuilt;
    }
    return NextStamp::kNone;
}

int32_t CountBatchTotalPages(AVCommand inCommand, ASCab inParams, PDDoc inDoc) {
    const int32_t pages = PageCountOf(inDoc);
    StampRunCounters& counters = GetStampRunCounters();
    if (counters.batchTotalPages != 0) return pages;
    const int32_t count = gASExtraHFT->cabGetInt(inParams, kKeyNumberOfStamps, 0);
    for (int32_t i = 0; i < count; ++i) {
        const ASCab stampCab = gASExtraHFT->cabGetCab(inParams, StampCabinetKey(i).c_str());
        if (!stampCab || gASExtraHFT->cabGetInt(stampCab, kKeyStampType, kStampTypeText) != kStampTypeText)
            continue;
        const char* text = gASExtraHFT->cabGetString(stampCab, kKeyText);
        const std::string_view view = text ? text : "";
        if (view.find("$BatchTotalPages") != std::string_view::npos ||
            view.find("$BatesTotalPages") != std::string_view::npos) {
            counters.batchTotalPages = CountSequencePages(inCommand, inDoc);
            break;
        }
    }
    return pages;
}

int32_t CountSequencePages(AVCommand inCommand, PDDoc inDoc) {
    return TrapOr(0, [&] {
        if (!TableHasMember(gAppViewHFT, &AppViewTable::commandGetSequenceFile)) return PageCountOf(inDoc);
        int64_t total = 0;
        int32_t index = 0;
        for (std::string path;; ++index) {
            const int32_t length = gAppViewHFT->commandGetSequenceFile(inCommand, index, nullptr, 0);
            if (length < 0) break;
            path.assign(static_cast<size_t>(length) + 1, '\0');
            gAppViewHFT->commandGetSequenceFile(inCommand, index, path.data(), length + 1);
            path.resize(static_cast<size_t>(length));
            CPDFDocument document;
            if (document.Open(path.c_str())) total += document.GetPageCount();
            document.Close();
        }
        // A command that runs outside a sequence has this document alone.
        if (index == 0) return PageCountOf(inDoc);
        return static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));
    });
}

AVCommandStatus BatchStop(AVCommand inCommand, AVCommandStatus inStatus) noexcept {
    return TrapFailure([&] {
        const ASCab state = GetCommandState(inCommand, false);
        if (state) {
            EndDocument(inCommand, state);
            if (IsGlobalCommand(inCommand)) PutStateInt(state, kStateCurrentPage, 0);
            gAppViewHFT->commandPutCab(inCommand, kCommandStateCab, nullptr);
        }
        return inStatus;
    }, [] {
        TrapRun([] { LogLine(CurrentFailure().message); });
        return kAVCommandInError;
    });
}
