// The plug-in's preferences: file location, defaults that appear on first
// read, typed getters and setters, and the file they write.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "stamper/CStamperPreferences.h"
#include "support/prefs/CPreferencesValueTags.h"
#include "support/io/ModulePaths.h"
#include "support/prefs/PreferenceSetters.h"
#include "support/prefs/PreferenceTagTypes.h"

namespace {

using qmtest::readAll;

class StamperPreferencesTest : public testing::Test {
protected:
    void SetUp() override {
        mFolder = qmtest::MakeTempFolder("qm-stamperprefs-");
        ASSERT_TRUE(SetPlugInDataFolder(mFolder.c_str()));
        UnregisterPrefTagTypes();
        RegisterPreferenceTagTypes();
    }
    void TearDown() override { SetPlugInDataFolder(""); }
    std::string FilePath() const { return mFolder + "/Quillmark.pfs"; }
    std::string mFolder;
};

TEST_F(StamperPreferencesTest, PathIsTheDataFolderAndQuillmarkPfs) {
    CStamperPreferences preferences;
    EXPECT_EQ(preferences.GetPath(), FilePath());
    EXPECT_EQ(preferences.GetTagCount(), 0);  // reads nothing
}

TEST_F(StamperPreferencesTest, WithoutADataFolderThePathIsEmpty) {
    SetPlugInDataFolder("");
    CStamperPreferences preferences;
    EXPECT_STREQ(preferences.GetPath(), "");
    EXPECT_FALSE(preferences.WriteFile());
}

TEST_F(StamperPreferencesTest, WithoutAFileBatesLengthIsSixRomanIsZeroAndBothAreThenStored) {
    CStamperPreferences preferences;
    ASSERT_TRUE(preferences.ReadFile(false));
    EXPECT_EQ(preferences.GetBatesFixedLength(), 6);
    EXPECT_EQ(preferences.GetUseRomanNumerals(), 0);
    EXPECT_EQ(preferences.GetTagCount(), 2);
    EXPECT_NE(dynamic_cast<CPreferencesLongTag*>(preferences.GetTag(kPrefBatesFixedLength)), nullptr);
    EXPECT_NE(dynamic_cast<CPreferencesLongTag*>(preferences.GetTag(kPrefUseRomanNumerals)), nullptr);
    EXPECT_TRUE(preferences.IsModified());
}

TEST_F(StamperPreferencesTest, BatesLengthStoredAsABooleanReadsSixAndBecomesALong) {
    CStamperPreferences preferences;
    SetBooleanPreference(preferences, kPrefBatesFixedLength, true);
    ASSERT_TRUE(preferences.WriteFile());
    CStamperPreferences read;
    ASSERT_TRUE(read.ReadFile(false));
    EXPECT_EQ(read.GetBatesFixedLength(), 6);
    EXPECT_NE(dynamic_cast<CPreferencesLongTag*>(read.GetTag(kPrefBatesFixedLength)), nullptr);
    read.SetBatesFixedLength(12);
    EXPECT_EQ(read.GetBatesFixedLength(), 12);
    EXPECT_EQ(read.GetTagCount(), 1);
}

// One row per setting: its id, its default, a value other than the default,
// and the getter and setter that reach it.
struct SettingRow {
    const char* name;
    uint32_t id;
    bool isLong;
    int32_t defaultValue;
    int32_t otherValue;
    std::function<int32_t(CStamperPreferences&)> get;
    std::function<void(CStamperPreferences&, int32_t)> set;
};
void PrintTo(const SettingRow& row, std::ostream* os) { *os << row.name; }

#define QM_BOOL_SETTING(Name, id)                                               \
    SettingRow{#Name, id, false, 0, 1,                                          \
               [](CStamperPreferences& p) { return p.Get##Name() ? 1 : 0; },     \
               [](CStamperPreferences& p, int32_t v) { p.Set##Name(v != 0); }}
#define QM_LONG_SETTING(Name, id, fallback, other)                             \
    SettingRow{#Name, id, true, fallback, other,                               \
               [](CStamperPreferences& p) { return p.Get##Name(); },           \
               [](CStamperPreferences& p, int32_t v) { p.Set##Name(v); }}

const SettingRow kSettings[] = {
    QM_BOOL_SETTING(WriteToNewFile, FourCharCode("WTNF")),
    QM_BOOL_SETTING(EnableLogging, FourCharCode("EnLo")),
    QM_BOOL_SETTING(IgnorePageRotation, FourCharCode("IPRo")),
    QM_LONG_SETTING(BatesFixedLength, FourCharCode("BFLe"), 6, 40),
    QM_LONG_SETTING(UseRomanNumerals, FourCharCode("URNu"), 0, 2),
    QM_BOOL_SETTING(ShowPreview, FourCharCode("PrPr")),
    QM_LONG_SETTING(PreviewPageNumber, FourCharCode("PPNu"), 0, 17),
};

class StamperSetting : public StamperPreferencesTest, public testing::WithParamInterface<SettingRow> {};

TEST_P(StamperSetting, MissingSettingAnswersItsDefaultAndStoresItInItsClass) {
    const SettingRow& row = GetParam();
    CStamperPreferences preferences;
    EXPECT_EQ(row.get(preferences), row.defaultValue);
    CPreferencesTag* tag = preferences.GetTag(row.id);
    ASSERT_NE(tag, nullptr);
    if (row.isLong)
        EXPECT_EQ(dynamic_cast<CPreferencesLongTag*>(tag)->GetValue(), row.defaultValue);
    else
        EXPECT_EQ(dynamic_cast<CPreferencesBooleanTag*>(tag)->GetValue(), row.defaultValue != 0);
}

TEST_P(StamperSetting, MistypedSettingAnswersItsDefault) {
    const SettingRow& row = GetParam();
    CStamperPreferences preferences;
    SetStringPreference(preferences, row.id, "wrong class");
    EXPECT_EQ(row.get(preferences), row.defaultValue);
    EXPECT_EQ(preferences.GetTagCount(), 1);
}

TEST_P(StamperSetting, SetValueSurvivesTheFile) {
    const SettingRow& row = GetParam();
    CStamperPreferences preferences;
    row.set(preferences, row.otherValue);
    EXPECT_EQ(row.get(preferences), row.otherValue);
    ASSERT_TRUE(preferences.WriteFile()) << preferences.GetLastProblem();
    CStamperPreferences read;
    ASSERT_TRUE(read.ReadFile(false)) << read.GetLastProblem();
    EXPECT_EQ(row.get(read), row.otherValue);
}

INSTANTIATE_TEST_SUITE_P(EverySetting, StamperSetting, testing::ValuesIn(kSettings),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(StamperPreferencesTest, FileOfOneSettingIsByteExact) {
    CStamperPreferences preferences;
    preferences.SetEnableLogging(true);
    ASSERT_TRUE(preferences.WriteFile());
    const std::string expected("pips" "\0\0\0\0"
                               "oLnE" "loob" "\x04\0\0\0" "\x01\0\0\0"
                               "DNE*" "kram" "\0\0\0\0",
                               36);
    EXPECT_EQ(readAll(FilePath()), expected);
}

TEST_F(StamperPreferencesTest, InstalledPreferencesAreTheGlobalOnes) {
    CStamperPreferences* const started = GetStamperPreferences();  // the started plug-in's own
    SetStamperPreferences(nullptr);
    EXPECT_EQ(GetStamperPreferences(), nullptr);
    CStamperPreferences preferences;
    SetStamperPreferences(&preferences);
    EXPECT_EQ(GetStamperPreferences(), &preferences);
    SetStamperPreferences(started);
}

}  // namespace
