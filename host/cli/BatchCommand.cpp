#include "cli/BatchCommand.h"

#include <cstdio>
#include <filesystem>

#include "cabinet/CabinetHandles.h"
#include "cli/CommandArguments.h"
#include "app/HostSession.h"
#include "support/TerminalText.h"
#include "cli/Interrupt.h"
#include "cli/ProfileStore.h"
#include "app/BatchProgressBar.h"
#include "view/BatchSequences.h"

namespace qmcli {
namespace {

constexpr const char kBatchCommandName[] = "StamperCmd";

void report(const qmhost::BatchSequenceResult& result) {
    // Warnings fail nothing: a file that warned is saved and counts as done.
    // What was said about a file (qpdf's repairs while reading it, a stamp
    // that could not be made whole, a save that warned) is printed after its
    // name whatever became of it, file by file in the order given; only what
    // belongs to no file (the log that cannot be written) comes first.
    for (const std::string& warning : result.warnings) PrintError("batch: warning: " + warning);
    for (const qmhost::BatchFileResult& file : result.files) {
        for (const std::string& warning : file.warnings) PrintError("batch: " + file.input + ": warning: " + warning);
        for (const std::string& line : file.reports) PrintError("batch: " + file.input + ": " + line);
        if (file.outcome == qmhost::BatchFileOutcome::Saved) {
            std::printf("%s\n", qmhost::EscapeControlCharacters(file.output).c_str());
            continue;
        }
        const char* what = file.outcome == qmhost::BatchFileOutcome::Cancelled ? "cancelled"
                           : file.outcome == qmhost::BatchFileOutcome::NotRun  ? "not run"
                                                                               : "failed";
        PrintError("batch: " + file.input + ": " + what + (file.message.empty() ? "" : ": " + file.message));
    }
}

}  // namespace

int RunBatchCommand(const GlobalOptions& options, const CommandArguments& parsed) {
    const auto profileName = parsed.value({"--profile"});
    const auto outDir = parsed.value({"--out-dir"});
    if (!profileName) return UsageError("batch", "missing --profile NAME");
    if (!outDir || outDir->empty()) return UsageError("batch", "missing --out-dir DIR");
    if (parsed.positional().empty()) return UsageError("batch", "missing IN.pdf...");
    std::string error;
    const ProfileStore store(PluginFolder(options));
    std::unique_ptr<qmhost::Cabinet> profile = store.read(*profileName, &error);
    if (!profile) {
        PrintError("batch: " + error);
        return kExitFailure;
    }
    qmhost::HostSession session(options);
    if (!session.start(&error)) {
        PrintError(error);
        return kExitFailure;
    }
    const ASCab params = qmhost::adoptFreeCabinet(std::move(profile));
    qmhost::BatchSequenceRequest request;
    request.commandName = kBatchCommandName;
    request.params = params;
    request.inputs = parsed.positional();
    request.outputFolder = *outDir;
    // The first Ctrl-C stops the sequence after the file at hand.
    WatchForInterrupt();
    request.stopRequested = [] { return InterruptRequested(); };
    const qmhost::BatchSequenceResult result = qmhost::runBatchWithProgress(request);
    qmhost::releaseFreeCabinet(params);  // destroyed here, after the sequence let it go

    if (!result.started) {
        PrintError("batch: " + result.message);
        return kExitFailure;
    }
    report(result);
    if (InterruptRequested() && !result.allSaved()) return kExitInterrupted;
    return result.allSaved() ? kExitOk : kExitFailure;
}

}  // namespace qmcli
