// The TIFF image type: colour spaces and palettes, white-is-zero, strips of
// any count read in any chunk size, layouts refused with a message, files
// whose strips lie past their end, and the descriptor handed to libtiff.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <cstring>
#include <string>
#include <vector>

#include "ImageTypeTestSupport.h"
#include "engine/CStrippedTIFFASStream.h"
#include "engine/CTIFFImageType.h"

using namespace imagetest;

namespace {

// --- editing a little-endian TIFF's first directory in place
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
// The position of the directory entry of tag (0 when absent).
size_t EntryOf(const std::vector<uint8_t>& b, uint16_t tag) {
    const size_t ifd = U32(b, 4);
    const uint16_t count = U16(b, ifd);
    for (size_t i = 0; i < count; ++i)
        if (U16(b, ifd + 2 + 12 * i) == tag) return ifd + 2 + 12 * i;
    return 0;
}
// Sets an entry of one SHORT or LONG value.
void SetValue(std::vector<uint8_t>& b, uint16_t tag, uint32_t value) {
    const size_t entry = EntryOf(b, tag);
    ASSERT_NE(entry, 0u) << "tag " << tag;
    if (U16(b, entry + 2) == 3) {
        PutU16(b, entry + 8, uint16_t(value));
    } else {
        PutU32(b, entry + 8, value);
    }
}
// Sets element index of a SHORT or LONG array entry (strip offsets or byte
// counts); a SHORT entry gets the value's low 16 bits.
void SetArrayValue(std::vector<uint8_t>& b, uint16_t tag, size_t index, uint32_t value) {
    const size_t entry = EntryOf(b, tag);
    ASSERT_NE(entry, 0u);
    const uint16_t type = U16(b, entry + 2);
    ASSERT_TRUE(type == 3 || type == 4) << "SHORT or LONG values";
    const size_t size = type == 3 ? 2 : 4;
    const size_t count = U32(b, entry + 4);
    ASSERT_LT(index, count);
    const size_t at = (count * size <= 4 ? entry + 8 : U32(b, entry + 8)) + size * index;
    if (size == 2) {
        PutU16(b, at, uint16_t(value));
    } else {
        PutU32(b, at, value);
    }
}

class TIFFImageTypeTest : public testing::Test {
protected:
    void SetUp() override {
        enginetest::StartEngine();
        qmtest::TakeAlerts();
        ClearErrorMessage();
    }
    std::string Tiff(const TiffSpec& spec, const char* name = "image.tif") {
        const std::string path = mFolder.file(name);
        WriteTiff(path, spec);
        return path;
    }
    std::string File(const char* name, const std::vector<uint8_t>& bytes) {
        const std::string path = mFolder.file(name);
        WriteBytes(path, bytes);
        return path;
    }
    // The image XObject of the file at path.
    CosObj Make(const std::string& path, ASAtom* name = nullptr) {
        auto stream = StreamOn(path);
        CTIFFImageType type(stream.get());
        return type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, name);
    }
    // The code MakeImageXObject throws for the file at path.
    ErrorCode Refusal(const std::string& path) {
        auto stream = StreamOn(path);
        CTIFFImageType type(stream.get());
        try {
            type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr);
        } catch (ErrorCode code) {
            return code;
        }
        ADD_FAILURE() << "accepted";
        return 0;
    }
    qmtest::FixtureFolder mFolder;
    BlankDocument mDoc;
};

struct ColorRow {
    const char* name;
    TiffColor color;
    int32_t code;
    const char* nameOut;
};

class TiffColorSpace : public TIFFImageTypeTest, public testing::WithParamInterface<ColorRow> {};

