// Exporting the image behind a page-content element as a JPEG or TIFF file:
// read back by our own readers and by pdfimages, the size, colour space and
// samples match the embedded image (JPEG within its loss), the file has the
// user's usual mode; refusals leave no file behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <sstream>

#include <sys/stat.h>
#include <tiffio.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include "PageContentFixture.h"
#include "common/Netpbm.h"
#include "common/PluginFixture.h"
#include "engine/CJPEGImageType.h"
#include "engine/CTIFFImageType.h"
#include "engine/PDEColorSpaceFamilies.h"
#include "pagecontent/CPDEColorSpace.h"
#include "pagecontent/CPDEContent.h"
#include "pagecontent/CPDEImageXObject.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/io/CBridgeFileStream.h"

namespace {

using pctest::PageContentTest;

struct ExportCase {
    const char* name;
    std::string colorSpace;  // PDF syntax
    int components;          // bytes per pixel of the samples
    int bits;
    bool jpeg;
    bool wrapped;            // placed through a form
    bool written;
    const char* pdfimagesColor;  // what pdfimages -list names the colour
    std::string extra = "";      // more entries of the image dictionary, PDF syntax
    std::string samples = "";    // the stored samples, when not samplesOf's
};

constexpr int kWidth = 16, kHeight = 8;

// Smooth ramps (JPEG keeps them within a few levels); a pattern of bits at 1 bit.
std::string samplesOf(int components, int bits) {
    std::string data;
    if (bits != 8) {
        for (int i = 0; i < (kWidth * components * bits + 7) / 8 * kHeight; ++i) data += static_cast<char>(0x5a + i);
        return data;
    }
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < components; ++c) data += static_cast<char>(40 + x * 6 + y * 8 + c * 30);
    return data;
}

// One page placing one image XObject, directly or through a form.
void writeImagePdf(const std::string& path, const ExportCase& c) {
    QPDF q;
    q.emptyPDF();
    QPDFObjectHandle image =
        QPDFObjectHandle::newStream(&q, c.samples.empty() ? samplesOf(c.components, c.bits) : c.samples);
    QPDFObjectHandle dict = image.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(kWidth));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(kHeight));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(c.bits));
    if (!c.colorSpace.empty()) dict.replaceKey("/ColorSpace", QPDFObjectHandle::parse(c.colorSpace));
    if (!c.extra.empty())
        for (const auto& [key, value] : QPDFObjectHandle::parse("<<" + c.extra + ">>").ditems()) dict.replaceKey(key, value);
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Im1", image);
    std::string content = "q 160 0 0 80 10 10 cm /Im1 Do Q";
    if (c.wrapped) {
        QPDFObjectHandle form = QPDFObjectHandle::newStream(&q, content);
        form.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        form.getDict().replaceKey("/BBox", QPDFObjectHandle::parse("[0 0 200 200]"));
        QPDFObjectHandle formResources = QPDFObjectHandle::newDictionary();
        formResources.replaceKey("/XObject", xobjects);
        form.getDict().replaceKey("/Resources", formResources);
        xobjects = QPDFObjectHandle::newDictionary();
        xobjects.replaceKey("/Fm1", form);
        content = "/Fm1 Do";
    }
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", xobjects);
    QPDFObjectHandle page = q.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 200 200] >>"));
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&q, content));
    page.replaceKey("/Resources", resources);
    q.addPage(page, false);
    QPDFWriter writer(q, path.c_str());
    writer.setStaticID(true);
    writer.write();
}

// The samples of a P5/P6 file that pdfimages wrote, with components per pixel
// (pdfimages writes a gray image as RGB triplets: one of each is kept).
std::string pnmSamples(const std::string& path, int components) {
    const qmtest::Netpbm image = qmtest::readNetpbm(path);
    return components == 1 ? image.plane(0) : image.bytes;
}

// Width, height and colour of the first image that pdfimages -list names.
std::vector<std::string> listedImage(const std::string& output) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        if (w.size() > 5 && w[2] == "image") return {w[3], w[4], w[5]};
    }
    return {};
}

double meanDifference(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return 255;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]));
    return sum / static_cast<double>(a.size());
}

