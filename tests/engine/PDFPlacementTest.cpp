// CPDFPlacement: the matrix that puts an element on a page (alignment, offsets,
// rotation, page orientation) and the off-page test, on real pages of the host.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/FaultInjectingHost.h"
#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "engine/CPDFPlacement.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"
#include "support/UUnitConverter.h"

namespace {

struct Point {
    double x, y;
};

Point Apply(const ASFixedMatrix& m, Point p) {
    return {FixedToDouble(m.a) * p.x + FixedToDouble(m.c) * p.y + FixedToDouble(m.h),
            FixedToDouble(m.b) * p.x + FixedToDouble(m.d) * p.y + FixedToDouble(m.v)};
}

ASFixedRect BoxOf(double inWidth, double inHeight) {
    return {0, FixedFromDouble(inHeight), FixedFromDouble(inWidth), 0};
}

// One page of a fixture document, held for a test.
class TestPage {
public:
    explicit TestPage(const qmtest::FixturePage& inPage) {
        qmtest::StartLinkedPlugin();
        const std::string path = mFolder.file("page.pdf");
        qmtest::writeFixturePdf(path, {inPage});
        mDoc.emplace(qmtest::HostDoc::open(path));
        mPage = gPDModelHFT->docAcquirePage(mDoc->pd(), 0);
    }
    ~TestPage() { gPDModelHFT->pageRelease(mPage); }
    PDPage page() const { return mPage; }

private:
    qmtest::FixtureFolder mFolder;
    std::optional<qmtest::HostDoc> mDoc;
    PDPage mPage = nullptr;
};

qmtest::FixturePage PlainPage() { return {}; }

qmtest::FixturePage RotatedPage(int inRotate) {
    qmtest::FixturePage page;
    page.rotate = inRotate;
    return page;
}

// --- settings

struct RotationCase {
    const char* name;
    double given;
    double stored;
};

class PlacementRotation : public testing::TestWithParam<RotationCase> {};

TEST_P(PlacementRotation, IsNormalisedIntoTheTurn) {
    CPDFPlacement placement;
    placement.SetRotation(GetParam().given);
    EXPECT_DOUBLE_EQ(placement.GetRotation(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    CPDFPlacement, PlacementRotation,
    testing::Values(RotationCase{"Zero", 0, 0}, RotationCase{"Ninety", 90, 90},
                    RotationCase{"OverTwoTurns", 725, 5}, RotationCase{"MinusThirty", -30, 330},
                    RotationCase{"MinusOneTurnAndThirty", -390, 330},
                    RotationCase{"FullTurn", 360, 0}, RotationCase{"MinusFullTurn", -360, 0},
                    RotationCase{"MinusTwoTurns", -720, 0},
                    RotationCase{"JustBelowFullTurn", 359.5, 359.5},
                    RotationCase{"Fraction", -0.5, 359.5}),
    [](const testing::TestParamInfo<RotationCase>& row) { return std::string(row.param.name); });

TEST(CPDFPlacement, DefaultsFollowTheDisplayedPageAndTheRotatedBox) {
    CPDFPlacement placement;
    EXPECT_TRUE(placement.GetPageView());
    EXPECT_TRUE(placement.GetAlignRotatedBox());
    EXPECT_EQ(placement.GetHorizontalAlignment(), 0);
    EXPECT_EQ(placement.GetVerticalAlignment(), 0);
    EXPECT_EQ(placement.GetScaleX(), 1.0);
    EXPECT_EQ(placement.GetRotation(), 0.0);
    EXPECT_EQ(placement.mMatrix.a, kASFixedOne);
    EXPECT_EQ(placement.mMatrix.d, kASFixedOne);
    EXPECT_EQ(placement.mMatrix.h, 0);
}

TEST(CPDFPlacement, ScaleMatrixRoundsHalfAwayFromZero) {
    CPDFPlacement placement;
    placement.SetScale(1.5, -0.5 - 0.5 / 65536.0);
    ASFixedMatrix m{};
    ASSERT_TRUE(placement.GetScaleMatrix(m));
    EXPECT_EQ(m.a, 98304);
    EXPECT_EQ(m.d, -32769);
    EXPECT_EQ(m.b, 0);
    EXPECT_EQ(m.c, 0);
    EXPECT_EQ(m.h, 0);
    EXPECT_EQ(m.v, 0);
}

// --- the placement table, checked by where the rotated element box lands

struct TableCase {
    int32_t horizontal;  // 0 left, 1 right, 2 centre
    int32_t vertical;    // as the stamp codes it: 0 top, 1 bottom, 2 middle
    double rotation;
    int32_t unit;
};

std::string TableCaseName(const testing::TestParamInfo<TableCase>& info) {
    static const char* const kH[] = {"Left", "Right", "Centre"};
    static const char* const kV[] = {"Top", "Bottom", "Middle"};
    static const char* const kUnit[] = {"Inch", "Cm", "Mm", "Pt"};
    const TableCase& c = info.param;
    return std::string(kH[c.horizontal]) + kV[c.vertical] + "Rot" +
           std::to_string(static_cast<int>(c.rotation)) + kUnit[c.unit];
}

class PlacementTable : public testing::TestWithParam<TableCase> {};

TEST_P(PlacementTable, RotatedBoxKeepsTheOffsetFromTheChosenEdge) {
    const TableCase& c = GetParam();
    TestPage page(PlainPage());
    CPDFPlacement placement;
    placement.SetAlignment(c.horizontal, c.vertical);
    const double ox = UUnitConverter::ToPoints(c.unit, 0.5);
    const double oy = UUnitConverter::ToPoints(c.unit, 0.75);
    placement.SetOffset(ox, oy);
    placement.SetRotation(c.rotation);
    placement.SetScale(1.5, 1.5);
    placement.mPage = page.page();
    // The element is 100 x 20 in its own units; its box is given as it stands
    // on the page, scaled, before the rotation.
    placement.mElementBox = BoxOf(150, 30);
    ASSERT_TRUE(placement.Compute());

    const ASFixedMatrix& m = placement.mMatrix;
    const double rho = c.rotation * M_PI / 180.0;
    EXPECT_NEAR(FixedToDouble(m.a), 1.5 * std::cos(rho), 1e-4);
    EXPECT_NEAR(FixedToDouble(m.b), 1.5 * std::sin(rho), 1e-4);
    EXPECT_NEAR(FixedToDouble(m.c), -1.5 * std::sin(rho), 1e-4);

    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (Point corner : {Point{0, 0}, Point{100, 0}, Point{0, 20}, Point{100, 20}}) {
        const Point p = Apply(m, corner);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double tolerance = 0.01;
    switch (c.horizontal) {
        case 0: EXPECT_NEAR(minX, 0 + ox, tolerance); break;
        case 1: EXPECT_NEAR(maxX, 612 - ox, tolerance); break;
        default: EXPECT_NEAR((minX + maxX) / 2, 306 + ox, tolerance); break;
    }
    switch (c.vertical) {
        case 0: EXPECT_NEAR(maxY, 792 - oy, tolerance); break;
        case 1: EXPECT_NEAR(minY, 0 + oy, tolerance); break;
        default: EXPECT_NEAR((minY + maxY) / 2, 396 + oy, tolerance); break;
    }
}

std::vector<TableCase> AllTableCases() {
    std::vector<TableCase> cases;
    for (int32_t h : {0, 1, 2})
        for (int32_t v : {0, 1, 2})
            for (double rotation : {0.0, 30.0, 90.0, 135.0, 180.0, 225.0, 270.0, 315.0})
                for (int32_t unit : {UUnitConverter::kPoint, UUnitConverter::kMillimetre,
                                     UUnitConverter::kInch})
                    cases.push_back({h, v, rotation, unit});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(CPDFPlacement, PlacementTable, testing::ValuesIn(AllTableCases()),
                         TableCaseName);

// --- single cases

TEST(CPDFPlacement, UnrotatedLeftBottomIsTheOffsetFromTheBoxCorner) {
    qmtest::FixturePage cropped;
    cropped.cropBox = qmtest::FixtureRect{10, 20, 600, 780};
    TestPage page(cropped);
    for (bool pageView : {true, false}) {
        CPDFPlacement placement;
        placement.SetPageView(pageView);
        placement.SetAlignment(0, 1);
        placement.SetOffset(36, 72);
        placement.mPage = page.page();
        placement.mElementBox = BoxOf(100, 20);
        ASSERT_TRUE(placement.Compute());
        const ASFixedMatrix& m = placement.mMatrix;
        EXPECT_EQ(m.a, kASFixedOne) << pageView;
        EXPECT_EQ(m.b, 0);
        EXPECT_EQ(m.c, 0);
        EXPECT_EQ(m.d, kASFixedOne);
        EXPECT_EQ(m.h, FixedFromInt(10 + 36)) << pageView;
        EXPECT_EQ(m.v, FixedFromInt(20 + 72)) << pageView;
        EXPECT_EQ(placement.mPageBox.left, FixedFromInt(10));
        EXPECT_EQ(placement.mPageBox.top, FixedFromInt(780));
    }
}

TEST(CPDFPlacement, NinetyDegreesUsesPiSoTheMatrixIsExact) {
    TestPage page(PlainPage());
    CPDFPlacement placement;
    placement.SetRotation(90);
    placement.mPage = page.page();
    placement.mElementBox = BoxOf(100, 20);
    ASSERT_TRUE(placement.Compute());
    const ASFixedMatrix& m = placement.mMatrix;
    EXPECT_EQ(m.a, 0);
    EXPECT_EQ(m.d, 0);
    EXPECT_EQ(m.b, kASFixedOne);
    EXPECT_EQ(m.c, -kASFixedOne);
    // The box turned up stands to the left of its origin: the origin moves right by its height.
    EXPECT_EQ(m.h, FixedFromInt(20));
    EXPECT_EQ(m.v, 0);
}

TEST(CPDFPlacement, NegativeSineRoundsLikeThePositiveOne) {
    TestPage page(PlainPage());
    CPDFPlacement placement;
    placement.SetRotation(30);
    placement.mPage = page.page();
    placement.mElementBox = BoxOf(10, 10);
    ASSERT_TRUE(placement.Compute());
    EXPECT_EQ(placement.mMatrix.b, 32768);
    EXPECT_EQ(placement.mMatrix.c, -32768);
}

TEST(CPDFPlacement, CentreWithoutRotatedBoxPutsTheOriginAtTheCentre) {
    TestPage page(PlainPage());
    CPDFPlacement placement;
    placement.SetAlignRotatedBox(false);
    placement.SetAlignment(2, 2);
    placement.SetOffset(5, -7);
    placement.SetRotation(30);
    placement.mPage = page.page();
    placement.mElementBox = BoxOf(100, 20);
    ASSERT_TRUE(placement.Compute());
    const Point origin = Apply(placement.mMatrix, {0, 0});
    EXPECT_NEAR(origin.x, 306 + 5, 1e-4);
    EXPECT_NEAR(origin.y, 396 - 7, 1e-4);
}

TEST(CPDFPlacement, WithoutRotatedBoxLeftAlignmentIgnoresTheBox) {
    TestPage page(PlainPage());
    CPDFPlacement placement;
    placement.SetAlignRotatedBox(false);
    placement.SetAlignment(0, 1);
    placement.SetRotation(90);
    placement.mPage = page.page();
    placement.mElementBox = BoxOf(100, 20);
    ASSERT_TRUE(placement.Compute());
    EXPECT_EQ(placement.mMatrix.h, 0);
    EXPECT_EQ(placement.mMatrix.v, 0);
}

TEST(CPDFPlacement, ScaleComesBeforeTheRotation) {
    TestPage page(PlainPage());
    CPDFPlacement placement;
    placement.SetAlignRotatedBox(false);
    placement.SetScale(2, 1);
    placement.SetRotation(90);
    placement.mPage = page.page();
    placement.mElementBox = BoxOf(10, 10);
    ASSERT_TRUE(placement.Compute());
    const Point origin = Apply(placement.mMatrix, {0, 0});
    const Point unitX = Apply(placement.mMatrix, {10, 0});
    EXPECT_NEAR(unitX.x - origin.x, 0, 1e-4);
    EXPECT_NEAR(unitX.y - origin.y, 20, 1e-4);
}

TEST(CPDFPlacement, HugeOffsetPinsTheElementInsteadOfWrappingAround) {
    TestPage page(PlainPage());
    CPDFPlacement placement;
    placement.SetOffset(UUnitConverter::ToPoints(UUnitConverter::kInch, 99999), -1e9);
    placement.mPage = page.page();
    placement.mElementBox = BoxOf(10, 10);
    ASSERT_TRUE(placement.Compute());
    EXPECT_EQ(placement.mMatrix.h, INT32_MAX);
    EXPECT_EQ(placement.mMatrix.v, INT32_MIN);
}

TEST(CPDFPlacement, ComputeWithoutAPageAnswersFalse) {
    qmtest::StartLinkedPlugin();
    CPDFPlacement placement;
    placement.mElementBox = BoxOf(10, 10);
    EXPECT_FALSE(placement.Compute());
}

// --- rotated pages: where a unit box's corners land in user space

struct RotatedPageCase {
    const char* name;
    int rotate;
    bool pageView;
    Point origin, xEnd, yEnd;  // the images of (0,0), (1,0), (0,1) under the matrix
};

class PlacementOnRotatedPage : public testing::TestWithParam<RotatedPageCase> {};

TEST_P(PlacementOnRotatedPage, UnitBoxCornersLandAsDisplayed) {
    const RotatedPageCase& c = GetParam();
    TestPage page(RotatedPage(c.rotate));
    CPDFPlacement placement;
    placement.SetPageView(c.pageView);
    placement.SetAlignment(0, 1);  // left, bottom
    placement.SetOffset(36, 72);
    placement.SetScale(100, 100);
    placement.mPage = page.page();
    placement.mElementBox = BoxOf(1, 1);
    ASSERT_TRUE(placement.Compute());
    const Point origin = Apply(placement.mMatrix, {0, 0});
    const Point xEnd = Apply(placement.mMatrix, {1, 0});
    const Point yEnd = Apply(placement.mMatrix, {0, 1});
    EXPECT_NEAR(origin.x, c.origin.x, 0.01);
    EXPECT_NEAR(origin.y, c.origin.y, 0.01);
    EXPECT_NEAR(xEnd.x, c.xEnd.x, 0.01);
    EXPECT_NEAR(xEnd.y, c.xEnd.y, 0.01);
    EXPECT_NEAR(yEnd.x, c.yEnd.x, 0.01);
    EXPECT_NEAR(yEnd.y, c.yEnd.y, 0.01);
    // The page box stays the page's own; the view box is the displayed one.
    EXPECT_EQ(placement.mPageBox.right, FixedFromInt(612));
    const bool across = c.pageView && (c.rotate == 90 || c.rotate == 270);
    EXPECT_EQ(placement.mViewPageBox.right, FixedFromInt(across ? 792 : 612));
}

// A 612 x 792 page. Turned 90 degrees clockwise, displayed (X, Y) is user
// (612 - Y, X); turned 270 degrees, user (Y, 792 - X); turned 180, (612 - X, 792 - Y).
INSTANTIATE_TEST_SUITE_P(
    CPDFPlacement, PlacementOnRotatedPage,
    testing::Values(
        RotatedPageCase{"Rotate90PageView", 90, true, {540, 36}, {540, 136}, {440, 36}},
        RotatedPageCase{"Rotate270PageView", 270, true, {72, 756}, {72, 656}, {172, 756}},
        RotatedPageCase{"Rotate180PageView", 180, true, {576, 720}, {476, 720}, {576, 620}},
        RotatedPageCase{"Rotate90UserSpace", 90, false, {36, 72}, {136, 72}, {36, 172}},
        RotatedPageCase{"Rotate270UserSpace", 270, false, {36, 72}, {136, 72}, {36, 172}}),
    [](const testing::TestParamInfo<RotatedPageCase>& row) { return std::string(row.param.name); });

// --- off-page test

struct FitCase {
    const char* name;
    double left, bottom, right, top;  // the element box, in page space
    bool fits;
    double outLeft, outTop, outRight, outBottom;
};

class PlacementFits : public testing::TestWithParam<FitCase> {};

TEST_P(PlacementFits, ReportsHowFarTheBoxReachesBeyondEachEdge) {
    const FitCase& c = GetParam();
    CPDFPlacement placement;
    placement.mPageBox = {FixedFromInt(0), FixedFromInt(792), FixedFromInt(612), FixedFromInt(0)};
    // The view box must not be used.
    placement.mViewPageBox = {FixedFromInt(-1000), FixedFromInt(1000), FixedFromInt(1000),
                              FixedFromInt(-1000)};
    placement.mElementBox = {FixedFromDouble(c.left), FixedFromDouble(c.top), FixedFromDouble(c.right),
                             FixedFromDouble(c.bottom)};
    ASFixed l = 1, t = 1, r = 1, b = 1;
    EXPECT_EQ(placement.FitsOnPage(l, t, r, b), c.fits);
    EXPECT_EQ(l, FixedFromDouble(c.outLeft));
    EXPECT_EQ(t, FixedFromDouble(c.outTop));
    EXPECT_EQ(r, FixedFromDouble(c.outRight));
    EXPECT_EQ(b, FixedFromDouble(c.outBottom));
}

INSTANTIATE_TEST_SUITE_P(
    CPDFPlacement, PlacementFits,
    testing::Values(FitCase{"Inside", 10, 10, 100, 100, true, 0, 0, 0, 0},
                    FitCase{"ExactlyThePage", 0, 0, 612, 792, true, 0, 0, 0, 0},
                    FitCase{"OverLeftAndTop", -5.5, 700, 100, 800, false, 5.5, 8, 0, 0},
                    FitCase{"OverRightAndBottom", 600, -2, 620, 10, false, 0, 0, 8, 2},
                    FitCase{"OverEveryEdge", -1, -2, 615, 796, false, 1, 4, 3, 2}),
    [](const testing::TestParamInfo<FitCase>& row) { return std::string(row.param.name); });

// A writer computes several times per page (text, frame, each prefix word
// wrap tries): the page's box and matrix are read once per page, and read
// anew for another page, which gets its own geometry. SetPage starts a new
// write: the page is read again even when it is the same one, so that a
// change made to it since is seen.
TEST(CPDFPlacement, ReadsEachPagesGeometryOncePerPage) {
    TestPage upright(PlainPage());
    TestPage turned(RotatedPage(90));
    CPDFPlacement placement;
    placement.SetAlignment(CPDFPlacement::kAlignRight, CPDFPlacement::kAlignTop);
    placement.mElementBox = BoxOf(100, 20);
    qmtest::FaultInjectingHost host;  // counts the host's page-geometry calls
    host.Count<&PDModelTable::pageGetBox>().Count<&PDModelTable::pageGetDefaultMatrix>();
    placement.mPage = upright.page();
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(placement.Compute());
    const ASFixedMatrix onUpright = placement.mMatrix;
    EXPECT_EQ((host.Calls<&PDModelTable::pageGetBox>()), 1);
    EXPECT_EQ((host.Calls<&PDModelTable::pageGetDefaultMatrix>()), 1);
    placement.mPage = turned.page();
    ASSERT_TRUE(placement.Compute());
    ASSERT_TRUE(placement.Compute());
    EXPECT_EQ((host.Calls<&PDModelTable::pageGetBox>()), 2);
    EXPECT_EQ((host.Calls<&PDModelTable::pageGetDefaultMatrix>()), 2);
    EXPECT_NE(placement.mMatrix.a, onUpright.a) << "the turned page's own rotation";
    EXPECT_EQ(placement.mViewPageBox.right - placement.mViewPageBox.left,
              placement.mPageBox.top - placement.mPageBox.bottom);
    for (int write = 3; write <= 4; ++write) {
        placement.SetPage(turned.page());
        ASSERT_TRUE(placement.Compute());
        ASSERT_TRUE(placement.Compute());
        EXPECT_EQ((host.Calls<&PDModelTable::pageGetBox>()), write);
    }
}

// One placement computes for many boxes and rotations in a run (text,
// frame, word-wrap prefixes; a stamp's settings changed between runs): what
// it keeps of the last rotation and box must never leak into the next.
struct ReuseStep {
    double rotation;
    double width, height;
    bool pageView;
};

TEST(CPDFPlacement, ReusedPlacementComputesWhatAFreshOneComputes) {
    TestPage page(RotatedPage(90));
    const std::vector<ReuseStep> steps = {
        {30, 100, 20, true},  {30, 100, 20, true}, {30, 120, 20, true}, {45, 120, 20, true},
        {0, 120, 20, true},   {0, 120, 20, false}, {330, 40, 80, false}, {330, 40, 80, true},
        {30, 100, 20, true},
    };
    CPDFPlacement reused;
    reused.SetPage(page.page());
    for (size_t i = 0; i < steps.size(); ++i) {
        const ReuseStep& step = steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        CPDFPlacement fresh;
        for (CPDFPlacement* p : {&reused, &fresh}) {
            p->SetAlignment(CPDFPlacement::kAlignRight, CPDFPlacement::kAlignTop);
            p->SetRotation(step.rotation);
            p->SetPageView(step.pageView);
            p->mElementBox = BoxOf(step.width, step.height);
        }
        fresh.SetPage(page.page());
        ASSERT_TRUE(reused.Compute());
        ASSERT_TRUE(fresh.Compute());
        const ASFixedMatrix& r = reused.mMatrix;
        const ASFixedMatrix& f = fresh.mMatrix;
        EXPECT_TRUE(r.a == f.a && r.b == f.b && r.c == f.c && r.d == f.d && r.h == f.h && r.v == f.v);
        EXPECT_EQ(reused.mViewPageBox.right, fresh.mViewPageBox.right);
        EXPECT_EQ(reused.mViewPageBox.top, fresh.mViewPageBox.top);
    }
}

}  // namespace
