// CPDFTextLayout: word wrap, line positions and underline positions on a real
// page of the host (612 x 792 points).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "TextOnDocument.h"
#include "engine/CPDFTextLayout.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"

namespace {

using enginetest::Numbers;

// Reads a PDF literal string from its "(": the bytes, and in end the index
// after its closing ")".
std::string ReadLiteral(const std::string& text, size_t& end) {
    std::string bytes;
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            bytes += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else if (c == '(') {
            if (depth++ > 0) bytes += c;
        } else if (c == ')') {
            if (--depth == 0) {
                end = i + 1;
                return bytes;
            }
            bytes += c;
        } else {
            bytes += c;
        }
    }
    end = std::string::npos;
    return bytes;
}

class TextLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        enginetest::StartEngine();
        ASSERT_TRUE(mDoc.CreateNew());
        mStamp = enginetest::MakeTextStamp(mDoc, "", 20);
        mStamp->placement.SetAlignment(CPDFPlacement::kAlignLeft, 1);
        mStamp->placement.SetOffset(72, 72);
        mPage = gPDModelHFT->docAcquirePage(mDoc.GetPDDoc(), 0);
        mStamp->placement.mPage = mPage;
    }
    void TearDown() override { gPDModelHFT->pageRelease(mPage); }

    // Lays out text; the layout stays for the test to read.
    const CPDFTextLayout& LayOut(const std::string& text, bool wrap) {
        mLayout = std::make_unique<CPDFTextLayout>(mStamp->element, mStamp->placement);
        EXPECT_TRUE(mLayout->Build(CPDFTextElement::SplitLines(text), wrap));
        return *mLayout;
    }
    double Width(const std::string& codes) const {
        ASFixedRect box{};
        mStamp->element.MeasureText(codes, box, 20);
        return FixedToDouble(box.right - box.left);
    }
    // The lines' codes (WinAnsi bytes, here the same as the text for ASCII).
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const CTextLine& line : mLayout->Lines()) texts.push_back(line.codes);
        return texts;
    }

    CPDFDocument mDoc;
    std::unique_ptr<enginetest::TextStamp> mStamp;
    std::unique_ptr<CPDFTextLayout> mLayout;
    PDPage mPage = nullptr;
};

TEST_F(TextLayoutTest, WithoutWrapALongLineStaysWhole) {
    const std::string text(80, 'W');
    LayOut(text, false);
    EXPECT_EQ(Texts(), std::vector<std::string>{text});
}

TEST_F(TextLayoutTest, WrapBreaksAtBlanksSoThatEachLineFits) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "word" + std::to_string(i) + " ";
    text += "end";
    LayOut(text, true);
    const auto lines = Texts();
    ASSERT_GT(lines.size(), 2u);
    std::string joined;
    for (const std::string& line : lines) {
        EXPECT_LE(72 + Width(line), 612.0) << line;
        EXPECT_NE(line.front(), ' ');
        EXPECT_NE(line.back(), ' ');
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(joined, text);
    // Each line but the last is as full as it can be: its next word would not fit.
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string next = lines[i + 1].substr(0, lines[i + 1].find(' '));
        EXPECT_GT(72 + Width(lines[i] + " " + next), 612.0) << lines[i];
    }
}

TEST_F(TextLayoutTest, FirstWordTooLongStandsAlone) {
    const std::string word(70, 'M');
    LayOut(word + " tail words", true);
    EXPECT_EQ(Texts(), (std::vector<std::string>{word, "tail words"}));
}

TEST_F(TextLayoutTest, LineWithoutBlanksBreaksBetweenCharacters) {
    const std::string text(90, 'E');
    LayOut(text, true);
    const auto lines = Texts();
    ASSERT_GT(lines.size(), 1u);
    std::string joined;
    for (const std::string& line : lines) {
        EXPECT_LE(72 + Width(line), 612.0);
        joined += line;
    }
    EXPECT_EQ(joined, text);
    EXPECT_GT(72 + Width(lines[0] + "E"), 612.0);
}

