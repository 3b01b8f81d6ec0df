// The JPEG image type: header reading, colour spaces (CMYK under the APP14 marker
// inverted back), the image XObject and its samples, the procedure stream
// read in any chunk size, and libjpeg's errors and warnings.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ImageTypeTestSupport.h"
#include "engine/CJPEGASStream.h"
#include "engine/CJPEGImageType.h"
#include "engine/JpegErrors.h"
#include "support/av/ProgressMonitor.h"

using namespace imagetest;

namespace {

class JPEGImageTypeTest : public testing::Test {
protected:
    void SetUp() override {
        enginetest::StartEngine();
        qmtest::TakeAlerts();
        qmtest::TakeWarnings();
        ClearErrorMessage();
    }
    std::string Jpeg(JpegColor color, int width, int height, const char* name = "image.jpg") {
        const std::string path = mFolder.file(name);
        WriteJpeg(path, color, width, height);
        return path;
    }
    std::string File(const char* name, const std::vector<uint8_t>& bytes) {
        const std::string path = mFolder.file(name);
        WriteBytes(path, bytes);
        return path;
    }
    // Runs body, which must throw an in-house code; answers it.
    template <class F>
    static ErrorCode Thrown(F&& body) {
        try {
            body();
        } catch (ErrorCode code) {
            return code;
        }
        ADD_FAILURE() << "nothing thrown";
        return 0;
    }
    qmtest::FixtureFolder mFolder;
    BlankDocument mDoc;
};

struct ColorRow {
    const char* name;
    JpegColor color;
    int32_t code;
    const char* space;
    bool invert;
};

class JpegColorSpace : public JPEGImageTypeTest, public testing::WithParamInterface<ColorRow> {};

TEST_P(JpegColorSpace, MakesAnXObjectOfTheDecodedSamples) {
    const ColorRow& row = GetParam();
    const std::string path = Jpeg(row.color, 21, 13);
    auto stream = StreamOn(path);
    CJPEGImageType type(stream.get());
    ASAtom name = 0;
    const CosObj image = type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, &name);

    EXPECT_EQ(AtomText(name), row.space);
    EXPECT_EQ(type.GetColorSpace(), row.code);
    EXPECT_EQ(type.GetInvert(), row.invert);
    EXPECT_TRUE(gCosHFT->objIsIndirect(image));
    EXPECT_EQ(NameAt(image, "Type"), "XObject");
    EXPECT_EQ(NameAt(image, "Subtype"), "Image");
    EXPECT_EQ(IntAt(image, "Width"), 21);
    EXPECT_EQ(IntAt(image, "Height"), 13);
    EXPECT_EQ(IntAt(image, "BitsPerComponent"), 8);
    EXPECT_EQ(NameAt(image, "ColorSpace"), row.space);
    EXPECT_EQ(NameAt(image, "Filter"), "FlateDecode");

    // What libjpeg itself decodes, inverted back for CMYK under the APP14 marker.
    const Decoded reference = DecodeJpeg(ReadBytes(path));
    const std::vector<uint8_t> expected =
        row.invert ? Inverted(reference.samples) : reference.samples;
    EXPECT_EQ(Bytes(enginetest::StreamData(image)), expected);
    EXPECT_FALSE(stream->IsOpen()) << "the file is closed afterwards";
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Colors, JpegColorSpace,
    testing::Values(
        ColorRow{"Gray", JpegColor::Gray, kImageColorGray, "DeviceGray", false},
        ColorRow{"YCbCrGivesRgb", JpegColor::RGB, kImageColorRGB, "DeviceRGB", false},
        ColorRow{"App14Cmyk", JpegColor::CMYKApp14, kImageColorCMYK, "DeviceCMYK", true},
        ColorRow{"PlainCmyk", JpegColor::CMYKPlain, kImageColorCMYK, "DeviceCMYK", false}),
    [](const testing::TestParamInfo<ColorRow>& row) { return std::string(row.param.name); });

// Desktop-publishing CMYK JPEGs (APP14 marker) store inverted samples; taken
// as they are they print as a photographic negative.
TEST_F(JPEGImageTypeTest, App14CmykJpegIsNotANegative) {
    auto stream = StreamOn(Jpeg(JpegColor::CMYKApp14, 16, 16));
    CJPEGImageType type(stream.get());
    const CosObj image = type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr);
    const std::vector<uint8_t> samples = Bytes(enginetest::StreamData(image));
    const std::vector<uint8_t> written = ImageSamples(16, 16, 4);
    EXPECT_LE(MaxDifference(samples, written), 3);
    EXPECT_GT(MaxDifference(samples, Inverted(written)), 100);
}

