// Image stamps end to end on both roads: host version 5, where the image
// element reads JPEG and TIFF files itself, and version 8, where the host
// turns the image file into a one-page document that is placed as a PDF page.
// The same profile must give the same picture at the same size and place
// (pdfimages -list, pixels rendered by pdftoppm); PNG transparency survives on
// version 8; files that do not serve give their messages and leave no XObject.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "StampRunFixture.h"
#include "common/PluginFixture.h"
#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFFormElement.h"
#include "engine/CPDFImageElement.h"
#include "engine/CPDFPlacement.h"
#include "common/ImageFixtures.h"
#include "stamper/CImageStamp.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "stamper/StampingRun.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/HostVersion.h"

// The JPEG and TIFF writers of the engine tests, compiled into this program
// too (the stamper tests are a program of their own).

namespace {

using stamptest::CountXObjects;
using stamptest::StampCab;
using stamptest::XObjectCensus;

// Sets the host's major version for one scope; the default (8) comes back.
class HostVersionScope {
public:
    explicit HostVersionScope(int32_t major) { qmhost::setHostMajorVersion(major); }
    ~HostVersionScope() { qmhost::setHostMajorVersion(8); }
    HostVersionScope(const HostVersionScope&) = delete;
    HostVersionScope& operator=(const HostVersionScope&) = delete;
};

// Where every image stamp of these tests goes: 100 points from the left, 120
// from the top, at 200 percent.
constexpr int kLeft = 100;
constexpr int kTop = 120;
constexpr int kSizePercent = 200;

StampCab ImageStamp(const std::string& name, const std::string& file) {
    StampCab cab;
    cab.Int(kKeyStampType, kStampTypeImage)
        .String(kKeyStampName, name)
        .Text(kKeySourceFile, file)
        .Int(kKeySourceSize, kSizePercent)
        .Int(kKeyOpacity, 100)
        .Bool(kKeyOverlay, true)
        .Int(kKeyUnit, 3)
        .Double(kKeyHorizontalOffset, kLeft)
        .Double(kKeyVerticalOffset, kTop);
    return cab;
}

// --- reading the results

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;  // pixels, right and bottom included
};

// Page `page` (from 1) rendered at 72 dpi: one pixel is one point.
QImage Render(const std::string& pdf, int page) {
    const std::string prefix = pdf + ".page" + std::to_string(page);
    const auto result = qmtest::runCommand("pdftoppm -r 72 -png -singlefile -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " " + qmtest::shellQuote(pdf) + " " +
                                           qmtest::shellQuote(prefix));
    EXPECT_EQ(result.status, 0) << result.output;
    return QImage(QString::fromStdString(prefix + ".png")).convertToFormat(QImage::Format_RGB32);
}

// The box of the pixels that are not white.
Box InkBox(const QImage& image) {
    Box box{image.width(), image.height(), -1, -1};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 247 && c.green() > 247 && c.blue() > 247) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, y);
        }
    return box;
}

