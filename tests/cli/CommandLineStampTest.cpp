// `quillmark stamp`: a profile run on one document through the plug-in's Stamp
// menu, saved to a new file; the input is never written over.
#include <sys/stat.h>
#include <unistd.h>

#include "CommandLineFixture.h"
#include "InProcessCommand.h"

namespace {

using clitest::CommandLineTest;

class CommandLineStamp : public CommandLineTest {
protected:
    void SetUp() override {
        qmtest::writeSimplePdf(File("contract.pdf"), 3);
        mInputBytes = qmtest::readBytes(File("contract.pdf"));
        ImportProfile("numbers", clitest::kNumberingProfile);
    }
    void ExpectInputUnchanged() const {
        EXPECT_EQ(qmtest::readBytes(File("contract.pdf")), mInputBytes) << "the input was written";
    }
    std::string mInputBytes;
};

TEST_F(CommandLineStamp, VersionLoadsThePluginAndNamesIt) {
    const auto run = Cli("--version");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Quillmark 3.0"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("quillmark host"), std::string::npos) << run.output;
}

TEST_F(CommandLineStamp, VersionRunsOnTheOlderHostToo) {
    const auto run = Cli("--host-version 5 --version");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Quillmark 3.0"), std::string::npos) << run.output;
}

TEST_F(CommandLineStamp, StampsBatesNumberFooterAndFileNameOnEveryPage) {
    const auto run = CliSplit("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf")));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, File("out.pdf") + "\n");
    EXPECT_EQ(run.err, "") << "no progress bar when standard error is no terminal";
    for (int page = 1; page <= 3; ++page) {
        const std::string text = PageText(File("out.pdf"), page);
        EXPECT_NE(text.find("QM-00000" + std::to_string(page)), std::string::npos) << page << ": " << text;
        EXPECT_NE(text.find("Page " + std::to_string(page) + " of 3"), std::string::npos) << page << ": " << text;
        EXPECT_NE(text.find("File contract.pdf"), std::string::npos) << page << ": " << text;
        EXPECT_NE(text.find("page " + std::to_string(page)), std::string::npos) << "the page's own text stays";
    }
    EXPECT_EQ(qmtest::qpdfCheck(File("out.pdf")).status, 0);
    ExpectInputUnchanged();
}

TEST_F(CommandLineStamp, BatesPaddingFollowsThePreference) {
    ASSERT_EQ(Cli("prefs set BFLe 3").status, 0);
    ASSERT_EQ(Cli("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf"))).status, 0);
    EXPECT_NE(PageText(File("out.pdf"), 2).find("QM-002"), std::string::npos);
    EXPECT_EQ(PageText(File("out.pdf"), 2).find("QM-000002"), std::string::npos);
}

TEST_F(CommandLineStamp, WriteToNewFileSavesTheNewDocument) {
    ASSERT_EQ(Cli("prefs set WTNF true").status, 0);
    const auto run = Cli("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf")));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(PageText(File("out.pdf"), 3).find("Page 3 of 3"), std::string::npos);
    ExpectInputUnchanged();
}

TEST_F(CommandLineStamp, RelativePluginFolderFindsItsProfiles) {
    // The module is loaded under an absolute path: the plug-in finds its data
    // folder (and so its profiles) from the path it was loaded from.
    const auto run = qmtest::runCommand("cd " + Q(File("")) + " && " + Q(QM_TEST_CLI_PATH) +
                                        " --plugin-dir plugins stamp --profile numbers contract.pdf -o rel.pdf");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(PageText(File("rel.pdf"), 1).find("QM-000001"), std::string::npos);
}

