// A stamp that is written where nobody sees it - a word too wide for the page,
// a stamp placed beyond the page's edge, a page selection that holds no page,
// characters its font cannot show - warns, naming the stamp and the pages, once
// per stamp and document, in `stamp` and in every file of a `batch`. The run
// still saves and exits 0.
#include "CommandLineFixture.h"

namespace {

using clitest::CommandLineTest;
using clitest::CountOf;
using clitest::SplitResult;

class CommandLineStampPagesWarnings : public CommandLineTest {
protected:
    // Stamps the input with the profile (imported under name); the output must be saved.
    SplitResult Stamp(const std::string& name, const std::string& json, const std::string& input) {
        ImportProfile(name, json);
        const std::string output = File(name + "-out.pdf");
        const SplitResult run = CliSplit("stamp --profile " + name + " " + Q(input) + " -o " + Q(output));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(qmtest::fileExists(output)) << run.err;
        return run;
    }
};

// One stamp named name with these keys (a text stamp unless they say otherwise).
std::string OneStamp(const std::string& name, const std::string& keys) {
    return R"({"kNumberOfStamps": 1, "kStamp0": {"kStampNameE": ")" + name +
           R"(", "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0, )" + keys + "}}";
}

// A stamp placed beyond the shown part of every page (points typed into
// inches), or whose page list holds no page, was no stamp at all and said
// nothing. The wrap gives a first word wider than the page a line of its own;
// that line ran off the page's side without a word, where lines that run off
// the bottom warned.
TEST_F(CommandLineStampPagesWarnings, StampNobodySeesWarnsOncePerStamp) {
    qmtest::writeSimplePdf(File("one.pdf"), 1);
    qmtest::writeSimplePdf(File("two.pdf"), 2);
    // The left half shown (crop box), and a page turned a quarter.
    qmtest::writeFixturePdf(File("cropped.pdf"),
                            {qmtest::FixturePage{std::nullopt, qmtest::FixtureRect{306, 0, 612, 792}, std::nullopt}});
    qmtest::writeFixturePdf(File("turned.pdf"), {qmtest::FixturePage{std::nullopt, std::nullopt, 90}});
    qmtest::writeSimplePdf(File("logo.pdf"), 1);
    const std::string logo =
        R"("kStampType": 2, "kSelectFileE": ")" + File("logo.pdf") + R"(", "kPageNoS": 1, "kSizeS": 20, )";
    const std::string words =
        R"("kWordWrapCH": true, "kStyleStandardC": 0, "kTextE": "Ref: ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789)";
    struct Row {
        const char* name;
        std::string keys;
        const char* input;
        const char* warning;  // "" for none
    };
    const Row rows[] = {
        {"Inches", R"("kTextE": "Stamped", "kSizeE": 20, "kHorizontalS": 20)", "two.pdf",
         "the stamp \"Inches\" lands on no visible part of pages 1-2: it is placed beyond the page's edge"},
        {"Above", R"("kTextE": "Stamped", "kSizeE": 20, "kRotationS": 30, "kVerticalS": -3)", "two.pdf",
         "the stamp \"Above\" lands on no visible part of pages 1-2"},
        {"Logo", logo + R"("kVerticalS": 20)", "two.pdf", "the stamp \"Logo\" lands on no visible part of pages 1-2"},
        // On the page's media box, left of the part that is shown.
        {"Hidden", R"("kTextE": "Stamped", "kSizeE": 20, "kHorizontalS": -3)", "cropped.pdf",
         "the stamp \"Hidden\" lands on no visible part of page 1"},
        {"NoPage", R"("kTextE": "Stamped", "kPages": 1, "kPagesE": "2-2odd")", "two.pdf",
         "the stamp \"NoPage\" is placed on no page: its page list \"2-2odd\" selects none of the document's 2 pages"},
        {"NoEven", R"("kTextE": "Stamped", "kStampOnC": 2)", "cropped.pdf",
         "the stamp \"NoEven\" is placed on no page: its choice of even pages selects none of the document's 1 page"},
        {"Wide", words + R"( end", "kSizeE": 40)", "one.pdf",
         "the word-wrapped text of the stamp \"Wide\" does not fit on page 1: it runs off the page"},
        // The same words at a size where the word fits on a line; a last word
        // broken where the page ends: nothing runs off.
        {"Narrow", words + R"( end", "kSizeE": 12)", "one.pdf", ""},
        {"Last", words + R"(", "kSizeE": 40)", "one.pdf", ""},
        // Partly on the page, on the shown part, on a turned page: seen.
        {"Edge", R"("kTextE": "Stamped here", "kSizeE": 20, "kHorizontalS": 8)", "two.pdf", ""},
        {"Shown", R"("kTextE": "Stamped", "kSizeE": 20, "kHorizontalS": 1)", "cropped.pdf", ""},
        {"Turned", R"("kTextE": "Stamped", "kSizeE": 20, "kHorizontalC": 1, "kHorizontalS": 1, "kVerticalS": 1)",
         "turned.pdf", ""},
        {"Wrapped", R"("kTextE": "Stamped and turned", "kSizeE": 20, "kRotationS": 30, "kWordWrapCH": true,
                         "kHorizontalS": 1, "kVerticalS": 3)",
         "two.pdf", ""},
        {"LogoShown", logo + R"("kHorizontalC": 1, "kVerticalC": 1)", "two.pdf", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const SplitResult run = Stamp(row.name, OneStamp(row.name, row.keys), File(row.input));
        if (!*row.warning) {
            EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
            continue;
        }
        EXPECT_NE(run.err.find(std::string("warning: ") + row.warning), std::string::npos) << run.err;
        EXPECT_EQ(CountOf(run.err, "warning:"), 1u) << "once per stamp, though every page is stamped: " << run.err;
    }
    // Every file of a batch warns of its own pages.
    const SplitResult batch = CliSplit("batch --profile Inches --out-dir " + Q(File("out")) + " " + Q(File("two.pdf")) +
                                       " " + Q(File("one.pdf")));
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_NE(batch.err.find("\"Inches\" lands on no visible part of pages 1-2"), std::string::npos) << batch.err;
    EXPECT_NE(batch.err.find("\"Inches\" lands on no visible part of page 1:"), std::string::npos) << batch.err;
    EXPECT_EQ(CountOf(batch.err, "warning:"), 2u) << batch.err;
}