int ColorDistance(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// One row of `pdfimages -list`, without the columns that name the object and
// tell its coding.
struct ListedImage {
    int page = 0;
    std::string type, color;
    int width = 0, height = 0, components = 0, bits = 0, xppi = 0, yppi = 0;
    bool operator==(const ListedImage&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ListedImage& image) {
    return out << image.page << " " << image.type << " " << image.width << "x" << image.height << " "
               << image.color << "/" << image.components << "/" << image.bits << " " << image.xppi << "x"
               << image.yppi << "ppi";
}

std::vector<ListedImage> ListImages(const std::string& pdf) {
    const auto result = qmtest::runCommand("pdfimages -list " + qmtest::shellQuote(pdf));
    EXPECT_EQ(result.status, 0) << result.output;
    std::vector<ListedImage> images;
    std::istringstream lines(result.output);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        ListedImage image;
        std::string num, enc, interp, object, id;
        if (fields >> image.page >> num >> image.type >> image.width >> image.height >> image.color >>
            image.components >> image.bits >> enc >> interp >> object >> id >> image.xppi >> image.yppi)
            images.push_back(image);
    }
    return images;
}

// Where the images drawn on a page land: the unit square of every image
// XObject that the page's content (and the forms it draws) paints, through
// the transformations in force, in page points.
struct Placed {
    double llx = 0, lly = 0, urx = 0, ury = 0;
};

struct Transform {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    // this, then next (PDF's row-vector order: a point goes through this first).
    Transform Then(const Transform& n) const {
        return {a * n.a + b * n.c, a * n.b + b * n.d, c * n.a + d * n.c,
                c * n.b + d * n.d, e * n.a + f * n.c + n.e, e * n.b + f * n.d + n.f};
    }
    void Apply(double x, double y, double& outX, double& outY) const {
        outX = a * x + c * y + e;
        outY = b * x + d * y + f;
    }
};

Transform TransformOf(std::vector<QPDFObjectHandle> numbers) {
    double v[6] = {1, 0, 0, 1, 0, 0};
    for (size_t i = 0; i < 6 && i < numbers.size(); ++i) v[i] = numbers[i].getNumericValue();
    return {v[0], v[1], v[2], v[3], v[4], v[5]};
}

class ImageFinder : public QPDFObjectHandle::ParserCallbacks {
public:
    ImageFinder(QPDFObjectHandle resources, Transform start, std::vector<Placed>& out, int depth)
        : mResources(resources), mOut(out), mDepth(depth) {
        mStack.push_back(start);
    }
    void handleObject(QPDFObjectHandle object) override {
        if (!object.isOperator()) {
            mOperands.push_back(object);
            return;
        }
        const std::string op = object.getOperatorValue();
        if (op == "q") mStack.push_back(mStack.back());
        if (op == "Q" && mStack.size() > 1) mStack.pop_back();
        if (op == "cm" && mOperands.size() == 6) mStack.back() = TransformOf(mOperands).Then(mStack.back());
        if (op == "Do" && mOperands.size() == 1) Draw(mOperands[0].getName());
        mOperands.clear();
    }
    void handleEOF() override {}

private:
    void Draw(const std::string& name) {
        QPDFObjectHandle xobject = mResources.getKey("/XObject").getKey(name);
        if (!xobject.isStream()) return;
        QPDFObjectHandle dict = xobject.getDict();
        if (dict.getKey("/Subtype").isNameAndEquals("/Image")) {
            Placed box{1e9, 1e9, -1e9, -1e9};
            for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
                double px, py;
                mStack.back().Apply(x, y, px, py);
                box = {std::min(box.llx, px), std::min(box.lly, py), std::max(box.urx, px), std::max(box.ury, py)};
            }
            mOut.push_back(box);
        } else if (dict.getKey("/Subtype").isNameAndEquals("/Form") && mDepth < 8) {
            std::vector<QPDFObjectHandle> matrix;
            if (dict.getKey("/Matrix").isArray()) matrix = dict.getKey("/Matrix").getArrayAsVector();
            QPDFObjectHandle resources = dict.getKey("/Resources").isDictionary() ? dict.getKey("/Resources") : mResources;
            ImageFinder inner(resources, TransformOf(matrix).Then(mStack.back()), mOut, mDepth + 1);
            QPDFObjectHandle::parseContentStream(xobject, &inner);
        }
    }

    QPDFObjectHandle mResources;
    std::vector<Placed>& mOut;
    int mDepth;
    std::vector<Transform> mStack;
    std::vector<QPDFObjectHandle> mOperands;
};

// The images placed on each page of the file.
std::vector<std::vector<Placed>> PlacedImages(const std::string& path) {
    QPDF pdf;
    pdf.processFile(path.c_str());
    std::vector<std::vector<Placed>> pages;
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        pages.emplace_back();
        ImageFinder finder(page.getAttribute("/Resources", false), Transform{}, pages.back(), 0);
        page.parseContents(&finder);
    }
    return pages;
}

// --- the fixture

