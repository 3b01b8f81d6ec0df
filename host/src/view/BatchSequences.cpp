#include "view/BatchSequences.h"

#include <exception>
#include <filesystem>
#include <set>
#include <system_error>

#include "core/ExceptionTrap.h"
#include "core/ScopeGuard.h"
#include "core/CoreTableImpl.h"
#include "support/AppSupportTableImpl.h"
#include "cabinet/ASExtraTableImpl.h"
#include "pdmodel/PDModelTableImpl.h"
#include "core/Raise.h"
#include "pdmodel/SaveWarnings.h"
#include "view/Alerts.h"
#include "view/BatchCommands.h"
#include "view/DocumentOpen.h"
#include "view/Views.h"
#include "qmhost/ASExtraTable.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CoreTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace qmhost {
namespace fs = std::filesystem;

namespace {

// --- the progress monitor a command gets for each file

struct MonitorState {
    BatchProgress progress;
    bool begun = false;
    const std::function<void(const BatchProgress&)>* onProgress = nullptr;

    void changed() const {
        if (onProgress && *onProgress) (*onProgress)(progress);
    }
};

MonitorState& stateOf(void* clientData) { return *static_cast<MonitorState*>(clientData); }

void monitorBegin(void* data) {
    stateOf(data).begun = true;
    stateOf(data).changed();
}
void monitorEnd(void* data) {
    stateOf(data).begun = false;
    stateOf(data).changed();
}
void monitorSetDuration(int32_t duration, void* data) {
    stateOf(data).progress.duration = duration;
    stateOf(data).changed();
}
void monitorSetValue(int32_t value, void* data) {
    stateOf(data).progress.value = value;
    stateOf(data).changed();
}
int32_t monitorGetDuration(void* data) { return stateOf(data).progress.duration; }
int32_t monitorGetValue(void* data) { return stateOf(data).progress.value; }
void monitorSetText(ASText, void*) {}

ASProgressMonitorRec gMonitor = {sizeof(ASProgressMonitorRec), monitorBegin,       monitorEnd,
                                 monitorSetDuration,           monitorSetValue,    monitorGetDuration,
                                 monitorGetValue,              monitorSetText};

// --- files

// Whether the two paths name the same file (the same path, or the same file
// reached through a link).
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error) && !error) return true;
    std::error_code errorA, errorB;
    const fs::path canonicalA = fs::weakly_canonical(a, errorA);
    const fs::path canonicalB = fs::weakly_canonical(b, errorB);
    return !errorA && !errorB && canonicalA == canonicalB;
}

// The key under which the run remembers an output it wrote.
std::string outputKey(const std::string& output) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(output, error);
    return error ? output : canonical.string();
}

// A host path for the duration of one call.
class HostPathName {
public:
    explicit HostPathName(const std::string& text) : mPath(appSupportTable()->pathFromText(text.c_str())) {}
    ~HostPathName() { appSupportTable()->releasePath(mPath); }
    HostPathName(const HostPathName&) = delete;
    HostPathName& operator=(const HostPathName&) = delete;
    operator ASPathName() const { return mPath; }

private:
    ASPathName mPath;
};

// The document of one input with its view; the view is closed (without saving)
// when this goes.
class OpenFile {
public:
    explicit OpenFile(const std::string& path) {
        const PDDoc doc = openDocumentForUser(path, documentModelTable());
        {
            const auto closeOnFailure = onFailure([&] { documentModelTable()->docClose(doc); });
            mView = views().open(doc, fs::path(path).filename().string());
        }
        mDoc = doc;
    }
    // Closing cannot fail for a view this object opened; nothing to add.
    ~OpenFile() { trappedRun([&] { views().close(mView); }); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    PDDoc doc() const { return mDoc; }

private:
    AVDoc mView = nullptr;
    PDDoc mDoc = nullptr;
};

// --- the run

class SequenceRun {
public:
    explicit SequenceRun(const BatchSequenceRequest& request) : mRequest(request) {
        mMonitor.onProgress = &request.onProgress;
    }

    BatchSequenceResult run();

private:
    bool start();
    // False when the sequence is to end after this file.
    bool runFile(size_t index, BatchFileResult& file);
    // True when the command finished the document (done or ready); otherwise
    // the file's outcome and message say what happened.
    bool work(BatchFileResult& file);
    std::string refusedOutput(size_t index, const std::string& output) const;
    void finish();
    // Moves the warnings shown so far (when the alerts keep them) to the end of into.
    static void appendWarnings(std::vector<std::string>& into) {
        for (std::string& warning : alerts().takeWarnings()) into.push_back(std::move(warning));
    }
    bool failStart(const std::string& message) {
        mResult.message = message;
        return false;
    }

