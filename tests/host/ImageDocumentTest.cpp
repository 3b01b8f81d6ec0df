// Image files opened as one-page documents (PDModel docOpenImage), the list of
// kinds a dialog offers, and the refusal of files that are no image, cut, or
// too large.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <cstdlib>
#include <functional>
#include <string>

#include <QColor>
#include <QColorSpace>
#include <QImage>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

#include "HostTables.h"
#include "ImageTestFiles.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "support/HostVersion.h"

namespace {

using imagetest::Samples;
using qmtest::FixtureFolder;
using qmtest::HostPath;

const PDModelTable& pd() { return *qmhost::pdModelTable(); }

struct Raised {
    int32_t code = 0;
    std::string message;
};

// Opens path as an image document; the document is closed when this goes.
class ImageDoc {
public:
    explicit ImageDoc(const std::string& path) {
        try {
            mDoc = pd().docOpenImage(HostPath(path));
        } catch (const HostError& e) {
            mRaised = {e.code(), e.what()};
        }
    }
    ~ImageDoc() {
        if (mDoc) pd().docClose(mDoc);
    }
    ImageDoc(const ImageDoc&) = delete;
    ImageDoc& operator=(const ImageDoc&) = delete;

    PDDoc doc() const { return mDoc; }
    const Raised& raised() const { return mRaised; }
    QPDFObjectHandle image() const {
        QPDF& qpdf = qmhost::documentOf(mDoc)->qpdf();
        QPDFObjectHandle page = qpdf.getAllPages().at(0);
        return page.getKey("/Resources").getKey("/XObject").getKey("/Im0");
    }

private:
    PDDoc mDoc = nullptr;
    Raised mRaised;
};

std::string dataOf(QPDFObjectHandle stream, bool raw) {
    const std::shared_ptr<Buffer> data = raw ? stream.getRawStreamData() : stream.getStreamData(qpdf_dl_generalized);
    return std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
}

// What a test file is made of and what the page's image must hold.
struct Made {
    std::string bytes;     // the file
    std::string samples;   // expected samples (empty: not compared)
    std::string alpha;     // expected soft mask (empty: none expected)
};

std::string rgbaOf(const std::string& rgb, const std::string& alpha) {
    std::string rgba;
    for (size_t i = 0; i < alpha.size(); ++i) rgba += rgb.substr(i * 3, 3) + alpha[i];
    return rgba;
}

std::string alphaRamp(int width, int height) {
    std::string alpha;
    for (int i = 0; i < width * height; ++i) alpha.push_back(static_cast<char>(40 + i % 200));
    return alpha;
}

std::string tiffBytes(int width, int height, const imagetest::TiffLayout& layout, const std::string& data) {
    FixtureFolder scratch;
    imagetest::writeTiff(scratch.file("t.tif"), width, height, layout, data);
    return qmtest::readBytes(scratch.file("t.tif"));
}

std::string invert(std::string bytes) {
    for (char& c : bytes) c = static_cast<char>(255 - static_cast<uint8_t>(c));
    return bytes;
}

// --- every kind opens as one page

struct FormatRow {
    const char* name;
    int width;
    int height;
    std::function<Made(int width, int height)> make;
    const char* color;      // as pdfimages lists it
    const char* encoding;   // "jpeg" or "image"
    int tolerance;          // per sample, when samples are compared
};

Made jpegOf(const Samples& samples, bool progressive = false) {
    return {imagetest::encodeJpeg(samples, 90, progressive), std::string(), std::string()};
}

Made tiffOf(int w, int h, imagetest::TiffLayout layout, const std::string& data, const std::string& expected,
            const std::string& alpha = std::string()) {
    return {tiffBytes(w, h, layout, data), expected, alpha};
}

std::string bits(int w, int h) {
    // 1-bit rows, most significant bit first: a checker of 1 x 1 pixels.
    std::string packed;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; x += 8) {
            int byte = 0;
            for (int b = 0; b < 8; ++b)
                if (x + b < w && (x + b + y) % 2) byte |= 0x80 >> b;
            packed.push_back(static_cast<char>(byte));
        }
    return packed;
}