class ImageStampTest : public stamptest::StampRunTest {
protected:
    void TearDown() override {
        qmhost::setHostMajorVersion(8);
        StampRunTest::TearDown();
    }
    // A target of `count` blank 612 x 792 pages (white where nothing is stamped).
    std::string BlankTarget(const std::string& leaf, int count) {
        const std::string path = mFolder.file(leaf);
        qmtest::FixturePage blank;
        blank.contents = qmtest::FixtureContents::None;
        qmtest::writeFixturePdf(path, std::vector<qmtest::FixturePage>(static_cast<size_t>(count), blank));
        return path;
    }
    // Runs a profile of the one stamp over a blank target on host version
    // `major`; saves the result under leaf and answers its path ("" when the
    // run failed).
    std::string StampOnVersion(int32_t major, StampCab stamp, const std::string& leaf, int pages = 2) {
        const HostVersionScope version(major);
        std::vector<StampCab> stamps;
        stamps.push_back(std::move(stamp));
        WriteProfile("Logo", std::move(stamps));
        const AVDoc view = OpenView(BlankTarget("target-" + leaf, pages));
        const bool result = StampActiveDocumentWithProfile("Logo");
        qmtest::TakeAlerts();
        const std::string saved = Save(DocOf(view), leaf);
        gAppViewHFT->avDocClose(view, true);
        return result ? saved : "";
    }
};

// --- the two roads give the same stamp

struct RoadRow {
    const char* name;
    std::function<void(const std::string&)> write;
    int width, height;  // pixels
    int components;     // of the pattern written
    int tolerance;      // per channel, between a rendered pixel and the pattern
};

class ImageRoads : public ImageStampTest, public testing::WithParamInterface<RoadRow> {};

