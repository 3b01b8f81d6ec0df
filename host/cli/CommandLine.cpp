#include "cli/CommandLine.h"

#include <algorithm>
#include <map>
#include <set>

namespace qmcli {
namespace {

const std::vector<OptionSpec> kGlobalOptions = {
    {{"plugin-dir"}, "DIR",
     "the plug-ins folder, where the plug-in keeps its settings, log and profiles (default: a per-user folder "
     "into which the bundled plug-in is installed on first run)"},
    {{"host-version"}, "N", "the host's major version, 1 to 99 (8 by default; 5 for the older road)"},
};
const OptionSpec kHelpOption = {{"h", "help"}, "", "print this help"};
const OptionSpec kVersionOption = {{"version"}, "", "load the plug-in and print its name and version"};

std::string dashed(const std::string& name) { return (name.size() == 1 ? "-" : "--") + name; }

// Reads a list of words against the options given; the caller reads each
// option back by its spec. An option is "--name" or "-name" (one dash or two,
// whatever the name's length), its value the next word or given as
// "--name=value"; "--" makes every later word positional, "-" alone is
// positional. The bytes of every word are kept as they are.
class Parser {
public:
    explicit Parser(std::vector<const OptionSpec*> options) : mOptions(std::move(options)) {}
    // Every word after the first positional one is positional too.
    void stopAtFirstPositional() { mStopAtFirstPositional = true; }
    // False with error set on an unknown option, an option without its value or
    // a flag given a value, said as the command's own checks say it: options as
    // typed, with their dashes ("unknown option --profil", "missing --profile
    // NAME", "--help takes no value"). The whole list is read even so, so that
    // every unknown option is named.
    bool parse(const std::vector<std::string>& args, std::string* error) {
        std::vector<std::string> unknown;
        std::string valueError;
        bool onlyPositional = false;
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (onlyPositional || arg == "-") {
                mPositional.push_back(arg);
            } else if (arg == "--") {
                onlyPositional = true;
            } else if (arg.empty() || arg[0] != '-') {
                mPositional.push_back(arg);
                onlyPositional = mStopAtFirstPositional;
            } else {
                const size_t nameStart = arg.compare(0, 2, "--") == 0 ? 2 : 1;
                const size_t assign = arg.find('=');
                const std::string name = arg.substr(nameStart, assign == std::string::npos ? assign : assign - nameStart);
                const OptionSpec* option = find(name);
                if (!option) {
                    unknown.push_back(arg.substr(0, assign));
                    continue;
                }
                mFound.insert(option);
                mTyped[option] = arg.substr(0, assign);
                if (option->valueName.empty()) {
                    if (assign != std::string::npos) valueError = arg.substr(0, assign) + " takes no value";
                } else if (assign != std::string::npos) {
                    mValues[option] = arg.substr(assign + 1);
                } else if (i + 1 < args.size()) {
                    mValues[option] = args[++i];
                } else {
                    valueError = "missing " + arg + " " + option->valueName;
                }
            }
        }
        if (!valueError.empty()) {
            *error = valueError;
        } else if (!unknown.empty()) {
            *error = unknown.size() == 1 ? "unknown option " : "unknown options ";
            for (size_t i = 0; i < unknown.size(); ++i) *error += (i ? ", " : "") + unknown[i];
        }
        return valueError.empty() && unknown.empty();
    }
    bool isSet(const OptionSpec& option) const { return mFound.count(&option) != 0; }
    // The option's name as typed last ("-o", "--output=x" gives "--output").
    std::string typed(const OptionSpec& option) const { return mTyped.at(&option); }
    // The value given last, or "".
    std::string value(const OptionSpec& option) const {
        const auto found = mValues.find(&option);
        return found == mValues.end() ? std::string() : found->second;
    }
    std::vector<std::string> positional() const { return mPositional; }

private:
    // The first option with the name (a later one of the same name is never found).
    const OptionSpec* find(const std::string& name) const {
        for (const OptionSpec* option : mOptions)
            if (std::find(option->names.begin(), option->names.end(), name) != option->names.end()) return option;
        return nullptr;
    }