TEST_F(CommandLineStamp, MissingProfileFailsWithTheProfilesThereAre) {
    const auto run = Cli("stamp --profile nosuch " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf")));
    EXPECT_NE(run.status, 0);
    // The profile is to blame, not the input.
    EXPECT_NE(run.output.find("quillmark: stamp: no profile named \"nosuch\" (profiles: numbers)"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("contract.pdf"), std::string::npos) << run.output;
    EXPECT_FALSE(qmtest::fileExists(File("out.pdf")));
}

TEST_F(CommandLineStamp, FailedRunShowsThePluginsMessageAndSavesNothing) {
    ImportProfile("badrange", R"({"kStamp0": {"kTextE": "x", "kOpacityS": 100, "kPages": 1, "kPagesE": "99"}})");
    const auto run = Cli("stamp --profile badrange " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf")));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("stamping with \"badrange\" failed"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("99"), std::string::npos) << "the plug-in's alert names the range: " << run.output;
    EXPECT_FALSE(qmtest::fileExists(File("out.pdf")));
    ExpectInputUnchanged();
}

// A document that forbids printing used to be stamped.
TEST_F(CommandLineStamp, DocumentThatForbidsChangesOrPrintingMayNotBeStamped) {
    for (const auto& [forbids, said] : {std::pair{"--modify=none", "forbid changes"},
                                        std::pair{"--print=none", "its security settings forbid printing)"}}) {
        ASSERT_EQ(qmtest::runCommand(std::string("qpdf --encrypt '' owner 256 ") + forbids + " -- " +
                                     Q(File("contract.pdf")) + " " + Q(File("locked.pdf")))
                      .status,
                  0);
        const auto run = Cli("stamp --profile numbers " + Q(File("locked.pdf")) + " -o " + Q(File("out.pdf")));
        EXPECT_NE(run.status, 0) << forbids;
        EXPECT_NE(run.output.find("may not be stamped"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(said), std::string::npos) << run.output;
        EXPECT_FALSE(qmtest::fileExists(File("out.pdf"))) << forbids;
    }
}

TEST_F(CommandLineStamp, UnreadableInputFailsWithTheHostsMessage) {
    qmtest::writeNonPdf(File("not.pdf"));
    const auto run = Cli("stamp --profile numbers " + Q(File("not.pdf")) + " -o " + Q(File("out.pdf")));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("not.pdf"), std::string::npos) << run.output;
}

struct SameFileRow {
    const char* name;
    std::string (*output)(const CommandLineTest& test, const std::string& input);
};

class CommandLineStampOverInput : public CommandLineStamp, public ::testing::WithParamInterface<SameFileRow> {
protected:
    std::string Output() { return GetParam().output(*this, File("contract.pdf")); }
};

TEST_P(CommandLineStampOverInput, IsRefusedAndTheInputStaysWhole) {
    const std::string output = Output();
    const auto run = Cli("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(output));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("is the input file"), std::string::npos) << run.output;
    ExpectInputUnchanged();
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, CommandLineStampOverInput,
    ::testing::Values(
        SameFileRow{"SamePath", [](const CommandLineTest&, const std::string& in) { return in; }},
        SameFileRow{"DotDotSpelling",
                    [](const CommandLineTest&, const std::string& in) {
                        const size_t slash = in.rfind('/');
                        return in.substr(0, slash) + "/../" +
                               in.substr(in.rfind('/', slash - 1) + 1, slash - in.rfind('/', slash - 1) - 1) +
                               in.substr(slash);
                    }},
        SameFileRow{"SymbolicLink",
                    [](const CommandLineTest&, const std::string& in) {
                        const std::string link = in + ".link.pdf";
                        EXPECT_EQ(::symlink(in.c_str(), link.c_str()), 0);
                        return link;
                    }},
        SameFileRow{"HardLink",
                    [](const CommandLineTest&, const std::string& in) {
                        const std::string link = in + ".hard.pdf";
                        EXPECT_EQ(::link(in.c_str(), link.c_str()), 0);
                        return link;
                    }}),
    [](const auto& row) { return std::string(row.param.name); });

// On a terminal the bar is drawn, and redrawn only when what it shows changes:
// at most once for each share done, however many pages there are.
TEST_F(CommandLineStamp, ProgressBarIsDrawnOnATerminalOnlyWhenWhatItShowsChanges) {
    if (qmtest::runCommand("command -v script").status != 0) GTEST_SKIP() << "no `script` to make a terminal";
    qmtest::writeSimplePdf(File("long.pdf"), 1000);
    const std::string command = Q(QM_TEST_CLI_PATH) + " --plugin-dir " + Q(Plugins()) + " stamp --profile numbers " +
                                Q(File("long.pdf")) + " -o " + Q(File("out.pdf"));
    const auto run = qmtest::runCommand("script -qec " + Q(command) + " /dev/null");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("\rquillmark: [##############################] 100%"), std::string::npos)
        << run.output.substr(0, 2000);
    const size_t draws = clitest::CountOf(run.output, "\rquillmark: ");
    EXPECT_LE(draws, 101u) << "three stamps on a thousand pages: " << run.output.size() << " bytes";
    EXPECT_LT(run.output.size(), 101u * 80) << "drawn " << draws << " times";
}

TEST_F(CommandLineStamp, OutputInAMissingFolderFailsAndNamesIt) {
    const auto run = Cli("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File("no/such/out.pdf")));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("cannot write " + File("no/such/out.pdf")), std::string::npos) << run.output;
    ExpectInputUnchanged();
}

TEST_F(CommandLineStamp, OutputThatIsAFolderIsRefused) {
    const auto run = Cli("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File("")));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("is a folder"), std::string::npos) << run.output;
}

struct UsageRow {
    const char* name;
    const char* args;
    const char* what;  // in the first line: what is wrong or missing
};

class CommandLineUsage : public CommandLineTest, public ::testing::WithParamInterface<UsageRow> {};

// Wrong usage exits 2 and says on standard error, in one line, what is wrong
// or missing, followed by a line that points to the help (not the usage).
TEST_P(CommandLineUsage, WrongCommandLineExitsWithTwoAndSaysWhatIsWrong) {
    const UsageRow& row = GetParam();
    const auto run = CliSplit(row.args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "") << "wrong usage is told on standard error";
    const std::vector<std::string> lines = clitest::LinesOf(run.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("quillmark: ", 0), 0u) << run.err;
    EXPECT_NE(lines[0].find(row.what), std::string::npos) << run.err;
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_NE(lines[1].find("--help`"), std::string::npos) << run.err;
}

TEST_F(CommandLineTest, EachCommandHasItsOwnHelp) {
    for (const char* command : {"stamp", "batch", "session", "profile", "prefs", "log", "menu", "info"}) {
        const auto run = CliSplit(std::string(command) + " --help");
        EXPECT_EQ(run.status, 0) << command << ": " << run.err;
        EXPECT_EQ(run.out.rfind("usage: quillmark [--plugin-dir DIR] [--host-version N] " + std::string(command), 0),
                  0u)
            << run.out;
        EXPECT_EQ(run.err, "");
    }
    const auto general = CliSplit("--help");
    EXPECT_EQ(general.status, 0);
    EXPECT_NE(general.out.find("COMMAND --help"), std::string::npos) << general.out;
}

TEST_F(CommandLineTest, DashDashEndsTheOptions) {
    // Without "--" the name is an unknown option; after it, a file that is not there.
    EXPECT_EQ(Cli("info -missing.pdf").status, 2);
    const auto run = CliSplit("info -- -missing.pdf");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("-missing.pdf"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineUsage,
    ::testing::Values(
        UsageRow{"UnknownCommand", "frobnicate", "unknown command frobnicate"},
        UsageRow{"StampWithoutProfile", "stamp a.pdf -o b.pdf", "stamp: missing --profile NAME"},
        UsageRow{"StampWithoutOutput", "stamp --profile p a.pdf", "stamp: missing -o OUT.pdf"},
        UsageRow{"StampWithoutInput", "stamp --profile p -o b.pdf", "stamp: missing IN.pdf"},
        UsageRow{"StampWithTwoInputs", "stamp --profile p a.pdf b.pdf -o c.pdf", "stamp: one IN.pdf only"},
        UsageRow{"UnknownStampOption", "stamp --profil p a.pdf -o b.pdf", "stamp: unknown option --profil"},
        UsageRow{"BatchWithoutOutputFolder", "batch --profile p a.pdf", "batch: missing --out-dir DIR"},
        UsageRow{"UnknownGlobalOption", "--frob --version", "quillmark: unknown option --frob"},
        UsageRow{"VersionWithACommand", "--version info a.pdf", "--version takes no command"},
        UsageRow{"HostVersionTooLarge", "--host-version 100 --version", "1 to 99"},
        UsageRow{"MissingOptionValue", "stamp a.pdf -o b.pdf --profile", "stamp: missing --profile NAME"},
        UsageRow{"HostVersionZero", "--host-version 0 --version", "1 to 99"},
        UsageRow{"HostVersionNotANumber", "--host-version five --version", "not \"five\""},
        UsageRow{"InfoWithoutFile", "info", "info: missing FILE.pdf"},
        UsageRow{"SessionWithArguments", "session x", "session: takes no arguments"},
        UsageRow{"MenuRunWithoutName", "menu run", "menu: run: missing NAME"},
        UsageRow{"OptionOfAnotherAction", "profile list -o x.json", "profile list: -o is an option of profile export only"},
        UsageRow{"OptionOfAnotherActionByLongName", "profile show P --name Q",
                 "profile show: --name is an option of profile import only"},
        UsageRow{"PrefsWithoutAction", "prefs", "prefs: missing get [TAG] or set TAG VALUE"},
        UsageRow{"ProfileShowWithoutName", "profile show", "profile: show: missing NAME"},
        UsageRow{"ProfileUnknownAction", "profile rename A B", "profile: unknown action rename"},
        UsageRow{"LogWithoutAction", "log", "log: missing show or clear"}),
    [](const auto& row) { return std::string(row.param.name); });

// `quillmark` alone prints the general usage, and exits 2.
TEST_F(CommandLineTest, NoCommandPrintsTheUsage) {
    const auto run = CliSplit("");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("usage: quillmark ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("\n  stamp --profile NAME"), std::string::npos) << run.err;
}

TEST_F(CommandLineStamp, HelpShowsTheUserGuideInstalledWithThePlugin) {
    const clitest::SplitResult run = CliSplit("menu run VELM:StamperHelp");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string guide = Plugins() + "/Quillmark_User_Guide.pdf";
    // Without a desktop the path is printed for the user to open.
    EXPECT_EQ(run.out, guide + "\n");
    EXPECT_NE(qmtest::runCommand("pdftotext " + Q(guide) + " -").output.find("Quillmark User Guide"),
              std::string::npos);
}

TEST_F(CommandLineStamp, InfoPrintsABoxAtTheEndsOfTheFixedRange) {
    qmtest::FixturePage page;
    page.mediaBox = qmtest::FixtureRect{0, 0, -99999, 792};
    qmtest::writeFixturePdf(File("huge.pdf"), {page});
    const clitest::SplitResult run = CliSplit("info " + Q(File("huge.pdf")));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("32768.00 x 792.00 pt"), std::string::npos) << run.out;
}

TEST_F(CommandLineStamp, TextBeginningWithU_FEFFSurvivesExportAndImport) {
    ImportProfile("Bom", R"({"kNumberOfStamps": 1, "kStamp0": {"kStampNameE": "A", "kTextE": "\ufeffHello"}})");
    ASSERT_EQ(Cli("profile export Bom -o " + Q(File("bom.json"))).status, 0);
    ASSERT_EQ(Cli("profile import " + Q(File("bom.json")) + " --name Again").status, 0);
    for (const char* name : {"Bom", "Again"}) {
        const std::string shown = Cli(std::string("profile show ") + name).output;
        EXPECT_NE(shown.find(R"("\ufeffHello")"), std::string::npos) << name << ": " << shown;
    }
}

}  // namespace
