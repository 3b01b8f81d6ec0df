// Word wrap on a rotated text keeps every line on the page: the page is drawn
// by pdftoppm with a margin around it (its media box reaches 100 points past
// its crop box, which is the page the stamp is placed on), so that ink past
// the page's edges can be seen; pdftotext -bbox reads where the words stand.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EngineFixture.h"

namespace {

constexpr double kMargin = 100;  // media box beyond the crop box, each side
constexpr double kWidth = 612;
constexpr double kHeight = 792;
constexpr int kDpi = 36;

struct RotatedWrapRow {
    const char* name;
    double degrees;     // counter-clockwise
    int32_t horizontal; // CPDFPlacement codes
    int verticalCode;   // the stamp's code: 0 top, 1 bottom, 2 middle
    double offset;      // points from the aligned edges
    int words = 14;     // "WrappedN words" pairs; the text fits the page with 14
};

// Dark samples of the rendered media box inside and outside the page (the
// crop box, widened by one pixel for anti-aliasing).
struct InkCount {
    int inside = 0;
    int outside = 0;
};

InkCount CountInk(const enginetest::Raster& raster) {
    InkCount count;
    const double pixel = 72.0 / raster.dpi;
    for (int y = 0; y < raster.height; ++y)
        for (int x = 0; x < raster.width; ++x) {
            const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(raster.width) + static_cast<size_t>(x)) * 3;
            if (raster.rgb[at] + raster.rgb[at + 1] + raster.rgb[at + 2] > 3 * 160) continue;
            // The pixel's centre in the page's user space (y up).
            const double px = (x + 0.5) * pixel - kMargin;
            const double py = (raster.height - y - 0.5) * pixel - kMargin;
            const bool onPage = px > -pixel && px < kWidth + pixel && py > -pixel && py < kHeight + pixel;
            ++(onPage ? count.inside : count.outside);
        }
    return count;
}

class RotatedWrapStaysOnThePage : public testing::TestWithParam<RotatedWrapRow> {};

TEST_P(RotatedWrapStaysOnThePage, NoInkAndNoWordPastAnEdge) {
    const RotatedWrapRow& row = GetParam();
    enginetest::StartEngine();
    qmtest::FixtureFolder folder;
    const std::string input = folder.file("in.pdf");
    qmtest::FixturePage page;
    page.mediaBox = qmtest::FixtureRect{-kMargin, -kMargin, kWidth + kMargin, kHeight + kMargin};
    page.cropBox = qmtest::FixtureRect{0, 0, kWidth, kHeight};
    page.contents = qmtest::FixtureContents::None;
    qmtest::writeFixturePdf(input, {page});

    std::string text;
    for (int i = 0; i < row.words; ++i) text += "Wrapped" + std::to_string(i) + " words ";
    auto doc = enginetest::OpenDocument(input);
    ASSERT_TRUE(doc);
    auto stamp = enginetest::MakeTextStamp(*doc, text, 24);
    stamp->placement.SetAlignment(row.horizontal, row.verticalCode);
    stamp->placement.SetOffset(row.offset, row.offset);
    stamp->placement.SetRotation(row.degrees);
    stamp->element.SetWordWrap(true);
    ASSERT_TRUE(stamp->element.Write(0));
    const std::string output = folder.file("out.pdf");
    enginetest::SaveDocument(*doc, output);

    const InkCount ink = CountInk(enginetest::RenderPage(output, 1, kDpi));
    EXPECT_GT(ink.inside, 500) << "the text is drawn";
    EXPECT_EQ(ink.outside, 0) << "ink past the page's edges";

    // Every character is there (pdftotext reads rotated text a few
    // characters at a time), each inside the page; its boxes are measured
    // from the media box's upper-left corner, and cover a turned glyph's
    // whole cell, a little more than its ink.
    const auto pages = enginetest::TextBoxes(output);
    ASSERT_EQ(pages.size(), 1u);
    size_t characters = 0;
    for (const enginetest::Word& word : pages[0].words) {
        characters += word.text.size();
        EXPECT_GE(word.xMin, kMargin - 4) << word.text;
        EXPECT_GE(word.yMin, kMargin - 4) << word.text;
        EXPECT_LE(word.xMax, kMargin + kWidth + 4) << word.text;
        EXPECT_LE(word.yMax, kMargin + kHeight + 4) << word.text;
    }
    size_t expected = 0;
    for (const char c : text) expected += c != ' ';
    if (row.words <= 14) {
        EXPECT_EQ(characters, expected) << "no text is lost";
    } else {
        // More than the page holds: as much as fits, the rest cut.
        EXPECT_GT(characters, 300u) << "the page is filled";
        EXPECT_LT(characters, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Angles, RotatedWrapStaysOnThePage,
    testing::Values(RotatedWrapRow{"Upright", 0, CPDFPlacement::kAlignLeft, 1, 36},
                    RotatedWrapRow{"At45FromBottomLeft", 45, CPDFPlacement::kAlignLeft, 1, 36},
                    RotatedWrapRow{"At45FromTopRight", 45, CPDFPlacement::kAlignRight, 0, 36},
                    RotatedWrapRow{"At45Centred", 45, 2, 2, 0},
                    RotatedWrapRow{"At135FromTopLeft", 135, CPDFPlacement::kAlignLeft, 0, 36},
                    RotatedWrapRow{"At135FromBottomRight", 135, CPDFPlacement::kAlignRight, 1, 36},
                    RotatedWrapRow{"AtMinus60FromTopLeft", -60, CPDFPlacement::kAlignLeft, 0, 36},
                    RotatedWrapRow{"AtMinus60FromBottomRight", -60, CPDFPlacement::kAlignRight, 1, 36},
                    RotatedWrapRow{"AtMinus60Centred", -60, 2, 2, 0},
                    RotatedWrapRow{"At200FromTopRight", 200, CPDFPlacement::kAlignRight, 0, 20},
                    RotatedWrapRow{"TooMuchTextAt45Centred", 45, 2, 2, 0, 400},
                    RotatedWrapRow{"TooMuchTextAt135FromTopLeft", 135, CPDFPlacement::kAlignLeft, 0, 36, 400}),
    [](const testing::TestParamInfo<RotatedWrapRow>& row) { return std::string(row.param.name); });

}  // namespace
