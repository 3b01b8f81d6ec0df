// Cos streams through the table: encoding on creation, reading stored and
// decoded data, source handling, and files that qpdf accepts.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "HostTables.h"
#include "common/HostErrorOf.h"
#include "common/PdfFixtures.h"
#include "common/QpdfFixtures.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "pdmodel/DocumentFiles.h"
#include "support/Streams.h"

namespace {

using qmtest::HostDoc;
using qmtest::HostPath;
using qmtest::nameAtom;

const CosTable& cos() { return *qmhost::cosTable(); }
const AppSupportTable& support() { return *qmhost::appSupportTable(); }

std::string codeAndMessage(const std::function<void()>& body, int32_t* code) {
    const qmtest::Raised raised = qmtest::raisedBy(body);
    *code = raised.code;
    return raised.message;
}

using qmtest::inflate;

std::string sampleData() {
    std::string data;
    for (int i = 0; i < 400; ++i) data += "q 1 0 0 1 " + std::to_string(i) + " 0 cm (line) Tj Q\n";
    data += std::string("\0\x01\xff binary tail", 15);
    return data;
}

// Reads a whole host stream and closes it.
std::string drain(ASStm stream) {
    std::string data;
    char buffer[4096];
    int32_t n;
    while ((n = support().stmRead(buffer, 1, sizeof buffer, stream)) > 0) data.append(buffer, static_cast<size_t>(n));
    support().stmClose(stream);
    return data;
}

class CosStreamTest : public ::testing::Test {
protected:
    HostDoc doc = HostDoc::create();
    CosDoc cd() const { return doc.cos(); }

