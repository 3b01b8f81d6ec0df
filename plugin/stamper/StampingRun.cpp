#include "stamper/StampingRun.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>

#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoController.h"
#include "qmhost/HostError.h"
#include "stamper/CCabinet.h"
#include "stamper/CStamp.h"
#include "stamper/CStamperLog.h"
#include "stamper/RunWarnings.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/StampKeys.h"
#include "stamper/StampKinds.h"
#include "stamper/StampMessages.h"
#include "stamper/StampRunCounters.h"
#include "stamper/StampingPermission.h"
#include "support/Alerts.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/io/UserCancel.h"
#include "support/ScopeGuard.h"
#include "support/TableMembers.h"

namespace {

// The rule that frames a run's lines in the log: 74 "-".
const std::string kRunRule(74, '-');

// Thrown once the reason a run stops is in the log and the error buffer.
struct RunStopped {};

void LogLine(const std::string& inText) { GetStamperLog().Printf("%s", inText.c_str()); }

// Logs the message, puts it into the error buffer and stops the run.
[[noreturn]] void StopRun(const std::string& inMessage) {
    LogLine(inMessage);
    SetErrorMessage(inMessage);
    throw RunStopped{};
}

void LogRunHeader(CProfileFile& ioProfile, PDDoc inDoc) {
    LogLine("");
    LogLine("");
    LogLine(kStamperLogRule);
    GetStamperLog().WriteDateLine();
    GetStamperLog().Printf("正在处理描述文件：  %s", ioProfile.GetProfileName());
    char path[kFileSpecCapacity];
    GetDocFileName(inDoc, path, sizeof path, true, true);
    GetStamperLog().Printf("正在处理文件：   %s", path);
    LogLine(kRunRule);
}

void LogRunOutcome(bool inSucceeded) {
    LogLine("");
    LogLine(StampMessageText(inSucceeded ? kStrRunComplete : kStrRunFailed));
    LogLine(kRunRule);
}

// The message of a profile that cannot be read: the host's text, which names
// the file unless it only says what is wrong inside it.
std::string UnreadableProfileMessage(const CProfileFile& inProfile) {
    const std::string host = HasErrorMessage() ? GetErrorMessage() : "";
    const std::string path = inProfile.GetPath();
    if (!host.empty() && host.find(path) != std::string::npos) return host;
    return host.empty() ? path : path + ": " + host;
}

// Empties the view's undo stack, so that Undo takes back this run only, then
// wraps every page's existing content so that it keeps its graphics state to
// itself; Undo takes the pair back with the run's stamps.
void StartUndoableRun(PDDoc inDoc) {
    const AVDoc view = CallHost([&] { return gAppViewHFT->pdDocGetAVDoc(inDoc); });
    if (view) CPDFElementUndoController::ClearElementUndo(view);
    CPDFDocument document(inDoc);
    document.SetAVDoc(view);
    document.WrapAllPageContents(true);
}

int32_t PageCountOf(PDDoc inDoc) {
    return CallHost([&] { return gPDModelHFT->docGetNumPages(inDoc); });
}

// Applies stamp inIndex of the profile cabinet; throws RunStopped when the run
// must end. Answers the stamp's result (true for a stamp that is skipped).
bool ApplyStampAt(ASCab inProfile, int32_t inIndex, CProfileFile& ioProfile, PDDoc inDoc,
                  bool inInteractive) {
    const std::string key = StampCabinetKey(inIndex);
    const ASCab stampCab = CallHost([&] { return gASExtraHFT->cabGetCab(inProfile, key.c_str()); });
    if (!stampCab)
        StopRun(MissingStampMessage(ioProfile.GetProfileName(), key));
    const std::unique_ptr<CStamp> stamp = MakeStampForCabinet(stampCab);
    bool result = true;
    if (stamp) {
        result = stamp->Apply(inDoc, inInteractive);
        // Its message is in the log and the error buffer already.
        if (!stamp->IsBuilt()) throw RunStopped{};
    }
    if (inInteractive && IsUserCancelled()) StopRun(StampMessageText(kStrUserStopped));
    return result;
}

void ApplyStamps(const CCabinet& inProfile, CProfileFile& ioProfile, PDDoc inDoc, bool inInteractive,
                 bool& ioResult) {
    const int32_t count =
        CallHost([&] { return gASExtraHFT->cabGetInt(inProfile.GetCab(), kKeyNumberOfStamps, 0); });
    const int64_t duration = int64_t{std::max(count, 0)} * PageCountOf(inDoc);
    RunProgressScope progress(GetWaitCursor(), static_cast<int32_t>(std::min<int64_t>(duration, INT32_MAX)));
    for (int32_t i = 0; i < count; ++i)
        ioResult = ApplyStampAt(inProfile.GetCab(), i, ioProfile, inDoc, inInteractive) && ioResult;
}

bool WriteToNewFile() {
    CStamperPreferences* preferences = GetStamperPreferences();
    return preferences && preferences->GetWriteToNewFile();
}

bool HostCanInsertPages() {
    return TableHasMember(gPDModelHFT, &PDModelTable::docInsertPages);
}

// A new untitled document holding a copy of every page of inSource, opened in
// a view (which then owns it); null when any step fails.
PDDoc NewDocumentWithPagesOf(PDDoc inSource) {
    if (!HostCanInsertPages()) return nullptr;
    return TrapFailure(
        [&] {
            const PDDoc made = gPDModelHFT->docCreate();
            // Closed again unless the view takes it.
            const auto closeOnFailure = OnFailure([&] { gPDModelHFT->docClose(made); });
            gPDModelHFT->docInsertPages(made, kPDInsertAfterLastPage, inSource, 0,
                                        gPDModelHFT->docGetNumPages(inSource));
            gAppViewHFT->avDocOpenFromPDDoc(made, nullptr);
            return made;
        },
        []() -> PDDoc {
            // A host error leaves its text in the buffer; out of memory while
            // copying makes no new document either.
            CurrentErrorCode(kErrNoMemory);
            return nullptr;
        });
}

}  // namespace

