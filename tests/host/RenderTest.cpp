// Drawing pages into images: a black rectangle at a known place on the page
// must appear where the drawing matrix puts it (y up from the image's bottom).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>

#include <QImage>
#include <qpdf/QPDFWriter.hh>

#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "render/DrawPlacement.h"
#include "render/PageRenderer.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

// The black rectangle of the fixture pages, in user space.
constexpr double kRectLeft = 100, kRectBottom = 200, kRectWidth = 50, kRectHeight = 30;
const std::string kRectContent = "0 g 100 200 50 30 re f\n";

bool isBlack(QRgb pixel) { return qGray(pixel) < 60; }
bool isWhite(QRgb pixel) { return qRed(pixel) > 220 && qGreen(pixel) > 220 && qBlue(pixel) > 220; }

ASFixedMatrix scaled(const ASFixedMatrix& m, double s) {
    auto f = [s](ASFixed v) { return static_cast<ASFixed>(std::lround(v * s)); };
    return ASFixedMatrix{f(m.a), f(m.b), f(m.c), f(m.d), f(m.h), f(m.v)};
}

class Render : public ::testing::Test {
protected:
    FixtureFolder folder;
    // Page 0 upright, page 1 with /Rotate 90; both 612 x 792 with the rectangle.
    HostDoc openFixture() {
        const std::string path = folder.file("render.pdf");
        writeBuiltPdf(path, [](QPDF& pdf) {
            appendPage(pdf, 612, 792, kRectContent);
            appendPage(pdf, 612, 792, kRectContent, 90);
        });
        return HostDoc::open(path);
    }
    QImage draw(PDDoc doc, int32_t index, const ASFixedMatrix& matrix, int width, int height,
                const ASFixedRect* update = nullptr, QRgb fill = qRgb(255, 0, 0)) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(fill);
        PDPage page = pdT().docAcquirePage(doc, index);
        pdT().pageDrawContents(page, &image, &matrix, update);
        pdT().pageRelease(page);
        return image;
    }
    ASFixedMatrix defaultMatrix(PDDoc doc, int32_t index) {
        PDPage page = pdT().docAcquirePage(doc, index);
        ASFixedMatrix m;
        pdT().pageGetDefaultMatrix(page, &m);
        pdT().pageRelease(page);
        return m;
    }
};

// Where user point (x, y) lands in the image by the contract: matrix, then y flipped.
QPoint pixelOf(const ASFixedMatrix& m, double x, double y, int imageHeight) {
    const double ix = (m.a * x + m.c * y + m.h) / 65536.0;
    const double iy = (m.b * x + m.d * y + m.v) / 65536.0;
    return QPoint(static_cast<int>(std::floor(ix)), static_cast<int>(std::floor(imageHeight - iy)));
}

// Checks a grid of user-space points: inside the rectangle (2 points in from its
// edges) black, outside it (2 points off) white.
void expectRectangleWhereTheMatrixPutsIt(const QImage& image, const ASFixedMatrix& m) {
    int blacks = 0, whites = 0;
    for (double x = 2; x < 612; x += 6)
        for (double y = 2; y < 792; y += 6) {
            const bool inside = x > kRectLeft + 2 && x < kRectLeft + kRectWidth - 2 && y > kRectBottom + 2 &&
                                y < kRectBottom + kRectHeight - 2;
            const bool outside = x < kRectLeft - 2 || x > kRectLeft + kRectWidth + 2 || y < kRectBottom - 2 ||
                                 y > kRectBottom + kRectHeight + 2;
            const QPoint p = pixelOf(m, x, y, image.height());
            if (!image.rect().contains(p) || (!inside && !outside)) continue;
            const QRgb pixel = image.pixel(p);
            if (inside) {
                EXPECT_TRUE(isBlack(pixel)) << "user (" << x << ", " << y << ") at pixel " << p.x() << ", " << p.y();
                ++blacks;
            } else {
                EXPECT_TRUE(isWhite(pixel)) << "user (" << x << ", " << y << ") at pixel " << p.x() << ", " << p.y();
                ++whites;
            }
        }
    EXPECT_GT(blacks, 10);
    EXPECT_GT(whites, 100);
}

struct DrawCase {
    const char* name;
    int32_t page;
    double scale;      // applied after the page's default matrix
    double shiftX;     // then moved by this many pixels
    double shiftY;
    int width, height;
};

// Rows print as their names in test output.
void PrintTo(const DrawCase& row, std::ostream* out) { *out << row.name; }