    CosObj attributes(const char* filter) {
        CosObj dict = cos().newDict(cd(), false, 2);
        if (filter) cos().dictPut(dict, nameAtom("Filter"), cos().newName(cd(), false, nameAtom(filter)));
        return dict;
    }
    CosObj makeStream(const std::string& data, CosObj attrs, int16_t encode) {
        ASStm source = support().memStmOpen(data.data(), static_cast<int64_t>(data.size()));
        CosObj stream = cos().newStream(cd(), true, source, 0, encode, attrs, cos().newNull(), -1);
        support().stmClose(source);
        return stream;
    }
    std::string read(CosObj stream, int16_t mode) { return drain(cos().streamOpen(stream, mode)); }
};

TEST_F(CosStreamTest, FlateStreamFromPlainDataReadsBackEqual) {
    const std::string data = sampleData();
    const CosObj stream = makeStream(data, attributes("FlateDecode"), 1);
    EXPECT_TRUE(cos().objIsIndirect(stream));
    EXPECT_EQ(read(stream, kCosStreamDecoded), data);
    const std::string stored = read(stream, kCosStreamStored);
    EXPECT_NE(stored, data);
    EXPECT_EQ(inflate(stored), data);
    EXPECT_EQ(cos().streamLength(stream), static_cast<int64_t>(stored.size()));
    EXPECT_LT(stored.size(), data.size());
}

TEST_F(CosStreamTest, FilterArrayIsEncodedSoThatReadersUndoItInOrder) {
    const std::string data = sampleData();
    CosObj attrs = cos().newDict(cd(), false, 1);
    CosObj filters = cos().newArray(cd(), false, 2);
    cos().arrayPut(filters, 0, cos().newName(cd(), false, nameAtom("FlateDecode")));
    cos().arrayPut(filters, 1, cos().newName(cd(), false, nameAtom("FlateDecode")));
    cos().dictPut(attrs, nameAtom("Filter"), filters);
    const CosObj stream = makeStream(data, attrs, 1);
    EXPECT_EQ(read(stream, kCosStreamDecoded), data);
    EXPECT_EQ(inflate(inflate(read(stream, kCosStreamStored))), data);
}

TEST_F(CosStreamTest, WithoutFilterEncodingStoresTheDataAsGiven) {
    const std::string data = sampleData();
    const CosObj stream = makeStream(data, attributes(nullptr), 1);
    EXPECT_EQ(read(stream, kCosStreamStored), data);
    EXPECT_EQ(read(stream, kCosStreamDecoded), data);
}

TEST_F(CosStreamTest, AlreadyEncodedDataIsStoredAsGiven) {
    const std::string data = sampleData();
    const std::string encoded = qmtest::deflate(data);
    const CosObj stream = makeStream(encoded, attributes("FlateDecode"), 0);
    EXPECT_EQ(read(stream, kCosStreamStored), encoded);
    EXPECT_EQ(read(stream, kCosStreamDecoded), data);
}

TEST_F(CosStreamTest, AttributesAreCopiedAndTheirLengthIgnored) {
    CosObj attrs = attributes("FlateDecode");
    cos().dictPut(attrs, nameAtom("Length"), cos().newInteger(cd(), false, 3));
    cos().dictPut(attrs, nameAtom("Subtype"), cos().newName(cd(), false, nameAtom("Form")));
    const std::string data = sampleData();
    const CosObj stream = makeStream(data, attrs, 1);
    const CosObj dict = cos().streamDict(stream);
    EXPECT_EQ(cos().nameValue(cos().dictGet(dict, nameAtom("Subtype"))), nameAtom("Form"));
    EXPECT_EQ(read(stream, kCosStreamDecoded), data);
    // The attributes dictionary itself is not the stream's dictionary.
    cos().dictPut(attrs, nameAtom("Extra"), cos().newInteger(cd(), false, 1));
    EXPECT_FALSE(cos().dictKnown(dict, nameAtom("Extra")));
}

TEST_F(CosStreamTest, StreamDictionaryIsEditedInPlace) {
    const CosObj stream = makeStream("abc", attributes(nullptr), 0);
    cos().dictPut(cos().streamDict(stream), nameAtom("Type"), cos().newName(cd(), false, nameAtom("XObject")));
    EXPECT_TRUE(cos().dictKnown(cos().streamDict(stream), nameAtom("Type")));
}

struct FilterRow {
    const char* name;
    const char* filter;
};

class CosStreamUnsupportedFilter : public ::testing::TestWithParam<FilterRow> {};

TEST_P(CosStreamUnsupportedFilter, EncodingRaisesFilterNamingIt) {
    HostDoc doc = HostDoc::create();
    CosObj attrs = cos().newDict(doc.cos(), false, 1);
    cos().dictPut(attrs, nameAtom("Filter"), cos().newName(doc.cos(), false, nameAtom(GetParam().filter)));
    const std::string data = "plain samples";
    ASStm source = support().memStmOpen(data.data(), static_cast<int64_t>(data.size()));
    int32_t code = 0;
    const std::string message = codeAndMessage(
        [&] { cos().newStream(doc.cos(), true, source, 0, 1, attrs, cos().newNull(), -1); }, &code);
    support().stmClose(source);
    EXPECT_EQ(code, kHostErrFilter);
    EXPECT_NE(message.find(GetParam().filter), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(Filters, CosStreamUnsupportedFilter,
                         ::testing::Values(FilterRow{"DCT", "DCTDecode"}, FilterRow{"RunLength", "RunLengthDecode"},
                                           FilterRow{"ASCII85", "ASCII85Decode"},
                                           FilterRow{"CCITTFax", "CCITTFaxDecode"},
                                           FilterRow{"Unknown", "NoSuchDecode"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(CosStreamTest, FlatePredictorCannotBeEncoded) {
    CosObj attrs = attributes("FlateDecode");
    CosObj parms = cos().newDict(cd(), false, 1);
    cos().dictPut(parms, nameAtom("Predictor"), cos().newInteger(cd(), false, 12));
    cos().dictPut(attrs, nameAtom("DecodeParms"), parms);
    int32_t code = 0;
    codeAndMessage([&] { makeStream("abc", attrs, 1); }, &code);
    EXPECT_EQ(code, kHostErrFilter);
}

TEST_F(CosStreamTest, UnsupportedFilterIsStoredAsGivenWhenNotEncoding) {
    const std::string jpegLike = std::string("\xff\xd8\xff\xe0") + " not really a jpeg";
    const CosObj stream = makeStream(jpegLike, attributes("DCTDecode"), 0);
    EXPECT_EQ(read(stream, kCosStreamStored), jpegLike);
}

TEST_F(CosStreamTest, UndecodableDataRaisesFilterOnDecodedOpen) {
    const CosObj stream = makeStream("this is not zlib data at all", attributes("FlateDecode"), 0);
    int32_t code = 0;
    const size_t streamsBefore = qmhost::openStreamCount();
    const std::string message = codeAndMessage([&] { cos().streamOpen(stream, kCosStreamDecoded); }, &code);
    EXPECT_EQ(code, kHostErrFilter) << message;
    EXPECT_EQ(qmhost::openStreamCount(), streamsBefore);
    EXPECT_EQ(read(stream, kCosStreamStored), "this is not zlib data at all");
}

TEST_F(CosStreamTest, DecodedOpenOfAnUndecodableFilterRaisesFilter) {
    const CosObj stream = makeStream("\xff\xd8 bytes", attributes("JBIG2Decode"), 0);
    int32_t code = 0;
    codeAndMessage([&] { cos().streamOpen(stream, kCosStreamDecoded); }, &code);
    EXPECT_EQ(code, kHostErrFilter);
}

TEST_F(CosStreamTest, SourceIsReadFromOffsetForLength) {
    const std::string text = "0123456789";
    ASStm source = support().memStmOpen(text.data(), 10);
    const CosObj stream = cos().newStream(cd(), true, source, 2, 0, cos().newNull(), cos().newNull(), 5);
    EXPECT_EQ(read(stream, kCosStreamStored), "23456");
    // The source stays open and stands behind what was read.
    char rest[16];
    EXPECT_EQ(support().stmRead(rest, 1, 16, source), 3);
    EXPECT_EQ(std::string(rest, 3), "789");
    support().stmClose(source);
}

TEST_F(CosStreamTest, OffsetMinusOneReadsFromWhereTheSourceStands) {
    const std::string text = "headerBODY";
    ASStm source = support().memStmOpen(text.data(), 10);
    char skip[6];
    ASSERT_EQ(support().stmRead(skip, 1, 6, source), 6);
    const CosObj stream = cos().newStream(cd(), true, source, -1, 0, cos().newNull(), cos().newNull(), -1);
    support().stmClose(source);
    EXPECT_EQ(read(stream, kCosStreamStored), "BODY");
}

TEST_F(CosStreamTest, SourceShorterThanLengthRaisesStream) {
    ASStm source = support().memStmOpen("abc", 3);
    int32_t code = 0;
    codeAndMessage([&] { cos().newStream(cd(), true, source, 0, 0, cos().newNull(), cos().newNull(), 10); },
                   &code);
    support().stmClose(source);
    EXPECT_EQ(code, kHostErrStream);
}

TEST_F(CosStreamTest, BadArgumentsAreRefused) {
    ASStm source = support().memStmOpen("abc", 3);
    int32_t code = 0;
    codeAndMessage([&] { cos().newStream(cd(), true, source, 0, 0, cos().newInteger(cd(), false, 1), cos().newNull(), -1); },
                   &code);
    EXPECT_EQ(code, kHostErrBadType);
    HostDoc other = HostDoc::create();
    CosObj foreign = cos().newDict(other.cos(), false, 0);
    codeAndMessage([&] { cos().newStream(cd(), true, source, 0, 0, foreign, cos().newNull(), -1); }, &code);
    EXPECT_EQ(code, kHostErrBadParameter);
    codeAndMessage([&] { cos().newStream(cd(), true, reinterpret_cast<ASStm>(uintptr_t{0x7fff0000}), 0, 0,
                                         cos().newNull(), cos().newNull(), -1); },
                   &code);
    EXPECT_EQ(code, kHostErrBadHandle);
    support().stmClose(source);
    const CosObj stream = makeStream("x", attributes(nullptr), 0);
    codeAndMessage([&] { cos().streamOpen(stream, 3); }, &code);
    EXPECT_EQ(code, kHostErrBadParameter);
    codeAndMessage([&] { cos().streamOpen(cos().newDict(cd(), false, 0), kCosStreamStored); }, &code);
    EXPECT_EQ(code, kHostErrBadType);
}

TEST_F(CosStreamTest, EmptyStreamHasNoBytes) {
    const CosObj stream = makeStream("", attributes("FlateDecode"), 1);
    EXPECT_EQ(read(stream, kCosStreamDecoded), "");
    const CosObj raw = makeStream("", attributes(nullptr), 0);
    EXPECT_EQ(cos().streamLength(raw), 0);
}

// New unfiltered streams: a tiny one is saved as it is (Flate would make it
// larger), a larger one compressed; both read back whole. The same with no
// attributes at all (the null object, as content pieces are made) and
// encoding asked for.
TEST_F(CosStreamTest, SaveCompressesOnlyStreamsWorthIt) {
    qmtest::FixtureFolder folder;
    struct Row {
        const char* key;
        std::string data;
        bool compressed;
        bool withAttributes;
    };
    const Row rows[] = {{"Save", " q ", false, true},
                        {"Piece", std::string(200, 'x'), false, true},
                        {"Page", sampleData() + sampleData(), true, true},
                        {"BareSave", " Q ", false, false},
                        {"BarePiece", std::string(255, 'y'), false, false},
                        {"BarePage", sampleData(), true, false}};
    for (const Row& row : rows) {
        const CosObj attrs = row.withAttributes ? attributes(nullptr) : cos().newNull();
        const CosObj stream = makeStream(row.data, attrs, row.withAttributes ? 0 : 1);
        EXPECT_EQ(cos().integerValue(cos().dictGet(cos().streamDict(stream), nameAtom("Length"))),
                  static_cast<int32_t>(row.data.size()))
            << row.key;
        cos().dictPut(cos().docGetRoot(cd()), nameAtom(row.key), stream);
    }
    const std::string path = folder.file("streams.pdf");
    qmhost::pdModelTable()->docSave(doc.pd(), HostPath(path));
    EXPECT_EQ(qmtest::qpdfCheck(path).status, 0);
    HostDoc reopened = HostDoc::open(path);
    for (const Row& row : rows) {
        const CosObj again = cos().dictGet(cos().docGetRoot(reopened.cos()), nameAtom(row.key));
        ASSERT_EQ(cos().objGetType(again), CosStream) << row.key;
        const CosObj filter = cos().dictGet(cos().streamDict(again), nameAtom("Filter"));
        EXPECT_EQ(cos().objGetType(filter) != CosNull, row.compressed) << row.key;
        EXPECT_EQ(drain(cos().streamOpen(again, kCosStreamDecoded)), row.data) << row.key;
    }
}

TEST_F(CosStreamTest, SavedStreamPassesQpdfCheckAndReadsBack) {
    qmtest::FixtureFolder folder;
    const std::string data = sampleData();
    const CosObj stream = makeStream(data, attributes("FlateDecode"), 1);
    cos().dictPut(cos().docGetRoot(cd()), nameAtom("QmData"), stream);
    const std::string path = folder.file("stream.pdf");
    qmhost::pdModelTable()->docSave(doc.pd(), HostPath(path));
    const auto check = qmtest::qpdfCheck(path);
    EXPECT_EQ(check.status, 0) << check.output;

    HostDoc reopened = HostDoc::open(path);
    const CosObj again = cos().dictGet(cos().docGetRoot(reopened.cos()), nameAtom("QmData"));
    ASSERT_EQ(cos().objGetType(again), CosStream);
    EXPECT_EQ(drain(cos().streamOpen(again, kCosStreamDecoded)), data);
}

}  // namespace

namespace {

// A file too large to be read whole shrinks under the open document: qpdf
// fails while reading the data lazily, and that failure reaches the caller as
// a HostError naming the file.
TEST(CosStreamDamage, DataLostAfterOpeningRaisesBadPdfNamingTheFile) {
    qmtest::FixtureFolder folder;
    const std::string path = folder.file("shrinking.pdf");
    qmtest::writeSimplePdf(path, 400);
    qmhost::setReadWholeLimitForTesting(0);
    HostDoc doc = HostDoc::open(path);
    qmhost::setReadWholeLimitForTesting(-1);
    auto contentsOf = [&](int32_t index) {
        PDPage page = qmhost::pdModelTable()->docAcquirePage(doc.pd(), index);
        const CosObj contents = cos().dictGet(qmhost::pdModelTable()->pageGetCosObj(page), nameAtom("Contents"));
        qmhost::pdModelTable()->pageRelease(page);
        return contents;
    };
    const CosObj contents = contentsOf(0);
    ASSERT_EQ(cos().objGetType(contents), CosStream);  // its dictionary is read; its data is not
    ASSERT_EQ(cos().objGetType(contentsOf(399)), CosStream);  // reading moves far from page 1
    qmtest::truncateFile(path, 200);
    for (int16_t mode : {kCosStreamStored, kCosStreamDecoded}) {
        try {
            const std::string got = drain(cos().streamOpen(contents, mode));
            ADD_FAILURE() << "read data that is gone: [" << got << "] " << got.size();
        } catch (const HostError& e) {
            // A foreign exception that left the table fails the test where the
            // test framework catches it.
            EXPECT_EQ(e.code(), kHostErrBadPDF) << e.what();
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}

// A file read whole at opening keeps its data when the file shrinks or goes.
TEST(CosStreamDamage, FileReadWholeKeepsItsDataWhenTheFileShrinks) {
    qmtest::FixtureFolder folder;
    const std::string path = folder.file("shrinking.pdf");
    qmtest::writeSimplePdf(path, 40);
    std::string before;
    {
        HostDoc doc = HostDoc::open(path);
        PDPage page = qmhost::pdModelTable()->docAcquirePage(doc.pd(), 39);
        before = drain(cos().streamOpen(cos().dictGet(qmhost::pdModelTable()->pageGetCosObj(page),
                                                      nameAtom("Contents")), kCosStreamDecoded));
        qmhost::pdModelTable()->pageRelease(page);
    }
    ASSERT_FALSE(before.empty());
    HostDoc doc = HostDoc::open(path);
    qmtest::truncateFile(path, 200);
    PDPage page = qmhost::pdModelTable()->docAcquirePage(doc.pd(), 39);
    const CosObj contents = cos().dictGet(qmhost::pdModelTable()->pageGetCosObj(page), nameAtom("Contents"));
    qmhost::pdModelTable()->pageRelease(page);
    EXPECT_EQ(drain(cos().streamOpen(contents, kCosStreamDecoded)), before);
}

}  // namespace