TEST_P(ImageRoads, VersionFiveAndEightPlaceTheSameImageAtTheSameSizeAndPlace) {
    const RoadRow& row = GetParam();
    const std::string file = mFolder.file(std::string("logo-") + row.name);
    row.write(file);
    const std::string five = StampOnVersion(5, ImageStamp("Logo", file), "five.pdf");
    ASSERT_FALSE(five.empty()) << GetErrorMessage();
    const std::string eight = StampOnVersion(8, ImageStamp("Logo", file), "eight.pdf");
    ASSERT_FALSE(eight.empty()) << GetErrorMessage();
    for (const std::string& output : {five, eight}) {
        const auto check = qmtest::qpdfCheck(output);
        EXPECT_EQ(check.status, 0) << check.output;
    }

    // The same image data at the same resolution: one pixel is two points at
    // 200 percent, 36 pixels per inch.
    const std::vector<ListedImage> listFive = ListImages(five);
    const std::vector<ListedImage> listEight = ListImages(eight);
    ASSERT_EQ(listFive.size(), 2u) << "one image on each of the two pages";
    EXPECT_EQ(listFive, listEight);
    EXPECT_EQ(listFive[0].width, row.width);
    EXPECT_EQ(listFive[0].height, row.height);
    EXPECT_EQ(listFive[0].xppi, 36);
    EXPECT_EQ(listFive[0].yppi, 36);

    // Exactly the same box on the page, in points.
    const std::vector<std::vector<Placed>> placedFive = PlacedImages(five);
    const std::vector<std::vector<Placed>> placedEight = PlacedImages(eight);
    ASSERT_EQ(placedFive.size(), 2u);
    ASSERT_EQ(placedEight.size(), 2u);
    for (size_t page = 0; page < 2; ++page) {
        ASSERT_EQ(placedFive[page].size(), 1u);
        ASSERT_EQ(placedEight[page].size(), 1u);
        for (const Placed& box : {placedFive[page][0], placedEight[page][0]}) {
            EXPECT_NEAR(box.llx, kLeft, 0.01);
            EXPECT_NEAR(box.urx, kLeft + 2.0 * row.width, 0.01);
            EXPECT_NEAR(box.ury, 792 - kTop, 0.01);
            EXPECT_NEAR(box.lly, 792 - kTop - 2.0 * row.height, 0.01);
        }
    }

    for (int page = 1; page <= 2; ++page) {
        const QImage imageFive = Render(five, page);
        const QImage imageEight = Render(eight, page);
        // The rasteriser may touch one more pixel on the right and bottom edges.
        for (const QImage* image : {&imageFive, &imageEight}) {
            const Box ink = InkBox(*image);
            EXPECT_EQ(ink.left, kLeft) << "page " << page;
            EXPECT_EQ(ink.top, kTop) << "page " << page;
            EXPECT_NEAR(ink.right, kLeft + 2 * row.width, 1) << "page " << page;
            EXPECT_NEAR(ink.bottom, kTop + 2 * row.height, 1) << "page " << page;
        }
        // Upright on both roads, the first row of the file at the top: the
        // centre of each image pixel shows the pattern the file was written with.
        const int components = row.components;
        const std::vector<uint8_t> samples = imagetest::ImageSamples(row.width, row.height, components);
        for (int y = 0; y < row.height; y += 7)
            for (int x = 0; x < row.width; x += 5) {
                // All of them positive: the rows' own sizes.
                const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(row.width) + static_cast<size_t>(x)) *
                                  static_cast<size_t>(components);
                const QColor want = components == 1 ? QColor(samples[at], samples[at], samples[at])
                                                     : QColor(samples[at], samples[at + 1], samples[at + 2]);
                const QColor atFive = imageFive.pixelColor(kLeft + 2 * x + 1, kTop + 2 * y + 1);
                const QColor atEight = imageEight.pixelColor(kLeft + 2 * x + 1, kTop + 2 * y + 1);
                EXPECT_LE(ColorDistance(atFive, want), row.tolerance) << "version 5 at " << x << "," << y;
                EXPECT_LE(ColorDistance(atEight, want), row.tolerance) << "version 8 at " << x << "," << y;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImageRoads,
    testing::Values(
        RoadRow{"JpegRGB", [](const std::string& p) { imagetest::WriteJpeg(p, imagetest::JpegColor::RGB, 40, 30); },
                40, 30, 3, 12},
        RoadRow{"JpegGray",
                [](const std::string& p) { imagetest::WriteJpeg(p, imagetest::JpegColor::Gray, 24, 18); }, 24, 18, 1,
                12},
        RoadRow{"TiffRGB", [](const std::string& p) { imagetest::WriteTiff(p, imagetest::TiffColor::RGB, 30, 20); },
                30, 20, 3, 8},
        RoadRow{"TiffGray",
                [](const std::string& p) { imagetest::WriteTiff(p, imagetest::TiffColor::Gray, 16, 10); }, 16, 10, 1,
                8}),
    [](const auto& row) { return std::string(row.param.name); });

// --- which road a version takes

TEST_F(ImageStampTest, VersionFiveBuildsTheImageElement) {
    const std::string file = mFolder.file("logo.jpg");
    imagetest::WriteJpeg(file, imagetest::JpegColor::RGB, 20, 10);
    const HostVersionScope version(5);
    const AVDoc view = OpenView(BlankTarget("target.pdf", 1));
    StampCab cab = ImageStamp("Logo", file);
    CImageStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(DocOf(view))) << stamp.GetMessage();
    ASSERT_NE(stamp.GetImageElement(), nullptr);
    EXPECT_EQ(static_cast<CPDFElement*>(stamp.GetImageElement()), stamp.GetElement());
    EXPECT_EQ(stamp.GetFormElement(), nullptr);
    EXPECT_EQ(stamp.GetImageElement()->GetImageWidth(), 20);
    EXPECT_EQ(stamp.GetImageElement()->GetImageHeight(), 10);
    EXPECT_EQ(stamp.GetPlacement()->GetScaleX(), 2.0);
    EXPECT_EQ(stamp.GetPlacement()->GetScaleY(), 2.0);
}

TEST_F(ImageStampTest, VersionSixAndLaterPlaceTheImageAsAOnePageDocument) {
    const std::string file = mFolder.file("logo.jpg");
    imagetest::WriteJpeg(file, imagetest::JpegColor::RGB, 20, 10);
    const AVDoc view = OpenView(BlankTarget("target.pdf", 1));
    for (int32_t major : {6, 8}) {
        const HostVersionScope version(major);
        StampCab cab = ImageStamp("Logo", file);
        CImageStamp stamp(cab.Get());
        ASSERT_TRUE(stamp.Build(DocOf(view))) << stamp.GetMessage();
        ASSERT_NE(stamp.GetFormElement(), nullptr) << "version " << major;
        EXPECT_EQ(stamp.GetImageElement(), nullptr);
        EXPECT_EQ(static_cast<CPDFElement*>(stamp.GetFormElement()), stamp.GetElement());
        EXPECT_EQ(stamp.GetFormElement()->GetSourceDocument().GetPageCount(), 1);
        EXPECT_EQ(stamp.GetFormElement()->GetSourcePage(), 0);
        EXPECT_EQ(stamp.GetPlacement()->GetScaleX(), 2.0);
    }
}

