#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <ostream>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "support/io/CBridgeFileStream.h"
#include "support/io/CBridgeStdioFile.h"
#include "support/ErrorCode.h"

namespace {

using qmtest::readAll;

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override { mFolder = qmtest::MakeTempFolder("qm-stream-"); }
    std::string PathOf(const char* name) const { return mFolder + "/" + name; }
    // A stream on a file that holds `bytes`, opened with `flags`.
    void OpenWith(CBridgeFileStream& stream, const std::string& bytes, uint32_t flags = kStreamRead) {
        const std::string path = PathOf("data.bin");
        WriteAll(path, bytes);
        ASSERT_TRUE(stream.SetPathText(path.c_str()));
        ASSERT_TRUE(stream.Open(flags));
    }
    std::string mFolder;
};

struct OpenRow {
    const char* name;
    uint32_t flags;
    bool existsBefore;
    bool opens;
    const char* contentAfter;  // null: the file must not exist afterwards
};
void PrintTo(const OpenRow& row, std::ostream* os) { *os << row.name; }

class CBridgeFileStreamOpen : public FileStreamTest, public ::testing::WithParamInterface<OpenRow> {};

TEST_P(CBridgeFileStreamOpen, CreatesKeepsOrTruncatesAsTheFlagsSay) {
    const OpenRow& row = GetParam();
    const std::string path = PathOf("file.bin");
    if (row.existsBefore) WriteAll(path, "old contents");
    CBridgeFileStream stream(TFileSpecifier(path.c_str()));
    EXPECT_EQ(stream.Open(row.flags), row.opens);
    EXPECT_EQ(stream.IsOpen(), row.opens);
    stream.Close();
    if (row.contentAfter)
        EXPECT_EQ(readAll(path), row.contentAfter);
    else
        EXPECT_FALSE(Exists(path));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CBridgeFileStreamOpen,
    ::testing::Values(OpenRow{"ReadOnlyOpensAnExistingFile", 0, true, true, "old contents"},
                      OpenRow{"ReadOnlyFailsOnAMissingFile", 0, false, false, nullptr},
                      OpenRow{"ReadExistingFailsOnAMissingFile", 1, false, false, nullptr},
                      OpenRow{"WriteWithoutCreateFailsOnAMissingFile", 2, false, false, nullptr},
                      OpenRow{"WriteWithoutCreateKeepsContents", 2, true, true, "old contents"},
                      OpenRow{"CreateTruncateMakesAMissingFile", 14, false, true, ""},
                      OpenRow{"CreateTruncateEmptiesAnExistingFile", 14, true, true, ""},
                      OpenRow{"CreateKeepMakesAMissingFile", 6, false, true, ""},
                      OpenRow{"CreateKeepKeepsAnExistingFile", 6, true, true, "old contents"},
                      OpenRow{"TruncateWinsOverCreate", 12, true, true, ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(FileStreamTest, AFolderDoesNotOpen) {
    CBridgeFileStream stream(TFileSpecifier(mFolder.c_str()));
    EXPECT_FALSE(stream.Open(kStreamRead));
    EXPECT_FALSE(stream.IsOpen());
}

TEST_F(FileStreamTest, ReadOnlyStreamRefusesWritesWithOpenFileError) {
    CBridgeFileStream stream;
    OpenWith(stream, "abc", kStreamRead);
    try {
        stream.Write("x", 1);
        ADD_FAILURE() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrOpenFile);
    }
    EXPECT_EQ(readAll(PathOf("data.bin")), "abc");
}

TEST_F(FileStreamTest, AccessFollowsTheReadAndWriteBits) {
    CBridgeFileStream stream;
    OpenWith(stream, "abcdef", kStreamRead | kStreamWrite);
    char buffer[3] = {};
    EXPECT_EQ(stream.Read(buffer, 2), 2u);
    EXPECT_EQ(stream.Write("XY", 2), 2u);
    ASSERT_TRUE(stream.Open(kStreamWrite));  // reopening closes the first descriptor
    EXPECT_EQ(stream.Read(buffer, 2), 0u);
    EXPECT_EQ(stream.Write("Q", 1), 1u);
    stream.Close();
    EXPECT_EQ(readAll(PathOf("data.bin")), "QbXYef");
}

TEST_F(FileStreamTest, ClosedStreamReadsNothingAndRefusesWrites) {
    CBridgeFileStream stream;
    char buffer[4];
    EXPECT_EQ(stream.Read(buffer, 4), 0u);
    EXPECT_THROW(stream.Write("x", 1), ErrorCode);
    EXPECT_THROW(stream.SetLength(3), ErrorCode);
    EXPECT_EQ(stream.Seek(kSeekFromBeginning, 0), -1);
    EXPECT_EQ(stream.GetLength(), 0u);
    EXPECT_EQ(stream.GetHandle(), -1);
}

struct SeekRow {
    const char* name;
    int32_t origin;
    int64_t offset;
    int64_t expected;  // from position 5 of a 10-byte file
};
void PrintTo(const SeekRow& row, std::ostream* os) { *os << row.name; }

class CBridgeFileStreamSeek : public FileStreamTest, public ::testing::WithParamInterface<SeekRow> {};

TEST_P(CBridgeFileStreamSeek, CountsFromTheOriginItNames) {
    CBridgeFileStream stream;
    OpenWith(stream, "0123456789");
    ASSERT_EQ(stream.Seek(kSeekFromBeginning, 5), 5);
    EXPECT_EQ(stream.Seek(GetParam().origin, GetParam().offset), GetParam().expected);
    EXPECT_EQ(stream.GetPosition(), static_cast<uint64_t>(GetParam().expected < 0 ? 5 : GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CBridgeFileStreamSeek,
    ::testing::Values(SeekRow{"OneZeroGoesToTheStart", 1, 0, 0},
                      SeekRow{"ZeroMinusFourMovesBackFour", 0, -4, 1},
                      SeekRow{"TwoZeroGoesToTheEnd", 2, 0, 10},
                      SeekRow{"TwoMinusThreeCountsFromTheEnd", 2, -3, 7},
                      SeekRow{"UnknownOriginCountsFromTheCurrentPosition", 7, 3, 8},
                      SeekRow{"BeforeTheStartIsRefused", 1, -1, -1},
                      SeekRow{"BackBeyondTheStartIsRefused", 0, -6, -1}),
    [](const auto& row) { return std::string(row.param.name); });

struct ReadLineRow {
    const char* name;
    std::string bytes;
    int32_t maximum;
    int32_t length;
    std::string line;
    std::string rest;  // what a read after the line gets
};
void PrintTo(const ReadLineRow& row, std::ostream* os) { *os << row.name; }

class CBridgeStreamReadLine : public FileStreamTest,
                              public ::testing::WithParamInterface<ReadLineRow> {};

TEST_P(CBridgeStreamReadLine, ReadsOneLineWithItsEnding) {
    const ReadLineRow& row = GetParam();
    CBridgeFileStream stream;
    OpenWith(stream, row.bytes);
    // Stale line ends beyond what is read must not count.
    char buffer[64];
    std::memset(buffer, '\n', sizeof buffer);
    EXPECT_EQ(stream.ReadLine(buffer, row.maximum), row.length);
    EXPECT_EQ(std::string(buffer), row.line);
    char rest[64] = {};
    EXPECT_EQ(std::string(rest, stream.Read(rest, sizeof rest)), row.rest);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CBridgeStreamReadLine,
    ::testing::Values(ReadLineRow{"CrLfEndsAfterTheLf", "ab\r\ncd", 20, 4, "ab\r\n", "cd"},
                      ReadLineRow{"LoneLfEndsAfterItself", "ab\ncd", 20, 3, "ab\n", "cd"},
                      ReadLineRow{"LoneCrEndsAfterItself", "ab\rcd", 20, 3, "ab\r", "cd"},
                      ReadLineRow{"NoEndingTakesEverything", "abc", 20, 3, "abc", ""},
                      ReadLineRow{"EmptyStreamGivesEmptyText", "", 20, 0, "", ""},
                      ReadLineRow{"MaximumCutsALongLine", "abcdef\n", 4, 4, "abcd", "ef\n"},
                      ReadLineRow{"CrLfSplitByTheMaximumIsALoneCr", "ab\r\ncd", 3, 3, "ab\r",
                                  "\ncd"},
                      ReadLineRow{"LfFirstGivesAnEmptyLine", "\nab", 20, 1, "\n", "ab"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(FileStreamTest, ReadLineBelowOneReadsNothing) {
    CBridgeFileStream stream;
    OpenWith(stream, "abc");
    char buffer[4] = {'Q', 0, 0, 0};
    EXPECT_EQ(stream.ReadLine(buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'Q');
    EXPECT_EQ(stream.GetPosition(), 0u);
}

TEST_F(FileStreamTest, ReadLineWalksThroughEveryLine) {
    CBridgeFileStream stream;
    OpenWith(stream, "one\r\ntwo\nthree");
    char buffer[32];
    std::string lines;
    while (int32_t n = stream.ReadLine(buffer, 31)) lines += std::to_string(n) + ":" + buffer + "|";
    EXPECT_EQ(lines, "5:one\r\n|4:two\n|5:three|");
}

TEST_F(FileStreamTest, WriteStringOfAnEmptyTextWritesNothing) {
    CBridgeFileStream stream;
    OpenWith(stream, "", 14);
    EXPECT_EQ(stream.WriteString(""), 0u);
    EXPECT_EQ(stream.WriteString("hello"), 5u);
    EXPECT_EQ(stream.GetLength(), 5u);
    stream.Close();
    EXPECT_EQ(readAll(PathOf("data.bin")), "hello");  // no terminating NUL
}

TEST_F(FileStreamTest, SetLengthCutsAndExtends) {
    CBridgeFileStream stream;
    OpenWith(stream, "abcdef", 3);
    stream.SetLength(2);
    EXPECT_EQ(stream.GetLength(), 2u);
    stream.SetLength(4);
    stream.Close();
    EXPECT_EQ(readAll(PathOf("data.bin")), std::string("ab\0\0", 4));
}

TEST_F(FileStreamTest, HandleIsTheRealDescriptorOfTheOpenFile) {
    CBridgeFileStream stream;
    OpenWith(stream, "abcd");
    const int fd = stream.GetHandle();
    ASSERT_GE(fd, 0);
    struct stat st;
    ASSERT_EQ(::fstat(fd, &st), 0);
    EXPECT_EQ(st.st_size, 4);
    stream.Close();
    EXPECT_EQ(stream.GetHandle(), -1);
    EXPECT_FALSE(stream.IsOpen());
}

TEST_F(FileStreamTest, DestructorClosesTheFile) {
    int fd = -1;
    {
        CBridgeFileStream stream;
        OpenWith(stream, "abcd");
        fd = stream.GetHandle();
    }
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
}

TEST_F(FileStreamTest, DeleteOfAMissingFileFails) {
    CBridgeFileStream stream(TFileSpecifier(PathOf("missing").c_str()));
    EXPECT_FALSE(stream.Exists());
    EXPECT_FALSE(stream.Delete());
}

TEST_F(FileStreamTest, ExistsAfterDeleteIsFalseAndThePathStays) {
    const std::string path = PathOf("gone.bin");
    WriteAll(path, "x");
    CBridgeFileStream stream;
    stream.SetFile(TFileSpecifier(path.c_str()));
    EXPECT_TRUE(stream.Exists());
    EXPECT_TRUE(stream.Delete());
    EXPECT_FALSE(stream.Exists());
    EXPECT_FALSE(Exists(path));
    EXPECT_STREQ(stream.GetPathText(), path.c_str());
    EXPECT_STREQ(stream.GetFilePath(), path.c_str());
}

TEST_F(FileStreamTest, SetTempFileNamesANewEmptyFileInTheTempFolder) {
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("TMPDIR", mFolder.c_str(), 1);
    CBridgeFileStream stream;
    const bool made = stream.SetTempFile("qmtemp", 0);
    if (saved)
        ::setenv("TMPDIR", savedValue.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    ASSERT_TRUE(made);
    const std::string path = stream.GetFilePath();
    EXPECT_EQ(path.rfind(mFolder + "/qmt", 0), 0u) << path;
    EXPECT_TRUE(Exists(path));
    EXPECT_TRUE(stream.Open(kStreamRead));
    EXPECT_EQ(stream.GetLength(), 0u);
}

TEST_F(FileStreamTest, SetPathTextRefusesAPathThatDoesNotFit) {
    CBridgeFileStream stream(TFileSpecifier(PathOf("a").c_str()));
    const std::string tooLong(kFileSpecCapacity, 'x');
    EXPECT_FALSE(stream.SetPathText(tooLong.c_str()));
    EXPECT_STREQ(stream.GetPathText(), "");
    EXPECT_FALSE(stream.Open(14));
}

TEST_F(FileStreamTest, StdioFileOpenWritesAndTheDestructorFlushes) {
    const std::string path = PathOf("log.txt");
    {
        CBridgeStdioFile file;
        FILE* f = file.Open(TFileSpecifier(path.c_str()), "a", true);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(file.GetFile(), f);
        std::fputs("line one\n", f);
    }
    {
        CBridgeStdioFile file;
        FILE* f = file.Open(TFileSpecifier(path.c_str()), "a", true);
        std::fputs("line two\n", f);
        EXPECT_TRUE(file.Close());
        EXPECT_EQ(file.GetFile(), nullptr);
    }
    EXPECT_EQ(readAll(path), "line one\nline two\n");
}

TEST_F(FileStreamTest, StdioFileOpenFailureThrowsOnlyWhenAsked) {
    CBridgeStdioFile file;
    const TFileSpecifier missing(PathOf("no/such/file").c_str());
    EXPECT_EQ(file.Open(missing, "r", false), nullptr);
    try {
        file.Open(missing, "r", true);
        ADD_FAILURE() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrOpenFile);
    }
}

TEST_F(FileStreamTest, StdioFileOpensThePathOfAFileStream) {
    const std::string path = PathOf("via-stream.txt");
    CBridgeFileStream stream(TFileSpecifier(path.c_str()));
    CBridgeStdioFile file;
    FILE* f = file.Open(stream, "w", false);
    ASSERT_NE(f, nullptr);
    std::fputs("x", f);
    file.Close();
    EXPECT_EQ(readAll(path), "x");
}

TEST_F(FileStreamTest, StdioFileSecondOpenClosesTheFirst) {
    const std::string first = PathOf("first.txt");
    const std::string second = PathOf("second.txt");
    CBridgeStdioFile file;
    std::fputs("one", file.Open(TFileSpecifier(first.c_str()), "w", true));
    std::fputs("two", file.Open(TFileSpecifier(second.c_str()), "w", true));
    EXPECT_EQ(readAll(first), "one");  // flushed by the close
    file.Close();
    EXPECT_EQ(readAll(second), "two");
}

}  // namespace