std::string checkerGray(int w, int h, bool blackOnOdd) {
    std::string gray;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) gray.push_back((x + y) % 2 == blackOnOdd ? '\xFF' : '\0');
    return gray;
}

std::vector<uint8_t> paletteTable() {
    std::vector<uint8_t> table;
    for (int i = 0; i < 256; ++i) {
        table.push_back(static_cast<uint8_t>(i));
        table.push_back(static_cast<uint8_t>(255 - i));
        table.push_back(static_cast<uint8_t>(i * 7 % 256));
    }
    return table;
}

std::string indicesOf(int w, int h) {
    std::string indices;
    for (int i = 0; i < w * h; ++i) indices.push_back(static_cast<char>(i * 5 % 256));
    return indices;
}

std::string expandPalette(const std::string& indices) {
    const std::vector<uint8_t> table = paletteTable();
    std::string rgb;
    for (char index : indices)
        for (size_t c = 0; c < 3; ++c) rgb.push_back(static_cast<char>(table[size_t{static_cast<uint8_t>(index)} * 3 + c]));
    return rgb;
}

Made tiffPalette(int w, int h) {
    imagetest::TiffLayout layout{PHOTOMETRIC_PALETTE, 1, 8, false, false, false, COMPRESSION_NONE, {}};
    for (size_t c = 0; c < 3; ++c)
        for (size_t i = 0; i < 256; ++i) layout.colorMap.push_back(static_cast<uint16_t>(paletteTable()[i * 3 + c] * 257));
    const std::string indices = indicesOf(w, h);
    return tiffOf(w, h, layout, indices, expandPalette(indices));
}

Made gifOf(int w, int h, bool transparent) {
    std::string indices = indicesOf(w, h);
    std::string alpha;
    if (transparent) {
        for (size_t i = 0; i < indices.size(); ++i) {
            if (i % 3 == 0) indices[i] = '\x07';  // index 7 is the transparent one (and only used there)
            if (indices[i] == '\x07' && i % 3 != 0) indices[i] = '\x08';
            alpha.push_back(i % 3 == 0 ? '\0' : '\xFF');
        }
    }
    return {imagetest::encodeGif(w, h, paletteTable(), indices, transparent ? 7 : -1), expandPalette(indices), alpha};
}

Made qtOf(int w, int h, const char* format, int components, bool withAlpha) {
    const Samples colour = imagetest::gradient(w, h, 3);
    std::string rgb = colour.bytes;
    std::string gray;
    if (components == 1) {
        for (size_t i = 0; i < rgb.size(); i += 3) gray.push_back(rgb[i]);
        rgb.clear();
        for (char g : gray) rgb += std::string(3, g);
    }
    const std::string alpha = withAlpha ? alphaRamp(w, h) : std::string(static_cast<size_t>(w * h), '\xFF');
    return {imagetest::encodeWithQt(w, h, rgbaOf(rgb, alpha), format, components == 1),
            components == 1 ? gray : rgb, withAlpha ? alpha : std::string()};
}

