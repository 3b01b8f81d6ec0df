// Text stamps written into real PDF files and read back by independent tools:
// pdftotext -bbox for positions, pdftoppm pixels for what is drawn, qpdf for
// structure, links and undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonObject>

#include "EngineFixture.h"
#include "engine/CPDFAction.h"
#include "engine/CPDFElementUndoController.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"
#include "support/UUnitConverter.h"

namespace {

using enginetest::Word;

constexpr const char* kWord = "Quillmark";
constexpr double kSize = 20;

// --- positions

struct Box {
    double x0, y0, x1, y1;  // y up
};

Box Rotated(const Box& b, double degrees) {
    const double t = degrees * std::numbers::pi / 180;
    const double xs[4] = {b.x0, b.x1, b.x1, b.x0};
    const double ys[4] = {b.y0, b.y0, b.y1, b.y1};
    Box out{1e9, 1e9, -1e9, -1e9};
    for (int i = 0; i < 4; ++i) {
        const double x = xs[i] * std::cos(t) - ys[i] * std::sin(t);
        const double y = xs[i] * std::sin(t) + ys[i] * std::cos(t);
        out = {std::min(out.x0, x), std::min(out.y0, y), std::max(out.x1, x), std::max(out.y1, y)};
    }
    return out;
}

struct PlaceCase {
    const char* name;
    int horizontal;  // 0 left, 1 right, 2 centre
    int vertical;    // as the stamp codes it: 0 top, 1 bottom, 2 middle
    int unit;        // UUnitConverter::EUnit
    double ox, oy;   // in the unit
    double rotation = 0;  // degrees counter-clockwise
    int pageRotate = 0;   // the page's /Rotate
    bool cropped = false; // crop box 50 100 550 700 inside the 612 x 792 media box
};

const PlaceCase kReference{"LeftBottomAtTheCorner", 0, 1, UUnitConverter::kPoint, 0, 0};

const PlaceCase kCases[] = {
    kReference,
    {"LeftTopInPoints", 0, 0, UUnitConverter::kPoint, 36, 72},
    {"RightBottomInInches", 1, 1, UUnitConverter::kInch, 0.5, 1.0},
    {"CentreMiddleInCentimetres", 2, 2, UUnitConverter::kCentimetre, 2.54, -1.27},
    {"RightTopInMillimetres", 1, 0, UUnitConverter::kMillimetre, 12.7, 25.4},
    {"CentreBottomInPoints", 2, 1, UUnitConverter::kPoint, -50, 10},
    {"Rotated90LeftBottom", 0, 1, UUnitConverter::kPoint, 36, 36, 90},
    {"Rotated180RightTop", 1, 0, UUnitConverter::kPoint, 36, 36, 180},
    {"Rotated270CentreMiddle", 2, 2, UUnitConverter::kPoint, 20, -30, 270},
    {"Rotated90RightTop", 1, 0, UUnitConverter::kInch, 1, 1, 90},
    {"Rotated30LeftBottom", 0, 1, UUnitConverter::kPoint, 36, 36, 30},
    {"Rotated30RightTop", 1, 0, UUnitConverter::kPoint, 36, 36, 30},
    {"Rotated330CentreMiddle", 2, 2, UUnitConverter::kPoint, 0, 0, 330},
    {"PageRotate90LeftTop", 0, 0, UUnitConverter::kPoint, 36, 72, 0, 90},
    {"PageRotate90RightBottom", 1, 1, UUnitConverter::kPoint, 36, 72, 0, 90},
    {"PageRotate270LeftBottom", 0, 1, UUnitConverter::kMillimetre, 10, 20, 0, 270},
    {"PageRotate270CentreTop", 2, 0, UUnitConverter::kPoint, 0, 40, 0, 270},
    {"PageRotate90TextRotated90", 0, 1, UUnitConverter::kPoint, 30, 30, 90, 90},
    {"CropBoxLeftBottom", 0, 1, UUnitConverter::kPoint, 10, 20, 0, 0, true},
    {"CropBoxRightTop", 1, 0, UUnitConverter::kPoint, 10, 20, 0, 0, true},
    {"CropBoxCentreMiddle", 2, 2, UUnitConverter::kPoint, 0, 0, 0, 0, true},
};

// All cases stamped on the pages of one file (one case per page), read once.
struct PlacementRun {
    qmtest::FixtureFolder folder;
    std::string path;
    std::vector<enginetest::TextPage> pages;
    double width = 0;    // the word's advance at kSize (the host's measure)
    double descent = 0;  // how far the lowest point lies under the baseline
    bool written = true;
};

const PlacementRun& Placements() {
    static PlacementRun* run = [] {
        enginetest::StartEngine();
        auto* made = new PlacementRun;
        std::vector<qmtest::FixturePage> pages;
        for (const PlaceCase& c : kCases) {
            qmtest::FixturePage page;
            page.contents = qmtest::FixtureContents::None;
            if (c.pageRotate) page.rotate = c.pageRotate;
            if (c.cropped) page.cropBox = qmtest::FixtureRect{50, 100, 550, 700};
            pages.push_back(page);
        }
        const std::string in = made->folder.file("placements-in.pdf");
        qmtest::writeFixturePdf(in, pages);
        auto doc = enginetest::OpenDocument(in);
        for (size_t i = 0; i < std::size(kCases); ++i) {
            const PlaceCase& c = kCases[i];
            auto stamp = enginetest::MakeTextStamp(*doc, kWord, kSize);
            stamp->placement.SetAlignment(c.horizontal, c.vertical);
            stamp->placement.SetOffset(UUnitConverter::ToPoints(c.unit, c.ox),
                                       UUnitConverter::ToPoints(c.unit, c.oy));
            if (c.rotation != 0) stamp->placement.SetRotation(c.rotation);
            made->written = stamp->element.Write(static_cast<int32_t>(i)) && made->written;
            if (i == 0) {
                ASFixedRect box{};
                stamp->element.MeasureText(stamp->element.EncodeText(kWord), box, kSize);
                made->width = FixedToDouble(box.right - box.left);
                made->descent = -FixedToDouble(box.bottom);
            }
        }
        made->path = made->folder.file("placements.pdf");
        enginetest::SaveDocument(*doc, made->path);
        made->pages = enginetest::TextBoxes(made->path);
        return made;
    }();
    return *run;
}

class StampPosition : public testing::TestWithParam<size_t> {};

TEST_P(StampPosition, TextStandsWhereThePlacementPromises) {
    const PlacementRun& run = Placements();
    ASSERT_TRUE(run.written);
    ASSERT_EQ(run.pages.size(), std::size(kCases));
    EXPECT_EQ(qmtest::qpdfCheck(run.path).status, 0);
    const PlaceCase& c = kCases[GetParam()];
    const enginetest::TextPage& page = run.pages[GetParam()];
    // Diagonal text is read as pieces of the word: their union is the word's box.
    const bool diagonal = std::fmod(c.rotation, 90) != 0;
    Word found{};
    ASSERT_TRUE(enginetest::FindWords(page, diagonal ? "" : kWord, found)) << "the word is on its page";

    // The glyphs' box as pdftotext reads it, relative to the text's origin
    // (the left end of its lowest point), from the unrotated reference.
    const enginetest::TextPage& reference = run.pages[0];
    Word ref{};
    ASSERT_TRUE(enginetest::FindWords(reference, kWord, ref));
    const Box glyphs{ref.xMin, reference.height - ref.yMax, ref.xMax, reference.height - ref.yMin};
    if (GetParam() == 0) {
        EXPECT_NEAR(ref.xMin, 0, 1.5);
        EXPECT_NEAR(ref.yMax, reference.height, 1.5) << "the lowest point sits on the bottom edge";
        EXPECT_NEAR(ref.xMax - ref.xMin, run.width, 1.0);
    }

    // The placement promises: the rotated box (advance x font size) touches
    // the chosen edges at the offsets, or is centred plus the offsets, on the
    // page as displayed.
    const Box aligned = Rotated({0, 0, run.width, kSize}, c.rotation);
    const double ox = UUnitConverter::ToPoints(c.unit, c.ox);
    const double oy = UUnitConverter::ToPoints(c.unit, c.oy);
    // pdftotext reads the page as displayed (turned by /Rotate) but measures
    // from the media box's corner and names the media box's size.
    const bool turned = c.pageRotate == 90 || c.pageRotate == 270;
    const double w = c.cropped ? 500 : turned ? page.height : page.width;
    const double h = c.cropped ? 600 : turned ? page.width : page.height;
    const double left = c.cropped ? 50 : 0;
    const double top = c.cropped ? 792 - 700 : 0;
    const double x = c.horizontal == 0   ? ox - aligned.x0
                     : c.horizontal == 1 ? w - ox - aligned.x1
                                         : w / 2 + ox - (aligned.x0 + aligned.x1) / 2;
    const double y = c.vertical == 1   ? oy - aligned.y0
                     : c.vertical == 0 ? h - oy - aligned.y1
                                       : h / 2 + oy - (aligned.y0 + aligned.y1) / 2;
    const Box expected = Rotated(glyphs, c.rotation);
    if (!diagonal) {
        EXPECT_NEAR(found.xMin, left + x + expected.x0, 1.0) << c.name;
        EXPECT_NEAR(found.xMax, left + x + expected.x1, 1.0) << c.name;
        EXPECT_NEAR(found.yMin, top + h - (y + expected.y1), 1.0) << c.name;
        EXPECT_NEAR(found.yMax, top + h - (y + expected.y0), 1.0) << c.name;
        return;
    }
    // Diagonal text is read character by character, each box upright at the
    // character's origin: the first character's box starts where the
    // baseline starts and hangs from the baseline as in the reference.
    const double t = c.rotation * std::numbers::pi / 180;
    const double baseX = x - run.descent * std::sin(t);
    const double baseY = y + run.descent * std::cos(t);
    const double refBase = reference.height - run.descent;
    Word first{};
    ASSERT_TRUE(enginetest::FindWords(page, "Q", first));
    EXPECT_NEAR(first.xMin, left + baseX, 0.5) << c.name;
    // A word's lower edge comes from its lowest character: the first one
    // when the baseline rises, else its upper edge is the first one's.
    if (std::sin(t) > 0)
        EXPECT_NEAR(first.yMax, top + h - baseY + (ref.yMax - refBase), 0.5) << c.name;
    else
        EXPECT_NEAR(first.yMin, top + h - baseY + (ref.yMin - refBase), 0.5) << c.name;
    // And all of it lies in the rotated box (the upright character boxes
    // stick out a little at the corners).
    EXPECT_GT(found.xMin, left + x + expected.x0 - 8) << c.name;
    EXPECT_LT(found.xMax, left + x + expected.x1 + 8) << c.name;
    EXPECT_GT(found.yMin, top + h - (y + expected.y1) - 8) << c.name;
    EXPECT_LT(found.yMax, top + h - (y + expected.y0) + 8) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, StampPosition, testing::Range<size_t>(0, std::size(kCases)),
                         [](const testing::TestParamInfo<size_t>& row) {
                             return std::string(kCases[row.param].name);
                         });

}  // namespace