TEST_P(TiffColorSpace, MakesAnXObjectOfTheStripsSamples) {
    const ColorRow& row = GetParam();
    const TiffSpec spec = TiffSpecFor(row.color, 19, 11, 4);
    const std::string path = Tiff(spec);
    auto stream = StreamOn(path);
    CTIFFImageType type(stream.get());
    ASAtom name = 0;
    const CosObj image = type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, &name);
    EXPECT_EQ(AtomText(name), row.nameOut);
    EXPECT_EQ(type.GetColorSpace(), row.code);
    EXPECT_EQ(type.GetWidth(), 19);
    EXPECT_EQ(type.GetHeight(), 11);
    EXPECT_EQ(type.GetBitsPerComponent(), 8);
    EXPECT_TRUE(gCosHFT->objIsIndirect(image));
    EXPECT_EQ(NameAt(image, "Type"), "XObject");
    EXPECT_EQ(NameAt(image, "Subtype"), "Image");
    EXPECT_EQ(IntAt(image, "Width"), 19);
    EXPECT_EQ(IntAt(image, "Height"), 11);
    EXPECT_EQ(IntAt(image, "BitsPerComponent"), 8);
    EXPECT_EQ(NameAt(image, "Filter"), "FlateDecode");
    if (row.code == kImageColorIndexed) {
        EXPECT_EQ(gCosHFT->objGetType(DictValue(image, "ColorSpace")), CosArray);
    } else {
        EXPECT_EQ(NameAt(image, "ColorSpace"), row.nameOut);
    }
    std::vector<uint8_t> expected = TiffSamples(spec);
    if (row.color == TiffColor::WhiteIsZero) expected = Inverted(expected);
    EXPECT_EQ(Bytes(enginetest::StreamData(image)), expected);
    EXPECT_TRUE(stream->IsOpen()) << "left open for reading";
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Colors, TiffColorSpace,
    testing::Values(
        ColorRow{"BlackIsZeroGray", TiffColor::Gray, kImageColorGray, "DeviceGray"},
        ColorRow{"WhiteIsZeroGray", TiffColor::WhiteIsZero, kImageColorGray, "DeviceGray"},
        ColorRow{"Rgb", TiffColor::RGB, kImageColorRGB, "DeviceRGB"},
        ColorRow{"Cmyk", TiffColor::CMYK, kImageColorCMYK, "DeviceCMYK"},
        ColorRow{"PaletteNamesItsBase", TiffColor::Palette, kImageColorIndexed, "DeviceRGB"}),
    [](const testing::TestParamInfo<ColorRow>& row) { return std::string(row.param.name); });

TEST_F(TIFFImageTypeTest, WhiteIsZeroGivesTheSameSamplesAsBlackIsZero) {
    const CosObj black = Make(Tiff(TiffSpecFor(TiffColor::Gray, 12, 9), "black.tif"));
    const CosObj white = Make(Tiff(TiffSpecFor(TiffColor::WhiteIsZero, 12, 9), "white.tif"));
    EXPECT_EQ(enginetest::StreamData(black), enginetest::StreamData(white));
    EXPECT_EQ(Bytes(enginetest::StreamData(black)), ImageSamples(12, 9, 1));
}

// The lookup of [/Indexed /DeviceRGB 255 lookup], 768 bytes.
std::vector<uint8_t> Lookup(CosObj image) {
    const CosObj space = DictValue(image, "ColorSpace");
    EXPECT_EQ(gCosHFT->arrayLength(space), 4);
    EXPECT_EQ(AtomText(gCosHFT->nameValue(gCosHFT->arrayGet(space, 0))), "Indexed");
    EXPECT_EQ(AtomText(gCosHFT->nameValue(gCosHFT->arrayGet(space, 1))), "DeviceRGB");
    EXPECT_EQ(gCosHFT->integerValue(gCosHFT->arrayGet(space, 2)), 255);
    const CosObj lookup = gCosHFT->arrayGet(space, 3);
    EXPECT_EQ(NameAt(lookup, "Filter"), "LZWDecode");
    return Bytes(enginetest::StreamData(lookup));
}

