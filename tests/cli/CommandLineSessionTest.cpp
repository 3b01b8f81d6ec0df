// `quillmark session`: documents kept open between commands, so that a run
// can be undone before the document is saved.
#include "CommandLineFixture.h"

namespace {

using clitest::CommandLineTest;

class CommandLineSession : public CommandLineTest {
protected:
    void SetUp() override {
        qmtest::writeSimplePdf(File("contract.pdf"), 3);
        ImportProfile("numbers", clitest::kNumberingProfile);
        ImportProfile("empty", R"({"kNumberOfStamps": 0})");
    }
};

TEST_F(CommandLineSession, StampUndoAndSaveGivesTheInputsWrappedState) {
    // A run of a profile without stamps only wraps the page contents: that is
    // the state an undone run comes back to.
    ASSERT_EQ(Cli("stamp --profile empty " + Q(File("contract.pdf")) + " -o " + Q(File("wrapped.pdf"))).status, 0);
    const auto run = Session("open " + File("contract.pdf") + "\nstamp numbers\nundo\nsave " + File("undone.pdf") +
                             "\nquit\n");
    EXPECT_EQ(run.output, "ok\nok\nok\nok\nok\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(AllText(File("undone.pdf")), AllText(File("wrapped.pdf")));
    EXPECT_EQ(AllText(File("undone.pdf")).find("QM-"), std::string::npos);
    EXPECT_EQ(Rendering(File("undone.pdf")), Rendering(File("wrapped.pdf")));
    EXPECT_FALSE(Rendering(File("wrapped.pdf")).empty());
    EXPECT_EQ(qmtest::qpdfCheck(File("undone.pdf")).status, 0);
}

TEST_F(CommandLineSession, SavedStampedDocumentHoldsTheStamps) {
    const auto run = Session("open " + File("contract.pdf") + "\nstamp numbers\nsave " + File("out.pdf") + "\n");
    EXPECT_EQ(run.output, "ok\nok\nok\n");
    EXPECT_NE(PageText(File("out.pdf"), 3).find("QM-000003"), std::string::npos);
}

TEST_F(CommandLineSession, EachCommandAnswersOneLineAndErrorsSayWhy) {
    const auto run = Session(
        "# a comment, and a blank line, are skipped\n\n"
        "stamp numbers\n"
        "open " + File("contract.pdf") + "\n"
        "undo\n"
        "stamp nosuch\n"
        "save " + File("contract.pdf") + "\n"
        "frobnicate\n"
        "close\n"
        "close\n");
    EXPECT_EQ(run.output,
              "error: no document is open\n"
              "ok\n"
              "error: nothing to undo\n"
              "error: no profile named \"nosuch\" (profiles: empty, numbers)\n"
              "error: the output " + File("contract.pdf") +
                  " is the input file; the input is never written over, name another output\n"
              "error: unknown command \"frobnicate\" (open, stamp, undo, save, close, menu list, menu run, quit)\n"
              "ok\n"
              "error: no document is open\n");
    EXPECT_EQ(run.status, 1) << "a command answered an error";
}

TEST_F(CommandLineSession, UndoTakesBackOnlyTheLastRun) {
    const auto run = Session("open " + File("contract.pdf") + "\nstamp numbers\nsave " + File("once.pdf") +
                             "\nstamp numbers\nundo\nundo\nsave " + File("after.pdf") + "\n");
    // Saving tells the plug-in the document changes hands: the first run can
    // no longer be undone; the second one can, once.
    EXPECT_EQ(run.output, "ok\nok\nok\nok\nok\nerror: nothing to undo\nok\n");
    EXPECT_EQ(AllText(File("after.pdf")), AllText(File("once.pdf")));
}

TEST_F(CommandLineSession, MenuListShowsTheProfilesOnceADocumentIsOpen) {
    const auto run = Session("open " + File("contract.pdf") + "\nmenu list\n");
    EXPECT_NE(run.output.find("item \"VELM:SProfile0\" \"empty\" enabled"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("item \"VELM:SProfile1\" \"numbers\" enabled"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.substr(run.output.size() - 3), "ok\n");
}

TEST_F(CommandLineSession, AFileThePluginShowsIsNamedOnStandardErrorNotAmongTheAnswers) {
    const std::string input = File("show.txt");
    qmtest::writeBytes(input, "menu run VELM:StamperHelp\nquit\n");
    const clitest::SplitResult run = CliSplit("session < " + Q(input));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "ok\nok\n");
    EXPECT_NE(run.err.find("showing " + Plugins() + "/Quillmark_User_Guide.pdf"), std::string::npos) << run.err;
}

}  // namespace
