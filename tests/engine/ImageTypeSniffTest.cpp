// Telling an image file's type from its first bytes, the image matrix, the
// filter names, the EPS test and the size limits every reader checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageTypeTestSupport.h"
#include "engine/CImageType.h"
#include "support/cos/PDFAtoms.h"

using namespace imagetest;

namespace {

class ImageSniffTest : public testing::Test {
protected:
    void SetUp() override {
        enginetest::StartEngine();
        qmtest::TakeAlerts();
        ClearErrorMessage();
    }
    std::string File(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = mFolder.file(name);
        WriteBytes(path, bytes);
        return path;
    }
    qmtest::FixtureFolder mFolder;
};

struct SniffRow {
    const char* name;
    std::vector<uint8_t> head;
    uint32_t expected;
};

class FileTypeByHead : public ImageSniffTest, public testing::WithParamInterface<SniffRow> {};

TEST_P(FileTypeByHead, AnswersTheTypeOfTheFirstFourBytes) {
    std::vector<uint8_t> bytes = GetParam().head;
    bytes.insert(bytes.end(), 20, 0x00);
    auto stream = StreamOn(File("head.bin", bytes));
    EXPECT_EQ(GetImageFileType(stream.get()), GetParam().expected);
    EXPECT_FALSE(stream->IsOpen()) << "a closed stream is closed again";
}

INSTANTIATE_TEST_SUITE_P(
    Heads, FileTypeByHead,
    testing::Values(
        SniffRow{"JfifJpeg", {0xFF, 0xD8, 0xFF, 0xE0}, kImageFileJPEG},
        SniffRow{"App14Jpeg", {0xFF, 0xD8, 0xFF, 0xEE}, kImageFileJPEG},
        SniffRow{"ExifJpeg", {0xFF, 0xD8, 0xFF, 0xE1}, kImageFileJPEG},
        SniffRow{"JpegStartingWithATable", {0xFF, 0xD8, 0xFF, 0xDB}, kImageFileJPEG},
        SniffRow{"App0WithoutStartMarkerIsUnknown", {0x00, 0x00, 0xFF, 0xE0}, kImageFileUnknown},
        SniffRow{"LittleEndianTiff", {0x49, 0x49, 0x2A, 0x00}, kImageFileTIFF},
        SniffRow{"BigEndianTiff", {0x4D, 0x4D, 0x00, 0x2A}, kImageFileTIFF},
        SniffRow{"MixedByteOrderTiffIsUnknown", {0x4D, 0x4D, 0x2A, 0x00}, kImageFileUnknown},
        SniffRow{"PdfIsUnknown", {'%', 'P', 'D', 'F'}, kImageFileUnknown},
        SniffRow{"TiffWithWrongVersionIsUnknown", {0x49, 0x49, 0x2B, 0x00}, kImageFileUnknown}),
    [](const testing::TestParamInfo<SniffRow>& row) { return std::string(row.param.name); });

TEST_F(ImageSniffTest, CodesAreTheFourCharactersHighByteFirst) {
    EXPECT_EQ(kImageFileJPEG, 0x4A504547u);
    EXPECT_EQ(kImageFileTIFF, 0x54494646u);
    EXPECT_EQ(kImageFileUnknown, 0x556E6B6Eu);
}

TEST_F(ImageSniffTest, WrittenFixturesAreRecognised) {
    WriteJpeg(mFolder.file("gray.jpg"), JpegColor::Gray, 8, 8);
    WriteJpeg(mFolder.file("cmyk.jpg"), JpegColor::CMYKApp14, 8, 8);
    WriteTiff(mFolder.file("gray.tif"), TiffColor::Gray, 8, 8);
    EXPECT_EQ(GetImageFileType(StreamOn(mFolder.file("gray.jpg")).get()), kImageFileJPEG);
    EXPECT_EQ(GetImageFileType(StreamOn(mFolder.file("cmyk.jpg")).get()), kImageFileJPEG);
    EXPECT_EQ(GetImageFileType(StreamOn(mFolder.file("gray.tif")).get()), kImageFileTIFF);
}

TEST_F(ImageSniffTest, ThreeByteFileFailsWithTheReadMessage) {
    auto stream = StreamOn(File("short.bin", {0xFF, 0xD8, 0xFF}));
    try {
        GetImageFileType(stream.get());
        FAIL() << "a three-byte file has no type";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrImageRead);
    }
    EXPECT_STREQ(GetErrorMessage(), "Error Reading Image Type");
    EXPECT_FALSE(stream->IsOpen());
}

TEST_F(ImageSniffTest, MissingFileAndNullStreamFail) {
    auto missing = StreamOn(mFolder.file("none.jpg"));
    EXPECT_THROW(GetImageFileType(missing.get()), ErrorCode);
    EXPECT_THROW(GetImageFileType(nullptr), ErrorCode);
}

TEST_F(ImageSniffTest, OpenStreamIsReadFromWhereItStandsAndLeftAfterFourBytes) {
    auto stream = StreamOn(File("offset.bin", {0x00, 0x00, 0x49, 0x49, 0x2A, 0x00, 0x07}));
    ASSERT_TRUE(stream->Open(kStreamRead));
    ASSERT_EQ(stream->Seek(kSeekFromBeginning, 2), 2);
    EXPECT_EQ(GetImageFileType(stream.get()), kImageFileTIFF);
    EXPECT_TRUE(stream->IsOpen());
    EXPECT_EQ(stream->GetPosition(), 6u);
}