TEST_F(TIFFImageTypeTest, FullRangePaletteIsScaledByTruncation) {
    const TiffSpec spec = TiffSpecFor(TiffColor::Palette, 8, 8);
    const std::vector<uint8_t> lookup = Lookup(Make(Tiff(spec)));
    ASSERT_EQ(lookup.size(), 768u);
    EXPECT_EQ(lookup[3 * 255], 255);    // red 65535
    EXPECT_EQ(lookup[3 * 0 + 1], 255);  // green 65535
    EXPECT_EQ(lookup[3 * 1 + 2], 127);  // blue 32768: 127.5 truncated
    EXPECT_EQ(lookup[3 * 1], 1);        // red 257
    const std::vector<uint16_t> map = PaletteMap(spec);
    for (size_t i = 0; i < 256; ++i)
        for (size_t c = 0; c < 3; ++c)
            ASSERT_EQ(lookup[3 * i + c], map[256 * c + i] * 255u / 65535u) << "entry " << i;
}

TEST_F(TIFFImageTypeTest, PaletteAlreadyWithinByteRangeIsCopiedUnchanged) {
    TiffSpec spec = TiffSpecFor(TiffColor::Palette, 8, 8);
    spec.smallColorMap = true;
    const std::vector<uint8_t> lookup = Lookup(Make(Tiff(spec)));
    const std::vector<uint16_t> map = PaletteMap(spec);
    ASSERT_EQ(lookup.size(), 768u);
    for (size_t i = 0; i < 256; ++i)
        for (size_t c = 0; c < 3; ++c)
            ASSERT_EQ(lookup[3 * i + c], map[256 * c + i]) << "entry " << i;
}

TEST_F(TIFFImageTypeTest, FourBitPaletteFails) {
    TiffSpec spec = TiffSpecFor(TiffColor::Palette, 8, 8);
    spec.bitsPerSample = 4;
    EXPECT_EQ(Refusal(Tiff(spec)), kErrImageColorSpace);
    EXPECT_STREQ(GetErrorMessage(), "kErrorStr_TIFFNot8BitPalette");
    EXPECT_EQ(qmtest::TakeAlerts().size(), 1u);
}

struct PhotometricRow {
    const char* name;
    int photometric, bits, samples;
};

class UnknownPhotometric : public TIFFImageTypeTest,
                           public testing::WithParamInterface<PhotometricRow> {};

TEST_P(UnknownPhotometric, FailsWithBadColorSpace) {
    TiffSpec spec = TiffSpecFor(TiffColor::Gray, 8, 8);
    spec.photometric = GetParam().photometric;
    spec.bitsPerSample = GetParam().bits;
    spec.samplesPerPixel = GetParam().samples;
    EXPECT_EQ(Refusal(Tiff(spec)), kErrImageColorSpace);
    EXPECT_STREQ(GetErrorMessage(), "Bad TIFF Color Space");
}

INSTANTIATE_TEST_SUITE_P(Values, UnknownPhotometric,
                         testing::Values(PhotometricRow{"TransparencyMask", 4, 1, 1},
                                         PhotometricRow{"YCbCr", 6, 8, 3}),
                         [](const testing::TestParamInfo<PhotometricRow>& row) {
                             return std::string(row.param.name);
                         });

struct StripRow {
    const char* name;
    int rowsPerStrip;
    int compression;
};

class StripLayout : public TIFFImageTypeTest, public testing::WithParamInterface<StripRow> {};

TEST_P(StripLayout, DeliversEveryStripInOrder) {
    TiffSpec spec = TiffSpecFor(TiffColor::RGB, 13, 10, GetParam().rowsPerStrip);
    spec.compression = GetParam().compression;
    EXPECT_EQ(Bytes(enginetest::StreamData(Make(Tiff(spec)))), TiffSamples(spec));
}

INSTANTIATE_TEST_SUITE_P(
    Strips, StripLayout,
    testing::Values(StripRow{"OneRowPerStrip", 1, 1}, StripRow{"ThreeRowsLastShorter", 3, 1},
                    StripRow{"OneStripForAll", 10, 1}, StripRow{"SevenRowsTwoStrips", 7, 1},
                    StripRow{"Lzw", 3, 5}, StripRow{"Deflate", 4, 8},
                    StripRow{"PackBits", 2, 32773}),
    [](const testing::TestParamInfo<StripRow>& row) { return std::string(row.param.name); });

