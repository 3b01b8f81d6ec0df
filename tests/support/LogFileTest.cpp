// The log-file base (time-stamped lines appended one by one) and the plug-in's
// module and data paths.
#include <gtest/gtest.h>

#include <fstream>
#include <locale>
#include <sstream>
#include <string>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "support/io/CLogFile.h"
#include "support/ErrorCode.h"
#include "support/io/ModulePaths.h"
#include "support/io/TFileSpecifier.h"

namespace {

using qmtest::readAll;

// 7 December 2023, 06:59:00.
std::tm FixedTime() {
    std::tm time{};
    time.tm_year = 123;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_hour = 6;
    time.tm_min = 59;
    time.tm_sec = 0;
    time.tm_wday = 4;
    time.tm_yday = 340;
    return time;
}

class LogFileTest : public testing::Test {
protected:
    void SetUp() override {
        mFolder = qmtest::MakeTempFolder("qm-log-");
        mPath = mFolder + "/test.log";
        mLog.SetFile(TFileSpecifier(mPath.c_str()));
        mLog.SetClock(FixedTime);
    }
    std::string mFolder;
    std::string mPath;
    CLogFile mLog;
};

TEST_F(LogFileTest, TwoPrintfCallsAppendTwoLinesToWhatWasThere) {
    std::ofstream(mPath, std::ios::binary) << "earlier line\n";
    mLog.Printf("first %d", 1);
    mLog.Printf("%s", "second");
    EXPECT_EQ(readAll(mPath),
              "earlier line\n"
              "12/07/23 06:59:00: first 1\n"
              "12/07/23 06:59:00: second\n");
}

TEST_F(LogFileTest, ConstructorFromAFileNamesIt) {
    CLogFile log(TFileSpecifier(mPath.c_str()));
    EXPECT_STREQ(log.GetFile().GetPath(), mPath.c_str());
}

TEST_F(LogFileTest, FileThatCannotBeOpenedThrowsMinus3AndWritesNothing) {
    const std::string path = mFolder + "/missing/test.log";
    mLog.SetFile(TFileSpecifier(path.c_str()));
    try {
        mLog.Printf("lost");
        FAIL() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrOpenFile);
    }
}

TEST_F(LogFileTest, ArgumentsAreNeverTakenAsAFormat) {
    mLog.Printf("%s", "100% %s %n");
    EXPECT_EQ(readAll(mPath), "12/07/23 06:59:00: 100% %s %n\n");
}

TEST_F(LogFileTest, LongMessageIsCutAt4095BytesOnACharacterBoundary) {
    // 2000 three-byte characters: 6000 bytes, cut to 1365 whole characters.
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "记";
    mLog.Printf("%s", text.c_str());
    const std::string prefix = "12/07/23 06:59:00: ";
    const std::string expected = prefix + text.substr(0, 1365 * 3) + "\n";
    EXPECT_EQ(readAll(mPath), expected);
}

TEST_F(LogFileTest, MessageOfExactly4095BytesIsKeptWhole) {
    const std::string text(kLogMessageLimit, 'x');
    mLog.Printf("%s", text.c_str());
    EXPECT_EQ(readAll(mPath).size(), 19u + kLogMessageLimit + 1u);
}

// A log whose owner deletes it through the base class.
class CountingLog : public CLogFile {
public:
    explicit CountingLog(int& destroyed) : mDestroyed(destroyed) {}
    ~CountingLog() override { ++mDestroyed; }

private:
    int& mDestroyed;
};

TEST(CLogFile, DeletingADerivedLogThroughTheBaseRunsItsDestructor) {
    int destroyed = 0;
    CLogFile* log = new CountingLog(destroyed);
    delete log;
    EXPECT_EQ(destroyed, 1);
}

