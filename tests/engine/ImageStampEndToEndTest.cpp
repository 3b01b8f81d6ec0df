// Image stamps written into real files and read back by independent tools:
// pdfimages -list for what was stored, pdftoppm pixels compared with the same
// samples drawn by a reference file written with qpdf, for colours, place,
// size, opacity and the border.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include "EngineFixture.h"
#include "engine/CPDFImageElement.h"
#include "common/ImageFixtures.h"
#include "support/ErrorMessage.h"

namespace {

using imagetest::JpegColor;
using imagetest::TiffColor;

constexpr int kWidth = 16, kHeight = 10;  // pixels
constexpr double kScale = 10;             // points per pixel
constexpr double kLeft = 100, kBottom = 200;

// --- what an image is and how it should look

struct ImageCase {
    const char* name;
    bool jpeg;
    JpegColor jpegColor;
    TiffColor tiffColor;
    int bits;                  // TIFF bits per sample
    const char* listedColor;   // pdfimages' colour column
    int components;
    int tolerance;             // per channel, against the reference drawing
};

void PrintTo(const ImageCase& c, std::ostream* out) { *out << c.name; }

imagetest::TiffSpec TiffLayoutOf(const ImageCase& c) {
    imagetest::TiffSpec layout = imagetest::TiffSpecFor(c.tiffColor, kWidth, kHeight);
    layout.bitsPerSample = c.bits;
    return layout;
}

std::string WriteImage(const qmtest::FixtureFolder& folder, const ImageCase& c) {
    const std::string path = folder.file(std::string(c.name) + (c.jpeg ? ".jpg" : ".tif"));
    if (c.jpeg)
        imagetest::WriteJpeg(path, c.jpegColor, kWidth, kHeight);
    else
        imagetest::WriteTiff(path, TiffLayoutOf(c));
    return path;
}

// The image the file stands for, as PDF samples and colour space.
struct Expected {
    std::string samples;
    QPDFObjectHandle colorSpace;
    int bits = 8;
};

Expected ExpectedImage(const ImageCase& c) {
    Expected e;
    auto name = [](const char* text) { return QPDFObjectHandle::newName(text); };
    const char* device = c.components == 4 ? "/DeviceCMYK" : c.components == 3 ? "/DeviceRGB" : "/DeviceGray";
    e.colorSpace = name(device);
    std::vector<uint8_t> samples = imagetest::ImageSamples(kWidth, kHeight, c.components);
    if (!c.jpeg && c.tiffColor == TiffColor::Palette) {
        const auto map = imagetest::PaletteMap(TiffLayoutOf(c));
        std::string lookup;
        for (int i = 0; i < 256; ++i)
            for (int channel = 0; channel < 3; ++channel)
                lookup += char(map[size_t(channel * 256 + i)] * 255 / 65535);
        e.colorSpace = QPDFObjectHandle::newArray();
        e.colorSpace.appendItem(name("/Indexed"));
        e.colorSpace.appendItem(name("/DeviceRGB"));
        e.colorSpace.appendItem(QPDFObjectHandle::newInteger(255));
        e.colorSpace.appendItem(QPDFObjectHandle::newString(lookup));
        samples = imagetest::TiffSamples(TiffLayoutOf(c));
    } else if (!c.jpeg && c.tiffColor == TiffColor::Gray) {
        samples = imagetest::TiffSamples(TiffLayoutOf(c));  // packed when fewer bits
        e.bits = c.bits;
    }
    e.samples.assign(samples.begin(), samples.end());
    return e;
}

// A page with the expected image where the stamp puts it, drawn by qpdf's
// writer without the plug-in.
void WriteReference(const std::string& path, const Expected& e) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle image = pdf.newStream(e.samples);
    QPDFObjectHandle dict = image.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(kWidth));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(kHeight));
    dict.replaceKey("/ColorSpace", e.colorSpace);
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(e.bits));
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>");
    QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /XObject << >> >>");
    resources.getKey("/XObject").replaceKey("/Im0", image);
    page.replaceKey("/Resources", resources);
    std::ostringstream content;
    content << "q " << kWidth * kScale << " 0 0 " << kHeight * kScale << " " << kLeft << " " << kBottom
            << " cm /Im0 Do Q";
    page.replaceKey("/Contents", pdf.newStream(content.str()));
    pdf.addPage(page, false);
    QPDFWriter writer(pdf, path.c_str());
    writer.write();
}

