// quillmark: the command-line host. It loads the Quillmark plug-in from a
// plug-ins folder and drives it without a display, through the host's menus,
// views, batch sequences and files. This file only dispatches to the commands.
#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "cli/BatchCommand.h"
#include "cli/GlobalOptions.h"
#include "cli/InfoCommand.h"
#include "cli/LogCommand.h"
#include "cli/MenuCommand.h"
#include "cli/PrefsCommand.h"
#include "cli/ProfileCommand.h"
#include "cli/SessionCommand.h"
#include "cli/StampCommand.h"
#include "cli/VersionCommand.h"

namespace {

const char* kUsage =
    "usage: quillmark [--plugin-dir DIR] [--host-version N] COMMAND ...\n"
    "\n"
    "  stamp --profile NAME IN.pdf -o OUT.pdf\n"
    "                      stamp IN with a profile and save the result to OUT\n"
    "  batch --profile NAME --out-dir DIR IN.pdf...\n"
    "                      stamp the files as one batch sequence (Bates numbers go on\n"
    "                      from file to file); outputs in DIR under the inputs' names\n"
    "  session             commands on standard input, one per line: open FILE,\n"
    "                      stamp NAME, undo, save FILE, close, menu list, menu run NAME,\n"
    "                      quit; each answers \"ok\" or \"error: ...\"\n"
    "  profile list | show NAME | import FILE.json [--name NAME] |\n"
    "          export NAME [-o FILE.json] | delete NAME\n"
    "                      the profiles, as JSON documents of the stamp keys\n"
    "  prefs get [TAG] | prefs set TAG VALUE\n"
    "                      the plug-in's settings: WTNF, EnLo, IPRo, PrPr (true/false),\n"
    "                      BFLe, URNu, PPNu (numbers)\n"
    "  log show | log clear the plug-in's log (written while EnLo is on)\n"
    "  menu list | menu run NAME\n"
    "                      the menus and what the plug-in put there; run an item\n"
    "  info FILE.pdf       page count and page boxes\n"
    "\n"
    "  --version           load the plug-in and print its name and version\n"
    "  --plugin-dir DIR    the plug-ins folder, where the plug-in keeps its settings,\n"
    "                      log and profiles (default: a per-user folder into which\n"
    "                      the bundled plug-in is installed on first run)\n"
    "  --host-version N    the host's major version (8 by default; 5 for the older road)\n"
    "\n"
    "Exit status: 0 done, 1 failed (the reason on standard error), 2 wrong usage.\n";

struct CommandLine {
    qmcli::GlobalOptions options;
    bool version = false;
    bool help = false;
    std::vector<std::string> words;  // the command and its arguments
};

bool parseHostVersion(const std::string& text, int* out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < 1 || value > 99) return false;
    *out = static_cast<int>(value);
    return true;
}

// The global options may stand anywhere; everything else is the command's.
bool parse(int argc, char** argv, CommandLine* line, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version") {
            line->version = true;
        } else if (arg == "--help" || arg == "-h") {
            line->help = true;
        } else if (arg == "--plugin-dir" || arg == "--host-version") {
            if (++i >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            if (arg == "--plugin-dir") {
                line->options.pluginDir = argv[i];
            } else if (!parseHostVersion(argv[i], &line->options.hostVersion)) {
                *error = std::string("--host-version takes a number from 1 to 99, not \"") + argv[i] + "\"";
                return false;
            }
        } else {
            line->words.push_back(arg);
        }
    }
    return true;
}

using Command = int (*)(const qmcli::GlobalOptions&, const std::vector<std::string>&);

int runInfo(const qmcli::GlobalOptions&, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        qmcli::PrintError("info: usage: quillmark info FILE.pdf");
        return qmcli::kExitUsage;
    }
    return qmcli::RunInfo(args[0]);
}

const std::map<std::string, Command> kCommands = {
    {"stamp", qmcli::RunStampCommand},     {"batch", qmcli::RunBatchCommand},
    {"session", qmcli::RunSessionCommand}, {"profile", qmcli::RunProfileCommand},
    {"prefs", qmcli::RunPrefsCommand},     {"log", qmcli::RunLogCommand},
    {"menu", qmcli::RunMenuCommand},       {"info", runInfo},
};

}  // namespace

int main(int argc, char** argv) {
    // The event loop's owner: the plug-in lets pending events through during long runs.
    QCoreApplication application(argc, argv);
    CommandLine line;
    std::string error;
    if (!parse(argc, argv, &line, &error)) {
        qmcli::PrintError(error);
        std::fputs(kUsage, stderr);
        return qmcli::kExitUsage;
    }
    if (line.help) {
        std::fputs(kUsage, stdout);
        return qmcli::kExitOk;
    }
    if (line.words.empty()) return qmcli::RunVersionCommand(line.options, line.version);
    const auto command = kCommands.find(line.words[0]);
    if (command == kCommands.end() || line.version) {
        qmcli::PrintError(line.version ? "--version takes no command" : "unknown command " + line.words[0]);
        std::fputs(kUsage, stderr);
        return qmcli::kExitUsage;
    }
    return command->second(line.options, std::vector<std::string>(line.words.begin() + 1, line.words.end()));
}