// An image stamp has no page number to choose (its dialog hides the field);
// a stray "kPageNoS" must not make version 8 refuse what version 5 stamps.
TEST_F(ImageStampTest, StrayPageNumberDoesNotFailTheImageOnVersionEight) {
    const std::string file = mFolder.file("logo.jpg");
    imagetest::WriteJpeg(file, imagetest::JpegColor::RGB, 20, 10);
    for (int32_t major : {5, 8}) {
        StampCab cab = ImageStamp("Logo", file);
        cab.Int(kKeySourcePage, 3);
        const std::string output = StampOnVersion(major, std::move(cab), "stray" + std::to_string(major) + ".pdf", 1);
        ASSERT_FALSE(output.empty()) << "version " << major << ": " << GetErrorMessage();
        const std::vector<std::vector<Placed>> placed = PlacedImages(output);
        ASSERT_EQ(placed.size(), 1u);
        ASSERT_EQ(placed[0].size(), 1u);
        EXPECT_NEAR(placed[0][0].llx, kLeft, 0.01) << "version " << major;
        EXPECT_NEAR(placed[0][0].urx, kLeft + 40, 0.01) << "version " << major;
        EXPECT_NEAR(placed[0][0].ury, 792 - kTop, 0.01) << "version " << major;
    }
}

TEST_F(ImageStampTest, OneImageServesEveryPageOnBothRoads) {
    const std::string file = mFolder.file("logo.jpg");
    imagetest::WriteJpeg(file, imagetest::JpegColor::RGB, 20, 10);
    for (int32_t major : {5, 8}) {
        const std::string output =
            StampOnVersion(major, ImageStamp("Logo", file), "shared" + std::to_string(major) + ".pdf", 5);
        ASSERT_FALSE(output.empty()) << GetErrorMessage();
        const XObjectCensus census = CountXObjects(output);
        EXPECT_EQ(census.images, 1) << "version " << major;
        EXPECT_EQ(census.forms, major >= 6 ? 1 : 0) << "version " << major;
        ASSERT_EQ(census.pageXObjects.size(), 5u);
        for (const auto& used : census.pageXObjects) {
            EXPECT_EQ(used.size(), 1u);
            EXPECT_EQ(used, census.pageXObjects.front());
        }
    }
}

class ImageStampUndo : public ImageStampTest, public testing::WithParamInterface<int32_t> {};

TEST_P(ImageStampUndo, UndoTakesTheImageBackOnBothRoads) {
    const HostVersionScope version(GetParam());
    const std::string file = mFolder.file("logo.jpg");
    imagetest::WriteJpeg(file, imagetest::JpegColor::RGB, 20, 10);
    std::vector<StampCab> stamps;
    stamps.push_back(ImageStamp("Logo", file));
    WriteProfile("Logo", std::move(stamps));
    const std::string target = BlankTarget("target.pdf", 3);
    const std::vector<stamptest::PageState> original = stamptest::AllPageStates(qmtest::HostDoc::open(target).pd());
    const AVDoc view = OpenView(target);
    ASSERT_TRUE(StampActiveDocumentWithProfile("Logo")) << GetErrorMessage();
    ASSERT_NE(stamptest::ReadPageState(DocOf(view), 0), original[0]);
    ASSERT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
    EXPECT_EQ(stamptest::AllPageStates(DocOf(view)), original);
    const XObjectCensus census = CountXObjects(Save(DocOf(view), "undone.pdf"));
    EXPECT_EQ(census.images, 0);
    EXPECT_EQ(census.forms, 0);
}