TEST(FormatLogTime, IsTheCLocaleDateAndTime) {
    EXPECT_EQ(FormatLogTime(FixedTime()), "12/07/23 06:59:00");
    std::tm late = FixedTime();
    late.tm_hour = 23;
    late.tm_mday = 31;
    EXPECT_EQ(FormatLogTime(late), "12/31/23 23:59:00");
}

// A time facet that would show in any text formatted with the global locale.
class LoudTimePut : public std::time_put<char> {
protected:
    iter_type do_put(iter_type out, std::ios_base&, char, const std::tm*, char, char) const override {
        for (char c : std::string("LOCAL")) *out++ = c;
        return out;
    }
};

TEST(FormatLogTime, IgnoresTheProcessLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new LoudTimePut));
    const std::string text = FormatLogTime(FixedTime());
    std::locale::global(previous);
    EXPECT_EQ(text, "12/07/23 06:59:00");
}

TEST(ModulePaths, StoreCopiesOfTheTexts) {
    std::string path = "/opt/quillmark/plug_ins/Quillmark.api";
    ASSERT_TRUE(SetPlugInModulePath(path.c_str()));
    path[1] = 'X';
    EXPECT_STREQ(GetPlugInModulePath(), "/opt/quillmark/plug_ins/Quillmark.api");
    ASSERT_TRUE(SetPlugInDataFolder("/opt/quillmark/plug_ins"));
    EXPECT_STREQ(GetPlugInDataFolder(), "/opt/quillmark/plug_ins");
    EXPECT_TRUE(SetPlugInModulePath(nullptr));
    EXPECT_STREQ(GetPlugInModulePath(), "");
    SetPlugInDataFolder("");
}

TEST(ModulePaths, PathTooLongIsRefusedWholeAndTheOldOneStays) {
    ASSERT_TRUE(SetPlugInDataFolder("/data"));
    const std::string longest(kFileSpecCapacity - 1, 'a');
    const std::string tooLong(kFileSpecCapacity, 'a');
    EXPECT_FALSE(SetPlugInDataFolder(tooLong.c_str()));
    EXPECT_STREQ(GetPlugInDataFolder(), "/data");
    EXPECT_FALSE(SetPlugInModulePath(tooLong.c_str()));
    EXPECT_TRUE(SetPlugInModulePath(longest.c_str()));
    EXPECT_EQ(GetPlugInModulePath(), longest);
    SetPlugInModulePath("");
    SetPlugInDataFolder("");
}

struct JoinRow {
    const char* name;
    const char* folder;
    const char* file;
    const char* expected;
};
void PrintTo(const JoinRow& row, std::ostream* os) { *os << row.name; }

class DataFilePath : public testing::TestWithParam<JoinRow> {
protected:
    void TearDown() override { SetPlugInDataFolder(""); }
};

TEST_P(DataFilePath, JoinsTheFolderAndTheName) {
    ASSERT_TRUE(SetPlugInDataFolder(GetParam().folder));
    EXPECT_EQ(GetPlugInDataFilePath(GetParam().file), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataFilePath,
    testing::Values(JoinRow{"FolderWithoutSlash", "/a/b", "Quillmark.txt", "/a/b/Quillmark.txt"},
                    JoinRow{"FolderWithSlash", "/a/b/", "Quillmark.pfs", "/a/b/Quillmark.pfs"},
                    JoinRow{"NoFolderGivesNoPath", "", "Quillmark.pfs", ""},
                    JoinRow{"RootFolder", "/", "x", "/x"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ModulePaths, DataFilePathThatWouldBeTooLongIsEmpty) {
    const std::string folder = "/" + std::string(kFileSpecCapacity - 10, 'f');
    ASSERT_TRUE(SetPlugInDataFolder(folder.c_str()));
    EXPECT_EQ(GetPlugInDataFilePath("Quillmark.pfs"), "");
    EXPECT_EQ(GetPlugInDataFilePath("a"), folder + "/a");
    SetPlugInDataFolder("");
}

}  // namespace
