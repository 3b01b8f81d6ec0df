// CCosStream over a real document: making, reading, counting, copying,
// writing to files and dumping streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "CosTestDocument.h"
#include "ThrownErrorCode.h"
#include "qmhost/HostError.h"
#include "support/cos/CCosStream.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"
#include "support/Streams.h"

namespace {

using qmtest::CodeOf;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class CCosStreamTest : public testing::Test {
protected:
    void SetUp() override {
        qmtest::TakeAlerts();
        ClearErrorMessage();
        mOpenStreams = qmhost::openStreamCount();
    }
    void TearDown() override { EXPECT_EQ(qmhost::openStreamCount(), mOpenStreams) << "a stream leaked"; }

    CosDoc doc() const { return mDoc.cosDoc(); }

    // A stream of data; with flate set the host encodes the data with FlateDecode.
    CosObj MakeStream(const std::string& data, bool flate = false) {
        const CosObj attributes = gCosHFT->newDict(doc(), false, 1);
        if (flate) gCosHFT->dictPut(attributes, gAtomFilter, gCosHFT->newName(doc(), false, gAtomFlateDecode));
        CASStream source(data.data(), static_cast<int64_t>(data.size()));
        CCosStream stream(doc(), source, -1, flate ? 1 : 0, attributes, CosNullObj(), -1);
        return stream.GetCosObj();
    }

    std::string Decoded(CosObj stream) {
        CCosStream wrapper(doc(), stream);
        wrapper.OpenStream(kCosStreamDecoded);
        std::string data;
        char piece[100];
        for (int32_t got; (got = wrapper.GetStream().Read(piece, 1, sizeof piece)) > 0;) data.append(piece, static_cast<size_t>(got));
        wrapper.CloseStream();
        return data;
    }

    std::string DumpData(CosObj stream) {
        FILE* file = std::tmpfile();
        CCosStream(doc(), stream).Dump(file);
        std::string text(static_cast<size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        text.resize(std::fread(text.data(), 1, text.size(), file));
        std::fclose(file);
        const std::string marker = "---BEGIN DATA---\n";
        return text.substr(text.find(marker) + marker.size());
    }

    qmtest::CosTestDocument mDoc;
    size_t mOpenStreams = 0;
};

TEST_F(CCosStreamTest, WrapsTheStreamAndItsDictionary) {
    const CosObj stream = MakeStream("abc");
    CCosStream wrapper(doc(), stream);
    EXPECT_TRUE(wrapper.IsIndirect());
    ASSERT_NE(wrapper.GetAttributesDict(), nullptr);
    EXPECT_EQ(wrapper.GetAttributesDict()->GetType(), CosDict);
    EXPECT_EQ(wrapper.GetLength(), 3);
    EXPECT_EQ(Decoded(stream), "abc");
}

TEST_F(CCosStreamTest, AttachingAnotherStreamClosesTheReadAndFollowsTheDictionary) {
    const CosObj first = MakeStream("one");
    const CosObj second = MakeStream("two", true);
    CCosStream wrapper(doc(), first);
    wrapper.OpenStream(kCosStreamDecoded);
    wrapper.Attach(second);
    EXPECT_FALSE(wrapper.GetStream().IsOpen());
    EXPECT_EQ(wrapper.GetAttributesDict()->GetName(gAtomFilter, true), gAtomFlateDecode);
}

TEST_F(CCosStreamTest, DumpOfAWrapperWithoutStreamThrowsInsteadOfCrashing) {
    CCosStream wrapper;
    FILE* file = std::tmpfile();
    EXPECT_NE(CodeOf([&] { wrapper.Dump(file); }), 0);
    std::fclose(file);
}

TEST_F(CCosStreamTest, CountDataBytesOfAnEmptyStreamIsZeroAndLeavesItClosed) {
    CCosStream wrapper(doc(), MakeStream(""));
    EXPECT_EQ(wrapper.CountDataBytes(), 0);
    EXPECT_FALSE(wrapper.GetStream().IsOpen());
    wrapper.OpenStream(kCosStreamDecoded);  // no assertion: the data was closed
    wrapper.CloseStream();
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

TEST_F(CCosStreamTest, CountDataBytesCountsTheDecodedData) {
    const std::string data(10000, 'z');
    CCosStream wrapper(doc(), MakeStream(data, true));
    EXPECT_EQ(wrapper.CountDataBytes(), 10000);
    EXPECT_LT(wrapper.GetLength(), 10000);  // stored encoded
}

TEST_F(CCosStreamTest, OpeningTheDataTwiceFailsItsAssertion) {
    CCosStream wrapper(doc(), MakeStream("x"));
    wrapper.OpenStream(kCosStreamDecoded);
    EXPECT_EQ(CodeOf([&] { wrapper.OpenStream(kCosStreamDecoded); }), kErrAssertion);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("'(ASStm)mStream == NULL'"), std::string::npos);
}

TEST_F(CCosStreamTest, DestructorClosesTheOpenData) {
    {
        CCosStream wrapper(doc(), MakeStream("data"));
        wrapper.OpenStream(kCosStreamDecoded);
        EXPECT_EQ(qmhost::openStreamCount(), mOpenStreams + 1);
    }
    EXPECT_EQ(qmhost::openStreamCount(), mOpenStreams);
}

TEST_F(CCosStreamTest, CopyClosesTheSourceDataSoTheWrapperOpensAgain) {
    CCosStream wrapper(doc(), MakeStream("payload"));
    const CosObj copy = wrapper.Copy(true);
    EXPECT_FALSE(wrapper.GetStream().IsOpen());
    wrapper.OpenStream(kCosStreamDecoded);
    wrapper.CloseStream();
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
    EXPECT_EQ(Decoded(copy), "payload");
}

TEST_F(CCosStreamTest, CopyKeepsTheStoredDataAndTheFilter) {
    const std::string data = "BT /F1 12 Tf (Hello) Tj ET\n" + std::string(500, ' ');
    const CosObj source = MakeStream(data, true);
    CCosStream wrapper(doc(), source);
    CCosStream copy(doc(), wrapper.Copy(false));
    EXPECT_FALSE(gCosHFT->objEqual(copy, source));
    EXPECT_EQ(copy.GetLength(), wrapper.GetLength());
    EXPECT_EQ(copy.GetAttributesDict()->GetName(gAtomFilter, true), gAtomFlateDecode);
    EXPECT_EQ(Decoded(copy), data);
}

TEST_F(CCosStreamTest, CopyOfAStreamWhoseDictionaryRefersToItTerminates) {
    const CosObj source = MakeStream("self");
    gCosHFT->dictPut(gCosHFT->streamDict(source), gAtomParent, source);
    const CosObj copy = CCosObj(doc(), source).Copy(false);
    CCosStream wrapper(doc(), copy);
    EXPECT_TRUE(gCosHFT->objEqual(wrapper.GetAttributesDict()->GetValue(gAtomParent, true), copy));
    EXPECT_EQ(Decoded(copy), "self");
}

TEST_F(CCosStreamTest, CreateStreamFailureShowsTheHostTextAndThrowsStreamError) {
    // ASCII85 is a filter the host cannot encode.
    const CosObj attributes = gCosHFT->newDict(doc(), false, 1);
    gCosHFT->dictPut(attributes, gAtomFilter, gCosHFT->newName(doc(), false, gAtomASCII85Decode));
    CASStream source("abc", 3);
    EXPECT_EQ(CodeOf([&] { CCosStream stream(doc(), source, -1, 1, attributes, CosNullObj(), -1); }),
              kErrStream);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_FALSE(alerts[0].empty());
    EXPECT_TRUE(HasErrorMessage());
}

TEST_F(CCosStreamTest, WrappingADictionaryFailsItsAssertion) {
    const CosObj dict = gCosHFT->newDict(doc(), false, 0);
    EXPECT_EQ(CodeOf([&] { CCosStream stream(doc(), dict); }), kErrAssertion);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("'CosObjGetType(inStream) == CosStream'"), std::string::npos);
}

TEST_F(CCosStreamTest, DumpOf24BytesPrintsTwoDataLines) {
    const std::string data = "ABCDEFGHIJKLMNOPQRSTUV\x01Z";
    const std::string text = DumpData(MakeStream(data));
    const std::string first =
        "4142 4344 4546 4748 494A 4B4C 4D4E 4F50 5152 5354 5556 ABCDEFGHIJKLMNOPQRSTUV\n";
    const std::string second = "015A " + std::string(50, ' ') + ".Z\n";
    EXPECT_EQ(text, first + second);
}

TEST_F(CCosStreamTest, DumpShowsAnOddLastByteInTheHexPart) {
    const std::string text = DumpData(MakeStream("abc"));
    EXPECT_EQ(text, "6162 63   " + std::string(45, ' ') + "abc\n");
}

TEST_F(CCosStreamTest, DumpStartsWithTheDictionary) {
    FILE* file = std::tmpfile();
    CCosStream(doc(), MakeStream("", true)).Dump(file);
    std::string text(static_cast<size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_EQ(text.rfind("CosStream\nAttributes Dict\n<<\n", 0), 0u);
    EXPECT_NE(text.find("Filter : /FlateDecode\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 17), "---BEGIN DATA---\n");
}

TEST_F(CCosStreamTest, WriteDataToFileWritesTheBytesUnchanged) {
    const std::string data("line\r\nnext\nzero\0end\x1a", 20);
    const std::string path = qmtest::MakeTempFolder("qm-stream-") + "/data.bin";
    CCosStream(doc(), MakeStream(data, true)).WriteDataToFile(path.c_str());
    EXPECT_EQ(Contents(path), data);
}

TEST_F(CCosStreamTest, WriteDataToFileReplacesAnOldFileWhole) {
    const std::string path = qmtest::MakeTempFolder("qm-stream-") + "/data.bin";
    std::ofstream(path) << std::string(100, 'o');
    CCosStream(doc(), MakeStream("new")).WriteDataToFile(path.c_str());
    EXPECT_EQ(Contents(path), "new");
}

TEST_F(CCosStreamTest, WriteDataToFileReportsAFolderThatCannotBeWritten) {
    const std::string path = qmtest::MakeTempFolder("qm-stream-") + "/no/such/folder/data.bin";
    CCosStream wrapper(doc(), MakeStream("x"));
    EXPECT_EQ(CodeOf([&] { wrapper.WriteDataToFile(path.c_str()); }), kErrOpenFile);
    EXPECT_NE(std::string(GetErrorMessage()).find(path), std::string::npos);
    EXPECT_FALSE(wrapper.GetStream().IsOpen());
}

}  // namespace