// Exports the image behind element as a JPEG or TIFF file named target; a
// refusal throws.
bool exportImage(CPDEImageXObject& element, const std::string& target, bool jpeg) {
    CBridgeFileStream stream;
    if (!stream.SetPathText(target.c_str())) return false;
    std::unique_ptr<CImageType> type;
    if (jpeg) type = std::make_unique<CJPEGImageType>(&stream);
    else type = std::make_unique<CTIFFImageType>(&stream);
    ClearErrorMessage();
    return type->ExportElementImage(element);
}

// What our own reader makes of a written JPEG or TIFF file.
struct ReadBack {
    int32_t width, height;
    std::string samples;
};
ReadBack readBack(const std::string& path, bool jpeg) {
    CBridgeFileStream stream;
    stream.SetPathText(path.c_str());
    std::unique_ptr<CImageType> reader;
    if (jpeg) reader = std::make_unique<CJPEGImageType>(&stream);
    else reader = std::make_unique<CTIFFImageType>(&stream);
    ASAtom space = kASAtomNull;
    PDDoc scratch = gPDModelHFT->docCreate();
    ReadBack back{reader->GetWidth(), reader->GetHeight(),
                  qmtest::StreamData(reader->MakeImageXObject(scratch, kImageFilterNone, &space))};
    gPDModelHFT->docClose(scratch);
    return back;
}

class ImageExport : public PageContentTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ImageExport, WrittenFileMatchesTheEmbeddedImage) {
    const ExportCase& c = GetParam();
    const std::string pdf = folder.file("image.pdf"), target = folder.file(c.jpeg ? "out.jpg" : "out.tif");
    writeImagePdf(pdf, c);
    AVDoc view = OpenView(pdf);
    CPDEContent page(view, 0);
    CPDEImageXObject element(nullptr, view, 0, page.GetElem(0), nullptr);
    if (!c.written) {
        EXPECT_THROW(exportImage(element, target, c.jpeg), ErrorCode) << c.name;
        EXPECT_STREQ(GetErrorMessage(), "Bad PDF Color Space") << c.name;
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"image.pdf"}) << "no file, no leftover: " << c.name;
        return;
    }
    const mode_t mask = umask(022);
    ASSERT_TRUE(exportImage(element, target, c.jpeg)) << GetErrorMessage();
    umask(mask);
    EXPECT_EQ(folder.entries().size(), 2u) << "the file and nothing else";
    struct stat st{};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u) << "the mode a new file of the user gets, not 0600";

    // Our own reader.
    const ReadBack back = readBack(target, c.jpeg);
    EXPECT_EQ(back.width, kWidth);
    EXPECT_EQ(back.height, kHeight);
    const std::string& read = back.samples;
    const std::string original = samplesOf(c.components, c.bits);
    if (c.jpeg) {
        EXPECT_LT(meanDifference(read, original), 6.0) << c.name;
    }
    else EXPECT_EQ(read, original) << c.name;

    // pdfimages on the source file: the same size and colour, and the same pixels.
    const auto list = qmtest::runCommand("pdfimages -list " + qmtest::shellQuote(pdf));
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(listedImage(list.output), (std::vector<std::string>{std::to_string(kWidth), std::to_string(kHeight),
                                                                c.pdfimagesColor}))
        << list.output;
    if (c.components != 4 && std::string(c.pdfimagesColor) != "index") {
        const std::string prefix = folder.file("pi");
        ASSERT_EQ(qmtest::runCommand("pdfimages " + qmtest::shellQuote(pdf) + " " + qmtest::shellQuote(prefix)).status, 0);
        std::string written;
        for (const std::string& name : folder.entries())
            if (name.rfind("pi-000.", 0) == 0) written = folder.file(name);
        const std::string extracted = pnmSamples(written, c.components);
        if (c.jpeg) {
            EXPECT_LT(meanDifference(read, extracted), 6.0) << c.name;
        }
        else EXPECT_EQ(read, extracted) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageExport,
    ::testing::Values(ExportCase{"TiffRgb", "/DeviceRGB", 3, 8, false, false, true, "rgb"},
                      ExportCase{"TiffGrayThroughAForm", "/DeviceGray", 1, 8, false, true, true, "gray"},
                      ExportCase{"TiffCmyk", "/DeviceCMYK", 4, 8, false, false, true, "cmyk"},
                      ExportCase{"TiffPalette", "[/Indexed /DeviceRGB 255 <" + std::string(1536, 'a') + ">]", 1, 8,
                                 false, false, true, "index"},
                      ExportCase{"JpegRgb", "/DeviceRGB", 3, 8, true, false, true, "rgb"},
                      ExportCase{"JpegGrayThroughAForm", "/DeviceGray", 1, 8, true, true, true, "gray"},
                      ExportCase{"JpegCmyk", "/DeviceCMYK", 4, 8, true, false, true, "cmyk"},
                      ExportCase{"JpegRefusesAPalette", "[/Indexed /DeviceRGB 1 <ff000000ff00>]", 1, 8, true, false,
                                 false, "index"},
                      ExportCase{"JpegRefusesOneBit", "/DeviceGray", 1, 1, true, false, false, "gray"},
                      ExportCase{"TiffRefusesLab", "[/Lab << /WhitePoint [0.95 1 1.09] >>]", 3, 8, false, false,
                                 false, "lab"}),
    [](const ::testing::TestParamInfo<ExportCase>& row) { return std::string(row.param.name); });

