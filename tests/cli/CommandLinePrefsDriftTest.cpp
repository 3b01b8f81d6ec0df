// The command line's settings and the plug-in's preferences are one table: for
// every preference the plug-in defines, `quillmark prefs` knows the tag, shows
// the plug-in's default, reads what the plug-in wrote and writes what the
// plug-in reads. A tag added on one side only, or a default or type that drifts,
// fails here. So does a tag type, payload size or header field of the file that
// one side lays out differently (CommandLinePrefsLayout below).
#include <filesystem>
#include <memory>
#include <utility>
#include <random>
#include <string>
#include <vector>

#include "CommandLineFixture.h"
#include "cli/PrefsFile.h"
#include "stamper/CStamperPreferences.h"
#include "support/io/ModulePaths.h"
#include "support/io/TFileSpecifier.h"
#include "support/prefs/CPreferencesDataTags.h"
#include "support/prefs/CPreferencesPreferencesTag.h"
#include "support/prefs/CPreferencesValueTags.h"
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

TEST_F(CommandLinePrefsDrift, BothSidesKnowTheSameSettingsAndDefaultsAndReadWhatTheOtherWrites) {
    // The defaults: a fresh plug-in store (whose getters add them) and the
    // command line without a file.
    std::string pluginDefaults;
    CStamperPreferences fresh;
    for (const PluginSetting& setting : PluginSettings())
        pluginDefaults += TagOf(setting.id) + " " + Text(setting, setting.get(fresh)) + "\n";
    EXPECT_EQ(Cli("prefs get").output, pluginDefaults) << "the same tags, in the same order, with the same defaults";
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

// A 32-bit word of the file, low byte first.
std::string Word(uint32_t value) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
    return out;
}

std::string Record(uint32_t id, const char (&type)[5], const std::string& payload) {
    return Word(id) + Word(qmcli::FourCharCode(type)) + Word(static_cast<uint32_t>(payload.size())) + payload;
}

// Whether the command line's PrefsFile takes the bytes.
bool CliReads(const std::string& bytes, std::string* error) {
    qmcli::PrefsFile cli;
    return cli.parse(bytes, error);
}

// The preferences file as both sides lay it out: for every tag type the
// plug-in registers a reader for, a record the plug-in writes is taken by the
// command line's PrefsFile with its id, type and payload and written back byte
// for byte, and what the command line writes the plug-in reads and writes
// again unchanged.
// A tag of each type the plug-in knows, with a value that is not the default.
std::unique_ptr<CPreferencesTag> SampleTag(uint32_t type, uint32_t id) {
    switch (type) {
        case kPrefTypeMark:
            return std::make_unique<CPreferencesMarkTag>(id);
        case kPrefTypeLong:
            return std::make_unique<CPreferencesLongTag>(id, -123456);
        case kPrefTypePoint:
            return std::make_unique<CPreferencesPointTag>(id, PrefPoint{7, -8});
        case kPrefTypeFile:
            return std::make_unique<CPreferencesFileTag>(id, TFileSpecifier("/tmp/a folder/b.pdf"));
        case kPrefTypeFloat:
            return std::make_unique<CPreferencesFloatTag>(id, 2.5);
        case kPrefTypeBoolean:
            return std::make_unique<CPreferencesBooleanTag>(id, true);
        case kPrefTypeRect:
            return std::make_unique<CPreferencesRectTag>(id, PrefRect{1, 2, 3, 4});
        case kPrefTypeString:
            return std::make_unique<CPreferencesStringTag>(id, "text \xC3\xBC");
        case kPrefTypePreferences: {
            auto nested = std::make_unique<CPreferences>();
            nested->AddTag(std::make_unique<CPreferencesLongTag>(3, 5));
            return std::make_unique<CPreferencesPreferencesTag>(id, std::move(nested));
        }
        default:
            return nullptr;
    }
}

// The payload of the first record of a file's bytes (after the 8-byte file
// header and the 12-byte record header, as long as the header says).
std::string FirstPayload(const std::string& bytes) {
    uint32_t size = 0;
    for (size_t i = 4; i-- > 0;) size = (size << 8) | static_cast<unsigned char>(bytes.at(16 + i));
    return bytes.substr(8 + kPrefRecordHeaderSize, size);
}

const std::string kEnd = Word(kPrefEndId) + Word(kPrefTypeMark) + Word(0);

// The layout of the file: both sides' records, sizes and header.
class CommandLinePrefsLayout : public CommandLinePrefsDrift {
protected:
    std::string PrefsPath() const { return Plugins() + "/Quillmark.pfs"; }

    // The types the plug-in reads, in the order it registered them.
    static std::vector<uint32_t> PluginTypes() {
        std::vector<uint32_t> types;
        for (int32_t i = 0; const PrefTagRegistration* registration = GetRegisteredPrefTagTypes().RegistrationAt(i);
             ++i)
            types.push_back(registration->type);
        return types;
    }

    // The file the plug-in writes holding a sample tag of the type.
    std::string PluginFileOf(uint32_t type, uint32_t id) const {
        std::unique_ptr<CPreferencesTag> tag = SampleTag(type, id);
        if (!tag) {
            ADD_FAILURE() << "a tag type no test has shown to the command line";
            return "";
        }
        CStamperPreferences store;
        store.AddTag(std::move(tag));
        EXPECT_TRUE(store.WriteFile()) << store.GetLastProblem();
        return qmtest::readBytes(PrefsPath());
    }
};

