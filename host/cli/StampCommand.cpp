#include "cli/StampCommand.h"

#include <cstdio>

#include "cli/CommandArguments.h"
#include "cli/FileIdentity.h"
#include "app/HostSession.h"
#include "support/TerminalText.h"
#include "cli/OpenDocuments.h"
#include "cli/ProfileMenu.h"

namespace qmcli {

int RunStampCommand(const GlobalOptions& options, const CommandArguments& parsed) {
    const auto profile = parsed.value({"--profile"});
    const auto output = parsed.value({"-o", "--output"});
    if (!profile || profile->empty()) return UsageError("stamp", "missing --profile NAME");
    if (!output) return UsageError("stamp", "missing -o OUT.pdf");
    if (parsed.positional().empty()) return UsageError("stamp", "missing IN.pdf");
    if (parsed.positional().size() > 1) return UsageError("stamp", "one IN.pdf only (batch stamps several)");
    const std::string& input = parsed.positional()[0];
    std::string error;
    // Checked before anything is loaded: the input is never written over.
    if (!CheckOutputPath(input, *output, &error)) {
        PrintError("stamp: " + error);
        return kExitFailure;
    }

    qmhost::HostSession session(options);
    if (!session.start(&error)) {
        PrintError(error);
        return kExitFailure;
    }
    OpenDocuments documents;
    if (!documents.open(input, &error)) {
        PrintError("stamp: " + error);
        return kExitFailure;
    }
    const CommandRun run = StampWithProfile(*profile);
    PrintWarnings(run, "stamp: " + input + ": ");
    if (run.noSuchProfile) {
        PrintError("stamp: " + run.message);
        return kExitFailure;
    }
    if (!run.ok) {
        PrintError("stamp: " + input + ": " + run.message);
        for (const std::string& alert : run.alerts) PrintError(alert);
        return kExitFailure;
    }
    if (!documents.saveActive(*output, &error)) {
        PrintError("stamp: " + error);
        return kExitFailure;
    }
    std::printf("%s\n", qmhost::EscapeControlCharacters(*output).c_str());
    return kExitOk;
}

}  // namespace qmcli