TEST_F(PageContentTest, PageContentColourSpaceFamilies) {
    const std::string pdf = folder.file("image.pdf");
    writeImagePdf(pdf, ExportCase{"", "[/Indexed /DeviceRGB 1 <ff000000ff00>]", 1, 8, false, false, true, ""});
    AVDoc view = OpenView(pdf);
    CPDEContent page(view, 0);
    CPDEImage image(page.GetElem(0));
    EXPECT_EQ(GetPDEImageColorSpaceFamily(image), 3);
    EXPECT_EQ(GetPDEImageComponentCount(image), 1);
    struct Row {
        const char* family;
        int32_t code;
    };
    const Row rows[] = {{"DeviceGray", 0}, {"DeviceRGB", 1}, {"DeviceCMYK", 2}, {"Pattern", 20}};
    for (const Row& row : rows)
        EXPECT_EQ(GetPDEColorSpaceFamily(CPDEColorSpace(gCoreHFT->atomFromString(row.family), nullptr)), row.code)
            << row.family;
    const uint8_t palette[6] = {};
    PDEIndexedColorData cmyk{gCoreHFT->atomFromString("DeviceGray"), 5, palette, 6};
    EXPECT_EQ(GetPDEColorSpaceFamily(CPDEColorSpace(gCoreHFT->atomFromString("Indexed"), &cmyk)), 22)
        << "an Indexed space over gray has no family of its own";
}

// The sample values of the first plane of a TIFF file, as libtiff reads them in
// the machine's byte order (any depth; rows padded to a byte).
std::vector<uint32_t> tiffSampleValues(const std::string& path) {
    std::vector<uint32_t> values;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return values;
    uint32_t width = 0, height = 0;
    uint16_t bits = 0, perPixel = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &perPixel);
    std::vector<unsigned char> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
    for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff, row.data(), y) < 0) break;
        for (size_t i = 0; i < size_t(width) * perPixel; ++i) {
            if (bits == 16) {
                uint16_t value;
                std::memcpy(&value, &row[2 * i], 2);
                values.push_back(value);
            } else {
                const unsigned depth = bits, bit = static_cast<unsigned>(i) * depth;
                values.push_back((unsigned{row[bit / 8]} >> (8u - bit % 8 - depth)) & ((1u << depth) - 1u));
            }
        }
    }
    TIFFClose(tiff);
    return values;
}

struct DrawnCase {
    const char* name;
    const char* colorSpace;
    int components, bits;
    bool jpeg;
    const char* extra;
    std::function<uint32_t(uint32_t stored)> drawn;  // the value the page draws
};

// samplesOf's, but 16-bit samples (big-endian) whose two bytes differ widely.
std::string storedSamples(int bits, int components) {
    if (bits != 16) return samplesOf(components, bits);
    std::string data;
    for (int i = 0; i < kWidth * kHeight * components; ++i) {
        const uint16_t value = static_cast<uint16_t>(i * 97 + 0x0123);
        data += static_cast<char>(value >> 8);
        data += static_cast<char>(value & 0xff);
    }
    return data;
}

uint32_t storedValue(const std::string& data, int bits, size_t index) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (bits == 16) return uint32_t(bytes[2 * index]) << 8 | bytes[2 * index + 1];
    if (bits == 8) return bytes[index];
    return (bytes[index / 8] >> (7 - index % 8)) & 1;  // kWidth is a whole number of bytes
}

