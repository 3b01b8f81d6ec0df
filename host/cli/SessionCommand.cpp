#include "cli/SessionCommand.h"

#include <cstdio>
#include <iostream>

#include "app/HostSession.h"
#include "support/TerminalText.h"
#include "cli/MenuCommand.h"
#include "cli/OpenDocuments.h"
#include "cli/ProfileMenu.h"
#include "view/FileShowing.h"

namespace qmcli {
namespace {

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

class Session {
public:
    // Answers "" for ok, else the error; sets *quit for quit.
    std::string execute(const std::string& word, const std::string& rest, bool* quit) {
        std::string error;
        if (word == "quit" || word == "exit") {
            *quit = true;
            return "";
        }
        if (word == "open") {
            if (rest.empty()) return "open needs a file";
            mDocuments.open(rest, &error);
            return error;
        }
        if (word == "stamp") {
            if (rest.empty()) return "stamp needs a profile name";
            const CommandRun run = StampWithProfile(rest);
            // A run that only warned stamped: "ok", and its warnings on standard error.
            PrintWarnings(run, "session: stamp " + rest + ": ");
            return run.ok ? "" : DescribeFailure(run);
        }
        if (word == "undo" && rest.empty()) {
            const CommandRun run = UndoLastRun();
            PrintWarnings(run, "session: undo: ");
            return run.ok ? "" : DescribeFailure(run);
        }
        if (word == "save") {
            if (rest.empty()) return "save needs a file";
            mDocuments.saveActive(rest, &error);
            return error;
        }
        if (word == "close" && rest.empty()) {
            mDocuments.closeActive(&error);
            return error;
        }
        if (word == "menu" && rest == "list") {
            std::fflush(stdout);
            PrintMenuModel();
            return "";
        }
        if (word == "menu" && rest.rfind("run ", 0) == 0) return RunMenuItemByName(trimmed(rest.substr(4)));
        return "unknown command \"" + word + (rest.empty() ? "" : " " + rest) +
               "\" (open, stamp, undo, save, close, menu list, menu run, quit)";
    }

private:
    OpenDocuments mDocuments;
};

}  // namespace

int RunSessionCommand(const GlobalOptions& options, const std::vector<std::string>& args) {
    if (!args.empty()) return UsageError("session", "takes no arguments (its commands come on standard input)");
    qmhost::HostSession host(options);
    std::string error;
    if (!host.start(&error)) {
        PrintError(error);
        return kExitFailure;
    }
    // Standard output carries the answers only: a file the plug-in shows is
    // named on standard error.
    qmhost::setFileShower([](const std::string& path) { PrintError("showing " + path); });
    Session session;
    bool allOk = true;
    bool quit = false;
    std::string line;
    while (!quit && std::getline(std::cin, line)) {
        const std::string command = trimmed(line);
        if (command.empty() || command[0] == '#') continue;
        const size_t blank = command.find_first_of(" \t");
        const std::string word = command.substr(0, blank);
        const std::string rest = blank == std::string::npos ? "" : trimmed(command.substr(blank));
        const std::string answer = session.execute(word, rest, &quit);
        if (answer.empty()) {
            std::printf("ok\n");
        } else {
            // One line per answer: line breaks inside a message become blanks.
            std::string oneLine = answer;
            for (char& c : oneLine)
                if (c == '\n' || c == '\r') c = ' ';
            std::printf("error: %s\n", qmhost::EscapeControlCharacters(oneLine).c_str());
            allOk = false;
        }
        std::fflush(stdout);
    }
    return allOk ? kExitOk : kExitFailure;
}

}  // namespace qmcli