    const BatchSequenceRequest& mRequest;
    BatchSequenceResult mResult;
    AVCommand mCommand = nullptr;
    MonitorState mMonitor;
    CommandReportSink mReports;
    std::set<std::string> mOutputs;  // outputs of this run so far
};

BatchSequenceResult SequenceRun::run() {
    std::string failure;
    const bool ranThrough = trappedRun(
        [&] {
            mResult.started = start();
            if (!mResult.started) return;
            // Every file is named in the result, also those that a cancel or a
            // first error leaves unrun.
            mResult.files.resize(mRequest.inputs.size());
            for (size_t i = 0; i < mRequest.inputs.size(); ++i) mResult.files[i].input = mRequest.inputs[i];
            for (size_t i = 0; i < mRequest.inputs.size(); ++i) {
                const bool goOn = runFile(i, mResult.files[i]);
                const bool stopped = goOn && mRequest.stopRequested && mRequest.stopRequested();
                if (goOn && !stopped) continue;
                const char* why = stopped || mResult.files[i].outcome == BatchFileOutcome::Cancelled
                                      ? "the batch was cancelled before this file"
                                      : "the batch stopped at the first error";
                for (size_t rest = i + 1; rest < mRequest.inputs.size(); ++rest) mResult.files[rest].message = why;
                break;
            }
        },
        &failure);
    if (!ranThrough) mResult.message = "the batch sequence failed: " + failure;
    finish();
    appendWarnings(mResult.warnings);
    return mResult;
}

bool SequenceRun::start() {
    if (mRequest.outputFolder.empty()) return failStart("no output folder was given");
    std::error_code error;
    fs::create_directories(mRequest.outputFolder, error);
    if (error || !fs::is_directory(mRequest.outputFolder))
        return failStart("the output folder " + mRequest.outputFolder + " cannot be made: " + error.message());

    const ASAtom name = coreTable()->atomFromString(mRequest.commandName.c_str());
    if (!batchCommands().handler(name)) return failStart("no batch command \"" + mRequest.commandName + "\"");
    mCommand = batchCommands().newCommand(name);
    batchCommands().command(mCommand).sequenceFiles = mRequest.inputs;

    const ASCab props = asExtraTable()->cabNew();
    const ProcOutcome properties = batchCommands().getProps(mCommand, props);
    const bool canBatch = asExtraTable()->cabGetBool(props, "CanBatch", false);
    asExtraTable()->cabDestroy(props);
    if (!properties.ran || !properties.failure.empty() || !canBatch)
        return failStart("the command \"" + mRequest.commandName + "\" cannot run in a batch sequence");

    const ProcOutcome params = batchCommands().setParams(mCommand, mRequest.params);
    if (!params.ran || params.status != kAVCommandReady)
        return failStart("the command \"" + mRequest.commandName + "\" refused its parameters" +
                         (params.failure.empty() ? "" : ": " + params.failure));

    const ProcOutcome preflight = batchCommands().stepProc(mCommand, &AVCommandHandlerRec::preflightSequence);
    if (preflight.ran && preflight.status != kAVCommandReady)
        return failStart("the command \"" + mRequest.commandName + "\" refused the sequence" +
                         (preflight.failure.empty() ? "" : ": " + preflight.failure));
    return true;
}

std::string SequenceRun::refusedOutput(size_t index, const std::string& output) const {
    for (const std::string& input : mRequest.inputs)
        if (sameFile(output, input)) return "refused: the output " + output + " would replace an input";
    if (mOutputs.count(outputKey(output)))
        return "refused: another input of this sequence has the file name of " + mRequest.inputs[index];
    return {};
}

bool SequenceRun::runFile(size_t index, BatchFileResult& file) {
    file.output.clear();
    const std::string output = batchOutputPath(mRequest.outputFolder, file.input);
    if (std::string refusal = refusedOutput(index, output); !refusal.empty()) {
        file.outcome = BatchFileOutcome::Failed;
        file.message = refusal;
        return !mRequest.stopAtFirstError;
    }
    // What was shown before this file is not the file's; what its opening
    // shows (qpdf's repairs) is.
    appendWarnings(mResult.warnings);
    std::unique_ptr<OpenFile> open;
    std::string why;
    if (!trappedRun([&] { open = std::make_unique<OpenFile>(file.input); }, &why)) {
        file.outcome = BatchFileOutcome::Failed;
        // The host's message names the file already.
        file.message = why.find(file.input) == std::string::npos ? "cannot open " + file.input + ": " + why : why;
        appendWarnings(file.warnings);
        return !mRequest.stopAtFirstError;
    }

    CommandRecord& record = batchCommands().command(mCommand);
    record.document = open->doc();
    record.status = kAVCommandReady;
    record.monitor = &gMonitor;
    record.monitorData = &mMonitor;
    record.reports = &mReports;
    record.cursorPolicy = mRequest.cursorPolicy;
    mMonitor = MonitorState{BatchProgress{index, 0, 0}, false, &mRequest.onProgress};
    mReports.lines.clear();

    const bool done = work(file);
    file.progressEnded = !mMonitor.begun;
    if (done) {
        const bool saved = trappedRun(
            [&] {
                documentModelTable()->docSave(open->doc(), HostPathName(output));
                for (const std::string& warning : lastSaveWarnings()) mReports.lines.push_back("warning: " + warning);
                file.outcome = BatchFileOutcome::Saved;
                file.output = output;
                mOutputs.insert(outputKey(output));
            },
            &why);
        if (!saved) {
            file.outcome = BatchFileOutcome::Failed;
            file.message = "cannot save " + output + ": " + why;
        }
    }
    if (file.outcome != BatchFileOutcome::Cancelled) batchCommands().stepProc(mCommand, &AVCommandHandlerRec::reset);

    CommandRecord& after = batchCommands().command(mCommand);
    after.document = nullptr;
    after.monitor = nullptr;
    after.monitorData = nullptr;
    after.reports = nullptr;
    file.reports = mReports.lines;
    appendWarnings(file.warnings);
    open.reset();
    if (file.outcome == BatchFileOutcome::Cancelled) return false;
    return file.outcome == BatchFileOutcome::Saved || !mRequest.stopAtFirstError;
}

bool SequenceRun::work(BatchFileResult& file) {
    auto fail = [&](const std::string& message) {
        file.outcome = BatchFileOutcome::Failed;
        file.message = message;
        return false;
    };
    const ProcOutcome preflight = batchCommands().stepProc(mCommand, &AVCommandHandlerRec::preflightFile);
    if (preflight.ran && preflight.status != kAVCommandReady) {
        file.status = preflight.status;
        return fail("the command refused the file" + (preflight.failure.empty() ? "" : ": " + preflight.failure));
    }
    ProcOutcome step;
    for (;;) {
        if (mRequest.cancelRequested && mRequest.cancelRequested()) {
            step = batchCommands().stepProc(mCommand, &AVCommandHandlerRec::cancel);
            file.status = kAVCommandCancelled;
            file.outcome = BatchFileOutcome::Cancelled;
            return false;
        }
        step = batchCommands().stepProc(mCommand, &AVCommandHandlerRec::work);
        if (!step.ran) return fail("the command has no work procedure");
        ++file.workCalls;
        file.status = step.status;
        if (step.status != kAVCommandWorking) break;
    }
    batchCommands().stepProc(mCommand, &AVCommandHandlerRec::postflightFile);
    switch (step.status) {
        case kAVCommandReady:
        case kAVCommandDone:
            return true;
        case kAVCommandCancelled:
            file.outcome = BatchFileOutcome::Cancelled;
            file.message = "the command cancelled its work";
            return false;
        case kAVCommandInError:
            return fail(step.failure.empty() ? "the command reported an error"
                                             : "the command failed: " + step.failure);
        default:
            return fail("the command answered the unknown status " + std::to_string(step.status));
    }
}

void SequenceRun::finish() {
    if (!mCommand) return;
    std::string why;
    const bool ended = trappedRun(
        [&] {
            if (mResult.started) batchCommands().stepProc(mCommand, &AVCommandHandlerRec::postflightSequence);
            batchCommands().destroyCommand(mCommand);
        },
        &why);
    if (!ended && mResult.message.empty()) mResult.message = "ending the command failed: " + why;
    mCommand = nullptr;
}

}  // namespace

bool BatchSequenceResult::allSaved() const {
    if (!started) return false;
    for (const BatchFileResult& file : files)
        if (file.outcome != BatchFileOutcome::Saved) return false;
    return true;
}

std::string batchOutputPath(const std::string& outputFolder, const std::string& input) {
    return (fs::path(outputFolder) / fs::path(input).filename()).string();
}

BatchSequenceResult runBatchSequence(const BatchSequenceRequest& request) {
    return SequenceRun(request).run();
}

}  // namespace qmhost
