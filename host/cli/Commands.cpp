#include "cli/Commands.h"

#include "cli/BatchCommand.h"
#include "cli/InfoCommand.h"
#include "cli/LogCommand.h"
#include "cli/MenuCommand.h"
#include "cli/PrefsCommand.h"
#include "cli/ProfileCommand.h"
#include "cli/SessionCommand.h"
#include "cli/StampCommand.h"

namespace qmcli {
namespace {

// Commands without options take their positional arguments only.
template <int (*Run)(const GlobalOptions&, const std::vector<std::string>&)>
int positionalOnly(const GlobalOptions& options, const CommandArguments& arguments) {
    return Run(options, arguments.positional());
}

int runInfo(const GlobalOptions&, const CommandArguments& arguments) {
    if (arguments.positional().empty()) return UsageError("info", "missing FILE.pdf");
    if (arguments.positional().size() > 1) return UsageError("info", "one FILE.pdf only");
    return RunInfo(arguments.positional()[0]);
}

const OptionSpec kProfileOption = {{"profile"}, "NAME", "the profile whose stamps go on"};

}  // namespace

const std::vector<CommandSpec>& QuillmarkCommands() {
    static const std::vector<CommandSpec> commands = {
        {"stamp", "--profile NAME IN.pdf -o OUT.pdf",
         "stamp IN with a profile and save the result to OUT (IN is never written)",
         {kProfileOption, {{"o", "output"}, "OUT.pdf", "where the stamped document is saved"}},
         RunStampCommand},
        {"batch", "--profile NAME --out-dir DIR IN.pdf...",
         "stamp the files as one batch sequence (Bates numbers go on from file to file); outputs in DIR under "
         "the inputs' names",
         {kProfileOption, {{"out-dir"}, "DIR", "the folder of the outputs; it may not hold an input"}},
         RunBatchCommand},
        {"session", "",
         "commands on standard input, one per line: open FILE, stamp NAME, undo, save FILE, close, menu list, "
         "menu run NAME, quit; each answers \"ok\" or \"error: ...\"",
         {},
         positionalOnly<RunSessionCommand>},
        {"profile", "list | show NAME | import FILE.json [--name NAME] | export NAME [-o FILE.json] | delete NAME",
         "the profiles, as JSON documents of the stamp keys",
         {{{"name"}, "NAME", "import: the name of the imported profile (default: the file's name)", {"import"}},
          {{"o", "output"}, "FILE.json", "export: the file written (default: standard output)", {"export"}}},
         RunProfileCommand},
        {"prefs", "get [TAG] | set TAG VALUE",
         "the plug-in's settings: WTNF, EnLo, IPRo, PrPr (true/false), BFLe, URNu, PPNu (numbers)",
         {},
         positionalOnly<RunPrefsCommand>},
        {"log", "show | clear", "the plug-in's log (written while EnLo is on)", {}, positionalOnly<RunLogCommand>},
        {"menu", "list | run NAME", "the menus and what the plug-in put there; run an item", {},
         positionalOnly<RunMenuCommand>},
        {"info", "FILE.pdf", "page count and page boxes", {}, runInfo},
    };
    return commands;
}

}  // namespace qmcli