const FormatRow kFormats[] = {
    {"JpegGray", 40, 30, [](int w, int h) { return jpegOf(imagetest::gradient(w, h, 1)); }, "gray", "jpeg", 0},
    {"JpegRgb", 41, 29, [](int w, int h) { return jpegOf(imagetest::gradient(w, h, 3)); }, "rgb", "jpeg", 0},
    {"JpegProgressive", 33, 35, [](int w, int h) { return jpegOf(imagetest::gradient(w, h, 3), true); }, "rgb",
     "jpeg", 0},
    {"JpegCmyk", 16, 24, [](int w, int h) { return jpegOf(imagetest::gradient(w, h, 4)); }, "cmyk", "jpeg", 0},
    {"TiffGray", 19, 13,
     [](int w, int h) {
         const std::string g = imagetest::gradient(w, h, 1).bytes;
         return tiffOf(w, h, {PHOTOMETRIC_MINISBLACK, 1, 8, false, false, false, COMPRESSION_NONE, {}}, g, g);
     },
     "gray", "image", 0},
    {"TiffWhiteIsZero", 19, 13,
     [](int w, int h) {
         const std::string g = imagetest::gradient(w, h, 1).bytes;
         return tiffOf(w, h, {PHOTOMETRIC_MINISWHITE, 1, 8, false, false, false, COMPRESSION_NONE, {}}, g, invert(g));
     },
     "gray", "image", 0},
    {"TiffBilevel", 21, 9,
     [](int w, int h) {
         return tiffOf(w, h, {PHOTOMETRIC_MINISWHITE, 1, 1, false, false, false, COMPRESSION_NONE, {}}, bits(w, h),
                       checkerGray(w, h, false));
     },
     "gray", "image", 0},
    {"TiffRgbLzw", 37, 23,
     [](int w, int h) {
         const std::string rgb = imagetest::gradient(w, h, 3).bytes;
         return tiffOf(w, h, {PHOTOMETRIC_RGB, 3, 8, false, false, false, COMPRESSION_LZW, {}}, rgb, rgb);
     },
     "rgb", "image", 0},
    {"TiffRgbTiled", 37, 23,
     [](int w, int h) {
         const std::string rgb = imagetest::gradient(w, h, 3).bytes;
         return tiffOf(w, h, {PHOTOMETRIC_RGB, 3, 8, false, true, false, COMPRESSION_NONE, {}}, rgb, rgb);
     },
     "rgb", "image", 0},
    {"TiffRgbPlanar", 10, 6,
     [](int w, int h) {
         const std::string rgb = imagetest::gradient(w, h, 3).bytes;
         std::string planes;
         for (int c = 0; c < 3; ++c)
             for (size_t i = static_cast<size_t>(c); i < rgb.size(); i += 3) planes.push_back(rgb[i]);
         return tiffOf(w, h, {PHOTOMETRIC_RGB, 3, 8, true, false, false, COMPRESSION_NONE, {}}, planes, rgb);
     },
     "rgb", "image", 0},
    {"TiffCmyk", 12, 11,
     [](int w, int h) {
         const std::string cmyk = imagetest::gradient(w, h, 4).bytes;
         return tiffOf(w, h, {PHOTOMETRIC_SEPARATED, 4, 8, false, false, false, COMPRESSION_NONE, {}}, cmyk, cmyk);
     },
     "cmyk", "image", 0},
    {"TiffPalette", 17, 15, tiffPalette, "rgb", "image", 0},
    {"TiffRgbaUnassociated", 14, 9,
     [](int w, int h) {
         const std::string rgb = imagetest::gradient(w, h, 3).bytes;
         const std::string alpha = alphaRamp(w, h);
         return tiffOf(w, h, {PHOTOMETRIC_RGB, 4, 8, false, false, true, COMPRESSION_NONE, {}}, rgbaOf(rgb, alpha),
                       rgb, alpha);
     },
     "rgb", "image", 3},
    {"TiffSixteenBitGray", 8, 5,
     [](int w, int h) {
         std::string samples;
         for (int i = 0; i < w * h; ++i) {
             samples.push_back(static_cast<char>(i * 6));  // little-endian 16-bit samples: low byte first
             samples.push_back(static_cast<char>(i * 6));
         }
         return tiffOf(w, h, {PHOTOMETRIC_MINISBLACK, 1, 16, false, false, false, COMPRESSION_NONE, {}}, samples,
                       std::string());
     },
     "gray", "image", 0},
    {"PngRgb", 31, 17, [](int w, int h) { return qtOf(w, h, "png", 3, false); }, "rgb", "image", 0},
    {"PngGray", 31, 17, [](int w, int h) { return qtOf(w, h, "png", 1, false); }, "gray", "image", 0},
    {"PngAlpha", 31, 17, [](int w, int h) { return qtOf(w, h, "png", 3, true); }, "rgb", "image", 0},
    {"GifOpaque", 23, 19, [](int w, int h) { return gifOf(w, h, false); }, "rgb", "image", 0},
    {"GifTransparent", 23, 19, [](int w, int h) { return gifOf(w, h, true); }, "rgb", "image", 0},
    {"Bmp", 27, 14, [](int w, int h) { return qtOf(w, h, "bmp", 3, false); }, "rgb", "image", 0},
};

class ImageDocumentFormats : public ::testing::TestWithParam<FormatRow> {
protected:
    void TearDown() override { qmhost::setHostMajorVersion(kDefaultHostMajorVersion); }
    FixtureFolder folder;
};