TEST_F(PageContentTest, ExportedSamplesAreTheOnesThePageDraws) {
    const auto same = [](uint32_t v) { return v; };
    const auto inverted8 = [](uint32_t v) { return 255 - v; };
    const DrawnCase rows[] = {
        {"Tiff16BitGray", "/DeviceGray", 1, 16, false, "", same},
        {"Tiff16BitRgb", "/DeviceRGB", 3, 16, false, "", same},
        {"Jpeg16BitRgb", "/DeviceRGB", 3, 16, true, "", [](uint32_t v) { return (v + 128) / 257; }},
        {"TiffDecodeInverted", "/DeviceGray", 1, 8, false, "/Decode [1 0]", inverted8},
        {"JpegDecodeInverted", "/DeviceGray", 1, 8, true, "/Decode [1 0]", inverted8},
        {"TiffDecodeHalfRange", "/DeviceGray", 1, 8, false, "/Decode [0 0.5]", [](uint32_t v) { return (v + 1) / 2; }},
        {"TiffMaskPaintsZeros", "", 1, 1, false, "/ImageMask true", same},
        {"TiffMaskDecodeInverted", "", 1, 1, false, "/ImageMask true /Decode [1 0]", [](uint32_t v) { return 1 - v; }},
    };
    for (const DrawnCase& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string pdf = folder.file(std::string(row.name) + ".pdf");
        const std::string target = folder.file(std::string(row.name) + (row.jpeg ? ".jpg" : ".tif"));
        const std::string samples = storedSamples(row.bits, row.components);
        writeImagePdf(pdf, {row.name, row.colorSpace, row.components, row.bits, row.jpeg, false, true, "", row.extra,
                            samples});
        AVDoc view = OpenView(pdf);
        CPDEContent page(view, 0);
        CPDEImageXObject element(nullptr, view, 0, page.GetElem(0), nullptr);
        bool exported = false;
        ASSERT_NO_THROW(exported = exportImage(element, target, row.jpeg)) << GetErrorMessage();
        ASSERT_TRUE(exported);
        const size_t count = static_cast<size_t>(kWidth * kHeight * row.components);
        std::vector<uint32_t> read;
        if (row.jpeg) {
            for (char byte : readBack(target, true).samples) read.push_back(static_cast<unsigned char>(byte));
        } else {
            read = tiffSampleValues(target);
        }
        ASSERT_EQ(read.size(), count);
        double difference = 0;
        for (size_t i = 0; i < count; ++i) {
            const double expected = row.drawn(storedValue(samples, row.bits, i));
            difference += std::abs(double(read[i]) - expected);
            if (!row.jpeg) {
                ASSERT_EQ(read[i], expected) << "sample " << i;
            }
        }
        EXPECT_LT(difference / double(count), 6.0) << "JPEG within its loss";
    }
}

// A pipe at the target is refused with a message saying why (that it stays a
// pipe, with no file left beside it, is the file replacing's own test).
TEST_F(PageContentTest, ExportOntoAPipeIsRefusedSayingWhy) {
    const std::string pdf = folder.file("image.pdf"), target = folder.file("pipe");
    writeImagePdf(pdf, ExportCase{"", "/DeviceGray", 1, 8, false, false, true, ""});
    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    AVDoc view = OpenView(pdf);
    CPDEContent page(view, 0);
    CPDEImageXObject element(nullptr, view, 0, page.GetElem(0), nullptr);
    for (const bool jpeg : {true, false}) {
        EXPECT_THROW(exportImage(element, target, jpeg), ErrorCode) << jpeg;
        EXPECT_EQ(std::string(GetErrorMessage()),
                  "Cannot write the image file " + target + ": it exists and is not a regular file");
    }
}

// Setting the page content of an object made without a member is an error,
// not a crash.
TEST_F(PageContentTest, CommitWithoutAMemberIsAnError) {
    const std::string pdf = folder.file("image.pdf");
    writeImagePdf(pdf, ExportCase{"", "/DeviceGray", 1, 8, false, false, true, ""});
    AVDoc view = OpenView(pdf);
    CPDEContent page(view, 0);
    CPDEImageXObject element(nullptr, view, 0, page.GetElem(0), nullptr);
    EXPECT_THROW(element.CommitPageContent(), ErrorCode);
}

}  // namespace