INSTANTIATE_TEST_SUITE_P(Versions, ImageStampUndo, testing::Values(5, 8),
                         [](const auto& row) { return "Version" + std::to_string(row.param); });

// --- transparency

TEST_F(ImageStampTest, PngTransparencyIsKeptOnVersionEight) {
    // Three bands: opaque red, half-transparent green, fully transparent blue.
    QImage png(30, 12, QImage::Format_ARGB32);
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            png.setPixelColor(x, y, x < 10 ? QColor(255, 0, 0, 255) : x < 20 ? QColor(0, 255, 0, 128)
                                                                               : QColor(0, 0, 255, 0));
    const std::string file = mFolder.file("logo.png");
    ASSERT_TRUE(png.save(QString::fromStdString(file), "PNG"));

    const std::string output = StampOnVersion(8, ImageStamp("Logo", file), "png.pdf", 1);
    ASSERT_FALSE(output.empty()) << GetErrorMessage();
    EXPECT_EQ(qmtest::qpdfCheck(output).status, 0);
    const std::vector<ListedImage> images = ListImages(output);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].type, "image");
    EXPECT_EQ(images[1].type, "smask");
    EXPECT_EQ(images[1].width, 30);

    const QImage page = Render(output, 1);
    const int y = kTop + 12;
    EXPECT_LE(ColorDistance(page.pixelColor(kLeft + 10, y), QColor(255, 0, 0)), 3);
    EXPECT_LE(ColorDistance(page.pixelColor(kLeft + 30, y), QColor(127, 255, 127)), 4) << "half covers the white page";
    EXPECT_LE(ColorDistance(page.pixelColor(kLeft + 50, y), QColor(255, 255, 255)), 3) << "nothing of the blue shows";
}

// --- files that do not serve

struct ImageFailureRow {
    const char* name;
    int32_t version;
    std::function<std::string(const std::string& folder)> makeFile;
    const char* message;  // "%s" stands for the path
    const char* reason = "";  // what the message goes on to say after it ("" nothing)
};

std::string Cut(const std::string& path, long keep) {
    qmtest::truncateFile(path, keep);
    return path;
}

class ImageStampFailure : public ImageStampTest, public testing::WithParamInterface<ImageFailureRow> {};

TEST_P(ImageStampFailure, ReportsItsMessageAndLeavesNoXObject) {
    const ImageFailureRow& row = GetParam();
    const std::string file = row.makeFile(mFolder.path());
    const HostVersionScope version(row.version);
    std::vector<StampCab> stamps;
    stamps.push_back(ImageStamp("Logo", file));
    WriteProfile("Broken", std::move(stamps));
    const AVDoc view = OpenView(BlankTarget("target.pdf", 2));

    EXPECT_FALSE(StampActiveDocumentWithProfile("Broken"));
    qmtest::TakeAlerts();
    char formatted[2048];
    std::snprintf(formatted, sizeof formatted, row.message, file.c_str());
    const std::string expected = std::string(formatted) + (row.reason[0] ? std::string(": ") : "");
    const std::string message = GetErrorMessage();
    if (row.reason[0]) {
        EXPECT_EQ(message.substr(0, expected.size()), expected) << message;
        EXPECT_NE(message.find(row.reason, expected.size()), std::string::npos) << message;
        EXPECT_EQ(message.find("加密"), std::string::npos) << "an image is no encrypted document: " << message;
    } else {
        EXPECT_EQ(message, expected);
    }
    EXPECT_NE(LogText().find(message + "\n"), std::string::npos) << LogText();

    const std::string output = Save(DocOf(view), "failed.pdf");
    const auto check = qmtest::qpdfCheck(output);
    EXPECT_EQ(check.status, 0) << check.output;
    const XObjectCensus census = CountXObjects(output);
    EXPECT_EQ(census.images, 0);
    EXPECT_EQ(census.forms, 0);
    for (const auto& used : census.pageXObjects) EXPECT_TRUE(used.empty());
}

std::string Missing(const std::string& folder) { return folder + "/missing.jpg"; }