namespace {

// --- every shape of page: content order and soundness

TEST(StampPages, EveryShapeOfPageTakesOverlaysAndUnderlaysInOrder) {
    enginetest::StartEngine();
    qmtest::FixtureFolder folder;
    std::vector<qmtest::FixturePage> pages(7);
    pages[0].contents = qmtest::FixtureContents::None;
    pages[1].contents = qmtest::FixtureContents::OneStream;
    pages[2].contents = qmtest::FixtureContents::StreamArray;
    pages[3].rotate = 90;
    pages[4].rotate = 270;
    pages[5].cropBox = qmtest::FixtureRect{40, 60, 560, 720};
    pages[6].mediaBox = qmtest::FixtureRect{0, 0, 300, 400};
    const std::string in = folder.file("shapes-in.pdf");
    qmtest::FixtureTree tree;
    tree.nested = true;  // resources and the media box inherited two levels up
    qmtest::writeFixturePdf(in, pages, tree);
    auto doc = enginetest::OpenDocument(in);
    const std::vector<size_t> before = [&] {
        std::vector<size_t> counts;
        for (int i = 0; i < 7; ++i) counts.push_back(enginetest::ContentPieces(*doc, i).size());
        return counts;
    }();
    ASSERT_TRUE(doc->WrapAllPageContents());
    auto over1 = enginetest::MakeTextStamp(*doc, "OverOne", 14);
    auto over2 = enginetest::MakeTextStamp(*doc, "OverTwo", 14);
    over2->placement.SetAlignment(CPDFPlacement::kAlignRight, 0);
    auto under = enginetest::MakeTextStamp(*doc, "Beneath", 14);
    under->element.SetUnderlay(true);
    under->placement.SetAlignment(2, 2);
    for (int page = 0; page < 7; ++page) {
        ASSERT_TRUE(over1->element.Write(page)) << page;
        ASSERT_TRUE(under->element.Write(page)) << page;
        ASSERT_TRUE(over2->element.Write(page)) << page;
    }
    const std::string out = folder.file("shapes.pdf");
    enginetest::SaveDocument(*doc, out);
    const auto check = qmtest::qpdfCheck(out);
    EXPECT_EQ(check.status, 0) << check.output;
    const auto text = enginetest::TextBoxes(out);
    ASSERT_EQ(text.size(), 7u);
    for (size_t page = 0; page < 7; ++page) {
        const auto pieces = enginetest::PageContentPieces(out, static_cast<int>(page));
        ASSERT_EQ(pieces.size(), before[page] + 5) << page;
        EXPECT_NE(pieces[0].find("(Beneath) Tj"), std::string::npos) << page;
        EXPECT_EQ(pieces[1], " q ") << page;
        EXPECT_EQ(pieces[pieces.size() - 3], " Q ") << page;
        EXPECT_NE(pieces[pieces.size() - 2].find("(OverOne) Tj"), std::string::npos) << page;
        EXPECT_NE(pieces.back().find("(OverTwo) Tj"), std::string::npos) << page;
        Word word{};
        for (const char* stamped : {"OverOne", "OverTwo", "Beneath"})
            EXPECT_TRUE(enginetest::FindWords(text[page], stamped, word)) << page << " " << stamped;
        if (page > 0 && page < 6) {  // page 7's own text lies beyond its small media box
            EXPECT_TRUE(enginetest::FindWords(text[page], "page", word)) << "the page's own text stays";
        }
    }
}

}  // namespace
