// Image streams made through Cos newStream: procedure streams pulled in chunks
// of any size, failures of the read procedure, the sample count of images, and
// the LZW encoder checked by decoding what was stored (qpdf, poppler).
#include <gtest/gtest.h>

#include <string>

#include "CosImageStreamSupport.h"
#include "ImageTestFiles.h"
#include "common/Netpbm.h"
#include "support/Streams.h"

namespace {

using namespace cosimagetest;

class CosImageStream : public CosImageStreamFixture {};

// --- procedure streams in chunks

struct ChunkRow {
    const char* name;
    size_t chunk;
};

class CosImageStreamChunks : public CosImageStream, public ::testing::WithParamInterface<ChunkRow> {};

TEST_P(CosImageStreamChunks, ImageArrivesWholeWhateverTheChunkSize) {
    // 150 x 170 RGB: rows of 450 bytes, 76500 in all (more than the host pulls at once).
    ChunkedSource source;
    source.data = imagetest::gradient(150, 170, 3).bytes;
    source.chunk = GetParam().chunk;
    const CosObj stream = fromProcedure(source, dict(image(150, 170, "/DeviceRGB", 8, "/FlateDecode")));
    EXPECT_EQ(decoded(stream), source.data);
    EXPECT_EQ(inflate(stored(stream)), source.data);
    EXPECT_GE(source.endCalls, 1) << "the host stops only when the procedure answers 0";
}

INSTANTIATE_TEST_SUITE_P(Sizes, CosImageStreamChunks,
                         ::testing::Values(ChunkRow{"OneByte", 1}, ChunkRow{"SevenBytes", 7},
                                           ChunkRow{"LessThanARow", 449}, ChunkRow{"OneRow", 450},
                                           ChunkRow{"MoreThanARow", 451}, ChunkRow{"Page", 4096},
                                           ChunkRow{"AboveTheHostsBuffer", 65537},
                                           ChunkRow{"AllAtOnce", 1 << 20}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(CosImageStream, ProcedureStreamWithoutImageIsReadToItsEnd) {
    ChunkedSource source;
    source.data = noise(100003, 7);
    source.chunk = 333;
    const CosObj stream = fromProcedure(source, dict("<< /Filter /FlateDecode >>"));
    EXPECT_EQ(decoded(stream), source.data);
}

// --- failures of the read procedure

struct FailureRow {
    const char* name;
    ChunkedSource::Failure failure;
    size_t failAt;
};

class CosImageStreamFailure : public CosImageStream, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(CosImageStreamFailure, FailingReadProcedureCreatesNoStream) {
    ChunkedSource source;
    source.data = imagetest::gradient(150, 170, 3).bytes;
    source.chunk = 1000;
    source.failure = GetParam().failure;
    source.failAt = GetParam().failAt;
    const size_t objects = objectCount();
    const size_t streams = qmhost::openStreamCount();
    const Raised raised =
        raisedBy([&] { fromProcedure(source, dict(image(150, 170, "/DeviceRGB", 8, "/FlateDecode"))); });
    EXPECT_EQ(raised.code, kHostErrStream) << raised.message;
    EXPECT_NE(raised.message.find("newStream"), std::string::npos) << raised.message;
    EXPECT_EQ(objectCount(), objects) << "a failed source must leave no stream object";
    EXPECT_EQ(qmhost::openStreamCount(), streams);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CosImageStreamFailure,
    ::testing::Values(FailureRow{"NegativeAtOnce", ChunkedSource::Failure::Negative, 0},
                      FailureRow{"NegativeMidway", ChunkedSource::Failure::Negative, 30000},
                      FailureRow{"NegativeInsteadOfTheEnd", ChunkedSource::Failure::Negative, 76500},
                      FailureRow{"ThrowsAtOnce", ChunkedSource::Failure::Throws, 0},
                      FailureRow{"ThrowsMidway", ChunkedSource::Failure::Throws, 30000}),
    [](const auto& row) { return std::string(row.param.name); });

// --- the sample count of images

TEST_F(CosImageStream, ShortFlateImageIsRefusedSayingWhatWasNeeded) {
    const std::string samples = imagetest::gradient(150, 170, 3).bytes;
    const size_t objects = objectCount();
    const Raised raised = raisedBy([&] {
        fromMemory(samples.substr(0, samples.size() - 1), dict(image(150, 170, "/DeviceRGB", 8, "/FlateDecode")));
    });
    EXPECT_EQ(raised.code, kHostErrStream);
    EXPECT_NE(raised.message.find("76500"), std::string::npos) << raised.message;
    EXPECT_NE(raised.message.find("76499"), std::string::npos) << raised.message;
    EXPECT_EQ(objectCount(), objects);
}

struct PaddingRow {
    const char* name;
    const char* attributes;
    size_t needed;  // rows padded to whole bytes
};

class CosImageStreamRows : public CosImageStream, public ::testing::WithParamInterface<PaddingRow> {};

TEST_P(CosImageStreamRows, ImageNeedsEveryPaddedRow) {
    const PaddingRow& row = GetParam();
    const std::string exact(row.needed, '\x5A');
    EXPECT_EQ(decoded(fromMemory(exact, dict(row.attributes))), exact);
    const std::string longer = exact + "tail";
    EXPECT_EQ(decoded(fromMemory(longer, dict(row.attributes))), longer) << "extra bytes are kept as given";
    const Raised raised = raisedBy([&] { fromMemory(exact.substr(0, row.needed - 1), dict(row.attributes)); });
    EXPECT_EQ(raised.code, kHostErrStream) << raised.message;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CosImageStreamRows,
    ::testing::Values(
        PaddingRow{"OneBitGray", "<< /Subtype /Image /Width 10 /Height 3 /ColorSpace /DeviceGray "
                                 "/BitsPerComponent 1 /Filter /FlateDecode >>", 6},
        PaddingRow{"FourBitRgb", "<< /Subtype /Image /Width 3 /Height 2 /ColorSpace /DeviceRGB "
                                 "/BitsPerComponent 4 /Filter /LZWDecode >>", 10},
        PaddingRow{"ImageMask", "<< /Subtype /Image /Width 9 /Height 2 /ImageMask true /Filter /FlateDecode >>", 4},
        PaddingRow{"Indexed", "<< /Subtype /Image /Width 5 /Height 2 /ColorSpace [/Indexed /DeviceRGB 1 <000000FFFFFF>] "
                              "/BitsPerComponent 8 /Filter /FlateDecode >>", 10},
        PaddingRow{"DeviceNOfTwoInks", "<< /Subtype /Image /Width 3 /Height 1 /ColorSpace [/DeviceN [/Cyan /Spot] "
                                       "/DeviceCMYK null] /BitsPerComponent 8 /Filter /FlateDecode >>", 6},
        PaddingRow{"SixteenBitGray", "<< /Subtype /Image /Width 3 /Height 1 /ColorSpace /DeviceGray "
                                     "/BitsPerComponent 16 /Filter /FlateDecode >>", 6},
        PaddingRow{"Lab", "<< /Subtype /Image /Width 2 /Height 2 /ColorSpace [/Lab << /WhitePoint [1 1 1] >>] "
                          "/BitsPerComponent 8 >>", 12},
        PaddingRow{"NoFilter", "<< /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceCMYK "
                               "/BitsPerComponent 8 >>", 64}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CosImageStream, IccBasedImageCountsTheProfilesComponents) {
    QPDFObjectHandle profile = qpdf().newStream("not really a profile");
    profile.getDict().replaceKey("/N", QPDFObjectHandle::newInteger(4));
    QPDFObjectHandle attributes = QPDFObjectHandle::parse(image(2, 2, "null", 8, "/FlateDecode"));
    attributes.replaceKey("/ColorSpace", QPDFObjectHandle::parse("[/ICCBased]"));
    attributes.getKey("/ColorSpace").appendItem(profile);
    const CosObj attrs = qmhost::handleFor(*qmhost::documentOf(cd()), attributes);
    EXPECT_EQ(raisedBy([&] { fromMemory(std::string(15, 'x'), attrs); }).code, kHostErrStream);
    EXPECT_EQ(decoded(fromMemory(std::string(16, 'x'), attrs)), std::string(16, 'x'));
}

TEST_F(CosImageStream, ImageWhoseColourSpaceIsAResourceNameIsNotChecked) {
    // A named colour space lives in the page's resources; its components are unknown here.
    const CosObj stream = fromMemory("abc", dict(image(100, 100, "/CS0", 8, "/FlateDecode")));
    EXPECT_EQ(decoded(stream), "abc");
}

TEST_F(CosImageStream, RefusedEncodingLeavesNoObjectBehind) {
    const size_t objects = objectCount();
    EXPECT_EQ(raisedBy([&] { fromMemory("data", dict("<< /Filter /ASCII85Decode >>")); }).code, kHostErrFilter);
    EXPECT_EQ(raisedBy([&] { fromMemory("data", dict("<< /Filter /FlateDecode /DecodeParms << /Predictor 12 >> >>")); })
                  .code,
              kHostErrFilter);
    EXPECT_EQ(objectCount(), objects);
}

// --- LZW

struct LzwRow {
    const char* name;
    std::function<std::string()> data;
};

class CosImageStreamLzw : public CosImageStream, public ::testing::WithParamInterface<LzwRow> {};

TEST_P(CosImageStreamLzw, StoredCodesDecodeToTheData) {
    const std::string data = GetParam().data();
    const CosObj stream = fromMemory(data, dict("<< /Filter /LZWDecode >>"));
    const std::string codes = stored(stream);
    EXPECT_EQ(lzwDecode(codes, true), data);
    EXPECT_EQ(decoded(stream), data);
    if (data.size() > 1000) {
        EXPECT_NE(codes, data);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Data, CosImageStreamLzw,
    ::testing::Values(LzwRow{"Empty", [] { return std::string(); }}, LzwRow{"OneByte", [] { return std::string("x"); }},
                      LzwRow{"LongRun", [] { return std::string(100000, 'a'); }},
                      LzwRow{"Text", [] {
                                 std::string text;
                                 for (int i = 0; i < 3000; ++i) text += "TOBEORNOTTOBEORTOBEORNOT#" + std::to_string(i % 17);
                                 return text;
                             }},
                      LzwRow{"Noise", [] { return noise(200000, 1); }},
                      LzwRow{"AllBytePairs", [] {
                                 std::string pairs;
                                 for (int a = 0; a < 256; ++a)
                                     for (int b = 0; b < 256; ++b) {
                                         pairs.push_back(static_cast<char>(a));
                                         pairs.push_back(static_cast<char>(b));
                                     }
                                 return pairs;
                             }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CosImageStream, LzwFollowsEarlyChangeZero) {
    const std::string data = noise(50000, 3);
    const CosObj stream = fromMemory(data, dict("<< /Filter /LZWDecode /DecodeParms << /EarlyChange 0 >> >>"));
    const std::string codes = stored(stream);
    EXPECT_EQ(lzwDecode(codes, false), data);
    EXPECT_EQ(decoded(stream), data);
    EXPECT_NE(lzwDecode(codes, true), data) << "the parameter must change the codes";
}

TEST_F(CosImageStream, LzwImageReadsTheSameInPoppler) {
    qmtest::FixtureFolder folder;
    // 301 x 257 gray noise: 77357 bytes, the table is cleared about forty times.
    const std::string samples = noise(301 * 257, 11);
    const CosObj stream = fromMemory(samples, dict(image(301, 257, "/DeviceGray", 8, "/LZWDecode")));
    const std::string path = savePageShowing(stream, 301, 257, folder);
    const auto result = qmtest::runCommand("pdfimages " + qmtest::shellQuote(path) + " " +
                                           qmtest::shellQuote(folder.file("out")));
    ASSERT_EQ(result.status, 0) << result.output;
    // pdfimages writes gray images read through LZW as RGB netpbm files.
    const std::string file = folder.file(qmtest::fileExists(folder.file("out-000.pgm")) ? "out-000.pgm" : "out-000.ppm");
    ASSERT_TRUE(qmtest::fileExists(file)) << testing::PrintToString(folder.entries());
    const qmtest::Netpbm extracted = qmtest::readNetpbm(file);
    EXPECT_EQ(extracted.width, 301);
    EXPECT_EQ(extracted.height, 257);
    EXPECT_TRUE(extracted.plane(0) == samples) << "poppler decodes other samples than were stored";
    const auto listed = imagetest::listImages(path);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].color, "gray");
    EXPECT_EQ(listed[0].encoding, "image");
}

}  // namespace