// --- pdfimages -list

struct ListedImage {
    int page, width, height, components, bits, object;
    std::string color;
};

std::vector<ListedImage> ListImages(const std::string& path) {
    const auto result = qmtest::runCommand("pdfimages -list " + qmtest::shellQuote(path));
    EXPECT_EQ(result.status, 0) << result.output;
    std::vector<ListedImage> rows;
    std::istringstream lines(result.output);
    std::string line;
    bool body = false;
    while (std::getline(lines, line)) {
        if (line.rfind("----", 0) == 0) {
            body = true;
            continue;
        }
        if (!body) continue;
        // page num type width height color comp bpc enc interp object ID ...
        std::istringstream fields(line);
        ListedImage row{};
        int num = 0;
        std::string type;
        fields >> row.page >> num >> type >> row.width >> row.height >> row.color >> row.components >> row.bits;
        std::string enc, interp;
        fields >> enc >> interp >> row.object;
        if (fields) rows.push_back(row);
    }
    return rows;
}

// --- the stamp

class ImageStamp : public testing::Test {
protected:
    void SetUp() override { enginetest::StartEngine(); }

    // Opens a target of `pages` pages and loads the image into an element.
    void Prepare(const std::string& image, int pages = 1) {
        const std::string in = mFolder.file("target.pdf");
        qmtest::FixturePage blank;
        blank.contents = qmtest::FixtureContents::None;
        qmtest::writeFixturePdf(in, std::vector<qmtest::FixturePage>(size_t(pages), blank));
        mTarget = enginetest::OpenDocument(in);
        mPlacement.SetScale(kScale, kScale);
        mPlacement.SetAlignment(CPDFPlacement::kAlignLeft, 1);
        mPlacement.SetOffset(kLeft, kBottom);
        mElement.SetDocument(mTarget.get());
        mElement.SetPlacement(&mPlacement);
        mElement.SetOpacity(1.0);
        mElement.SetImageFile(TFileSpecifier(image.c_str()));
        ASSERT_TRUE(mElement.LoadImage()) << GetErrorMessage();
    }
    std::string Save(const char* name) {
        const std::string out = mFolder.file(name);
        enginetest::SaveDocument(*mTarget, out);
        const auto check = qmtest::qpdfCheck(out);
        EXPECT_EQ(check.status, 0) << check.output;
        return out;
    }

    qmtest::FixtureFolder mFolder;
    std::unique_ptr<CPDFDocument> mTarget;
    CPDFPlacement mPlacement;
    CPDFImageElement mElement;
};

// Points at which the drawings are compared: a grid over the image and a
// margin around it, leaving out a band along the image's edges (where the
// border lies and where pixel rounding decides).
std::vector<std::pair<double, double>> ProbePoints() {
    std::vector<std::pair<double, double>> points;
    const double right = kLeft + kWidth * kScale, top = kBottom + kHeight * kScale;
    for (double x = kLeft - 20 + 2.5; x < right + 20; x += 5)
        for (double y = kBottom - 20 + 2.5; y < top + 20; y += 5) {
            const bool nearEdge = std::abs(x - kLeft) < 4 || std::abs(x - right) < 4 ||
                                  std::abs(y - kBottom) < 4 || std::abs(y - top) < 4;
            if (!nearEdge) points.emplace_back(x, y);
        }
    return points;
}

class ImageStampKinds : public ImageStamp, public testing::WithParamInterface<ImageCase> {};