TEST_F(CommandLinePrefsLayout, EveryTagTypeCrossesBetweenBothSidesUnchanged) {
    const std::vector<uint32_t> types = PluginTypes();
    ASSERT_GE(types.size(), 9u);
    for (size_t i = 0; i < types.size(); ++i) {
        SCOPED_TRACE(FourCharCodeText(types[i]));
        const uint32_t id = 100 + static_cast<uint32_t>(i);
        const std::string bytes = PluginFileOf(types[i], id);
        ASSERT_FALSE(bytes.empty());
        qmcli::PrefsFile cli;
        std::string error;
        ASSERT_TRUE(cli.parse(bytes, &error)) << error;
        ASSERT_EQ(cli.records().size(), 1u);
        const qmcli::PrefsFile::Record& record = cli.records()[0];
        EXPECT_EQ(record.id, id);
        EXPECT_EQ(record.type, types[i]);
        EXPECT_EQ(record.payload, FirstPayload(bytes));
        EXPECT_EQ(cli.encode(), bytes) << "written back byte for byte";
        // What the command line writes the plug-in reads: written again, the file is as it was.
        ASSERT_TRUE(cli.write(PrefsPath(), &error)) << error;
        CStamperPreferences read;
        ASSERT_TRUE(read.ReadFile(true)) << read.GetLastProblem();
        ASSERT_TRUE(read.WriteFile()) << read.GetLastProblem();
        EXPECT_EQ(qmtest::readBytes(PrefsPath()), bytes);
    }
}

// Both readers take the same files and refuse the same files: handmade
// damage, mutations of a valid file, each tag type's payload cut short, and
// file headers of other signatures and versions. `prefs get` on a file the
// next run reports as damaged says so (exit 1, the file named), instead of
// showing defaults without a word.
TEST_F(CommandLinePrefsLayout, BothSidesTakeAndRefuseTheSameFiles) {
    const std::string header = Word(qmcli::FourCharCode("spip")) + Word(0);
    const std::string nested = Record(3, "long", Word(5)) + kEnd;
    const std::string valid = header + Record(kPrefWriteToNewFile, "bool", Word(1)) +
                              Record(kPrefBatesFixedLength, "long", Word(6)) + Record(5, "strn", "hello") +
                              Record(6, "rect", std::string(16, 'r')) + Record(7, "file", "/tmp/x") +
                              Record(9, "pref", nested) + kEnd;
    std::vector<std::pair<std::string, std::string>> files = {
        {"valid", valid},
        {"no end record", header + Record(kPrefEnableLogging, "bool", Word(1))},
        {"cut inside a record header", header + Record(kPrefEnableLogging, "bool", Word(1)) + "abc"},
        {"short value", header + Record(kPrefEnableLogging, "bool", "\1") + kEnd},
        {"nested store without end", header + Record(9, "pref", Record(3, "long", Word(5))) + kEnd},
        {"path too long", header + Record(7, "file", std::string(5000, 'p')) + kEnd},
    };
    // Mutations of the valid file, as damage comes.
    std::mt19937 random(20261207);
    for (int round = 0; round < 400; ++round) {
        std::string bytes = valid;
        const size_t at = 8 + random() % (bytes.size() - 8);
        switch (random() % 3) {
            case 0: bytes[at] = static_cast<char>(random()); break;
            case 1: bytes.erase(at, 1 + random() % 8); break;
            default: bytes.insert(at, 1 + random() % 4, static_cast<char>(random())); break;
        }
        files.emplace_back("mutation " + std::to_string(round), bytes);
    }
    for (const uint32_t type : PluginTypes()) {
        const std::string whole = PluginFileOf(type, 7);
        ASSERT_FALSE(whole.empty());
        const std::string payload = FirstPayload(whole);
        for (size_t size = 0; size <= payload.size(); ++size)
            files.emplace_back(FourCharCodeText(type) + " payload of " + std::to_string(size) + " bytes",
                               whole.substr(0, 8) + Word(7) + Word(type) + Word(static_cast<uint32_t>(size)) +
                                   payload.substr(0, size) + kEnd);
    }
    CStamperPreferences store;
    EXPECT_EQ(qmcli::PrefsFile::kSignature, store.GetSignature());
    const uint32_t version = store.GetVersion();
    for (const uint32_t signature : {store.GetSignature(), FourCharCode("pips"), 0u})
        for (const uint32_t fileVersion :
             {0u, version + 1, version + kPrefVersionTolerance, version + kPrefVersionTolerance + 1, 0xFFFFFFFFu})
            files.emplace_back(FourCharCodeText(signature) + " version " + std::to_string(fileVersion),
                               Word(signature) + Word(fileVersion) + kEnd);
    int refused = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const auto& [what, bytes] = files[i];
        std::string error;
        const bool cliReads = CliReads(bytes, &error);
        CStamperPreferences plugin;
        qmtest::writeBytes(PrefsPath(), bytes);
        const bool pluginReads = plugin.ReadFile(true);
        ASSERT_EQ(cliReads, pluginReads) << what << ": command line: " << (cliReads ? "read" : error)
                                         << "; plug-in: " << (pluginReads ? "read" : plugin.GetLastProblem());
        refused += !cliReads;
        // The program itself, for the handmade files and some others.
        if (i > 5 && i % 40 != 0) continue;
        const auto run = CliSplit("prefs get");
        EXPECT_EQ(run.status, cliReads ? 0 : 1) << what << ": " << run.err;
        if (!cliReads) {
            EXPECT_TRUE(run.out.empty()) << "nothing misleading: " << run.out;
            EXPECT_NE(run.err.find(PrefsPath()), std::string::npos) << run.err;
        }
    }
    EXPECT_GT(refused, 50) << "the damage refuses many files";
    EXPECT_LT(refused, static_cast<int>(files.size()) - 20) << "and leaves some readable";
}

}  // namespace
