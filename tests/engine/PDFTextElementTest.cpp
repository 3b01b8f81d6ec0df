// CPDFTextElement: setters, the text pipeline helpers (line splitting, string
// operands), standard fonts, encoding and measuring.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "TextOnDocument.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFPlacement.h"
#include "engine/CPDFTextElement.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"

namespace {

using enginetest::TextOnDocument;

// --- setters and helpers without a document

TEST(CPDFTextElement, DefaultsAreTimesRomanSingleSpacedPlainText) {
    enginetest::StartEngine();
    CPDFTextElement element;
    EXPECT_NE(element.GetFont(), nullptr);
    EXPECT_EQ(element.GetLineSpacing(), 1.0);
    EXPECT_EQ(element.GetRenderMode(), 0);
    EXPECT_EQ(element.GetUnderline(), 0);
    EXPECT_FALSE(element.GetHasFill());
    EXPECT_FALSE(element.GetOutline());
    EXPECT_FALSE(element.GetWordWrap());
    EXPECT_EQ(element.GetText(), "");
}

TEST(CPDFTextElement, TextIsStoredRawNotEscaped) {
    CPDFTextElement element;
    element.SetText("a\\b(c)");
    EXPECT_EQ(element.GetText(), "a\\b(c)");
}

TEST(CPDFTextElement, UnderlineAndRenderModeOutsideTheirRangesAreIgnored) {
    CPDFTextElement element;
    element.SetUnderline(6);
    element.SetUnderline(7);
    element.SetUnderline(-1);
    EXPECT_EQ(element.GetUnderline(), 6);
    element.SetRenderMode(2);
    element.SetRenderMode(4);  // the stamp's "neither colour"
    EXPECT_EQ(element.GetRenderMode(), 2);
}

TEST(CPDFTextElement, FillColourTurnsTheBackgroundOnAndColorSetsLineAndFont) {
    CPDFTextElement element;
    element.SetFillColor(255, 0, 51);
    EXPECT_TRUE(element.GetHasFill());
    double r, g, b;
    element.GetFillColor(r, g, b);
    EXPECT_DOUBLE_EQ(b, 0.2);
    element.SetColor(0, 255, 0);
    element.GetFontColor(r, g, b);
    EXPECT_DOUBLE_EQ(g, 1.0);
    element.GetLineColor(r, g, b);
    EXPECT_DOUBLE_EQ(g, 1.0);
}

struct SplitCase {
    const char* name;
    const char* text;
    std::vector<std::string> lines;
};

class SplitLines : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, BreaksTrimsAndDropsAnEmptyTail) {
    EXPECT_EQ(CPDFTextElement::SplitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitLines,
    testing::Values(SplitCase{"TrailingBlanksGoExceptOnTheLastLine", "one  \r\ntwo  ", {"one", "two  "}},
                    SplitCase{"BreakAtTheEndGivesOneLine", "one\r\n", {"one"}},
                    SplitCase{"TwoBreaksGiveTwoEmptyLines", "\r\n\r\nx", {"", "", "x"}},
                    SplitCase{"LoneLineFeedBreaksToo", "a\nb", {"a", "b"}},
                    SplitCase{"MixedBreaks", "a \n\r\nb\r\n", {"a", "", "b"}},
                    SplitCase{"EmptyTextHasNoLines", "", {}},
                    SplitCase{"LoneCarriageReturnIsText", "a\rb", {"a\rb"}},
                    SplitCase{"ChineseText", "印章\r\n文本", {"印章", "文本"}}),
    [](const testing::TestParamInfo<SplitCase>& row) { return row.param.name; });

struct OperandCase {
    const char* name;
    std::string codes;
    int bytesPerCode;
    std::string expected;
};

class StringOperand : public testing::TestWithParam<OperandCase> {};

TEST_P(StringOperand, IsEscapedOnlyWhereAReaderNeedsIt) {
    std::string out;
    CPDFTextElement::AppendStringOperand(out, GetParam().codes, GetParam().bytesPerCode);
    EXPECT_EQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StringOperand,
    testing::Values(OperandCase{"Plain", "Hello", 1, "(Hello)"},
                    OperandCase{"BackslashAndParentheses", "a\\b(c)", 1, "(a\\\\b\\(c\\))"},
                    OperandCase{"LineEnds", "a\rb\nc", 1, "(a\\rb\\nc)"},
                    OperandCase{"HighBytesStay", "caf\xE9", 1, "(caf\xE9)"},
                    OperandCase{"TwoByteCodesAsHex", std::string("\x00\x28\x0D\x5C", 4), 2, "<00280D5C>"},
                    OperandCase{"Empty", "", 1, "()"}),
    [](const testing::TestParamInfo<OperandCase>& row) { return row.param.name; });

// --- fonts and measuring

TEST_F(TextOnDocument, StandardFontNeedsADocument) {
    CPDFTextElement element;
    EXPECT_FALSE(element.SetStandardFont("Helvetica", false));
    element.SetDocument(&mDoc);
    EXPECT_TRUE(element.SetStandardFont("Helvetica", false));
}

TEST_F(TextOnDocument, EveryStandardFontCanBeMadeAndAnUnknownOneKeepsTheFont) {
    CPDFTextElement element;
    element.SetDocument(&mDoc);
    for (const char* name : CPDFTextElement::kStandardFontNames)
        EXPECT_TRUE(element.SetStandardFont(name, true)) << name;
    const PDEFont kept = element.GetFont();
    EXPECT_FALSE(element.SetStandardFont("Comic-Sans", false));
    EXPECT_EQ(element.GetFont(), kept);
}

TEST_F(TextOnDocument, MeasuringAddsAdvancesAndKeepsTheFontsVerticalExtent) {
    auto stamp = Stamp("");
    const CPDFTextElement& element = stamp->element;
    const double a = Width(element, "A", 20);
    EXPECT_GT(a, 5);
    EXPECT_NEAR(Width(element, "AAA", 20), 3 * a, 0.01);
    EXPECT_NEAR(Width(element, "A", 40), 2 * a, 0.01);
    ASFixedRect empty{}, sample{};
    element.MeasureText("", empty, 20);
    element.MeasureText(element.EncodeText("Quillmark"), sample, 20);
    EXPECT_EQ(empty.right - empty.left, 0);
    EXPECT_EQ(empty.bottom, sample.bottom);
    EXPECT_LT(sample.bottom, 0) << "the descent lies under the baseline";
}

TEST_F(TextOnDocument, StandardFontsEncodeWinAnsi) {
    auto stamp = Stamp("");
    EXPECT_EQ(stamp->element.EncodeText("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(stamp->element.EncodeText("印"), "?");
    EXPECT_EQ(stamp->element.BytesPerCode(), 1);
}

// The font's ascent and descent at a size are measured once and kept: the
// kept box must be the one of the element's font and size now, after the
// font was replaced or the size changed, as a new measure gives it.
TEST_F(TextOnDocument, SampleBoxFollowsTheFontAndTheSize) {
    auto stamp = Stamp("x");
    CPDFTextElement& element = stamp->element;
    struct Step {
        const char* font;
        double size;
    };
    const std::vector<Step> steps = {{"Helvetica", 20}, {"Helvetica", 20}, {"Helvetica", 11},
                                     {"Courier", 11},   {"Times-Bold", 11}, {"Helvetica", 20}};
    std::vector<ASFixed> descents;
    std::string font;
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.font) + " " + std::to_string(step.size));
        if (font != step.font) {
            ASSERT_TRUE(element.SetStandardFont(step.font, false));
        }
        font = step.font;
        const ASFixedRect kept = element.SampleBox(step.size);
        ASFixedRect measured{};
        element.MeasureText(element.EncodeText(CPDFTextElement::kDescentSample), measured, step.size);
        EXPECT_EQ(kept.top, measured.top);
        EXPECT_EQ(kept.bottom, measured.bottom);
        EXPECT_EQ(kept.right, measured.right);
        descents.push_back(kept.bottom);
    }
    // The steps do change the box, so a stale one would show.
    EXPECT_NE(descents[1], descents[2]);
    EXPECT_NE(descents[2], descents[3]);
}

}  // namespace
