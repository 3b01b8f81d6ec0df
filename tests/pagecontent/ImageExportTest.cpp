// Exporting the image behind a page-content element as a JPEG or TIFF file:
// read back by our own readers and by pdfimages, the size, colour space and
// samples match the embedded image (JPEG within its loss); refusals leave no
// file behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <sstream>

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
    QPDFObjectHandle image = QPDFObjectHandle::newStream(&q, samplesOf(c.components, c.bits));
    QPDFObjectHandle dict = image.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(kWidth));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(kHeight));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(c.bits));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::parse(c.colorSpace));
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

class ImageExport : public PageContentTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ImageExport, WrittenFileMatchesTheEmbeddedImage) {
    const ExportCase& c = GetParam();
    const std::string pdf = folder.file("image.pdf"), target = folder.file(c.jpeg ? "out.jpg" : "out.tif");
    writeImagePdf(pdf, c);
    AVDoc view = OpenView(pdf);
    CPDEContent page(view, 0);
    CPDEImageXObject element(nullptr, view, 0, page.GetElem(0), nullptr);
    CBridgeFileStream stream;
    ASSERT_TRUE(stream.SetPathText(target.c_str()));
    std::unique_ptr<CImageType> type;
    if (c.jpeg) type = std::make_unique<CJPEGImageType>(&stream);
    else type = std::make_unique<CTIFFImageType>(&stream);
    ClearErrorMessage();
    if (!c.written) {
        EXPECT_THROW(type->ExportElementImage(element), ErrorCode) << c.name;
        EXPECT_STREQ(GetErrorMessage(), "Bad PDF Color Space") << c.name;
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"image.pdf"}) << "no file, no leftover: " << c.name;
        return;
    }
    ASSERT_TRUE(type->ExportElementImage(element)) << GetErrorMessage();
    EXPECT_EQ(folder.entries().size(), 2u) << "the file and nothing else";

    // Our own reader.
    CBridgeFileStream readStream;
    readStream.SetPathText(target.c_str());
    std::unique_ptr<CImageType> reader;
    if (c.jpeg) reader = std::make_unique<CJPEGImageType>(&readStream);
    else reader = std::make_unique<CTIFFImageType>(&readStream);
    EXPECT_EQ(reader->GetWidth(), kWidth);
    EXPECT_EQ(reader->GetHeight(), kHeight);
    ASAtom space = kASAtomNull;
    PDDoc scratch = gPDModelHFT->docCreate();
    const std::string read = qmtest::StreamData(reader->MakeImageXObject(scratch, kImageFilterNone, &space));
    gPDModelHFT->docClose(scratch);
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

}  // namespace