TEST_P(ImageStampKinds, StoredAndDrawnAsTheFileShowsIt) {
    const ImageCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Prepare(WriteImage(mFolder, c)));
    mElement.SetLineWidth(4);
    mElement.SetLineColor(0, 0, 255);
    ASSERT_TRUE(mElement.Write(0)) << mElement.GetErrorText();
    const std::string out = Save("stamped.pdf");

    const auto listed = ListImages(out);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].width, kWidth);
    EXPECT_EQ(listed[0].height, kHeight);
    EXPECT_EQ(listed[0].color, c.listedColor);
    EXPECT_EQ(listed[0].components, c.listedColor == std::string("index") ? 1 : c.components);
    EXPECT_EQ(listed[0].bits, c.jpeg ? 8 : c.bits);

    const std::string reference = mFolder.file("reference.pdf");
    WriteReference(reference, ExpectedImage(c));
    const auto stamped = enginetest::RenderPage(out, 1, 72);
    const auto expected = enginetest::RenderPage(reference, 1, 72);
    int worst = 0;
    for (const auto& [x, y] : ProbePoints()) {
        const auto a = stamped.At(x, y), b = expected.At(x, y);
        const int differs = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        worst = std::max(worst, differs);
        EXPECT_LE(differs, c.tolerance) << "at " << x << ", " << y;
        if (differs > c.tolerance) break;
    }
    RecordProperty("worst", worst);
    // The border lies over the image's bottom edge.
    const auto border = stamped.At(kLeft + kWidth * kScale / 2, kBottom + 1);
    EXPECT_GT(border.b, 200);
    EXPECT_LT(border.r + border.g, 80);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageStampKinds,
    testing::Values(ImageCase{"JpegGray", true, JpegColor::Gray, {}, 8, "gray", 1, 6},
                    ImageCase{"JpegRGB", true, JpegColor::RGB, {}, 8, "rgb", 3, 6},
                    ImageCase{"JpegCMYKWithApp14Marker", true, JpegColor::CMYKApp14, {}, 8, "cmyk", 4, 6},
                    ImageCase{"TiffGray", false, {}, TiffColor::Gray, 8, "gray", 1, 2},
                    ImageCase{"TiffGray4Bit", false, {}, TiffColor::Gray, 4, "gray", 1, 2},
                    ImageCase{"TiffWhiteIsZero", false, {}, TiffColor::WhiteIsZero, 8, "gray", 1, 2},
                    ImageCase{"TiffRGB", false, {}, TiffColor::RGB, 8, "rgb", 3, 2},
                    ImageCase{"TiffCMYK", false, {}, TiffColor::CMYK, 8, "cmyk", 4, 2},
                    ImageCase{"TiffPalette", false, {}, TiffColor::Palette, 8, "index", 1, 2}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ImageStamp, HalfOpacityBlendsWithThePage) {
    const ImageCase gray{"TiffGray", false, {}, TiffColor::Gray, 8, "gray", 1, 2};
    ASSERT_NO_FATAL_FAILURE(Prepare(WriteImage(mFolder, gray)));
    mElement.SetOpacity(0.5);
    ASSERT_TRUE(mElement.Write(0));
    const auto stamped = enginetest::RenderPage(Save("half.pdf"), 1, 72);
    const std::string reference = mFolder.file("reference.pdf");
    WriteReference(reference, ExpectedImage(gray));
    const auto full = enginetest::RenderPage(reference, 1, 72);
    for (const auto& [x, y] : ProbePoints()) {
        const double expected = 0.5 * full.At(x, y).r + 0.5 * 255;
        ASSERT_NEAR(stamped.At(x, y).r, expected, 3) << x << ", " << y;
    }
}

TEST_F(ImageStamp, ImageIsStoredOnceForManyPages) {
    constexpr int kPages = 30;
    const ImageCase rgb{"JpegRGB", true, JpegColor::RGB, {}, 8, "rgb", 3, 6};
    ASSERT_NO_FATAL_FAILURE(Prepare(WriteImage(mFolder, rgb), kPages));
    for (int page = 0; page < kPages; ++page) ASSERT_TRUE(mElement.Write(page)) << page;
    const std::string out = Save("many.pdf");
    const auto listed = ListImages(out);
    ASSERT_EQ(listed.size(), size_t(kPages));
    std::set<int> pages, objects;
    for (const auto& row : listed) {
        pages.insert(row.page);
        objects.insert(row.object);
    }
    EXPECT_EQ(pages.size(), size_t(kPages)) << "on every page";
    EXPECT_EQ(objects.size(), 1u) << "one image object";
    EXPECT_EQ(enginetest::CountStreamsWithKey(out, "/BitsPerComponent"), 1);
}

}  // namespace