std::string TextNamedJpeg(const std::string& folder) {
    qmtest::writeNonPdf(folder + "/photo.jpg");
    return folder + "/photo.jpg";
}

std::string CutJpeg(const std::string& folder) {
    imagetest::WriteJpeg(folder + "/cut.jpg", imagetest::JpegColor::RGB, 40, 30);
    return Cut(folder + "/cut.jpg", 40);
}

std::string EmptyJpeg(const std::string& folder) {
    qmtest::writeBytes(folder + "/empty.jpg", "");
    return folder + "/empty.jpg";
}

// A sound JPEG whose frame header claims 20000 x 20000 pixels: a reader that
// checks the size before it decodes refuses it without touching the data.
std::string HugeJpeg(const std::string& folder) {
    std::vector<uint8_t> bytes = imagetest::JpegBytes(imagetest::JpegColor::RGB, 8, 8);
    for (size_t i = 0; i + 8 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            for (const size_t at : {i + 5, i + 7}) {
                bytes[at] = 20000 >> 8;
                bytes[at + 1] = 20000 & 0xFF;
            }
            break;
        }
    imagetest::WriteBytes(folder + "/huge.jpg", bytes);
    return folder + "/huge.jpg";
}

std::string Png(const std::string& folder) {
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::red);
    png.save(QString::fromStdString(folder + "/logo.png"), "PNG");
    return folder + "/logo.png";
}

std::string TiledTiff(const std::string& folder) {
    imagetest::TiffSpec spec = imagetest::TiffSpecFor(imagetest::TiffColor::Gray, 32, 32);
    spec.tiled = true;
    imagetest::WriteTiff(folder + "/tiled.tif", spec);
    return folder + "/tiled.tif";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImageStampFailure,
    testing::Values(ImageFailureRow{"MissingFileOnVersion5", 5, Missing, "源图像文件 %s 不存在"},
                    ImageFailureRow{"MissingFileOnVersion8", 8, Missing, "源文件 %s 不存在"},
                    ImageFailureRow{"JpegNameButNoJpegOnVersion5", 5, TextNamedJpeg, "创建图像 %s 出错"},
                    ImageFailureRow{"JpegNameButNoJpegOnVersion8", 8, TextNamedJpeg, "创建图像 %s 出错",
                                    "is not a JPEG, TIFF, PNG, GIF or BMP image"},
                    ImageFailureRow{"CutJpegOnVersion5", 5, CutJpeg, "创建图像 %s 出错"},
                    ImageFailureRow{"CutJpegOnVersion8", 8, CutJpeg, "创建图像 %s 出错", "is not a readable JPEG image"},
                    ImageFailureRow{"EmptyFileOnVersion5", 5, EmptyJpeg, "创建图像 %s 出错"},
                    ImageFailureRow{"EmptyFileOnVersion8", 8, EmptyJpeg, "创建图像 %s 出错", "is empty"},
                    ImageFailureRow{"HugeJpegOnVersion5", 5, HugeJpeg, "创建图像 %s 出错"},
                    ImageFailureRow{"HugeJpegOnVersion8", 8, HugeJpeg, "创建图像 %s 出错",
                                    "is too large: 20000 x 20000 pixels, more than the 268435456"},
                    ImageFailureRow{"PngOnVersion5", 5, Png, "创建图像 %s 出错"},
                    ImageFailureRow{"TiledTiffOnVersion5", 5, TiledTiff, "创建图像 %s 出错"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ImageStampTest, FailedImageBuildKeepsNoObjects) {
    const HostVersionScope version(5);
    const AVDoc view = OpenView(BlankTarget("target.pdf", 1));
    StampCab cab = ImageStamp("Logo", TextNamedJpeg(mFolder.path()));
    CImageStamp stamp(cab.Get());
    EXPECT_FALSE(stamp.Build(DocOf(view)));
    EXPECT_FALSE(stamp.IsBuilt());
    EXPECT_EQ(stamp.GetImageElement(), nullptr);
    EXPECT_EQ(stamp.GetElement(), nullptr);
    EXPECT_EQ(stamp.GetPlacement(), nullptr);
    qmtest::TakeAlerts();
}

}  // namespace