TEST_F(ImageSniffTest, ImageMatrixMapsTheUnitSquareOntoTheRectangle) {
    struct Probe : CImageType {
        int32_t GetWidth() override { return 0; }
        int32_t GetHeight() override { return 0; }
        int32_t GetBitsPerComponent() override { return 0; }
        int32_t GetColorSpace() override { return 0; }
        CosObj MakeImageXObject(PDDoc, int32_t, ASAtom*) override { return CosNullObj(); }
        void WriteImageFile(AVDoc, int32_t, CPDEImage&) override {}
    } probe;
    const ASFixedRect rect{72 << 16, 172 << 16, 272 << 16, 72 << 16};
    ASFixedMatrix out{};
    EXPECT_EQ(probe.GetImageMatrix(rect, &out), &out);
    EXPECT_EQ(out.a, 200 << 16);
    EXPECT_EQ(out.b, 0);
    EXPECT_EQ(out.c, 0);
    EXPECT_EQ(out.d, 100 << 16);
    EXPECT_EQ(out.h, 72 << 16);
    EXPECT_EQ(out.v, 72 << 16);
}

TEST_F(ImageSniffTest, FilterCodesNameTheirFilters) {
    EXPECT_EQ(AtomText(CImageType::GetFilterAtom(kImageFilterFlate)), "FlateDecode");
    EXPECT_EQ(AtomText(CImageType::GetFilterAtom(kImageFilterDCT)), "DCTDecode");
    EXPECT_EQ(AtomText(CImageType::GetFilterAtom(kImageFilterLZW)), "LZWDecode");
    EXPECT_EQ(AtomText(CImageType::GetFilterAtom(kImageFilterRunLength)), "RunLengthDecode");
    EXPECT_EQ(CImageType::GetFilterAtom(kImageFilterNone), 0);
    EXPECT_EQ(CImageType::GetFilterAtom(0), 0);
    EXPECT_EQ(CImageType::GetFilterAtom(-1), 0);
}

struct EpsRow {
    const char* name;
    const char* firstLine;
    bool eps;
};

class EpsFirstLine : public ImageSniffTest, public testing::WithParamInterface<EpsRow> {};

TEST_P(EpsFirstLine, DecidesByThePrefixAndTheWordAfterTheFirstBlank) {
    const std::string text = std::string(GetParam().firstLine) + "\n%%BoundingBox: 0 0 10 10\n";
    auto stream = StreamOn(File("file.eps", Bytes(text)));
    EXPECT_EQ(IsEPSFile(stream.get()), GetParam().eps);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EpsFirstLine,
    testing::Values(EpsRow{"EpsHeader", "%!PS-Adobe-3.0 EPSF-3.0", true},
                    EpsRow{"CrLfEnded", "%!PS-Adobe-3.0 EPSF-3.0\r", true},
                    EpsRow{"PostScriptOnly", "%!PS-Adobe-3.0", false},
                    EpsRow{"OtherWordAfterBlank", "%!PS-Adobe-3.0 Resource-Font", false},
                    EpsRow{"NoPostScriptPrefix", "%!PS EPSF-3.0", false},
                    EpsRow{"EmptyLine", "", false}),
    [](const testing::TestParamInfo<EpsRow>& row) { return std::string(row.param.name); });

TEST_F(ImageSniffTest, EpsTestOfAMissingFileIsFalse) {
    EXPECT_FALSE(IsEPSFile(StreamOn(mFolder.file("none.eps")).get()));
    EXPECT_FALSE(IsEPSFile(nullptr));
}

struct SizeRow {
    const char* name;
    int64_t width, height, components;
    ErrorCode refusal;  // 0: accepted
};

class ImageSizeLimit : public ImageSniffTest, public testing::WithParamInterface<SizeRow> {};

TEST_P(ImageSizeLimit, IsCheckedBeforeAnythingIsAllocated) {
    const SizeRow& row = GetParam();
    if (row.refusal == 0) {
        EXPECT_NO_THROW(CheckImageSize(row.width, row.height, row.components, "Test"));
        EXPECT_TRUE(qmtest::TakeAlerts().empty());
        return;
    }
    try {
        CheckImageSize(row.width, row.height, row.components, "Test");
        FAIL() << "accepted";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, row.refusal);
    }
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].rfind("Test: ", 0), 0u) << alerts[0];
    EXPECT_STREQ(GetErrorMessage(), alerts[0].c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ImageSizeLimit,
    testing::Values(SizeRow{"SixtyThousandSquareIsRefused", 60000, 60000, 1, kErrImageTooLarge},
                    SizeRow{"LargestGraySquareIsAccepted", 16384, 16384, 1, 0},
                    SizeRow{"SameSquareInRgbIsRefused", 16384, 16384, 3, kErrImageTooLarge},
                    SizeRow{"LongThinBannerIsAccepted", 65535, 100, 4, 0},
                    SizeRow{"SideBeyondJpegLimitIsRefused", 65536, 1, 1, kErrImageTooLarge},
                    SizeRow{"HugeProductDoesNotOverflow", 0x7FFFFFFF, 0x7FFFFFFF, 4,
                            kErrImageTooLarge},
                    SizeRow{"ZeroWidthIsRefused", 0, 10, 1, kErrImageRead},
                    SizeRow{"ZeroHeightIsRefused", 10, 0, 3, kErrImageRead}),
    [](const testing::TestParamInfo<SizeRow>& row) { return std::string(row.param.name); });

TEST_F(ImageSniffTest, RefusalOfTheSixtyThousandSquareNamesItsSize) {
    EXPECT_THROW(CheckImageSize(60000, 60000, 1, "JPEG"), ErrorCode);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("60000 x 60000"), std::string::npos) << alerts[0];
}

}  // namespace