// One large uncompressed strip is read in pieces (libtiff's strip chopping).
TEST_F(TIFFImageTypeTest, LargeSingleStripIsReadWhole) {
    const TiffSpec spec = TiffSpecFor(TiffColor::RGB, 200, 120, 120);
    EXPECT_EQ(Bytes(enginetest::StreamData(Make(Tiff(spec)))), TiffSamples(spec));
}

class GrayDepth : public TIFFImageTypeTest, public testing::WithParamInterface<int> {};

TEST_P(GrayDepth, IsStoredWithItsOwnBitsPerComponent) {
    TiffSpec spec = TiffSpecFor(TiffColor::Gray, 13, 5, 2);
    spec.bitsPerSample = GetParam();
    const CosObj image = Make(Tiff(spec));
    EXPECT_EQ(IntAt(image, "BitsPerComponent"), GetParam());
    EXPECT_EQ(Bytes(enginetest::StreamData(image)), TiffSamples(spec));
}

INSTANTIATE_TEST_SUITE_P(Bits, GrayDepth, testing::Values(1, 2, 4, 8));

struct LayoutRow {
    const char* name;
    TiffSpec spec;
    const char* says;
};

TiffSpec Layout(TiffColor color, void (*change)(TiffSpec&)) {
    TiffSpec spec = TiffSpecFor(color, 20, 20);
    change(spec);
    return spec;
}

class RefusedLayout : public TIFFImageTypeTest, public testing::WithParamInterface<LayoutRow> {};

// Layouts the strip reader would deliver skewed or short are refused with a
// message instead of being stored wrongly as success.
TEST_P(RefusedLayout, TiledPlanarAlphaAnd16BitLayoutsAreRefusedNotReadWrongly) {
    EXPECT_EQ(Refusal(Tiff(GetParam().spec)), kErrImageLayout);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find(GetParam().says), std::string::npos) << alerts[0];
    EXPECT_TRUE(HasErrorMessage());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RefusedLayout,
    testing::Values(
        LayoutRow{"Tiled", Layout(TiffColor::RGB, [](TiffSpec& s) { s.tiled = true; }), "Tiled"},
        LayoutRow{"Planar", Layout(TiffColor::RGB, [](TiffSpec& s) { s.planar = true; }), "planes"},
        LayoutRow{"RgbWithAlpha",
                  Layout(TiffColor::RGB,
                         [](TiffSpec& s) {
                             s.samplesPerPixel = 4;
                             s.extraSamples = 1;
                         }),
                  "alpha"},
        LayoutRow{"SixteenBitGray",
                  Layout(TiffColor::Gray, [](TiffSpec& s) { s.bitsPerSample = 16; }), "16 bits"},
        LayoutRow{"FourBitRgb", Layout(TiffColor::RGB, [](TiffSpec& s) { s.bitsPerSample = 4; }),
                  "4 bits"},
        LayoutRow{"RgbWithOneSample",
                  Layout(TiffColor::RGB, [](TiffSpec& s) { s.samplesPerPixel = 1; }),
                  "samples per pixel"}),
    [](const testing::TestParamInfo<LayoutRow>& row) { return std::string(row.param.name); });

TEST_F(TIFFImageTypeTest, StripOffsetPastTheEndOfTheFileIsRefused) {
    std::vector<uint8_t> bytes = TiffBytes(TiffSpecFor(TiffColor::Gray, 16, 9, 3));
    SetArrayValue(bytes, 273, 1, 0x7FFFFF00u);
    EXPECT_EQ(Refusal(File("far.tif", bytes)), kErrImageRead);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_FALSE(alerts.empty());
    EXPECT_NE(alerts.back().find("Strip 1"), std::string::npos) << alerts.back();
}