// Only the first stamp of a run that met characters its font lacks warned, and
// in a batch only the first file's stamps did.
TEST_F(CommandLineStampPagesWarnings, EveryStampOfEveryFileWarnsOfCharactersItsFontLacks) {
    qmtest::writeSimplePdf(File("a.pdf"), 2);
    qmtest::writeSimplePdf(File("b.pdf"), 1);
    const SplitResult stamp = Stamp("Lacking", R"({"kNumberOfStamps": 3,
      "kStamp0": {"kStampNameE": "G", "kTextE": "\u03b1 x", "kSizeE": 20, "kOpacityS": 100, "kOverlay": true,
                  "kColorFontC": 0, "kStyleStandardC": 12},
      "kStamp1": {"kStampNameE": "D", "kTextE": "\u2708 A", "kSizeE": 20, "kOpacityS": 100, "kOverlay": true,
                  "kColorFontC": 0, "kStyleStandardC": 13, "kVerticalS": 2},
      "kStamp2": {"kStampNameE": "H", "kTextE": "机密 Secret", "kSizeE": 20, "kOpacityS": 100, "kOverlay": true,
                  "kColorFontC": 0, "kStyleStandardC": 4, "kVerticalS": 4}})",
                                    File("a.pdf"));
    const char* const warnings[] = {
        "the font Symbol cannot show some characters of the stamp \"G\" on page 1 (x); they are drawn as \"?\"",
        "the font ZapfDingbats cannot show some characters of the stamp \"D\" on page 1 (A); they are left blank",
        "the font Helvetica cannot show some characters of the stamp \"H\" on page 1 (机密); they are drawn as \"?\"",
    };
    for (const char* warning : warnings) EXPECT_EQ(CountOf(stamp.err, warning), 1u) << stamp.err;
    EXPECT_EQ(CountOf(stamp.err, "warning:"), 3u) << stamp.err;

    const SplitResult batch = CliSplit("batch --profile Lacking --out-dir " + Q(File("out")) + " " + Q(File("a.pdf")) +
                                       " " + Q(File("b.pdf")));
    EXPECT_EQ(batch.status, 0) << batch.err;
    for (const char* warning : warnings) EXPECT_EQ(CountOf(batch.err, warning), 2u) << batch.err;
    EXPECT_EQ(CountOf(batch.err, "warning:"), 6u) << batch.err;
    EXPECT_TRUE(qmtest::fileExists(File("out/b.pdf")));
}

}  // namespace