TEST_F(JPEGImageTypeTest, HeaderIsReadOnFirstUseAndNotAgain) {
    const std::string path = Jpeg(JpegColor::RGB, 40, 30);
    auto stream = StreamOn(path);
    CJPEGImageType type(stream.get());
    EXPECT_FALSE(type.IsOpened());
    EXPECT_EQ(type.GetWidth(), 40);
    EXPECT_TRUE(type.IsOpened());
    EXPECT_FALSE(stream->IsOpen());
    std::filesystem::remove(path);  // a second read would now fail
    EXPECT_EQ(type.GetHeight(), 30);
    EXPECT_EQ(type.GetBitsPerComponent(), 8);
    EXPECT_EQ(type.GetColorSpace(), kImageColorRGB);
}

TEST_F(JPEGImageTypeTest, FilterCodeFiveWritesNoFilterAndStoresTheSamples) {
    const std::string path = Jpeg(JpegColor::Gray, 9, 7);
    auto stream = StreamOn(path);
    CJPEGImageType type(stream.get());
    const CosObj image = type.MakeImageXObject(mDoc.pd(), kImageFilterNone, nullptr);
    EXPECT_EQ(gCosHFT->objGetType(DictValue(image, "Filter")), CosNull);
    EXPECT_EQ(Bytes(enginetest::StreamData(image)), DecodeJpeg(ReadBytes(path)).samples);
}

TEST_F(JPEGImageTypeTest, EmptyFileFailsWithLibjpegsInputEmptyError) {
    auto stream = StreamOn(File("empty.jpg", {}));
    CJPEGImageType type(stream.get());
    EXPECT_EQ(Thrown([&] { type.Open(); }), kErrImageRead);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("Empty input file"), std::string::npos) << alerts[0];
    EXPECT_FALSE(type.IsOpened());
    EXPECT_FALSE(stream->IsOpen());
}

TEST_F(JPEGImageTypeTest, TruncatedFileDecodesToItsFullHeightWithOneWarning) {
    std::vector<uint8_t> bytes = JpegBytes(JpegColor::RGB, 64, 48);
    bytes.resize(bytes.size() * 6 / 10);
    auto stream = StreamOn(File("cut.jpg", bytes));
    CJPEGImageType type(stream.get());
    const CosObj image = type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr);
    EXPECT_EQ(enginetest::StreamData(image).size(), 64u * 48u * 3u);
    EXPECT_GE(type.GetWarningCount(), 1);
    // A warning, not a note: the image is read and the run goes on.
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
    const auto alerts = qmtest::TakeWarnings();
    ASSERT_EQ(alerts.size(), 1u) << "only the first warning is shown";
    EXPECT_NE(alerts[0].find("Premature end of JPEG file"), std::string::npos) << alerts[0];
}

// libjpeg's fatal errors used to be C++ exceptions thrown through libjpeg's C
// frames; they leave by longjmp now and become the in-house error afterwards.
TEST_F(JPEGImageTypeTest, LibjpegFatalErrorBecomesAnInHouseErrorAndTheTypeCanBeUsedAgain) {
    std::vector<uint8_t> bytes = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
    bytes.insert(bytes.end(), 40, 0x5A);
    auto broken = StreamOn(File("broken.jpg", bytes));
    CJPEGImageType type(broken.get());
    EXPECT_EQ(Thrown([&] { type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr); }),
              kErrImageRead);
    EXPECT_FALSE(qmtest::TakeAlerts().empty()) << "libjpeg's message is shown";
    EXPECT_FALSE(broken->IsOpen());

    auto good = StreamOn(Jpeg(JpegColor::Gray, 5, 4));
    type.SetStream(good.get());
    EXPECT_FALSE(gCosHFT->objGetType(
                     type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr)) == CosNull);
    EXPECT_EQ(type.GetWidth(), 5);
}

// A byte stream that fails after its first `limit` bytes, the way a file on a
// vanished disk does.
class FailingStream : public CBridgeFileStream {
public:
    explicit FailingStream(size_t limit) : mLimit(limit) {}
    size_t Read(void* buffer, size_t count) override {
        if (mRead >= mLimit) throw std::runtime_error("the disk is gone");
        const size_t n = CBridgeFileStream::Read(buffer, std::min(count, mLimit - mRead));
        mRead += n;
        return n;
    }

private:
    size_t mLimit;
    size_t mRead = 0;
};

// The failure arises inside the host's pull of the samples: it must fail the
// host's new stream (no short image) and reach the caller as an in-house code.
TEST_F(JPEGImageTypeTest, StreamFailureWhileDecodingFailsTheImageWithoutCrossingLibjpeg) {
    const std::string path = Jpeg(JpegColor::RGB, 300, 200);
    ASSERT_GT(ReadBytes(path).size(), 3 * 4096u) << "the samples must come after the first buffer";
    FailingStream stream(4096);
    stream.SetPathText(path.c_str());
    CJPEGImageType type(&stream);
    EXPECT_EQ(Thrown([&] { type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr); }),
              kErrStream);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_FALSE(alerts.empty());
    EXPECT_NE(alerts[0].find("Input file read error"), std::string::npos) << alerts[0];
    EXPECT_FALSE(stream.IsOpen());
}