TEST_F(TIFFImageTypeTest, StripByteCountPastTheEndOfTheFileIsRefused) {
    std::vector<uint8_t> bytes = TiffBytes(TiffSpecFor(TiffColor::Gray, 16, 9, 3));
    SetArrayValue(bytes, 279, 2, 0xFFFFu);
    EXPECT_EQ(Refusal(File("long.tif", bytes)), kErrImageRead);
}

// A strip that does not decode to its rows' size ended the data early and the
// shorter image was stored as success; it is a failure now.
class UndecodableStrip : public TIFFImageTypeTest, public testing::WithParamInterface<int> {};

TEST_P(UndecodableStrip, FailsTheImageInsteadOfShorteningIt) {
    TiffSpec spec = TiffSpecFor(TiffColor::Gray, 16, 9, 3);
    spec.compression = GetParam();
    std::vector<uint8_t> bytes = TiffBytes(spec);
    SetArrayValue(bytes, 279, 1, 3);  // strip 1 cut to three bytes
    const std::string path = File("short.tif", bytes);
    EXPECT_NE(Refusal(path), 0);
    EXPECT_FALSE(qmtest::TakeAlerts().empty()) << "the failure is reported";

    // The stream itself answers a read error, not a clean end of the data.
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    {
        CStrippedTIFFASStream stream(tif);
        std::vector<char> buffer(1000);
        EXPECT_EQ(stream.ReadBytes(buffer.data(), 1000), -1);
        EXPECT_EQ(stream.ReadBytes(buffer.data(), 1000), -1) << "and goes on answering it";
    }
    TIFFClose(tif);
    qmtest::TakeAlerts();
}

// Uncompressed strips with bad byte counts are repaired by libtiff itself.
INSTANTIATE_TEST_SUITE_P(Compressions, UndecodableStrip, testing::Values(5, 8, 32773));

TEST_F(TIFFImageTypeTest, SixtyThousandSquareHeaderIsRefusedWithAMessage) {
    std::vector<uint8_t> bytes = TiffBytes(TiffSpecFor(TiffColor::Gray, 16, 9, 3));
    SetValue(bytes, 256, 60000);
    SetValue(bytes, 257, 60000);
    EXPECT_NE(Refusal(File("huge.tif", bytes)), 0);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_FALSE(alerts.empty());
    EXPECT_NE(alerts.back().find("60000 x 60000"), std::string::npos) << alerts.back();
}

// libtiff closes the descriptor it is given; giving it the stream's own made
// the stream's later close a second close of a number that may be reused.
TEST_F(TIFFImageTypeTest, TiffGetsADuplicateSoTheStreamsDescriptorIsClosedOnce) {
    const std::string path = Tiff(TiffSpecFor(TiffColor::RGB, 10, 10));
    auto stream = StreamOn(path);
    ASSERT_TRUE(stream->Open(kStreamRead));
    const int before = OpenDescriptorCount();
    const int handle = stream->GetHandle();
    CTIFFImageType type(stream.get());
    type.Open();
    type.MakeImageXObject(mDoc.pd(), kImageFilterFlate, nullptr);
    EXPECT_EQ(OpenDescriptorCount(), before) << "no descriptor left behind";
    ASSERT_TRUE(stream->IsOpen());
    EXPECT_NE(fcntl(stream->GetHandle(), F_GETFD), -1) << "the stream's descriptor is still open";
    unsigned char head[4] = {};
    EXPECT_EQ(stream->GetPosition(), 0u);
    EXPECT_EQ(stream->Read(head, 4), 4u);
    EXPECT_EQ(std::memcmp(head, "II*\0", 4), 0);
    (void)handle;
}