TEST_F(TextLayoutTest, TextThatCannotStartOnThePageIsCut) {
    mStamp->placement.SetOffset(700, 72);
    LayOut("gone\r\nalso gone", true);
    EXPECT_TRUE(mLayout->Lines().empty());
}

TEST_F(TextLayoutTest, WrapNeverSplitsAMultiByteCharacter) {
    std::string text;
    for (int i = 0; i < 80; ++i) text += "\xC3\xA9";  // é
    LayOut(text, true);
    const auto lines = Texts();
    ASSERT_GT(lines.size(), 1u);
    size_t total = 0;
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find_first_not_of('\xE9'), std::string::npos) << "a character was cut";
        total += line.size();
    }
    EXPECT_EQ(total, 80u);
}

TEST_F(TextLayoutTest, WrapWorksOnTheRawTextSoNoEscapeIsBroken) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "(\\)";
    LayOut(text, true);
    std::string joined;
    for (const CTextLine& line : mLayout->Lines()) {
        joined += line.codes;
        std::string operand;
        CPDFTextElement::AppendStringOperand(operand, line.codes, 1);
        // Read back as a reader would: the string ends at the operand's last
        // byte and gives the line's codes.
        size_t end = 0;
        EXPECT_EQ(ReadLiteral(operand, end), line.codes) << operand;
        EXPECT_EQ(end, operand.size()) << operand;
    }
    EXPECT_EQ(joined, text);
}

TEST_F(TextLayoutTest, UnrotatedWrappedTextSharesOneMatrix) {
    LayOut("a b c", true);
    EXPECT_FALSE(mLayout->PerLineMatrix());
    EXPECT_EQ(mStamp->placement.GetScaleY(), 20.0) << "the font size is back in the placement";
    EXPECT_EQ(mStamp->placement.GetOffsetY(), 72.0) << "the offsets are back too";
}

// The wrap as written out step by step: every prefix tried from the start of
// each line, the rest of a broken line made a new line. It fits a prefix when
// it ends within the page's width, as a left-aligned text at 72 points must.
std::vector<std::string> ReferenceWrap(std::vector<std::string> lines, const std::function<bool(const std::string&)>& fits) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = lines[i];
        std::vector<size_t> ends;
        for (size_t pos = line.find(' ', 1); pos != std::string::npos; pos = line.find(' ', pos + 1))
            ends.push_back(pos);
        const bool byCharacter = ends.empty();
        if (byCharacter)
            for (size_t end = 1; end <= line.size(); ++end) ends.push_back(end);  // ASCII only
        else
            ends.push_back(line.size());
        size_t misfit = ends.size();
        for (size_t j = 0; j < ends.size(); ++j)
            if (!fits(line.substr(0, ends[j]))) {
                misfit = j;
                break;
            }
        if (misfit == ends.size()) continue;
        if (misfit == 0 && byCharacter) {
            lines.resize(i);
            break;
        }
        const size_t breakAt = misfit == 0 ? ends[0] : ends[misfit - 1];
        std::string shortened = line.substr(0, breakAt);
        std::string rest = line.substr(breakAt < line.size() && line[breakAt] == ' ' ? breakAt + 1 : breakAt);
        if (!shortened.empty() && shortened.back() == ' ') shortened.pop_back();
        lines[i] = shortened;
        if (!rest.empty()) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, rest);
    }
    return lines;
}

// Random words of 1 to maxWord letters, each followed by one blank or, now
// and then, two.
std::string Words(unsigned seed, size_t length, int maxWord) {
    std::string text;
    unsigned state = seed;
    auto next = [&] { return state = state * 1103515245u + 12345u, (state >> 16) & 0x7FFF; };
    while (text.size() < length) {
        const int word = 1 + static_cast<int>(next() % static_cast<unsigned>(maxWord));
        for (int k = 0; k < word; ++k) text += static_cast<char>('a' + next() % 26);
        text += next() % 7 == 0 ? "  " : " ";
    }
    return text;
}

struct WrapCase {
    const char* name;
    std::string text;
};