bool CanStampActiveDocument() {
    if (!gAppViewHFT) return false;
    try {
        const AVDoc view = gAppViewHFT->getActiveDoc();
        const PDDoc doc = view ? gAppViewHFT->avDocGetPDDoc(view) : nullptr;
        return doc && StampingForbiddenReason(doc).empty();
    } catch (const HostError&) {
        return false;
    }
}

bool ApplyProfileToDocument(CProfileFile& ioProfile, PDDoc inDoc, bool inInteractive) {
    ClearErrorMessage();
    bool result = true;
    TrapFailure(
        [&] {
            try {
                CCabinet profile;
                const bool read = profile.ReadFromFile(ioProfile);
                if (inInteractive) StartUndoableRun(inDoc);
                LogRunHeader(ioProfile, inDoc);
                if (!read) StopRun(UnreadableProfileMessage(ioProfile));
                ApplyStamps(profile, ioProfile, inDoc, inInteractive, result);
            } catch (const RunStopped&) {
                // The reason is in the log and the buffer already.
                result = false;
            }
        },
        [&] {
            // A host failure has put its text into the buffer; anything else gets
            // the run's own failure text.
            if (!HasErrorMessage()) SetErrorMessage(StampMessageText(kStrRunFailed));
            result = false;
        });
    LogRunOutcome(result);
    return result;
}

bool StampActiveDocument(CProfileFile& ioProfile) {
    ClearErrorMessage();
    if (!gAppViewHFT || !gPDModelHFT || !gASExtraHFT) return false;
    PDDoc active = nullptr;
    try {
        const AVDoc view = gAppViewHFT->getActiveDoc();
        active = view ? gAppViewHFT->avDocGetPDDoc(view) : nullptr;
    } catch (const HostError& error) {
        // The host could not name the document to stamp: the run never
        // starts, and the user is told so rather than left to think it stamped.
        TakeHostError(error);
        ShowErrorMessage();
        return false;
    }
    if (!active) return false;
    // Refused before anything is made: a new document of 'WTNF' would carry
    // the pages out of their protection.
    if (const std::string forbidden = StampingForbiddenReason(active); !forbidden.empty()) {
        SetErrorMessage(StampingRefusal(ioProfile.GetProfileName(), forbidden));
        ShowErrorMessage();
        return false;
    }
    SetUserCancelled(false);
    BeginRunWarnings();
    PDDoc target = active;
    if (WriteToNewFile()) {
        target = NewDocumentWithPagesOf(active);
        if (!target) {
            const std::string message = StampMessageText(kStrNewDocumentFailed);
            SetErrorMessage(message);
            ShowAlert(message.c_str());
            return false;
        }
    }
    const bool stamped = TrapFailure(
        [&] {
            // A new document of the pages carries no form, so no signature.
            WarnIfSigned(target);
            GetStampRunCounters().StartSingleDocument(target, PageCountOf(target));
            return ApplyProfileToDocument(ioProfile, target, true);
        },
        [] {
            if (!HasErrorMessage()) SetErrorMessage(StampMessageText(kStrRunFailed));
            return false;
        });
    if (stamped) return true;
    ShowErrorMessage();
    return false;
}

bool StampActiveDocumentWithProfile(const char* inName) {
    ClearErrorMessage();
    TFileSpecifier path;
    if (!CProfileFile::MakeProfilePath(inName, path)) {
        SetErrorMessage(std::string("描述文件名称无效：") + (inName ? inName : ""));
        return false;
    }
    CProfileFile profile(path.GetPath());
    return StampActiveDocument(profile);
}
