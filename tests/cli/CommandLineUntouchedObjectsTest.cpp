// What a run leaves as it found it: a linearized input is saved linearized.
#include "CommandLineFixture.h"

namespace {

using clitest::CommandLineTest;

const char* const kMarkProfile = R"({"kNumberOfStamps": 1,
  "kStamp0": {"kStampNameE": "Mark", "kTextE": "Stamped $PageNo[1]", "kSizeE": 12, "kOpacityS": 100,
              "kOverlay": true, "kColorFontC": 0, "kHorizontalS": 1, "kVerticalS": 1}})";

class CommandLineUntouchedObjects : public CommandLineTest {
protected:
    void SetUp() override { ImportProfile("Mark", kMarkProfile); }
};

TEST_F(CommandLineUntouchedObjects, ALinearizedInputIsSavedLinearizedAndAPlainOneStaysPlain) {
    qmtest::writeSimplePdf(File("plain.pdf"), 4);
    const auto made = qmtest::runCommand("qpdf --linearize " + Q(File("plain.pdf")) + " " + Q(File("linear.pdf")));
    ASSERT_EQ(made.status, 0) << made.output;
    struct Row {
        const char* input;
        bool linearized;
    };
    for (const Row row : {Row{"linear.pdf", true}, Row{"plain.pdf", false}}) {
        const std::string out = File(std::string("stamped-") + row.input);
        const auto run = Cli("stamp --profile Mark " + Q(File(row.input)) + " -o " + Q(out));
        ASSERT_EQ(run.status, 0) << row.input << ": " << run.output;
        EXPECT_NE(PageText(out, 4).find("Stamped 4"), std::string::npos) << row.input;
        const auto check = qmtest::runCommand("qpdf --check-linearization " + Q(out));
        EXPECT_EQ(check.status, 0) << row.input << ": " << check.output;
        const bool isLinear = check.output.find("no linearization errors") != std::string::npos;
        const bool isPlain = check.output.find("is not linearized") != std::string::npos;
        EXPECT_EQ(isLinear, row.linearized) << row.input << ": " << check.output;
        EXPECT_EQ(isPlain, !row.linearized) << row.input << ": " << check.output;
    }
}

}  // namespace
