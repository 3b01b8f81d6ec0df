// Matrices, rectangle and page-box helpers, device geometry and plane vectors.
#include <gtest/gtest.h>

#include <cmath>

#include "PageContentFixture.h"
#include "common/PageContentFixtures.h"
#include "pagecontent/CPDEMatrix.h"
#include "pagecontent/CVector2D.h"
#include "pagecontent/PDERectHelpers.h"
#include "support/ErrorCode.h"
#include "support/HostTables.h"
#include "support/cos/CCosArray.h"

namespace {

using pctest::PageContentTest;

bool same(const CPDEMatrix& m, double a, double b, double c, double d, double h, double v) {
    const double e = 1e-9;
    return std::fabs(m.A() - a) < e && std::fabs(m.B() - b) < e && std::fabs(m.C() - c) < e &&
           std::fabs(m.D() - d) < e && std::fabs(m.H() - h) < e && std::fabs(m.V() - v) < e;
}

TEST(CPDEMatrix, ProductAppliesTheOtherFirstAndConcatThisFirst) {
    const CPDEMatrix scale(2, 0, 0, 2, 0, 0), shift(1, 0, 0, 1, 10, 0);
    CPDEMatrix product;
    scale.Product(shift, product);  // shift, then scale
    EXPECT_TRUE(same(product, 2, 0, 0, 2, 20, 0));
    CPDEMatrix concat(scale);
    concat.Concat(shift);  // scale, then shift
    EXPECT_TRUE(same(concat, 2, 0, 0, 2, 10, 0));
    CPDEMatrix unchanged(1, 2, 3, 4, 5, 6);
    unchanged.Concat(CPDEMatrix());
    EXPECT_TRUE(same(unchanged, 1, 2, 3, 4, 5, 6));
    double x = 1, y = 1;
    CPDEMatrix(0, 1, -1, 0, 5, 0).TransformPoint(x, y);  // a quarter turn, then 5 right
    EXPECT_DOUBLE_EQ(x, 4);
    EXPECT_DOUBLE_EQ(y, 1);
}

TEST(CPDEMatrix, ElementsAndFixedConversionRoundHalfAwayFromZero) {
    CPDEMatrix m(1.5, 2, 3, 4, 5, 6);
    EXPECT_EQ(m.Element(7), 1.5) << "any other index gives a";
    EXPECT_EQ(m.Element(-1), 1.5);
    m.Element(5) = 9;
    EXPECT_EQ(m.V(), 9);
    struct Row {
        double value;
        ASFixed fixed;
    };
    const Row rows[] = {{0.5, 32768}, {-0.5, -32768}, {-1.0, -65536}, {1.0 / 131072, 1}, {-1.0 / 131072, -1},
                        {40000.0, INT32_MAX}, {-40000.0, INT32_MIN}};
    for (const Row& row : rows) {
        ASFixedMatrix out;
        CPDEMatrix(row.value, 0, 0, 1, 0, 0).ToFixed(out);
        EXPECT_EQ(out.a, row.fixed) << row.value;
        EXPECT_EQ(CPDEMatrix(row.value, 0, 0, 1, 0, 0).GetFixedMatrix().a, row.fixed) << row.value;
    }
    EXPECT_TRUE(same(CPDEMatrix(ASFixedMatrix{65536, 0, 0, -32768, 655360, 0}), 1, 0, 0, -0.5, 10, 0));
}

TEST(CPDEMatrix, UnitSquareOfRectangles) {
    // A fixed rectangle whose top lies below its bottom: the same d, v its bottom field as given.
    const CPDEMatrix upright(ASFixedRect{10 << 16, 50 << 16, 30 << 16, 20 << 16});
    const CPDEMatrix inverted(ASFixedRect{10 << 16, 20 << 16, 30 << 16, 50 << 16});
    EXPECT_TRUE(same(upright, 20, 0, 0, 30, 10, 20));
    EXPECT_TRUE(same(inverted, 20, 0, 0, 30, 10, 50));
    EXPECT_TRUE(same(CPDEMatrix(ASFixedRect{30 << 16, 50 << 16, 10 << 16, 20 << 16}), -20, 0, 0, 30, 30, 20))
        << "only the height is taken as an absolute value";
    EXPECT_TRUE(same(CPDEMatrix(Rect16{10, 40, 30, 10}), 20, 0, 0, 30, 10, 40));
}

TEST(RectHelpers, SwapOutsetOffsetOrder) {
    Rect16 out;
    const Rect16 in{1, 2, 3, -4};
    SwapRectAxes(in, out);
    EXPECT_EQ((std::array<int, 4>{out.left, out.top, out.right, out.bottom}), (std::array<int, 4>{2, 1, -4, 3}));
    SwapRectAxesOrdered(in, out);
    EXPECT_EQ((std::array<int, 4>{out.left, out.top, out.right, out.bottom}), (std::array<int, 4>{-4, 1, 2, 3}));
    Rect16 r{10, 10, 20, 20};
    OutsetRect(r, 2);
    EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.right, r.bottom}), (std::array<int, 4>{8, 8, 22, 22}));
    OutsetRect(r, -3);
    OffsetRect(r, 5, -5);
    EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.right, r.bottom}), (std::array<int, 4>{16, 6, 24, 14}));
    Rect16 reversed{20, 30, 10, 5};
    OrderRect(reversed);
    EXPECT_EQ((std::array<int, 4>{reversed.left, reversed.top, reversed.right, reversed.bottom}),
              (std::array<int, 4>{10, 5, 20, 30}));
}

