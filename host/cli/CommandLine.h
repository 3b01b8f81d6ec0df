// The command line of `quillmark`:
//   quillmark [--plugin-dir DIR] [--host-version N] COMMAND [OPTION...] [ARG...]
// The global options stand before the command or among its own options; `--`
// ends the options (what follows is positional even when it begins with "-");
// "-" alone is positional. An option is written with one dash or two
// ("-profile" is "--profile"), its value as the next word or after "="
// ("--profile=Court"). Each command has its own options and its own help
// (`quillmark COMMAND --help`).
#pragma once

#include <string>
#include <vector>

#include "cli/CommandArguments.h"
#include "cli/GlobalOptions.h"

namespace qmcli {

struct OptionSpec {
    std::vector<std::string> names;  // without dashes; one letter is "-x", longer "--name"
    std::string valueName;           // empty: a flag
    std::string description;
    // The actions (a command's first positional word) the option belongs to;
    // empty: the whole command. Given to another action it is wrong usage.
    std::vector<std::string> actions = {};
};

using CommandProc = int (*)(const GlobalOptions& options, const CommandArguments& arguments);

struct CommandSpec {
    std::string name;
    std::string synopsis;     // what follows the command's name in its usage line(s)
    std::string description;  // what it does, for its help
    std::vector<OptionSpec> options;
    CommandProc run;
};

struct ParsedCommandLine {
    enum class Action {
        Run,      // run command with arguments
        Version,  // `--version`
        Help,     // print the help of command (null: the general help) on standard output
        Usage,    // wrong usage: error, or when it is empty the general usage
    };
    Action action = Action::Usage;
    GlobalOptions options;
    const CommandSpec* command = nullptr;
    CommandArguments arguments;
    std::string error;
};

// Reads args (without the program's name) against commands. Never throws.
// A --host-version that is not a number from 1 to 99 is wrong usage.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, const std::vector<CommandSpec>& commands);

// The general usage (every command in a line or two) and a command's help.
std::string GeneralUsage(const std::vector<CommandSpec>& commands);
std::string CommandHelp(const CommandSpec& command);
// The line that follows a usage error: where the help is (the command's,
// or with an empty name the general help).
std::string HelpHint(const std::string& command);

}  // namespace qmcli
