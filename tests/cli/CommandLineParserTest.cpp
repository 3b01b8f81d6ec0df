// The command line of `quillmark` as its parser reads it: global options
// before or among a command's own, `--`, per-command help, and wrong usage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace {

using qmcli::ParsedCommandLine;
using Action = ParsedCommandLine::Action;

struct ParseRow {
    const char* name;
    std::vector<std::string> args;
    Action action;
    const char* command = "";       // the command found
    const char* error = "";         // a part of the error, or "" for none
    std::vector<std::string> positional = {};
    const char* profile = nullptr;  // the value of --profile, or null
    const char* pluginDir = "";     // the global option
    int hostVersion = 0;
};

class CommandLineParser : public ::testing::TestWithParam<ParseRow> {};

TEST_P(CommandLineParser, ReadsTheLine) {
    const ParseRow& row = GetParam();
    const ParsedCommandLine line = qmcli::ParseCommandLine(row.args, qmcli::QuillmarkCommands());
    EXPECT_EQ(static_cast<int>(line.action), static_cast<int>(row.action));
    EXPECT_EQ(line.command ? line.command->name : std::string(), row.command);
    if (*row.error) {
        EXPECT_NE(line.error.find(row.error), std::string::npos) << line.error;
    } else {
        EXPECT_EQ(line.error, "");
    }
    if (row.action != Action::Run) return;
    EXPECT_EQ(line.arguments.positional(), row.positional);
    const auto profile = line.arguments.value({"--profile"});
    EXPECT_EQ(profile.has_value(), row.profile != nullptr);
    if (profile && row.profile) {
        EXPECT_EQ(*profile, row.profile);
    }
    EXPECT_EQ(line.options.pluginDir, row.pluginDir);
    EXPECT_EQ(line.options.hostVersion, row.hostVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineParser,
    ::testing::Values(
        ParseRow{"Bare", {}, Action::Usage},
        ParseRow{"OnlyAGlobalOption", {"--plugin-dir", "p"}, Action::Usage},
        ParseRow{"Help", {"--help"}, Action::Help},
        ParseRow{"Version", {"--host-version", "5", "--version"}, Action::Version},
        ParseRow{"VersionWithACommand", {"--version", "info", "a.pdf"}, Action::Usage, "", "takes no command"},
        ParseRow{"UnknownCommand", {"frobnicate"}, Action::Usage, "", "unknown command frobnicate"},
        ParseRow{"UnknownGlobalOption", {"--frob", "info", "a.pdf"}, Action::Usage, "", "frob"},
        ParseRow{"CommandHelp", {"stamp", "--help"}, Action::Help, "stamp"},
        ParseRow{"CommandHelpShort", {"menu", "-h"}, Action::Help, "menu"},
        ParseRow{"Stamp", {"--plugin-dir", "p", "stamp", "--profile", "Court", "in.pdf", "-o", "out.pdf"},
                 Action::Run, "stamp", "", {"in.pdf"}, "Court", "p"},
        ParseRow{"GlobalOptionsAmongTheCommands",
                 {"stamp", "in.pdf", "--host-version", "6", "--profile=Court", "--plugin-dir", "q", "-o", "o.pdf"},
                 Action::Run, "stamp", "", {"in.pdf"}, "Court", "q", 6},
        ParseRow{"LastValueWins", {"stamp", "--profile", "A", "--profile", "B", "in.pdf"},
                 Action::Run, "stamp", "", {"in.pdf"}, "B"},
        ParseRow{"DashDashEndsTheOptions", {"batch", "--profile", "P", "--", "-odd.pdf", "--help", "-"},
                 Action::Run, "batch", "", {"-odd.pdf", "--help", "-"}, "P"},
        ParseRow{"SingleDashIsPositional", {"info", "-"}, Action::Run, "info", "", {"-"}},
        ParseRow{"SubcommandWords", {"profile", "import", "c.json", "--name", "Court"},
                 Action::Run, "profile", "", {"import", "c.json"}},
        ParseRow{"OptionOfItsAction", {"profile", "export", "P", "-o", "p.json"},
                 Action::Run, "profile", "", {"export", "P"}},
        ParseRow{"OptionOfAnotherAction", {"profile", "list", "-o", "p.json"},
                 Action::Usage, "profile", "profile list: -o is an option of profile export only"},
        ParseRow{"OptionOfAnActionWithoutOne", {"profile", "--name", "Q"},
                 Action::Usage, "profile", "profile: --name is an option of profile import only"},
        ParseRow{"UnknownCommandOption", {"stamp", "--profil", "p", "a.pdf"},
                 Action::Usage, "stamp", "stamp: unknown option --profil"},
        ParseRow{"OptionOfAnotherCommand", {"stamp", "--out-dir", "d", "a.pdf"}, Action::Usage, "stamp", "out-dir"},
        ParseRow{"OptionWithoutItsValue", {"stamp", "a.pdf", "--profile"}, Action::Usage, "stamp", "profile"},
        ParseRow{"HostVersionZero", {"--host-version", "0", "info", "a"}, Action::Usage, "", "1 to 99"},
        ParseRow{"HostVersionTooLarge", {"info", "a", "--host-version", "100"}, Action::Usage, "info", "1 to 99"},
        ParseRow{"HostVersionNotANumber", {"--host-version", "+5", "--version"}, Action::Usage, "", "not \"+5\""},
        ParseRow{"OneDashLongOptions", {"-plugin-dir", "p", "stamp", "-profile=Court", "in.pdf", "-host-version=6"},
                 Action::Run, "stamp", "", {"in.pdf"}, "Court", "p", 6},
        ParseRow{"EmptyValueAfterTheEqualsSign", {"stamp", "--profile=", "in.pdf"},
                 Action::Run, "stamp", "", {"in.pdf"}, ""},
        ParseRow{"ValueAfterTheEqualsSignKeepsItsEqualsSigns", {"stamp", "--profile=a=b", "x"},
                 Action::Run, "stamp", "", {"x"}, "a=b"},
        ParseRow{"ValueThatLooksLikeAnOption", {"stamp", "--profile", "--", "x"},
                 Action::Run, "stamp", "", {"x"}, "--"},
        ParseRow{"DashBeforeTheCommandDoesNotEndTheFirstPass", {"-", "info"}, Action::Usage, "", "unknown command -"},
        ParseRow{"FileNameBytesKeptAsGiven", {"info", "caf\xE9 \xFF.pdf"},
                 Action::Run, "info", "", {"caf\xE9 \xFF.pdf"}},
        ParseRow{"EveryUnknownOptionNamed", {"stamp", "--frob", "-x=1", "a.pdf"},
                 Action::Usage, "stamp", "stamp: unknown options --frob, -x"},
        ParseRow{"ThreeDashes", {"stamp", "---profile", "a.pdf"},
                 Action::Usage, "stamp", "stamp: unknown option ---profile"},
        ParseRow{"MissingValueNamesTheWordAsTyped", {"stamp", "a.pdf", "-profile"},
                 Action::Usage, "stamp", "stamp: missing -profile NAME"},
        ParseRow{"FlagGivenAValue", {"stamp", "--help=yes"},
                 Action::Usage, "stamp", "stamp: --help takes no value"},
        ParseRow{"ValueErrorBeforeUnknownOptions", {"--frob", "--version=1"},
                 Action::Usage, "", "--version takes no value"}),
    [](const auto& row) { return std::string(row.param.name); });

// Every command's help names the command, each of its options and --help, and
// the general usage names every command.
TEST(CommandLineHelp, EachCommandsHelpNamesItsOptions) {
    const std::string general = qmcli::GeneralUsage(qmcli::QuillmarkCommands());
    for (const qmcli::CommandSpec& command : qmcli::QuillmarkCommands()) {
        EXPECT_NE(general.find("\n  " + command.name), std::string::npos) << command.name;
        const std::string help = qmcli::CommandHelp(command);
        EXPECT_EQ(help.rfind("usage: quillmark [--plugin-dir DIR] [--host-version N] " + command.name, 0), 0u)
            << help;
        for (const qmcli::OptionSpec& option : command.options)
            for (const std::string& name : option.names)
                EXPECT_NE(help.find((name.size() == 1 ? "-" : "--") + name), std::string::npos)
                    << command.name << " --help lacks " << name;
        EXPECT_NE(help.find("-h, --help"), std::string::npos) << help;
        for (size_t start = 0, end; start < help.size(); start = end + 1) {
            end = help.find('\n', start);
            EXPECT_LE(end - start, 100u) << "a line longer than 100 columns in " << command.name << "'s help";
        }
    }
}

}  // namespace
