// The command line's settings and the plug-in's preferences are one table: for
// every preference the plug-in defines, `quillmark prefs` knows the tag, shows
// the plug-in's default, reads what the plug-in wrote and writes what the
// plug-in reads. A tag added on one side only, or a default or type that drifts,
// fails here.
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "CommandLineFixture.h"
#include "cli/PrefsFile.h"
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

// Both readers take the same files and refuse the same files: `prefs get` on
// a file the next run reports as damaged says so (exit 1, the file named),
// instead of showing defaults without a word.
std::string Word(uint32_t value) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
    return out;
}

std::string Record(uint32_t id, const char (&type)[5], const std::string& payload) {
    return Word(id) + Word(qmcli::FourCharCode(type)) + Word(static_cast<uint32_t>(payload.size())) + payload;
}

TEST_F(CommandLinePrefsDrift, BothSidesRefuseTheSameDamagedFiles) {
    const std::string header = Word(qmcli::FourCharCode("spip")) + Word(0);
    const std::string end = Word(qmcli::FourCharCode("*END")) + Word(qmcli::FourCharCode("mark")) + Word(0);
    const std::string nested = Record(3, "long", Word(5)) + end;
    const std::string valid = header + Record(kPrefWriteToNewFile, "bool", Word(1)) +
                              Record(kPrefBatesFixedLength, "long", Word(6)) + Record(5, "strn", "hello") +
                              Record(6, "rect", std::string(16, 'r')) + Record(7, "file", "/tmp/x") +
                              Record(9, "pref", nested) + end;
    std::vector<std::string> files = {
        valid,
        header + Record(kPrefEnableLogging, "bool", Word(1)),                  // no end record
        header + Record(kPrefEnableLogging, "bool", Word(1)) + "abc",          // cut inside a record header
        header + Record(kPrefEnableLogging, "bool", "\1") + end,              // short value
        header + Record(9, "pref", Record(3, "long", Word(5))) + end,          // nested store without end
        header + Record(7, "file", std::string(5000, 'p')) + end,              // path too long
    };
    // And mutations of the valid file, as damage comes.
    std::mt19937 random(20261207);
    for (int round = 0; round < 400; ++round) {
        std::string bytes = valid;
        const size_t at = 8 + random() % (bytes.size() - 8);
        switch (random() % 3) {
            case 0: bytes[at] = static_cast<char>(random()); break;
            case 1: bytes.erase(at, 1 + random() % 8); break;
            default: bytes.insert(at, 1 + random() % 4, static_cast<char>(random())); break;
        }
        files.push_back(bytes);
    }
    const std::string path = Plugins() + "/Quillmark.pfs";
    int refused = 0, cliChecked = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        qmtest::writeBytes(path, files[i]);
        qmcli::PrefsFile cliFile;
        std::string error;
        const bool cliReads = cliFile.parse(files[i], &error);
        CStamperPreferences plugin;
        const bool pluginReads = plugin.ReadFile(true);
        ASSERT_EQ(cliReads, pluginReads) << "file " << i << ": command line: " << (cliReads ? "read" : error)
                                         << "; plug-in: " << (pluginReads ? "read" : plugin.GetLastProblem());
        refused += !cliReads;
        // The program itself, for the handmade files and some mutations.
        if (i > 5 && i % 40 != 0) continue;
        ++cliChecked;
        const auto run = CliSplit("prefs get");
        EXPECT_EQ(run.status, cliReads ? 0 : 1) << "file " << i << ": " << run.err;
        if (!cliReads) {
            EXPECT_TRUE(run.out.empty()) << "nothing misleading: " << run.out;
            EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
        }
    }
    EXPECT_GT(refused, 50) << "the mutations damage many files";
    EXPECT_LT(refused, static_cast<int>(files.size()) - 20) << "and leave some readable";
    EXPECT_GT(cliChecked, 10);
}

}  // namespace