// A JPEG whose header claims a huge image (the frame header patched) is
// refused from its header: nothing is decoded, nothing of that size allocated.
TEST_F(JPEGImageTypeTest, SixtyThousandSquareHeaderIsRefusedWithAMessage) {
    std::vector<uint8_t> bytes = JpegBytes(JpegColor::Gray, 8, 8);
    size_t sof = 0;
    for (size_t i = 2; i + 9 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    ASSERT_NE(sof, 0u);
    bytes[sof + 5] = 0xEA;  // height 60000
    bytes[sof + 6] = 0x60;
    bytes[sof + 7] = 0xEA;  // width 60000
    bytes[sof + 8] = 0x60;
    auto stream = StreamOn(File("huge.jpg", bytes));
    CJPEGImageType type(stream.get());
    EXPECT_EQ(Thrown([&] { type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr); }),
              kErrImageTooLarge);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("60000 x 60000"), std::string::npos) << alerts[0];
    EXPECT_FALSE(stream->IsOpen());
}

// Two interleaved channels: libjpeg has no output colour space for them.
std::vector<uint8_t> TwoChannelJpeg() {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = 4;
    cinfo.image_height = 4;
    cinfo.input_components = 2;
    cinfo.in_color_space = JCS_UNKNOWN;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(8, 0x80);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    // Make it sniff as a JPEG: an APP0 without the APP14 marker is not needed by the type.
    return bytes;
}

TEST_F(JPEGImageTypeTest, UnsupportedColorSpaceShowsItsNumberAndFails) {
    auto stream = StreamOn(File("two.jpg", TwoChannelJpeg()));
    CJPEGImageType type(stream.get());
    EXPECT_EQ(Thrown([&] { type.GetWidth(); }), kErrImageColorSpace);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], "Color Space: " + std::to_string(int(JCS_UNKNOWN)));
    EXPECT_FALSE(stream->IsOpen());
}

// The run's progress is not taken over by the image read.
TEST_F(JPEGImageTypeTest, ImageReadLeavesTheRunsProgressAsItWas) {
    void* client = nullptr;
    ASProgressMonitor monitor = AcquireProgressMonitor(&client);
    monitor->beginOperation(client);
    monitor->setDuration(10, client);
    monitor->setCurrValue(3, client);
    auto stream = StreamOn(Jpeg(JpegColor::RGB, 30, 30));
    CJPEGImageType type(stream.get());
    type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr);
    EXPECT_EQ(monitor->getDuration(client), 10);
    EXPECT_EQ(monitor->getCurrValue(client), 3);
    monitor->endOperation(client);
}

// --- the procedure stream read directly, in chunks of any size

struct Decompression {
    JpegErrorManager errors;
    jpeg_decompress_struct cinfo{};
    std::vector<uint8_t> bytes;
    explicit Decompression(std::vector<uint8_t> data) : bytes(std::move(data)) {
        InitJpegErrorManager(errors);
        cinfo.err = &errors.pub;
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        jpeg_start_decompress(&cinfo);
    }
    ~Decompression() { jpeg_destroy_decompress(&cinfo); }
};

class JpegChunkedRead : public JPEGImageTypeTest, public testing::WithParamInterface<int> {};

TEST_P(JpegChunkedRead, DeliversTheSameBytesForAnyChunkSize) {
    const int width = 23, height = 17;
    const std::vector<uint8_t> bytes = JpegBytes(JpegColor::RGB, width, height);
    const int rowBytes = width * 3;
    const int chunk = GetParam() == -1   ? rowBytes - 1
                      : GetParam() == -2 ? rowBytes
                      : GetParam() == -3 ? rowBytes + 1
                                         : GetParam();
    Decompression d(bytes);
    CJPEGASStream stream(&d.cinfo);
    const std::vector<uint8_t> data = ReadInChunks(stream.Get(), chunk);
    EXPECT_EQ(data.size(), size_t(rowBytes) * height);
    EXPECT_EQ(data, DecodeJpeg(bytes).samples);
    EXPECT_EQ(stream.GetDelivered(), data.size());
}

// -1, -2, -3: one row less one byte, one row, one row and one byte.
INSTANTIATE_TEST_SUITE_P(Chunks, JpegChunkedRead, testing::Values(1, 7, -1, -2, -3, 4096, 100000));

TEST_F(JPEGImageTypeTest, ProcedureStreamEndsWithZeroAndStaysAtTheEnd) {
    const std::vector<uint8_t> bytes = JpegBytes(JpegColor::Gray, 4, 4);
    Decompression d(bytes);
    CJPEGASStream stream(&d.cinfo);
    std::vector<char> buffer(64);
    EXPECT_EQ(stream.ReadBytes(buffer.data(), 64), 16);
    EXPECT_EQ(stream.ReadBytes(buffer.data(), 64), 0);
    EXPECT_EQ(stream.ReadBytes(buffer.data(), 0), 0);
}

}  // namespace