TEST_F(PageContentTest, CosArraysAndPageBoxes) {
    const std::string path = folder.file("boxes.pdf");
    qmtest::writeContentPdf(path, "0 0 1 1 re f");
    AVDoc view = OpenView(path);
    PDDoc doc = gAppViewHFT->avDocGetPDDoc(view);
    const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(doc);
    CCosArray array(cosDoc, false, 6);
    CPDEMatrix(1.5, 0, 0, -2, 100, 0.25).ToCosArray(array);
    EXPECT_TRUE(same(CPDEMatrix(array), 1.5, 0, 0, -2, 100, 0.25));
    array.PutName(2, gCoreHFT->atomFromString("Oops"));
    try {
        CPDEMatrix bad(array);
        FAIL() << "a name is no number";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrNotANumber);
    }

    PDPage page = gPDModelHFT->docAcquirePage(doc, 0);
    const CosObj dict = gPDModelHFT->pageGetCosObj(page);
    CCosArray three(cosDoc, false, 3);
    for (int i = 0; i < 3; ++i) three.PutInteger(i, 10);
    gCosHFT->dictPut(dict, gCoreHFT->atomFromString("TrimBox"), three.GetCosObj());
    ASFixedRect box{1, 1, 1, 1};
    EXPECT_FALSE(GetTrimBox(page, box)) << "three numbers are no box";
    EXPECT_EQ(box.left, 1) << "and leave the rectangle alone";
    EXPECT_FALSE(GetTrimOrPageBox(page, box));
    EXPECT_EQ(box.right, 200 << 16) << "the page's own box";
    CCosArray four(cosDoc, false, 4);
    const int values[] = {5, 6, 150, 160};
    for (int i = 0; i < 4; ++i) four.PutInteger(i, values[i]);
    gCosHFT->dictPut(dict, gCoreHFT->atomFromString("TrimBox"), four.GetCosObj());
    EXPECT_TRUE(GetTrimOrPageBox(page, box));
    EXPECT_EQ((std::array<ASFixed, 4>{box.left, box.bottom, box.right, box.top}),
              (std::array<ASFixed, 4>{5 << 16, 6 << 16, 150 << 16, 160 << 16}));
    gCosHFT->dictPut(dict, gCoreHFT->atomFromString("BleedBox"), four.GetCosObj());
    RemoveBleedBox(page);
    EXPECT_FALSE(gCosHFT->dictKnown(dict, gCoreHFT->atomFromString("BleedBox")));
    RemoveBleedBox(page);  // none left: nothing happens
    gPDModelHFT->pageRelease(page);
}

TEST_F(PageContentTest, DeviceRectOfARotatedMatrixIsTheBoxOfTheRotatedSquare) {
    const std::string path = folder.file("device.pdf");
    qmtest::writeContentPdf(path, "");
    AVPageView pageView = gAppViewHFT->docGetPageView(OpenView(path));
    Rect16 rect;
    MatrixDeviceRect(pageView, CPDEMatrix(20, 0, 0, 10, 30, 40), rect);  // page 200 high, device y down
    EXPECT_EQ((std::array<int, 4>{rect.left, rect.top, rect.right, rect.bottom}), (std::array<int, 4>{30, 150, 50, 160}));
    const double s = std::sqrt(0.5) * 20;
    MatrixDeviceRect(pageView, CPDEMatrix(s, s, -s, s, 100, 100), rect);  // a square turned 45 degrees
    EXPECT_EQ((std::array<int, 4>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::array<int, 4>{100 - 14, 100 - 28, 100 + 14, 100}));
    Point16 corners[4];
    MatrixDeviceCorners(pageView, CPDEMatrix(20, 0, 0, 10, 30, 40), corners);
    EXPECT_EQ(corners[0].h, 30);
    EXPECT_EQ(corners[0].v, 150) << "(0, 1) first";
    EXPECT_EQ(corners[3].h, 50);
    EXPECT_EQ(corners[3].v, 160) << "(1, 0) last";
}

TEST(CVector2D, LengthUnitAngleAndDirection) {
    CVector2D v(3, 4);
    EXPECT_DOUBLE_EQ(v.Length(), 5);
    EXPECT_DOUBLE_EQ(v.GetUnitX(), 0.6);
    v.MakeUnit();
    EXPECT_EQ(v.Length(), 1.0);
    EXPECT_DOUBLE_EQ(v.Y(), 0.8);
    v.Set(6, 8);
    EXPECT_DOUBLE_EQ(v.Length(), 10) << "setting clears the unit mark";
    EXPECT_DOUBLE_EQ(v.GetUnitY(), 0.8) << "and the cache";
    CVector2D null;
    EXPECT_TRUE(std::isnan(null.GetUnitX())) << "no error, not a number";
    const CVector2D tiny(0.1, 0.7), same(0.1, 0.7);
    EXPECT_EQ(tiny.AngleBetween(same), 0.0) << "a cosine rounded above 1 is clamped";
    EXPECT_DOUBLE_EQ(CVector2D(1, 0).AngleBetween(CVector2D(-2, 0)), std::acos(-1.0));
    EXPECT_DOUBLE_EQ(CVector2D(1, 1, 4, 5).Length(), 5) << "from two points";
    struct Row {
        double x, y, direction;
    };
    const Row rows[] = {{1, 0, 0},
                        {-1, 0, CVector2D::kPi},
                        {0, -2, -CVector2D::kHalfPi},
                        {0, 0, CVector2D::kHalfPi},
                        {-1, -1, std::atan(1.0) - CVector2D::kPi},
                        {1, 1, std::atan(1.0)}};
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(CVector2D(row.x, row.y).Direction(), row.direction) << row.x << ", " << row.y;
}

}  // namespace