void expectSamples(const std::string& got, const std::string& expected, const std::string& alpha, int components,
                   int tolerance) {
    ASSERT_EQ(got.size(), expected.size());
    int mismatches = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        // The colour under a fully transparent pixel is no part of the image.
        if (!alpha.empty() && alpha[i / static_cast<size_t>(components)] == '\0') continue;
        if (std::abs(static_cast<uint8_t>(got[i]) - static_cast<uint8_t>(expected[i])) > tolerance) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_P(ImageDocumentFormats, OpensAsOnePageOfOnePointPerPixel) {
    const FormatRow& row = GetParam();
    const Made made = row.make(row.width, row.height);
    const std::string path = folder.file(std::string("picture-") + row.name);
    qmtest::writeBytes(path, made.bytes);
    const size_t documents = qmhost::openDocumentCount();
    ImageDoc opened(path);
    ASSERT_NE(opened.doc(), nullptr) << opened.raised().message;
    EXPECT_EQ(qmhost::openDocumentCount(), documents + 1);
    EXPECT_EQ(pd().docGetNumPages(opened.doc()), 1);
    EXPECT_EQ(pd().docAcquirePath(opened.doc()), nullptr) << "the document is untitled";
    PDPage page = pd().docAcquirePage(opened.doc(), 0);
    ASFixedRect box;
    pd().pageGetBox(page, &box);
    pd().pageRelease(page);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.bottom, 0);
    EXPECT_EQ(box.right, row.width * 65536);
    EXPECT_EQ(box.top, row.height * 65536);

    QPDFObjectHandle image = opened.image();
    if (std::string(row.encoding) == "jpeg") {
        EXPECT_TRUE(dataOf(image, true) == made.bytes) << "a JPEG is kept as it is, not encoded again";
    } else if (!made.samples.empty()) {
        const int components = std::string(row.color) == "gray" ? 1 : std::string(row.color) == "rgb" ? 3 : 4;
        expectSamples(dataOf(image, false), made.samples, made.alpha, components, row.tolerance);
    }
    if (!made.alpha.empty()) {
        ASSERT_TRUE(image.getDict().getKey("/SMask").isStream());
        expectSamples(dataOf(image.getDict().getKey("/SMask"), false), made.alpha, std::string(), 1, 0);
    }

    const std::string pdf = folder.file("converted.pdf");
    pd().docSave(opened.doc(), HostPath(pdf));
    const auto check = qmtest::qpdfCheck(pdf);
    EXPECT_EQ(check.status, 0) << check.output;
    const auto listed = imagetest::listImages(pdf);
    ASSERT_EQ(listed.size(), made.alpha.empty() ? 1u : 2u);
    EXPECT_EQ(listed[0].type, "image");
    EXPECT_EQ(listed[0].width, row.width);
    EXPECT_EQ(listed[0].height, row.height);
    EXPECT_EQ(listed[0].color, row.color);
    EXPECT_EQ(listed[0].bits, 8);
    EXPECT_EQ(listed[0].encoding, row.encoding);
    if (!made.alpha.empty()) {
        EXPECT_EQ(listed[1].type, "smask");
        EXPECT_EQ(listed[1].width, row.width);
        EXPECT_EQ(listed[1].height, row.height);
        EXPECT_EQ(listed[1].color, "gray");
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ImageDocumentFormats, ::testing::ValuesIn(kFormats),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ImageDocumentColour, PngInLinearLightIsShownInSrgb) {
    FixtureFolder folder;
    QImage linear(4, 4, QImage::Format_RGB32);
    linear.fill(QColor(128, 128, 128));
    linear.setColorSpace(QColorSpace(QColorSpace::SRgbLinear));
    ASSERT_TRUE(linear.save(QString::fromStdString(folder.file("linear.png")), "PNG"));
    ImageDoc opened(folder.file("linear.png"));
    ASSERT_NE(opened.doc(), nullptr) << opened.raised().message;
    const std::string samples = dataOf(opened.image(), false);
    ASSERT_EQ(samples.size(), 16u) << "a gray image stays gray";
    // Half the light is about 188 in sRGB's curve.
    EXPECT_NEAR(static_cast<uint8_t>(samples[0]), 188, 3);
}

}  // namespace
