// CASStream: the openers, reading and writing, and closing by the holder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ThrownErrorCode.h"
#include "common/PluginFixture.h"
#include "support/cos/CASStream.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/Streams.h"

namespace {

using qmtest::CodeOf;

std::string ReadAll(CASStream& stream) {
    std::string data;
    char piece[7];
    for (int32_t got; (got = stream.Read(piece, 1, sizeof piece)) > 0;) data.append(piece, static_cast<size_t>(got));
    return data;
}

// Serves a text in pieces of at most three bytes.
struct Source {
    std::string text;
    size_t at = 0;
    int calls = 0;
};

int32_t ReadPieces(char* buffer, int32_t size, void* clientData) {
    auto* source = static_cast<Source*>(clientData);
    ++source->calls;
    const size_t n = std::min<size_t>({static_cast<size_t>(size), 3, source->text.size() - source->at});
    std::memcpy(buffer, source->text.data() + source->at, n);
    source->at += n;
    return static_cast<int32_t>(n);
}

class CASStreamTest : public testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        qmtest::TakeAlerts();
        mOpenStreams = qmhost::openStreamCount();
    }
    void TearDown() override { EXPECT_EQ(qmhost::openStreamCount(), mOpenStreams) << "a stream leaked"; }
    size_t mOpenStreams = 0;
};

TEST_F(CASStreamTest, MemoryStreamReadsItsData) {
    CASStream stream("hello, world", 12);
    EXPECT_TRUE(stream.IsOpen());
    EXPECT_EQ(ReadAll(stream), "hello, world");
}

TEST_F(CASStreamTest, ProcStreamPullsThroughTheProcedure) {
    Source source{"pulled through the procedure"};
    CASStream stream;
    stream.OpenProcStream(ReadPieces, &source);
    EXPECT_EQ(ReadAll(stream), source.text);
    EXPECT_GT(source.calls, 1);
}

TEST_F(CASStreamTest, FileStreamWritesAndReadsBack) {
    const std::string path = qmtest::MakeTempFolder("qm-asstm-") + "/f.bin";
    ASPathName name = gAppSupportHFT->pathFromText(path.c_str());
    {
        CASStream out(name, kASStmWrite);
        EXPECT_EQ(out.Write("abc\0d", 1, 5), 5);
        out.Close();
    }
    CASStream in(name, kASStmRead);
    EXPECT_EQ(ReadAll(in), std::string("abc\0d", 5));
    in.Close();
    gAppSupportHFT->releasePath(name);
}

TEST_F(CASStreamTest, OpenerFailureThrowsStreamErrorWithTheHostText) {
    ClearErrorMessage();
    ASPathName name = gAppSupportHFT->pathFromText("/no/such/folder/f.bin");
    EXPECT_EQ(CodeOf([&] { CASStream stream(name, kASStmRead); }), kErrStream);
    EXPECT_NE(std::string(GetErrorMessage()).find("/no/such/folder/f.bin"), std::string::npos);
    gAppSupportHFT->releasePath(name);
}

TEST_F(CASStreamTest, ReadAndWriteOfAClosedStreamFailTheAssertion) {
    CASStream stream;
    char buffer[4];
    EXPECT_EQ(CodeOf([&] { stream.Read(buffer, 1, 4); }), kErrAssertion);
    EXPECT_EQ(CodeOf([&] { stream.Write(buffer, 1, 4); }), kErrAssertion);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_NE(alerts[0].find("'mStream != NULL'"), std::string::npos);
}

TEST_F(CASStreamTest, DestructorAndAttachCloseTheStreamHeld) {
    {
        CASStream stream("a", 1);
        EXPECT_EQ(qmhost::openStreamCount(), mOpenStreams + 1);
        stream.Attach(gAppSupportHFT->memStmOpen("b", 1));  // closes "a"
        EXPECT_EQ(qmhost::openStreamCount(), mOpenStreams + 1);
        EXPECT_EQ(ReadAll(stream), "b");
    }
    EXPECT_EQ(qmhost::openStreamCount(), mOpenStreams);
}

TEST_F(CASStreamTest, CloseTwiceAndDetachLeaveNothingOpen) {
    CASStream stream("a", 1);
    stream.Close();
    stream.Close();
    EXPECT_FALSE(stream.IsOpen());
    CASStream other("b", 1);
    const ASStm handle = other.Detach();
    EXPECT_FALSE(other.IsOpen());
    gAppSupportHFT->stmClose(handle);
}

TEST_F(CASStreamTest, MoveHandsTheStreamOver) {
    CASStream first("moved", 5);
    CASStream second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    EXPECT_EQ(ReadAll(second), "moved");
}

}  // namespace
