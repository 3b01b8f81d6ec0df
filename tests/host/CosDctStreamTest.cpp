// Image streams encoded with /DCTDecode through Cos newStream: what is stored is
// a JPEG that decodes (libjpeg) and shows (poppler) close to the samples given,
// and images DCT cannot carry are refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CosImageStreamSupport.h"
#include "ImageTestFiles.h"
#include "common/Netpbm.h"

namespace {

using namespace cosimagetest;

class CosDctStream : public CosImageStreamFixture {};

// --- DCT

struct DctRow {
    const char* name;
    int components;
    const char* space;
};

class CosDctStreamSpaces : public CosDctStream, public ::testing::WithParamInterface<DctRow> {};

TEST_P(CosDctStreamSpaces, StoresAJpegThatDecodesCloseToTheSamples) {
    const imagetest::Samples samples = imagetest::gradient(64, 48, GetParam().components);
    const CosObj stream = fromMemory(samples.bytes, dict(image(64, 48, GetParam().space, 8, "/DCTDecode")));
    const std::string jpeg = stored(stream);
    ASSERT_GE(jpeg.size(), 4u);
    EXPECT_EQ(jpeg.substr(0, 3), "\xFF\xD8\xFF");
    const imagetest::Samples back = imagetest::decodeJpeg(jpeg);
    ASSERT_EQ(back.width, 64);
    ASSERT_EQ(back.height, 48);
    ASSERT_EQ(back.components, GetParam().components);
    long total = 0;
    int worst = 0;
    for (size_t i = 0; i < samples.bytes.size(); ++i) {
        const int diff = std::abs(static_cast<uint8_t>(samples.bytes[i]) - static_cast<uint8_t>(back.bytes[i]));
        total += diff;
        worst = std::max(worst, diff);
    }
    EXPECT_LT(static_cast<double>(total) / static_cast<double>(samples.bytes.size()), 3.0);
    EXPECT_LT(worst, 40);
}

INSTANTIATE_TEST_SUITE_P(Spaces, CosDctStreamSpaces,
                         ::testing::Values(DctRow{"Gray", 1, "/DeviceGray"}, DctRow{"Rgb", 3, "/DeviceRGB"},
                                           DctRow{"Cmyk", 4, "/DeviceCMYK"}, DctRow{"CalRgb", 3, "[/CalRGB << >>]"},
                                           DctRow{"Separation", 1,
                                                  "[/Separation /Spot /DeviceGray << /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0] /N 1 >>]"}),
                         [](const auto& row) { return std::string(row.param.name); });

struct ColourRow {
    const char* name;
    std::vector<uint8_t> samples;
    const char* space;
    const char* listed;                // pdfimages' colour
    std::vector<int> rendered;         // RGB on the page
    int tolerance;                     // poppler draws pure K as a dark grey, not as 0 0 0
};

class CosDctStreamColour : public CosDctStream, public ::testing::WithParamInterface<ColourRow> {};

TEST_P(CosDctStreamColour, DctImageIsListedAsJpegAndShowsItsColour) {
    qmtest::FixtureFolder folder;
    const ColourRow& row = GetParam();
    const imagetest::Samples samples = imagetest::solid(32, 32, row.samples);
    const CosObj stream = fromMemory(samples.bytes, dict(image(32, 32, row.space, 8, "/DCTDecode")));
    const std::string path = savePageShowing(stream, 32, 32, folder);
    const auto images = imagetest::listImages(path);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].encoding, "jpeg");
    EXPECT_EQ(images[0].color, row.listed);
    EXPECT_EQ(images[0].width, 32);
    EXPECT_EQ(images[0].bits, 8);
    const qmtest::Netpbm page = qmtest::drawPage(path, folder.file("page"), 72, false);
    ASSERT_EQ(page.components, 3);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(page.sample(16, 16, c), row.rendered[static_cast<size_t>(c)], row.tolerance) << "component " << c;
}

