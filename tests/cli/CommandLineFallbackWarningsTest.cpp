// What a text stamp writes other than what it was asked to is said: a system
// font that is not installed, word-wrapped text that does not fit on the page
// and characters a font cannot show each warn once, naming the stamp, the page
// and what is drawn instead; the run still saves and exits 0. Symbol and
// ZapfDingbats write the characters they hold.
#include "CommandLineFixture.h"

#include <string>

namespace {

using clitest::CommandLineTest;
using clitest::SplitResult;

std::string TextStamp(const std::string& name, const std::string& text, const std::string& keys) {
    return R"({"kNumberOfStamps": 1, "kStamp0": {"kStampNameE": ")" + name + R"(", "kTextE": ")" + text +
           R"(", "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0, )" + keys + "}}";
}

// Words enough for many lines at 40 points.
std::string ManyWords() {
    std::string text;
    for (int i = 0; i < 120; ++i) text += "word" + std::to_string(i) + " ";
    return text + "end";
}

class CommandLineFallbackWarnings : public CommandLineTest {};

TEST_F(CommandLineFallbackWarnings, FallbacksAndCutsWarnOnceNamingStampPageAndReason) {
    qmtest::writeSimplePdf(File("in.pdf"), 3);
    const struct {
        const char* name;
        std::string profile;
        const char* warning;  // "" for none
        const char* text;     // what pdftotext reads on page 1, "" not checked
    } rows[] = {
        {"Unknown", TextStamp("F", "Fallback", R"("kTypeC": 1, "kStyleSystemC": "NoSuchFont-Quillmark")"),
         "the system font \"NoSuchFont-Quillmark\" of the stamp \"F\" is not installed: page 1 is stamped in "
         "Times-Roman instead",
         "Fallback"},
        {"RunsOff", TextStamp("W", ManyWords(), R"("kSizeE": 40, "kWordWrapCH": true, "kVerticalS": 1)"),
         "the word-wrapped text of the stamp \"W\" does not fit on page 1: it runs off the page", "word0"},
        {"Rotated", TextStamp("R", ManyWords(), R"("kSizeE": 40, "kWordWrapCH": true, "kRotationS": 30)"),
         "the word-wrapped text of the stamp \"R\" does not fit on page 1: the text that does not fit is left out",
         ""},
        {"Fits", TextStamp("S", "a short text that wraps", R"("kSizeE": 40, "kWordWrapCH": true, "kVerticalS": 1)"),
         "", "text that wraps"},
        {"Symbol", TextStamp("G", "\u03b1\u03b2\u03b3 \u2264 x", R"("kSizeE": 20, "kStyleStandardC": 12)"),
         "the font Symbol cannot show some characters of the stamp \"G\" on page 1 (x); they are drawn as \"?\"",
         "\u03b1\u03b2\u03b3 \u2264 ?"},
        {"Dingbats", TextStamp("D", "\u2708\u2714 A", R"("kSizeE": 20, "kStyleStandardC": 13)"),
         "the font ZapfDingbats cannot show some characters of the stamp \"D\" on page 1 (A); they are left blank",
         "\u2708\u2714"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ImportProfile(row.name, row.profile);
        const std::string output = File(std::string(row.name) + ".pdf");
        const SplitResult run = CliSplit("stamp --profile " + std::string(row.name) + " " + Q(File("in.pdf")) +
                                         " -o " + Q(output));
        EXPECT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(qmtest::fileExists(output));
        if (*row.text) {
            EXPECT_NE(PageText(output, 1).find(row.text), std::string::npos) << PageText(output, 1);
        }
        if (!*row.warning) {
            EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
            continue;
        }
        EXPECT_NE(run.err.find(std::string("warning: ") + row.warning), std::string::npos) << run.err;
        size_t warnings = 0;
        for (size_t at = run.err.find("warning:"); at != std::string::npos; at = run.err.find("warning:", at + 1))
            ++warnings;
        EXPECT_EQ(warnings, 1u) << "once per run, though every page is stamped: " << run.err;
    }
}

}  // namespace
