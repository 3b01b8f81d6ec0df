// The command line's settings and the plug-in's preferences are one table: for
// every preference the plug-in defines, `quillmark prefs` knows the tag, shows
// the plug-in's default, reads what the plug-in wrote and writes what the
// plug-in reads. A tag added on one side only, or a default or type that drifts,
// fails here.
#include <filesystem>
#include <string>
#include <vector>

#include "CommandLineFixture.h"
#include "stamper/CStamperPreferences.h"
#include "support/io/ModulePaths.h"
#include "support/prefs/PreferenceSetters.h"
#include "support/prefs/PreferenceTagTypes.h"

namespace {

using clitest::CommandLineTest;

struct PluginSetting {
    uint32_t id;
    bool isBool;
    int32_t (*get)(CStamperPreferences&);
    void (*set)(CStamperPreferences&, int32_t);
    int32_t pluginValue;  // what the plug-in writes
    int32_t cliValue;     // what the command line writes
};

std::string TagOf(uint32_t id) {
    return {char(id >> 24), char((id >> 16) & 0xFF), char((id >> 8) & 0xFF), char(id & 0xFF)};
}

std::string Text(const PluginSetting& setting, int32_t value) {
    return setting.isBool ? (value ? "true" : "false") : std::to_string(value);
}

// Every preference of the plug-in, through its own getters and setters.
const std::vector<PluginSetting>& PluginSettings() {
    static const std::vector<PluginSetting> settings = {
        {kPrefWriteToNewFile, true, [](CStamperPreferences& p) { return int32_t(p.GetWriteToNewFile()); },
         [](CStamperPreferences& p, int32_t v) { p.SetWriteToNewFile(v != 0); }, 1, 0},
        {kPrefEnableLogging, true, [](CStamperPreferences& p) { return int32_t(p.GetEnableLogging()); },
         [](CStamperPreferences& p, int32_t v) { p.SetEnableLogging(v != 0); }, 1, 0},
        {kPrefIgnorePageRotation, true, [](CStamperPreferences& p) { return int32_t(p.GetIgnorePageRotation()); },
         [](CStamperPreferences& p, int32_t v) { p.SetIgnorePageRotation(v != 0); }, 1, 0},
        {kPrefBatesFixedLength, false, [](CStamperPreferences& p) { return p.GetBatesFixedLength(); },
         [](CStamperPreferences& p, int32_t v) { p.SetBatesFixedLength(v); }, 11, 40},
        {kPrefUseRomanNumerals, false, [](CStamperPreferences& p) { return p.GetUseRomanNumerals(); },
         [](CStamperPreferences& p, int32_t v) { p.SetUseRomanNumerals(v); }, 2, 1},
        {kPrefShowPreview, true, [](CStamperPreferences& p) { return int32_t(p.GetShowPreview()); },
         [](CStamperPreferences& p, int32_t v) { p.SetShowPreview(v != 0); }, 1, 0},
        {kPrefPreviewPageNumber, false, [](CStamperPreferences& p) { return p.GetPreviewPageNumber(); },
         [](CStamperPreferences& p, int32_t v) { p.SetPreviewPageNumber(v); }, 7, 3},
    };
    return settings;
}

class CommandLinePrefsDrift : public CommandLineTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(Plugins());
        ASSERT_TRUE(SetPlugInDataFolder(Plugins().c_str()));
        UnregisterPrefTagTypes();
        RegisterPreferenceTagTypes();
    }
    void TearDown() override { SetPlugInDataFolder(""); }
};

TEST_F(CommandLinePrefsDrift, BothSidesKnowTheSameSettingsWithTheSameDefaults) {
    // The defaults: a fresh plug-in store (whose getters add them) and the
    // command line without a file.
    std::string pluginDefaults;
    CStamperPreferences fresh;
    for (const PluginSetting& setting : PluginSettings())
        pluginDefaults += TagOf(setting.id) + " " + Text(setting, setting.get(fresh)) + "\n";
    EXPECT_EQ(Cli("prefs get").output, pluginDefaults) << "the same tags, in the same order, with the same defaults";
}

TEST_F(CommandLinePrefsDrift, WhatOneSideWritesTheOtherReads) {
    {
        CStamperPreferences written;
        for (const PluginSetting& setting : PluginSettings()) setting.set(written, setting.pluginValue);
        ASSERT_TRUE(written.WriteFile()) << written.GetLastProblem();
    }
    for (const PluginSetting& setting : PluginSettings()) {
        const std::string tag = TagOf(setting.id);
        EXPECT_EQ(Cli("prefs get " + tag).output, Text(setting, setting.pluginValue) + "\n") << tag;
        const auto run = Cli("prefs set " + tag + " " + Text(setting, setting.cliValue));
        EXPECT_EQ(run.status, 0) << tag << ": " << run.output;
    }
    CStamperPreferences read;
    ASSERT_TRUE(read.ReadFile(true)) << read.GetLastProblem();
    for (const PluginSetting& setting : PluginSettings())
        EXPECT_EQ(setting.get(read), setting.cliValue) << TagOf(setting.id) << " as the plug-in reads it";
}

}  // namespace