TEST_F(TIFFImageTypeTest, FailedOpenLeavesNoDescriptorBehind) {
    std::vector<uint8_t> bytes = {0x49, 0x49, 0x2A, 0x00, 0xFF, 0xFF, 0xFF, 0x7F};
    bytes.resize(64, 0x11);
    auto stream = StreamOn(File("bad.tif", bytes));
    const int before = OpenDescriptorCount();
    CTIFFImageType type(stream.get());
    try {
        type.Open();
        ADD_FAILURE() << "a broken header opened";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrImageRead);
    }
    EXPECT_EQ(OpenDescriptorCount(), before);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_GE(alerts.size(), 1u) << "libtiff's error and the refusal are shown";
}

TEST_F(TIFFImageTypeTest, LibtiffWarningsAreDropped) {
    std::vector<uint8_t> bytes = TiffBytes(TiffSpecFor(TiffColor::Gray, 8, 8));
    const size_t entry = EntryOf(bytes, 284);  // PlanarConfiguration 1 -> an unknown tag
    ASSERT_NE(entry, 0u);
    PutU16(bytes, entry, 65000);
    EXPECT_EQ(enginetest::StreamData(Make(File("odd.tif", bytes))).size(), 64u);
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

TEST_F(TIFFImageTypeTest, OpenReadsTheTagsOnceAndLeavesTheStreamAtItsStart) {
    const std::string path = Tiff(TiffSpecFor(TiffColor::CMYK, 6, 5));
    auto stream = StreamOn(path);
    CTIFFImageType type(stream.get());
    EXPECT_FALSE(type.IsOpened());
    EXPECT_EQ(type.GetHeight(), 5);
    EXPECT_TRUE(type.IsOpened());
    EXPECT_TRUE(stream->IsOpen());
    EXPECT_EQ(stream->GetPosition(), 0u);
    stream->Close();
    std::filesystem::remove(path);
    EXPECT_EQ(type.GetWidth(), 6);
    EXPECT_EQ(type.GetColorSpace(), kImageColorCMYK);
    EXPECT_EQ(type.GetPhotometric(), 5);
}

TEST_F(TIFFImageTypeTest, BigEndianFileIsReadByTheType) {
    TiffSpec spec = TiffSpecFor(TiffColor::RGB, 7, 6);
    spec.bigEndian = true;
    EXPECT_EQ(Bytes(enginetest::StreamData(Make(Tiff(spec)))), TiffSamples(spec));
}

// --- the procedure stream read directly, in chunks that straddle strips

class TiffChunkedRead : public TIFFImageTypeTest, public testing::WithParamInterface<int> {};

TEST_P(TiffChunkedRead, DeliversTheStripsBytesInOrder) {
    const TiffSpec spec = TiffSpecFor(TiffColor::RGB, 11, 10, 3);  // strips of 99 bytes, last 33
    const std::string path = Tiff(spec);
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    {
        CStrippedTIFFASStream stream(tif);
        const std::vector<uint8_t> data = ReadInChunks(stream.Get(), GetParam());
        EXPECT_EQ(data.size(), 11u * 3u * 10u);
        EXPECT_EQ(data, TiffSamples(spec));
        EXPECT_EQ(stream.GetDelivered(), data.size());
    }
    TIFFClose(tif);
}

INSTANTIATE_TEST_SUITE_P(Chunks, TiffChunkedRead, testing::Values(1, 5, 98, 99, 100, 250, 4096));

TEST_F(TIFFImageTypeTest, ColorMapOfByteValuesIsKeptAndWideOneScaled) {
    std::vector<uint16_t> red(256, 200), green(256, 255), blue(256, 0);
    CStrippedTIFFASStream stream;
    stream.SetColorMap(red.data(), green.data(), blue.data());
    EXPECT_EQ(stream.GetColorMap()[0], 200);
    EXPECT_EQ(stream.GetColorMap()[256], 255);
    red[7] = 256;
    stream.SetColorMap(red.data(), green.data(), blue.data());
    EXPECT_EQ(stream.GetColorMap()[0], 0);    // 200 * 255 / 65535
    EXPECT_EQ(stream.GetColorMap()[7], 0);    // 256 * 255 / 65535
    EXPECT_EQ(stream.GetColorMap()[256], 0);  // 255 * 255 / 65535
}

}  // namespace