class RenderAt : public Render, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(RenderAt, RectangleAppearsAtTheMatchingPixels) {
    const DrawCase& c = GetParam();
    HostDoc doc = openFixture();
    ASFixedMatrix m = scaled(defaultMatrix(doc.pd(), c.page), c.scale);
    m.h += fixedOf(c.shiftX);
    m.v += fixedOf(c.shiftY);
    const QImage image = draw(doc.pd(), c.page, m, c.width, c.height);
    expectRectangleWhereTheMatrixPutsIt(image, m);
}

INSTANTIATE_TEST_SUITE_P(Matrices, RenderAt,
                         ::testing::Values(DrawCase{"UprightAt72Dpi", 0, 1, 0, 0, 612, 792},
                                           DrawCase{"UprightAt144Dpi", 0, 2, 0, 0, 1224, 1584},
                                           DrawCase{"Rotate90PageWithItsDefaultMatrix", 1, 1, 0, 0, 792, 612},
                                           DrawCase{"Rotate90PageAt144Dpi", 1, 2, 0, 0, 1584, 1224},
                                           DrawCase{"ShiftedIntoASmallImage", 0, 1.5, -80, -250, 300, 200},
                                           DrawCase{"HalfSize", 0, 0.5, 10, 20, 400, 450}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(Render, UpsideDownMatrixTurnsTheDrawingAround) {
    HostDoc doc = openFixture();
    const ASFixedMatrix m{-kASFixedOne, 0, 0, -kASFixedOne, fixedOf(612), fixedOf(792)};
    const QImage image = draw(doc.pd(), 0, m, 612, 792);
    expectRectangleWhereTheMatrixPutsIt(image, m);
}

TEST_F(Render, OnlyTheUpdateRectangleIsPainted) {
    HostDoc doc = openFixture();
    const ASFixedMatrix m = defaultMatrix(doc.pd(), 0);
    const ASFixedRect left = fixedRect(0, 0, 306, 792);
    const QImage image = draw(doc.pd(), 0, m, 612, 792, &left);
    EXPECT_TRUE(isBlack(image.pixel(125, 792 - 215)));
    EXPECT_TRUE(isWhite(image.pixel(20, 20)));
    EXPECT_TRUE(isWhite(image.pixel(300, 700)));
    EXPECT_EQ(image.pixel(320, 400), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(600, 20), qRgb(255, 0, 0));
}

TEST_F(Render, MatricesThatNeedMoreThanQuarterTurnsAreUnsupported) {
    HostDoc doc = openFixture();
    QImage image(100, 100, QImage::Format_ARGB32);
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    const ASFixedMatrix skewed{kASFixedOne, fixedOf(0.3), 0, kASFixedOne, 0, 0};
    const ASFixedMatrix mirrored{kASFixedOne, 0, 0, -kASFixedOne, 0, fixedOf(792)};
    const ASFixedMatrix uneven{kASFixedOne, 0, 0, 2 * kASFixedOne, 0, 0};
    for (const ASFixedMatrix& m : {skewed, mirrored, uneven})
        EXPECT_EQ(hostErrorOf([&] { pdT().pageDrawContents(page, &image, &m, nullptr); }), kHostErrUnsupported);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageDrawContents(page, nullptr, &skewed, nullptr); }), kHostErrBadParameter);
    pdT().pageRelease(page);
}

TEST_F(Render, ChangedContentIsDrawnAfterTheChangeIsNoted) {
    HostDoc doc = openFixture();
    const ASFixedMatrix m = defaultMatrix(doc.pd(), 0);
    EXPECT_TRUE(isBlack(draw(doc.pd(), 0, m, 612, 792).pixel(125, 792 - 215)));

    // Move the rectangle to (400, 500) through Cos, as a stamp's content would change.
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    QPDFObjectHandle dict = qmhost::objectOf(pdT().pageGetCosObj(page));
    dict.getKey("/Contents").replaceStreamData("0 g 400 500 50 30 re f\n", QPDFObjectHandle::newNull(),
                                               QPDFObjectHandle::newNull());
    pdT().pageNotifyContentsDidChange(page);
    pdT().pageRelease(page);

    const QImage after = draw(doc.pd(), 0, m, 612, 792);
    EXPECT_TRUE(isWhite(after.pixel(125, 792 - 215)));
    EXPECT_TRUE(isBlack(after.pixel(425, 792 - 515)));
}

TEST_F(Render, ClosingTheDocumentDropsItsCachedRendering) {
    HostDoc doc = openFixture();
    const size_t before = qmhost::cachedRenderingCount();
    draw(doc.pd(), 0, defaultMatrix(doc.pd(), 0), 50, 50);
    EXPECT_EQ(qmhost::cachedRenderingCount(), before + 1);
    doc.close();
    EXPECT_EQ(qmhost::cachedRenderingCount(), before);
}

