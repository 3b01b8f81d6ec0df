// Image files opened as documents: files that are refused (no image, empty,
// cut, too large), the host version below which nothing opens, the list of
// kinds for dialogs, CMYK JPEGs, and mutated files that must never crash.
#include <gtest/gtest.h>

#include <tiffio.h>
#include <unistd.h>

#include <QtGlobal>

#include <functional>
#include <string>

#include <qpdf/QPDF.hh>

#include "HostTables.h"
#include "ImageTestFiles.h"
#include "common/Netpbm.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "support/HostVersion.h"

namespace {

using qmtest::FixtureFolder;
using qmtest::HostPath;

const PDModelTable& pd() { return *qmhost::pdModelTable(); }

struct Outcome {
    PDDoc doc = nullptr;
    int32_t code = 0;
    std::string message;
};

// Opens the file; a document that opened is closed again unless keep is set.
Outcome openImage(const std::string& path, bool keep = false) {
    Outcome outcome;
    try {
        outcome.doc = pd().docOpenImage(HostPath(path));
    } catch (const HostError& e) {
        outcome.code = e.code();
        outcome.message = e.what();
    }
    if (outcome.doc && !keep) pd().docClose(outcome.doc);
    return outcome;
}

void putBe16(std::string& bytes, size_t at, int value) {
    bytes[at] = static_cast<char>((value >> 8) & 0xFF);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
}

void putLe32(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void appendLe(std::string& out, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint32_t crc32Of(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<uint8_t>(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string smallJpeg() { return imagetest::encodeJpeg(imagetest::gradient(16, 16, 3)); }
std::string smallPng() {
    std::string rgba;
    for (int i = 0; i < 16 * 16; ++i) rgba += std::string{static_cast<char>(i), '\x40', static_cast<char>(255 - i), static_cast<char>(i | 1)};
    return imagetest::encodeWithQt(16, 16, rgba, "png");
}
std::vector<uint8_t> grayPalette() {
    std::vector<uint8_t> palette;
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {static_cast<uint8_t>(i), 0, static_cast<uint8_t>(i)});
    return palette;
}
std::string smallGif() {
    std::string indices;
    for (int i = 0; i < 40 * 40; ++i) indices.push_back(static_cast<char>(i % 251));
    return imagetest::encodeGif(40, 40, grayPalette(), indices, 3);
}
std::string smallBmp() { return imagetest::encodeWithQt(40, 30, std::string(40 * 30 * 4, '\x7F'), "bmp"); }
std::string smallTiff(imagetest::TiffLayout layout = {}) {
    FixtureFolder scratch;
    const std::string path = scratch.file("small.tif");
    imagetest::writeTiff(path, 32, 32, layout, imagetest::gradient(32, 32, layout.samplesPerPixel).bytes);
    return qmtest::readBytes(path);
}

// A TIFF directory of its own making, claiming width x height 8-bit gray pixels in one strip.
std::string tiffClaiming(uint32_t width, uint32_t height) {
    std::string out = std::string("II*\0", 4);
    appendLe(out, 8, 4);
    const uint32_t entries[][3] = {{256, 4, width}, {257, 4, height}, {258, 3, 8},    {259, 3, 1},
                                   {262, 3, 1},     {273, 4, 200},   {277, 3, 1},    {278, 4, height},
                                   {279, 4, 16}};
    appendLe(out, 9, 2);
    for (const auto& e : entries) {
        appendLe(out, e[0], 2);
        appendLe(out, e[1], 2);
        appendLe(out, 1, 4);
        appendLe(out, e[2], 4);
    }
    appendLe(out, 0, 4);
    out.resize(216, '\x55');
    return out;
}

std::string pngClaiming(uint32_t width, uint32_t height) {
    std::string ihdr = "IHDR";
    for (uint32_t v : {width, height})
        for (int i = 3; i >= 0; --i) ihdr.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);
    std::string out = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0D", 12) + ihdr;
    const uint32_t crc = crc32Of(ihdr);
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
    return out;
}

std::string jpegClaiming(int width, int height) {
    std::string jpeg = smallJpeg();
    const size_t sof = jpeg.find("\xFF\xC0");
    putBe16(jpeg, sof + 5, height);
    putBe16(jpeg, sof + 7, width);
    return jpeg;
}

std::string gifClaiming(int width, int height) {
    std::string gif = smallGif();
    for (size_t at : {size_t{6}, size_t{13 + 768 + 8 + 5}}) {
        gif[at] = static_cast<char>(width & 0xFF);
        gif[at + 1] = static_cast<char>(width >> 8);
        gif[at + 2] = static_cast<char>(height & 0xFF);
        gif[at + 3] = static_cast<char>(height >> 8);
    }
    return gif;
}

std::string bmpClaiming(uint32_t width, uint32_t height) {
    std::string bmp = smallBmp();
    putLe32(bmp, 18, width);
    putLe32(bmp, 22, height);
    return bmp;
}

std::string firstHalf(const std::string& bytes) { return bytes.substr(0, bytes.size() / 2); }

struct BadFileRow {
    const char* name;
    std::function<std::string()> bytes;
    const char* phrase;  // in the message
};

class ImageDocumentRefusal : public ::testing::TestWithParam<BadFileRow> {};

TEST_P(ImageDocumentRefusal, BadFileIsRefusedWithAMessageNamingIt) {
    FixtureFolder folder;
    const std::string path = folder.file(std::string("bad-") + GetParam().name);
    qmtest::writeBytes(path, GetParam().bytes());
    const size_t documents = qmhost::openDocumentCount();
    const Outcome outcome = openImage(path);
    EXPECT_EQ(outcome.doc, nullptr);
    EXPECT_EQ(outcome.code, kHostErrBadImage) << outcome.message;
    EXPECT_NE(outcome.message.find(path), std::string::npos) << outcome.message;
    EXPECT_NE(outcome.message.find(GetParam().phrase), std::string::npos) << outcome.message;
    EXPECT_EQ(qmhost::openDocumentCount(), documents);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImageDocumentRefusal,
    ::testing::Values(
        BadFileRow{"Empty", [] { return std::string(); }, "is empty"},
        BadFileRow{"Text", [] { return std::string("no picture in here\n"); }, "is not a JPEG, TIFF, PNG, GIF or BMP image"},
        BadFileRow{"Pdf", [] { return std::string("%PDF-1.4\n%%EOF\n"); }, "is not a JPEG, TIFF, PNG, GIF or BMP image"},
        BadFileRow{"BigEndianSignatureOnly", [] { return std::string("MM\0*", 4); }, "TIFF"},
        BadFileRow{"JpegCut", [] { return firstHalf(smallJpeg()); }, "JPEG"},
        BadFileRow{"JpegMarkersOnly", [] { return smallJpeg().substr(0, 4); }, "JPEG"},
        BadFileRow{"PngCut", [] { return firstHalf(smallPng()); }, "PNG"},
        BadFileRow{"PngHeaderOnly", [] { return smallPng().substr(0, 8); }, "PNG"},
        BadFileRow{"GifCut", [] { return firstHalf(smallGif()); }, "GIF"},
        BadFileRow{"BmpCut", [] { return firstHalf(smallBmp()); }, "BMP"},
        BadFileRow{"TiffCut", [] { return firstHalf(smallTiff()); }, "TIFF"},
        BadFileRow{"TiffStripBeyondTheEnd", [] { return tiffClaiming(4, 4).substr(0, 204); }, "TIFF"},
        BadFileRow{"PngTooLarge", [] { return pngClaiming(30000, 30000); }, "too large"},
        BadFileRow{"JpegTooLarge", [] { return jpegClaiming(60000, 60000); }, "too large"},
        BadFileRow{"GifTooLarge", [] { return gifClaiming(65535, 65535); }, "too large"},
        BadFileRow{"BmpTooLarge", [] { return bmpClaiming(100000, 100000); }, "too large"},
        BadFileRow{"TiffTooLarge", [] { return tiffClaiming(100000, 100000); }, "too large"},
        BadFileRow{"TiffWithoutPixels", [] { return tiffClaiming(0, 4); }, "TIFF"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ImageDocumentFiles, MissingFileAndFolderAreRefusedAsFiles) {
    FixtureFolder folder;
    Outcome outcome = openImage(folder.file("nothing.png"));
    EXPECT_EQ(outcome.code, kHostErrFileNotFound) << outcome.message;
    outcome = openImage(folder.path());
    EXPECT_EQ(outcome.code, kHostErrFileOpen) << outcome.message;
}

TEST(ImageDocumentFiles, FileAboveAGigabyteIsRefusedBeforeItIsRead) {
    FixtureFolder folder;
    const std::string path = folder.file("huge.png");
    qmtest::writeBytes(path, smallPng());
    ASSERT_EQ(::truncate(path.c_str(), (off_t{1} << 30) + 1), 0);  // sparse: nothing is written
    const Outcome outcome = openImage(path);
    EXPECT_EQ(outcome.code, kHostErrBadImage);
    EXPECT_NE(outcome.message.find("too large"), std::string::npos) << outcome.message;
}

TEST(ImageDocumentFiles, KindIsToldByContentNotByName) {
    FixtureFolder folder;
    const std::string path = folder.file("really-a-png.jpg");
    qmtest::writeBytes(path, smallPng());
    const Outcome outcome = openImage(path);
    EXPECT_EQ(outcome.code, 0) << outcome.message;
}

TEST(ImageDocumentFiles, JpegWithoutJfifMarkerAndBigEndianTiffOpen) {
    FixtureFolder folder;
    std::string jpeg = smallJpeg();
    ASSERT_EQ(jpeg.substr(2, 2), "\xFF\xE0");
    const size_t app0 = (size_t{static_cast<uint8_t>(jpeg[4])} << 8 | static_cast<uint8_t>(jpeg[5])) + 2u;
    jpeg.erase(2, app0);
    qmtest::writeBytes(folder.file("bare.jpg"), jpeg);
    EXPECT_EQ(openImage(folder.file("bare.jpg")).code, 0);
    imagetest::writeTiff(folder.file("le.tif"), 8, 8, {}, imagetest::gradient(8, 8, 3).bytes);
    // The same image written big-endian by libtiff ("b" mode).
    TIFF* tiff = TIFFOpen(folder.file("be.tif").c_str(), "wb");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 8u);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 8u);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    std::string row(8, '\x33');
    for (uint32_t y = 0; y < 8; ++y) TIFFWriteScanline(tiff, row.data(), y, 0);
    TIFFClose(tiff);
    ASSERT_EQ(qmtest::readBytes(folder.file("be.tif")).substr(0, 4), std::string("MM\0*", 4));
    EXPECT_EQ(openImage(folder.file("be.tif")).code, 0);
}

// --- host versions

class ImageDocumentVersion : public ::testing::Test {
protected:
    void TearDown() override { qmhost::setHostMajorVersion(kDefaultHostMajorVersion); }
};

TEST_F(ImageDocumentVersion, HostVersionFiveRefusesEvenAGoodFile) {
    FixtureFolder folder;
    qmtest::writeBytes(folder.file("good.png"), smallPng());
    qmhost::setHostMajorVersion(5);
    const Outcome refused = openImage(folder.file("good.png"));
    EXPECT_EQ(refused.code, kHostErrUnsupported);
    EXPECT_NE(refused.message.find("6"), std::string::npos) << refused.message;
    qmhost::setHostMajorVersion(6);
    EXPECT_EQ(openImage(folder.file("good.png")).code, 0);
}

TEST_F(ImageDocumentVersion, KindsAreListedAtEveryVersion) {
    const char* const descriptions[] = {"JPEG", "TIFF", "PNG", "GIF", "BMP"};
    const char* const extensions[] = {"jpg;jpeg;jpe;jfif", "tif;tiff", "png", "gif", "bmp;dib"};
    for (int32_t version : {5, 6, 8}) {
        qmhost::setHostMajorVersion(version);
        ASSERT_EQ(pd().getImageConversionCount(), 5);
        for (int32_t i = 0; i < 5; ++i) {
            const char* ext = nullptr;
            EXPECT_STREQ(pd().getImageConversionDescription(i, &ext), descriptions[i]);
            EXPECT_STREQ(ext, extensions[i]);
        }
        for (int32_t outside : {-1, 5}) {
            const char* ext = "untouched";
            EXPECT_EQ(pd().getImageConversionDescription(outside, &ext), nullptr);
            EXPECT_EQ(ext, nullptr);
        }
        EXPECT_STREQ(pd().getImageConversionDescription(2, nullptr), "PNG");
    }
}

// --- CMYK JPEGs

TEST(ImageDocumentCmyk, App14CmykJpegShowsItsColourNotTheNegative) {
    FixtureFolder folder;
    // Cyan written as programs with the APP14 marker write it: inverted.
    qmtest::writeBytes(folder.file("cyan.jpg"), imagetest::encodeJpeg(imagetest::solid(24, 24, {0, 255, 255, 255})));
    const Outcome opened = openImage(folder.file("cyan.jpg"), true);
    ASSERT_NE(opened.doc, nullptr) << opened.message;
    QPDFObjectHandle decode = [&] {
        QPDFObjectHandle page = qmhost::documentOf(opened.doc)->qpdf().getAllPages().at(0);
        return page.getKey("/Resources").getKey("/XObject").getKey("/Im0").getDict().getKey("/Decode");
    }();
    EXPECT_EQ(decode.unparse(), "[ 1 0 1 0 1 0 1 0 ]");
    pd().docSave(opened.doc, HostPath(folder.file("cyan.pdf")));
    pd().docClose(opened.doc);
    const qmtest::Netpbm page = qmtest::drawPage(folder.file("cyan.pdf"), folder.file("page"), 72, false);
    EXPECT_LT(page.sample(12, 12, 0), 100);
    EXPECT_GT(page.sample(12, 12, 1), 120);
    EXPECT_GT(page.sample(12, 12, 2), 180);
}

TEST(ImageDocumentCmyk, CmykJpegWithoutApp14MarkerIsTakenAsItIs) {
    FixtureFolder folder;
    std::string jpeg = imagetest::encodeJpeg(imagetest::solid(8, 8, {255, 0, 0, 0}));
    const size_t app14 = jpeg.find("\xFF\xEE");
    ASSERT_NE(app14, std::string::npos);
    jpeg.erase(app14, (size_t{static_cast<uint8_t>(jpeg[app14 + 2])} << 8 | static_cast<uint8_t>(jpeg[app14 + 3])) + 2u);
    qmtest::writeBytes(folder.file("plain.jpg"), jpeg);
    const Outcome opened = openImage(folder.file("plain.jpg"), true);
    ASSERT_NE(opened.doc, nullptr) << opened.message;
    QPDFObjectHandle page = qmhost::documentOf(opened.doc)->qpdf().getAllPages().at(0);
    EXPECT_FALSE(page.getKey("/Resources").getKey("/XObject").getKey("/Im0").getDict().hasKey("/Decode"));
    pd().docClose(opened.doc);
}

// --- mutated files

void quietQt(QtMsgType, const QMessageLogContext&, const QString&) {}

TEST(ImageDocumentFuzz, MutatedFilesOpenOrAreRefusedNeverCrash) {
    FixtureFolder folder;
    const std::string path = folder.file("mutant");
    const std::string seeds[] = {smallJpeg(), smallPng(), smallGif(), smallBmp(), smallTiff(),
                                 smallTiff({PHOTOMETRIC_RGB, 3, 8, false, true, false, COMPRESSION_LZW, {}}),
                                 smallTiff({PHOTOMETRIC_SEPARATED, 4, 8, false, false, false, COMPRESSION_ADOBE_DEFLATE, {}})};
    const QtMessageHandler previous = qInstallMessageHandler(quietQt);
    const size_t documents = qmhost::openDocumentCount();
    uint32_t state = 20240601u;
    auto next = [&state](uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    int opened = 0, refused = 0;
    for (const std::string& seed : seeds) {
        for (int round = 0; round < 150; ++round) {
            std::string mutant = seed;
            switch (next(4)) {
                case 0:  // a few bytes changed
                    for (uint32_t n = next(4) + 1; n > 0; --n)
                        mutant[next(static_cast<uint32_t>(mutant.size()))] = static_cast<char>(next(256));
                    break;
                case 1:  // cut anywhere
                    mutant.resize(next(static_cast<uint32_t>(mutant.size())) + 1);
                    break;
                case 2:  // a length or size field made huge
                    mutant[next(static_cast<uint32_t>(std::min<size_t>(mutant.size(), 64)))] = '\xFF';
                    break;
                default:  // a run of the file repeated in the middle
                    mutant.insert(next(static_cast<uint32_t>(mutant.size())), mutant.substr(0, next(200)));
                    break;
            }
            qmtest::writeBytes(path, mutant);
            try {
                PDDoc doc = pd().docOpenImage(HostPath(path));
                ++opened;
                pd().docClose(doc);
            } catch (const HostError& e) {
                ++refused;
                EXPECT_EQ(e.code(), kHostErrBadImage) << e.what();
            }
        }
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(qmhost::openDocumentCount(), documents);
    EXPECT_GT(refused, 0);
    EXPECT_GT(opened, 0);
}

}  // namespace
