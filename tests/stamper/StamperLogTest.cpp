// The plug-in's log: written only with 'EnLo' on, a header in front of a new
// file, bare entry lines, the date line, and failures that never stop a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "stamper/CStamperLog.h"
#include "stamper/CStamperPreferences.h"
#include "support/io/ModulePaths.h"

namespace {

using qmtest::readAll;

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

std::tm FixedTime() {
    std::tm time{};
    time.tm_year = 124;
    time.tm_mon = 0;
    time.tm_mday = 2;
    time.tm_hour = 13;
    time.tm_min = 4;
    time.tm_sec = 5;
    return time;
}

const std::string kRule(74, '=');
const std::string kHeader = kRule + "\nQuillmark3.0 记录\n" + kRule + "\n";

class StamperLogTest : public testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        qmtest::TakeAlerts();
        qmtest::TakeWarnings();
        mFolder = qmtest::MakeTempFolder("qm-stamperlog-");
        mPath = mFolder + "/Quillmark.txt";
        mLog.SetPreferences(&mPreferences);
        mLog.SetFile(TFileSpecifier(mPath.c_str()));
        mLog.SetClock(FixedTime);
    }
    void TearDown() override { CStamperLog::SetViewer(nullptr); }
    std::string mFolder;
    std::string mPath;
    CStamperPreferences mPreferences;
    CStamperLog mLog;
};

TEST_F(StamperLogTest, WithLoggingOffNoFileIsMadeWhateverIsLogged) {
    mLog.Printf("%s", "entry");
    mLog.WriteDateLine();
    EXPECT_FALSE(Exists(mPath));
    EXPECT_FALSE(mLog.Exists());
    EXPECT_FALSE(mLog.IsEnabled());
}

TEST_F(StamperLogTest, FirstEntryBringsTheHeaderAndLaterEntriesOneLineEach) {
    mPreferences.SetEnableLogging(true);
    mLog.Printf("%s", "");
    mLog.Printf("正在处理描述文件：  %s", "Profile");
    mLog.Printf("%s", "last");
    EXPECT_EQ(readAll(mPath), kHeader + "\n正在处理描述文件：  Profile\nlast\n");
}

TEST_F(StamperLogTest, DateLineIsTheLabelAndTheCLocaleTime) {
    mPreferences.SetEnableLogging(true);
    mLog.Printf("%s", kRule.c_str());
    mLog.WriteDateLine();
    EXPECT_EQ(readAll(mPath), kHeader + kRule + "\n信息：       01/02/24 13:04:05\n");
}

TEST_F(StamperLogTest, DateLineOnAMissingFileCreatesItWithoutAHeader) {
    mPreferences.SetEnableLogging(true);
    mLog.WriteDateLine();
    EXPECT_EQ(readAll(mPath), "信息：       01/02/24 13:04:05\n");
}

TEST_F(StamperLogTest, ClearDeletesTheFileAndTheNextEntryStartsWithTheHeader) {
    mPreferences.SetEnableLogging(true);
    mLog.Printf("one");
    ASSERT_TRUE(mLog.Exists());
    mLog.Clear();
    EXPECT_FALSE(Exists(mPath));
    mLog.Clear();  // a missing file: nothing happens
    mLog.Printf("two");
    EXPECT_EQ(readAll(mPath), kHeader + "two\n");
}

TEST_F(StamperLogTest, LoggingSwitchedOnLaterStartsTheFileThen) {
    mLog.Printf("not written");
    mPreferences.SetEnableLogging(true);
    mLog.Printf("written");
    EXPECT_EQ(readAll(mPath), kHeader + "written\n");
}

TEST_F(StamperLogTest, LogThatCannotBeWrittenIsReportedOnceAndDoesNotThrow) {
    mPreferences.SetEnableLogging(true);
    const std::string path = mFolder + "/missing/Quillmark.txt";
    mLog.SetFile(TFileSpecifier(path.c_str()));
    EXPECT_NO_THROW(mLog.Printf("%s", "one"));
    EXPECT_NO_THROW(mLog.WriteDateLine());
    EXPECT_NO_THROW(mLog.Printf("%s", "two"));
    // A warning: the run that logs goes on and does not fail for it.
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
    const std::vector<std::string> alerts = qmtest::TakeWarnings();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find(path), std::string::npos);
    // Another file is another failure to report.
    mLog.SetFile(TFileSpecifier((mFolder + "/gone/Quillmark.txt").c_str()));
    mLog.Printf("three");
    EXPECT_EQ(qmtest::TakeWarnings().size(), 1u);
}

// A folder of the log's name is no log: the log items (enabled while it
// exists) are off, Clear leaves it, and writing warns once.
TEST_F(StamperLogTest, FolderInThePlaceOfTheLogIsNoLog) {
    ASSERT_TRUE(std::filesystem::create_directory(mPath));
    EXPECT_FALSE(mLog.Exists());
    mLog.Clear();
    EXPECT_TRUE(std::filesystem::is_directory(mPath));
    mPreferences.SetEnableLogging(true);
    mLog.Printf("%s", "one");
    mLog.Printf("%s", "two");
    const std::vector<std::string> warnings = qmtest::TakeWarnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find(mPath), std::string::npos) << warnings[0];
}

TEST_F(StamperLogTest, FileNameWithPercentSignsIsReportedLiterally) {
    mPreferences.SetEnableLogging(true);
    const std::string path = mFolder + "/%s%n/Quillmark.txt";
    mLog.SetFile(TFileSpecifier(path.c_str()));
    mLog.Printf("x");
    const std::vector<std::string> alerts = qmtest::TakeWarnings();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("/%s%n/"), std::string::npos);
}

TEST_F(StamperLogTest, EntryLongerThan4095BytesIsCutOnACharacterBoundary) {
    mPreferences.SetEnableLogging(true);
    std::string text = "a";
    for (int i = 0; i < 2000; ++i) text += "印";
    mLog.Printf("%s", text.c_str());
    // "a" and 1364 three-byte characters fit into 4095 bytes.
    EXPECT_EQ(readAll(mPath), kHeader + text.substr(0, 1 + 1364 * 3) + "\n");
}

TEST_F(StamperLogTest, LoggingFollowsTheInstalledPreferencesByDefault) {
    CStamperPreferences installed;
    installed.SetEnableLogging(true);
    mLog.SetPreferences(nullptr);
    EXPECT_FALSE(mLog.IsEnabled());  // nothing installed: off
    SetStamperPreferences(&installed);
    EXPECT_TRUE(mLog.IsEnabled());
    mLog.Printf("via the installed preferences");
    SetStamperPreferences(nullptr);
    EXPECT_EQ(readAll(mPath), kHeader + "via the installed preferences\n");
}

TEST_F(StamperLogTest, ViewShowsAnExistingFileOnly) {
    std::vector<std::string> shown;
    CStamperLog::SetViewer([&](const std::string& path) { shown.push_back(path); });
    mLog.View();
    EXPECT_TRUE(shown.empty());
    mPreferences.SetEnableLogging(true);
    mLog.Printf("x");
    mLog.View();
    EXPECT_EQ(shown, std::vector<std::string>{mPath});
}

TEST(StamperLog, ThePlugInHasOneLog) {
    EXPECT_EQ(&GetStamperLog(), &GetStamperLog());
}

}  // namespace
