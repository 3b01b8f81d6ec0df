// What text stamps draw, read as pixels of pages rendered by pdftoppm: the
// border, the background fill, the underline styles and the opacity.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "support/FixedPoint.h"

namespace {

constexpr double kSize = 20;
constexpr double kPageHeight = 792;

struct Drawn {
    qmtest::FixtureFolder folder;
    std::string path;
    bool written = true;
    double framedWidth = 0;   // advance of the framed text
    double descent = 0;       // at kSize
    double underlineWidth = 0;
};

// Page 1: a framed text; page 2: 50 % black; page 3: the six underline styles.
const Drawn& Drawing() {
    static Drawn* drawn = [] {
        enginetest::StartEngine();
        auto* made = new Drawn;
        CPDFDocument doc;
        EXPECT_TRUE(doc.CreateNew());
        EXPECT_TRUE(doc.AppendBlankPage());
        EXPECT_TRUE(doc.AppendBlankPage());
        auto measure = [](const CPDFTextElement& element, const std::string& text, double size) {
            ASFixedRect box{};
            element.MeasureText(element.EncodeText(text), box, size);
            return box;
        };
        auto place = [&](const std::string& text, double size, double x, double y) {
            auto stamp = enginetest::MakeTextStamp(doc, text, size);
            stamp->placement.SetAlignment(CPDFPlacement::kAlignLeft, 1);
            stamp->placement.SetOffset(x, y);
            return stamp;
        };

        auto framed = place("Framed", kSize, 100, 100);
        framed->element.SetLineSpacing(2.0);  // the frame is twice as high as the text
        framed->element.SetLineWidth(3);
        framed->element.SetLineColor(255, 0, 0);
        framed->element.SetFillColor(255, 255, 0);
        made->written = framed->element.Write(0) && made->written;
        const ASFixedRect box = measure(framed->element, "Framed", kSize);
        made->framedWidth = FixedToDouble(box.right - box.left);
        made->descent = -FixedToDouble(box.bottom);

        auto glyph = place("I", 200, 300, 300);
        glyph->element.SetOpacity(0.5);
        made->written = glyph->element.Write(1) && made->written;
        auto background = place("I", kSize, 100, 500);
        background->element.SetOpacity(0.5);
        background->element.SetLineSpacing(2.0);
        background->element.SetLineWidth(1);
        background->element.SetFillColor(0, 0, 0);
        made->written = background->element.Write(1) && made->written;

        for (int style = 1; style <= 6; ++style) {
            auto underlined = place("Underlined text", kSize, 72, 72 + 80.0 * style);
            underlined->element.SetUnderline(style);
            made->written = underlined->element.Write(2) && made->written;
            made->underlineWidth = FixedToDouble(measure(underlined->element, "Underlined text", kSize).right);
        }
        made->path = made->folder.file("drawing.pdf");
        enginetest::SaveDocument(doc, made->path);
        return made;
    }();
    return *drawn;
}

bool IsRed(enginetest::Raster::Pixel p) { return p.r > 200 && p.g < 90 && p.b < 90; }
bool IsYellow(enginetest::Raster::Pixel p) { return p.r > 200 && p.g > 200 && p.b < 90; }
bool IsWhite(enginetest::Raster::Pixel p) { return p.r > 240 && p.g > 240 && p.b > 240; }

TEST(StampDrawing, FileIsSound) {
    const Drawn& drawn = Drawing();
    ASSERT_TRUE(drawn.written);
    EXPECT_EQ(qmtest::qpdfCheck(drawn.path).status, 0);
}

TEST(StampDrawing, BorderStrokesTheFrameAndTheBackgroundFillsIt) {
    const Drawn& drawn = Drawing();
    const auto page = enginetest::RenderPage(drawn.path, 1, 72);
    const double right = 100 + drawn.framedWidth;
    const double top = 100 + 2 * kSize;  // one line at spacing 2
    EXPECT_TRUE(IsRed(page.At(100, 120))) << "left edge";
    EXPECT_TRUE(IsRed(page.At(right, 120))) << "right edge";
    EXPECT_TRUE(IsRed(page.At(100 + drawn.framedWidth / 2, top))) << "top edge";
    EXPECT_TRUE(IsRed(page.At(100 + drawn.framedWidth / 2, 100))) << "bottom edge";
    EXPECT_TRUE(IsYellow(page.At(100 + drawn.framedWidth / 2, top - 6))) << "inside, above the text";
    EXPECT_TRUE(IsWhite(page.At(92, 120))) << "outside";
    EXPECT_TRUE(IsWhite(page.At(100 + drawn.framedWidth / 2, top + 8))) << "outside";
}

TEST(StampDrawing, HalfOpacityBlackIsMidGrey) {
    const Drawn& drawn = Drawing();
    const auto page = enginetest::RenderPage(drawn.path, 2, 72);
    // The glyph's stem and a background above its text, both 50 % black.
    const double baseline = 300 + drawn.descent * 10;  // size 200
    for (const auto& [x, y] : {std::pair{300.0 + 27.8, baseline + 60}, std::pair{103.0, 500.0 + 2 * kSize - 5}}) {
        const auto p = page.At(x, y);
        EXPECT_NEAR(p.r, 128, 20) << x << "," << y;
        EXPECT_NEAR(p.g, 128, 20);
        EXPECT_NEAR(p.b, 128, 20);
    }
    EXPECT_TRUE(IsWhite(page.At(280, 350)));
}

// Darkness along the underline of a style: the share of dark samples on the
// line's centre row and the longest light run (points).
struct LineReading {
    double darkShare = 0;
    double longestGap = 0;
};

LineReading ReadLine(const enginetest::Raster& area, double x0, double x1, double y) {
    int dark = 0, samples = 0;
    double gap = 0, longest = 0;
    const double step = 72.0 / area.dpi;
    for (double x = x0; x < x1; x += step, ++samples) {
        if (area.At(x, y).sum() < 3 * 128) {
            ++dark;
            gap = 0;
        } else {
            gap += step;
            longest = std::max(longest, gap);
        }
    }
    return {samples ? static_cast<double>(dark) / samples : 0, longest};
}

struct UnderlineCase {
    const char* name;
    int style;
    double share;      // expected share of dark samples along the line
    double gap;        // expected longest gap (points)
    double thickness;  // points
};

class UnderlineDrawing : public testing::TestWithParam<UnderlineCase> {};

TEST_P(UnderlineDrawing, LineLiesTwoPointsUnderTheBaselineWithItsPattern) {
    const Drawn& drawn = Drawing();
    const UnderlineCase& c = GetParam();
    const double baseline = 72 + 80.0 * c.style + drawn.descent;
    const double y = baseline - 2;
    const double x0 = 72, x1 = 72 + drawn.underlineWidth;
    const auto area = enginetest::RenderArea(drawn.path, 3, 288, kPageHeight, x0 - 4, y - 6, x1 + 4, y + 4);
    // Along the line, away from its ends.
    const LineReading line = ReadLine(area, x0 + 1, x1 - 1, c.style == 2 ? y + 1 : y);
    EXPECT_NEAR(line.darkShare, c.share, 0.08) << c.name;
    EXPECT_NEAR(line.longestGap, c.gap, 0.6) << c.name;
    // Across the line: dark within its thickness, light beyond.
    const double xs = x0 + 0.5;  // in the first dash or dot
    EXPECT_LT(area.At(xs, y + (c.style == 2 ? 1 : 0)).sum(), 3 * 128) << c.name;
    EXPECT_GT(area.At(xs, y - c.thickness / 2 - 1.2).sum(), 3 * 200) << c.name << ": under the line";
    EXPECT_GT(area.At(x0 - 2, y).sum(), 3 * 200) << c.name << ": before the text";
    if (c.style == 2) {
        EXPECT_LT(area.At(xs, y - 1).sum(), 3 * 128) << "the lower line";
        EXPECT_GT(area.At(xs, y).sum(), 3 * 200) << "between the lines";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, UnderlineDrawing,
    testing::Values(UnderlineCase{"Single", 1, 1.0, 0, 1}, UnderlineCase{"Double", 2, 1.0, 0, 3},
                    UnderlineCase{"Thick", 3, 1.0, 0, 3}, UnderlineCase{"Dashed", 4, 0.5, 3, 1},
                    UnderlineCase{"Dotted", 5, 0.5, 1, 1}, UnderlineCase{"DashDot", 6, 4.0 / 6, 1, 1}),
    [](const testing::TestParamInfo<UnderlineCase>& row) { return row.param.name; });

}  // namespace