    std::vector<const OptionSpec*> mOptions;
    bool mStopAtFirstPositional = false;
    std::set<const OptionSpec*> mFound;
    std::map<const OptionSpec*, std::string> mValues;
    std::map<const OptionSpec*, std::string> mTyped;
    std::vector<std::string> mPositional;
};

// The global options given to parser, over those in options. False with error set
// for a value that is wrong.
bool readGlobalOptions(const Parser& parser, GlobalOptions* options, std::string* error) {
    if (parser.isSet(kGlobalOptions[0])) options->pluginDir = parser.value(kGlobalOptions[0]);
    if (!parser.isSet(kGlobalOptions[1])) return true;
    const std::string text = parser.value(kGlobalOptions[1]);
    if (qmhost::parseHostVersion(text, &options->hostVersion)) return true;
    *error = "--host-version takes a number from 1 to 99, not \"" + text + "\"";
    return false;
}

ParsedCommandLine usage(const CommandSpec* command, std::string error, GlobalOptions options = {}) {
    ParsedCommandLine line;
    line.action = ParsedCommandLine::Action::Usage;
    line.command = command;
    line.error = std::move(error);
    line.options = std::move(options);
    return line;
}

// "profile export" or "profile import and profile export".
std::string actionsOf(const CommandSpec& command, const OptionSpec& option) {
    std::string text;
    for (const std::string& action : option.actions) text += (text.empty() ? "" : " and ") + command.name + " " + action;
    return text;
}

ParsedCommandLine parseCommand(const CommandSpec& command, const std::vector<std::string>& args,
                               GlobalOptions options) {
    std::vector<const OptionSpec*> specs = {&kGlobalOptions[0], &kGlobalOptions[1], &kHelpOption};
    for (const OptionSpec& option : command.options) specs.push_back(&option);
    Parser parser(specs);
    std::string error;
    if (!parser.parse(args, &error)) return usage(&command, command.name + ": " + error);
    if (!readGlobalOptions(parser, &options, &error)) return usage(&command, error);
    ParsedCommandLine line;
    line.command = &command;
    line.options = options;
    if (parser.isSet(kHelpOption)) {
        line.action = ParsedCommandLine::Action::Help;
        return line;
    }
    std::vector<std::pair<std::string, std::string>> values;
    std::set<std::string> flags;
    const std::vector<std::string> positional = parser.positional();
    for (const OptionSpec& option : command.options) {
        if (!parser.isSet(option)) continue;
        if (!option.actions.empty() && (positional.empty() || std::find(option.actions.begin(), option.actions.end(),
                                                                        positional[0]) == option.actions.end()))
            return usage(&command, command.name + (positional.empty() ? "" : " " + positional[0]) + ": " +
                                       parser.typed(option) + " is an option of " + actionsOf(command, option) +
                                       " only");
        for (const std::string& name : option.names) {
            if (option.valueName.empty())
                flags.insert(dashed(name));
            else
                values.emplace_back(dashed(name), parser.value(option));
        }
    }
    line.action = ParsedCommandLine::Action::Run;
    line.arguments = CommandArguments(std::move(values), std::move(flags), positional);
    return line;
}

// words broken into lines of at most 100 columns: the first goes on from
// column first (the caller wrote what stands before it), the others begin after
// indent spaces.
std::string wrapped(const std::string& words, size_t indent, size_t first) {
    const size_t width = 100;
    std::string text;
    size_t column = first;
    bool lineHasWords = false;
    size_t start = 0;
    while (start < words.size()) {
        size_t end = words.find(' ', start);
        if (end == std::string::npos) end = words.size();
        const std::string word = words.substr(start, end - start);
        if (lineHasWords && column + 1 + word.size() > width) {
            text += "\n" + std::string(indent, ' ');
            column = indent;
            lineHasWords = false;
        }
        if (lineHasWords) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        lineHasWords = true;
        start = end + 1;
    }
    return text + "\n";
}

void appendOptions(std::string* text, const std::vector<const OptionSpec*>& options) {
    for (const OptionSpec* option : options) {
        std::string names;
        for (const std::string& name : option->names) names += (names.empty() ? "" : ", ") + dashed(name);
        if (!option->valueName.empty()) names += " " + option->valueName;
        *text += "  " + names;
        *text += names.size() < 22 ? std::string(22 - names.size(), ' ') : "\n" + std::string(24, ' ');
        *text += wrapped(option->description, 24, 24);
    }
}

std::string usageLine(const CommandSpec& command) {
    return command.synopsis.empty() ? command.name : command.name + " " + command.synopsis;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, const std::vector<CommandSpec>& commands) {
    try {
        // First the options before the command and the command's name; then the
        // command's own line, where the global options may stand too.
        Parser first({&kGlobalOptions[0], &kGlobalOptions[1], &kHelpOption, &kVersionOption});
        first.stopAtFirstPositional();
        std::string error;
        if (!first.parse(args, &error)) return usage(nullptr, error);
        GlobalOptions options;
        if (!readGlobalOptions(first, &options, &error)) return usage(nullptr, error);
        const std::vector<std::string> words = first.positional();
        ParsedCommandLine line;
        line.options = options;
        if (first.isSet(kHelpOption)) {
            line.action = ParsedCommandLine::Action::Help;
            return line;
        }
        if (words.empty()) {
            if (!first.isSet(kVersionOption)) return usage(nullptr, "", options);
            line.action = ParsedCommandLine::Action::Version;
            return line;
        }
        const auto command = std::find_if(commands.begin(), commands.end(),
                                          [&](const CommandSpec& spec) { return spec.name == words[0]; });
        if (command == commands.end()) return usage(nullptr, "unknown command " + words[0]);
        if (first.isSet(kVersionOption)) return usage(nullptr, "--version takes no command");
        return parseCommand(*command, std::vector<std::string>(words.begin() + 1, words.end()), options);
    } catch (const std::exception& e) {
        return usage(nullptr, std::string("cannot read the command line: ") + e.what());
    }
}

std::string GeneralUsage(const std::vector<CommandSpec>& commands) {
    std::string text = "usage: quillmark [--plugin-dir DIR] [--host-version N] COMMAND ...\n\n";
    for (const CommandSpec& command : commands) {
        text += "  " + usageLine(command) + "\n";
        text += "      " + wrapped(command.description, 6, 6);
    }
    text += "\n";
    appendOptions(&text, {&kVersionOption, &kGlobalOptions[0], &kGlobalOptions[1], &kHelpOption});
    text += "\n`quillmark COMMAND --help` tells more of a command; `--` ends the options.\n";
    text += "Exit status: 0 done, 1 failed (the reason on standard error), 2 wrong usage, 130 interrupted.\n";
    return text;
}

std::string HelpHint(const std::string& command) {
    return command.empty() ? "(`quillmark --help` lists the commands)\n"
                           : "(`quillmark " + command + " --help` tells its usage)\n";
}

std::string CommandHelp(const CommandSpec& command) {
    std::string text = wrapped("usage: quillmark [--plugin-dir DIR] [--host-version N] " + usageLine(command), 6, 0) +
                       "\n" + wrapped(command.description, 0, 0) + "\n";
    std::vector<const OptionSpec*> options;
    for (const OptionSpec& option : command.options) options.push_back(&option);
    options.push_back(&kGlobalOptions[0]);
    options.push_back(&kGlobalOptions[1]);
    options.push_back(&kHelpOption);
    text += "options:\n";
    appendOptions(&text, options);
    text += "\n`--` ends the options. Exit status: 0 done, 1 failed, 2 wrong usage, 130 interrupted.\n";
    return text;
}

}  // namespace qmcli
