#include "cli/MenuCommand.h"

#include <cstdio>

#include "app/HostSession.h"
#include "support/TerminalText.h"
#include "cli/ProfileMenu.h"
#include "view/MenuCommands.h"

namespace qmcli {

void PrintMenuModel() {
    const std::string text = qmhost::EscapeControlCharacters(qmhost::listMenuModel(), qmhost::LineBreaks::Keep);
    std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string RunMenuItemByName(const std::string& name) {
    const CommandRun run = RunMenuItem(name);
    PrintWarnings(run, "menu run " + name + ": ");
    return run.ok ? std::string() : DescribeFailure(run);
}

int RunMenuCommand(const GlobalOptions& options, const std::vector<std::string>& args) {
    const bool list = args.size() == 1 && args[0] == "list";
    const bool run = args.size() == 2 && args[0] == "run";
    if (!list && !run) {
        if (args.empty()) return UsageError("menu", "missing list or run NAME");
        if (args[0] == "run" && args.size() == 1) return UsageError("menu", "run: missing NAME");
        return UsageError("menu", "takes list or run NAME, not \"" + args[0] + (args.size() > 1 ? " ..." : "") + "\"");
    }
    qmhost::HostSession session(options);
    std::string error;
    if (!session.start(&error)) {
        PrintError(error);
        return kExitFailure;
    }
    if (list) {
        PrintMenuModel();
        return kExitOk;
    }
    error = RunMenuItemByName(args[1]);
    if (!error.empty()) {
        PrintError("menu: " + error);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace qmcli