INSTANTIATE_TEST_SUITE_P(Colours, CosDctStreamColour,
                         ::testing::Values(ColourRow{"Red", {255, 0, 0}, "/DeviceRGB", "rgb", {255, 0, 0}, 12},
                                           ColourRow{"MidGray", {128}, "/DeviceGray", "gray", {128, 128, 128}, 12},
                                           ColourRow{"Black", {0, 0, 0, 255}, "/DeviceCMYK", "cmyk", {0, 0, 0}, 50},
                                           ColourRow{"White", {0, 0, 0, 0}, "/DeviceCMYK", "cmyk", {255, 255, 255}, 12},
                                           ColourRow{"Cyan", {255, 0, 0, 0}, "/DeviceCMYK", "cmyk", {0, 170, 230}, 60}),
                         [](const auto& row) { return std::string(row.param.name); });

struct RefusalRow {
    const char* name;
    const char* attributes;
    size_t bytes;
    int32_t code;
};

class CosDctStreamRefusal : public CosDctStream, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(CosDctStreamRefusal, RefusedWithAMessageAndNoObject) {
    const size_t objects = objectCount();
    const Raised raised = raisedBy([&] { fromMemory(std::string(GetParam().bytes, 'x'), dict(GetParam().attributes)); });
    EXPECT_EQ(raised.code, GetParam().code) << raised.message;
    EXPECT_FALSE(raised.message.empty());
    EXPECT_EQ(objectCount(), objects);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CosDctStreamRefusal,
    ::testing::Values(
        RefusalRow{"NotAnImage", "<< /Filter /DCTDecode >>", 48, kHostErrFilter},
        RefusalRow{"SixteenBits", "<< /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceGray /BitsPerComponent 16 "
                                  "/Filter /DCTDecode >>", 32, kHostErrFilter},
        RefusalRow{"Indexed", "<< /Subtype /Image /Width 4 /Height 4 /ColorSpace [/Indexed /DeviceRGB 1 <000000FFFFFF>] "
                              "/BitsPerComponent 8 /Filter /DCTDecode >>", 16, kHostErrFilter},
        RefusalRow{"TwoInks", "<< /Subtype /Image /Width 4 /Height 4 /ColorSpace [/DeviceN [/A /B] /DeviceCMYK null] "
                              "/BitsPerComponent 8 /Filter /DCTDecode >>", 32, kHostErrFilter},
        RefusalRow{"NotReadLast", "<< /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceGray /BitsPerComponent 8 "
                                  "/Filter [/DCTDecode /FlateDecode] >>", 16, kHostErrFilter},
        RefusalRow{"MoreBytesThanSamples", "<< /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceGray "
                                           "/BitsPerComponent 8 /Filter /DCTDecode >>", 19, kHostErrFilter},
        RefusalRow{"FewerBytesThanSamples", "<< /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceGray "
                                            "/BitsPerComponent 8 /Filter /DCTDecode >>", 15, kHostErrStream},
        RefusalRow{"WiderThanJpegAllows", "<< /Subtype /Image /Width 70000 /Height 1 /ColorSpace /DeviceGray "
                                          "/BitsPerComponent 8 /Filter /DCTDecode >>", 70000, kHostErrFilter}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CosDctStream, DctUnderFlateStoresAFlatedJpeg) {
    const imagetest::Samples samples = imagetest::gradient(20, 10, 3);
    const CosObj stream =
        fromMemory(samples.bytes, dict(image(20, 10, "/DeviceRGB", 8, "[/FlateDecode /DCTDecode]")));
    const imagetest::Samples back = imagetest::decodeJpeg(inflate(stored(stream)));
    EXPECT_EQ(back.width, 20);
    EXPECT_EQ(back.height, 10);
    EXPECT_EQ(back.components, 3);
}

TEST_F(CosDctStream, DctFromAProcedureStreamInOddChunks) {
    ChunkedSource source;
    source.data = imagetest::gradient(33, 17, 1).bytes;
    source.chunk = 5;
    const CosObj stream = fromProcedure(source, dict(image(33, 17, "/DeviceGray", 8, "/DCTDecode")));
    const imagetest::Samples back = imagetest::decodeJpeg(stored(stream));
    EXPECT_EQ(back.width, 33);
    EXPECT_EQ(back.height, 17);
}

}  // namespace