class WrapMatchesTheStepByStepWrap : public TextLayoutTest, public testing::WithParamInterface<WrapCase> {};

TEST_P(WrapMatchesTheStepByStepWrap, LineForLine) {
    LayOut(GetParam().text, true);
    const auto expected = ReferenceWrap(CPDFTextElement::SplitLines(GetParam().text),
                                        [&](const std::string& prefix) { return 72 + Width(prefix) <= 612.0; });
    EXPECT_EQ(Texts(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrapMatchesTheStepByStepWrap,
    testing::Values(WrapCase{"ShortWords", Words(1, 3000, 6)},
                    WrapCase{"LongWords", Words(2, 3000, 30)},
                    WrapCase{"WordsAndBreaks", Words(3, 800, 8) + "\r\n\r\n" + Words(4, 800, 12)},
                    WrapCase{"AWordLongerThanThePage", "ab " + std::string(120, 'W') + " cd " + Words(5, 400, 9)},
                    WrapCase{"NoBlanksAtAll", std::string(700, 'E')},
                    WrapCase{"BlanksOnly", std::string(300, ' ')},
                    WrapCase{"LeadingAndTrailingBlanks", "   " + Words(6, 600, 7) + "   "}),
    [](const testing::TestParamInfo<WrapCase>& row) { return std::string(row.param.name); });

// The underline of each line lies 2 points under its baseline, for every line
// spacing and vertical alignment.
struct UnderlineCase {
    const char* name;
    double spacing;
    int verticalCode;  // the stamp's code: 0 top, 1 bottom, 2 middle
};

class UnderlinePosition : public TextLayoutTest, public testing::WithParamInterface<UnderlineCase> {};

TEST_P(UnderlinePosition, StaysTwoPointsUnderTheBaseline) {
    mStamp->element.SetLineSpacing(GetParam().spacing);
    mStamp->placement.SetAlignment(CPDFPlacement::kAlignLeft, GetParam().verticalCode);
    const CPDFTextLayout& layout = LayOut("first line\r\nsecond\r\nthird one", false);
    const ASFixedMatrix& tm = layout.TextMatrix();
    const double d = FixedToDouble(tm.d);  // size: no rotation
    double textY = 0;
    const ASFixed y = FixedFromDouble(layout.Size() + layout.Descent() + 2.0);
    for (const CTextLine& line : layout.Lines()) {
        const auto move = Numbers(line.positioning);
        ASSERT_EQ(move.size(), 2u);
        textY += move[1];
        const double baseline = FixedToDouble(tm.v) + d * textY;
        std::string ops;
        mStamp->element.WriteUnderline(ops, y, line.underlineBox, line.underlineMatrix, 0, 0, 0, 1, "GS");
        const auto values = Numbers(ops.substr(ops.find(" gs ")));
        ASSERT_EQ(values.size(), 4u) << ops;
        EXPECT_NEAR(values[1], baseline - 2.0, 0.01) << line.codes;
        EXPECT_NEAR(values[3], baseline - 2.0, 0.01) << line.codes;
        EXPECT_NEAR(values[2] - values[0], Width(line.codes), 0.01);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SpacingAndAlignment, UnderlinePosition,
    testing::Values(UnderlineCase{"SingleBottom", 1.0, 1}, UnderlineCase{"SingleTop", 1.0, 0},
                    UnderlineCase{"WideBottom", 1.5, 1}, UnderlineCase{"WideTop", 1.5, 0},
                    UnderlineCase{"WideMiddle", 1.5, 2}, UnderlineCase{"DoubleBottom", 2.0, 1}),
    [](const testing::TestParamInfo<UnderlineCase>& row) { return row.param.name; });

struct StyleCase {
    const char* name;
    int style;
    int lines;
    const char* width;
    const char* dash;  // "" for none
};

class UnderlineStyle : public TextLayoutTest, public testing::WithParamInterface<StyleCase> {};

TEST_P(UnderlineStyle, DrawsItsLinesWidthAndDash) {
    const StyleCase& c = GetParam();
    std::string ops;
    const ASFixedRect box{0, FixedFromDouble(40), FixedFromDouble(100), 0};
    const ASFixedMatrix identity{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    EXPECT_TRUE(mStamp->element.WriteUnderline(ops, FixedFromDouble(10), box, identity, 0, 0, 0, c.style, "GS"));
    size_t count = 0;
    for (size_t at = ops.find(" S Q "); at != std::string::npos; at = ops.find(" S Q ", at + 1)) ++count;
    EXPECT_EQ(count, static_cast<size_t>(c.lines)) << ops;
    if (c.lines == 0) return;
    EXPECT_NE(ops.find(std::string(" ") + c.width + " w "), std::string::npos) << ops;
    if (c.dash[0]) EXPECT_NE(ops.find(c.dash), std::string::npos) << ops;
    else EXPECT_EQ(ops.find("]0 d"), std::string::npos) << ops;
    if (c.style == 2) {
        EXPECT_NE(ops.find("0 31 m 100 31 l"), std::string::npos) << ops;
        EXPECT_NE(ops.find("0 29 m 100 29 l"), std::string::npos) << ops;
    } else {
        EXPECT_NE(ops.find("0 30 m 100 30 l"), std::string::npos) << ops;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, UnderlineStyle,
    testing::Values(StyleCase{"None", 0, 0, "", ""}, StyleCase{"Single", 1, 1, "1", ""},
                    StyleCase{"DoubleTwoPointsApart", 2, 2, "1", ""},
                    StyleCase{"Thick", 3, 1, "3", ""}, StyleCase{"Dashed", 4, 1, "1", "[3]0 d"},
                    StyleCase{"Dotted", 5, 1, "1", "[1]0 d"},
                    StyleCase{"DashDot", 6, 1, "1", "[3 1 1 1]0 d"},
                    StyleCase{"SevenIsNothing", 7, 0, "", ""}),
    [](const testing::TestParamInfo<StyleCase>& row) { return row.param.name; });

TEST_F(TextLayoutTest, RotatedWrappedLinesFollowEachOtherAcrossTheBaseline) {
    mStamp->placement.SetRotation(30);
    mStamp->element.SetLineSpacing(1.5);
    std::string text;
    for (int i = 0; i < 30; ++i) text += "turn" + std::to_string(i) + " ";
    const CPDFTextLayout& layout = LayOut(text, true);
    ASSERT_TRUE(layout.PerLineMatrix());
    ASSERT_GT(layout.Lines().size(), 2u);
    const double theta = 30 * std::numbers::pi / 180;
    std::vector<std::pair<double, double>> origins;
    for (const CTextLine& line : layout.Lines()) {
        const auto m = Numbers(line.positioning);
        ASSERT_GE(m.size(), 6u);
        EXPECT_NEAR(m[0], 20 * std::cos(theta), 0.01);
        EXPECT_NEAR(m[1], 20 * std::sin(theta), 0.01);
        ASSERT_EQ(m.size(), 6u) << line.positioning;
        EXPECT_TRUE(line.positioning.ends_with(" Tm ")) << line.positioning;
        origins.emplace_back(m[4], m[5]);
    }
    for (size_t k = 1; k < origins.size(); ++k) {
        EXPECT_NEAR(origins[k].first - origins[k - 1].first, 30 * std::sin(theta), 0.02);
        EXPECT_NEAR(origins[k].second - origins[k - 1].second, -30 * std::cos(theta), 0.02);
    }
    // The frame encloses every line and stays on the page.
    const ASFixedRect& frame = layout.FrameBox();
    EXPECT_GE(frame.left, 0);
    EXPECT_GE(frame.bottom, 0);
    EXPECT_LE(frame.right, 612 * kASFixedOne);
    EXPECT_LE(frame.top, 792 * kASFixedOne);
    EXPECT_NEAR(FixedToDouble(frame.left), 72, 0.5) << "the block touches the aligned edge";
    EXPECT_NEAR(FixedToDouble(frame.bottom), 72, 0.5);
    EXPECT_EQ(mStamp->placement.GetOffsetX(), 72.0);
}

}  // namespace