TEST_F(Render, BlankPageOfANewDocumentDrawsWhite) {
    HostDoc doc = HostDoc::create();
    const ASFixedRect letter = fixedRect(0, 0, 612, 792);
    pdT().pageRelease(pdT().docCreatePage(doc.pd(), -1, &letter));
    const QImage image = draw(doc.pd(), 0, defaultMatrix(doc.pd(), 0), 612, 792);
    EXPECT_TRUE(isWhite(image.pixel(0, 0)));
    EXPECT_TRUE(isWhite(image.pixel(306, 396)));
    EXPECT_TRUE(isWhite(image.pixel(611, 791)));
}

TEST_F(Render, EncryptedDocumentDraws) {
    // Only shapes: text in a font that is not embedded would send poppler to the
    // system's font configuration, which leaks a little on loading.
    const std::string plain = folder.file("plain.pdf");
    writeBuiltPdf(plain, [](QPDF& pdf) { appendPage(pdf, 612, 792, kRectContent); });
    const std::string path = folder.file("encrypted.pdf");
    {
        QPDF pdf;
        pdf.processFile(plain.c_str());
        QPDFWriter writer(pdf, path.c_str());
        writer.setStaticID(true);
        writer.setR6EncryptionParameters("", "owner", true, true, true, true, true, false, qpdf_r3p_full, true);
        writer.write();
    }
    HostDoc doc = HostDoc::open(path);
    ASSERT_NE(pdT().docGetSecurityData(doc.pd()), nullptr);
    const ASFixedMatrix m = defaultMatrix(doc.pd(), 0);
    expectRectangleWhereTheMatrixPutsIt(draw(doc.pd(), 0, m, 612, 792), m);
}

// --- the decomposition itself

struct PlacementCase {
    const char* name;
    ASFixedMatrix matrix;
    int rotation;
    double scale, left, top;
};

// Rows print as their names in test output.
void PrintTo(const PlacementCase& row, std::ostream* out) { *out << row.name; }

class DrawPlacementOf : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(DrawPlacementOf, LetterPageIntoA1000PixelHighImage) {
    const ASFixedRect box = fixedRect(0, 0, 612, 792);
    qmhost::DrawPlacement placement;
    ASSERT_TRUE(qmhost::placeDrawing(GetParam().matrix, box, 1000, &placement));
    EXPECT_EQ(placement.rotation, GetParam().rotation);
    EXPECT_NEAR(placement.scale, GetParam().scale, 1e-4);
    EXPECT_NEAR(placement.left, GetParam().left, 1e-3);
    EXPECT_NEAR(placement.top, GetParam().top, 1e-3);
}

constexpr ASFixed k1 = kASFixedOne;
INSTANTIATE_TEST_SUITE_P(
    Matrices, DrawPlacementOf,
    ::testing::Values(PlacementCase{"Identity", {k1, 0, 0, k1, 0, 0}, 0, 1, 0, 1000 - 792},
                      PlacementCase{"DoubleAndMoved", {2 * k1, 0, 0, 2 * k1, 10 * k1, 20 * k1}, 0, 2, 10,
                                    1000 - 20 - 1584},
                      PlacementCase{"QuarterTurn", {0, -k1, k1, 0, 0, 612 * k1}, 90, 1, 0, 1000 - 612},
                      PlacementCase{"HalfTurn", {-k1, 0, 0, -k1, 612 * k1, 792 * k1}, 180, 1, 0, 1000 - 792},
                      PlacementCase{"ThreeQuarterTurn", {0, k1, -k1, 0, 792 * k1, 0}, 270, 1, 0, 1000 - 612}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DrawPlacement, RefusesMirrorsSkewsAndAbsurdScales) {
    const ASFixedRect box = fixedRect(0, 0, 612, 792);
    qmhost::DrawPlacement placement;
    for (const ASFixedMatrix& m : {ASFixedMatrix{-k1, 0, 0, k1, 0, 0}, ASFixedMatrix{0, k1, k1, 0, 0, 0},
                                   ASFixedMatrix{k1, k1 / 10, 0, k1, 0, 0}, ASFixedMatrix{0, 0, 0, 0, 0, 0},
                                   ASFixedMatrix{200 * k1, 0, 0, 200 * k1, 0, 0}})
        EXPECT_FALSE(qmhost::placeDrawing(m, box, 100, &placement));
}

}  // namespace
