// `quillmark profile`, `prefs`, `log` and `menu`: the plug-in's profiles,
// settings and log as files beside its module, and its menus.
#include "CommandLineFixture.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <sys/stat.h>

#include <filesystem>

#include "cli/PrefsFile.h"

namespace {

using clitest::CommandLineTest;

using CommandLineProfile = CommandLineTest;

TEST_F(CommandLineProfile, ImportExportRoundTripKeepsTheProfile) {
    ImportProfile("numbers", clitest::kNumberingProfile);
    ASSERT_EQ(Cli("profile export numbers -o " + Q(File("exported.json"))).status, 0);
    const auto second = Cli("profile import " + Q(File("exported.json")) + " --name again");
    ASSERT_EQ(second.status, 0) << second.output;
    const auto again = Cli("profile export again");
    ASSERT_EQ(again.status, 0);
    EXPECT_EQ(again.output, qmtest::readBytes(File("exported.json")));
    EXPECT_EQ(qmtest::readBytes(Plugins() + "/Profiles/again.nxp"), qmtest::readBytes(Plugins() + "/Profiles/numbers.nxp"))
        << "the same cabinet bytes";
    EXPECT_NE(again.output.find("\"kTextE\": \"Page $PageNo[1] of $TotalPages\""), std::string::npos) << again.output;
}

TEST_F(CommandLineProfile, ListShowAndDelete) {
    ImportProfile("b", R"({"kNumberOfStamps": 0})");
    ImportProfile("a", R"({"kStamp0": {"kTextE": "x"}})");
    EXPECT_EQ(Cli("profile list").output, "a\nb\n");
    const auto shown = Cli("profile show a");
    EXPECT_NE(shown.output.find("\"kNumberOfStamps\": 1"), std::string::npos) << shown.output;
    EXPECT_EQ(Cli("profile delete a").status, 0);
    EXPECT_EQ(Cli("profile list").output, "b\n");
    const auto missing = Cli("profile delete a");
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.output.find("no profile named \"a\""), std::string::npos) << missing.output;
}

TEST_F(CommandLineProfile, ImportNamesTheProfileAfterItsFile) {
    qmtest::writeBytes(File("Court 2024.json"), R"({"kNumberOfStamps": 0})");
    const auto run = Cli("profile import " + Q(File("Court 2024.json")));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(qmtest::fileExists(Plugins() + "/Profiles/Court 2024.nxp"));
}

TEST_F(CommandLineProfile, ImportRefusesAnEmptyNameOrOneThatLeavesTheProfilesFolder) {
    qmtest::writeBytes(File("p.json"), R"({"kStamp0": {"kTextE": "x"}})");
    for (const auto& [name, said] :
         {std::pair{"../escaped", "may not hold"}, std::pair{"", "a profile needs a name"}}) {
        const auto run = Cli("profile import " + Q(File("p.json")) + " --name " + Q(name));
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find(said), std::string::npos) << run.output;
    }
    EXPECT_FALSE(qmtest::fileExists(Plugins() + "/escaped.nxp"));
    EXPECT_EQ(Cli("profile list").output, "");
}

TEST_F(CommandLineProfile, ImportRefusesAnInvalidProfileNamingTheKey) {
    qmtest::writeBytes(File("p.json"), R"({"kStamp0": {"kSizeE": "big"}})");
    const auto run = Cli("profile import " + Q(File("p.json")));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("kStamp0.kSizeE: an integer"), std::string::npos) << run.output;
    EXPECT_EQ(Cli("profile list").output, "");
}

// Numbers far outside a key's range are refused with a whole message: the
// number as it reads back, the range, nothing else on the line.
TEST_F(CommandLineProfile, ImportRefusesExtremeNumbersNamingThemWhole) {
    const struct {
        const char* key;
        const char* value;  // as written in the JSON
        const char* said;   // the message after the file's name
    } rows[] = {
        {"kHorizontalS", "1e300", "kStamp0.kHorizontalS: 1e+300 is outside the range -99999 to 99999"},
        {"kHorizontalS", "1e32", "kStamp0.kHorizontalS: 1e+32 is outside the range -99999 to 99999"},
        {"kVerticalS", "-1e300", "kStamp0.kVerticalS: -1e+300 is outside the range -99999 to 99999"},
        {"kVerticalS", "9223372036854775808",
         "kStamp0.kVerticalS: 9223372036854776000 is outside the range -99999 to 99999"},
        {"kHorizontalS", "-2147483649", "kStamp0.kHorizontalS: -2147483649 is outside the range -99999 to 99999"},
        {"kHorizontalS", "123456.789e3", "kStamp0.kHorizontalS: 123456789 is outside the range -99999 to 99999"},
        {"kOpacityS", "1e300", "kStamp0.kOpacityS: an integer (32 bits) is needed, not 1e+300"},
        {"kOpacityS", "9223372036854775808",
         "kStamp0.kOpacityS: an integer (32 bits) is needed, not 9223372036854775808"},
        {"kOpacityS", "-2147483649", "kStamp0.kOpacityS: an integer (32 bits) is needed, not -2147483649"},
        {"kOpacityS", "2147483647", "kStamp0.kOpacityS: 2147483647 is outside the range 0 to 100"},
        {"kHorizontalS", "1e400", "not valid JSON: number overflow parsing '1e400'"},
        {"kHorizontalS", "NaN",
         "not valid JSON: parse error at line 1, column 30: syntax error while parsing value - invalid literal; "
         "last read: '\"kHorizontalS\": N'"},
        {"kHorizontalS", "\"NaN\"", "kStamp0.kHorizontalS: a number is needed"},
    };
    const std::string file = File("extreme.json");
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " " + row.value);
        qmtest::writeBytes(file, std::string(R"({"kStamp0": {")") + row.key + "\": " + row.value + "}}");
        const auto run = CliSplit("profile import " + Q(file));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "quillmark: profile: " + file + ": " + row.said + "\n");
    }
    EXPECT_EQ(Cli("profile list").output, "");
}

// Every file the command line reads whole has a size fitting its kind: a
// larger one (or an endless one) is refused with a message, never read until
// memory runs out; pipes and /dev/stdin are read as before.
TEST_F(CommandLineProfile, FilesReadWholeAreRefusedPastTheSizeOfTheirKind) {
    constexpr uintmax_t kMiB = uintmax_t(1) << 20;
    // Files of zeros of these sizes (sparse: nothing is written).
    std::filesystem::create_directories(Plugins() + "/Profiles");
    for (const auto& [path, size] : {std::pair{File("big.json"), 64 * kMiB + 1},
                                     std::pair{Plugins() + "/Profiles/big.nxp", 1024 * kMiB + 13},
                                     std::pair{Plugins() + "/Quillmark.pfs", kMiB + 1},
                                     std::pair{Plugins() + "/Quillmark.txt", 256 * kMiB + 1}}) {
        qmtest::writeBytes(path, "");
        std::filesystem::resize_file(path, size);
    }
    std::string exactly = R"({"kStamp0": {"kTextE": "x"}})";
    exactly.resize(64 * kMiB, ' ');
    qmtest::writeBytes(File("64MiB.json"), exactly);
    qmtest::writeBytes(File("piped.json"), R"({"kStamp0": {"kTextE": "piped"}})");
    // A writer that waits for the import to open the pipe.
    ASSERT_EQ(::mkfifo(File("pipe").c_str(), 0600), 0);
    qmtest::runCommand("{ cat " + Q(File("piped.json")) + " > " + Q(File("pipe")) + "; } >/dev/null 2>&1 &");
    const struct {
        const char* label;
        std::string command;
        int status;
        std::string said;  // a part of the output
    } rows[] = {
        {"endless JSON", "profile import /dev/zero --name z", 1,
         "quillmark: profile: /dev/zero is larger than a profile in JSON may be (64 MiB)\n"},
        {"JSON past 64 MiB", "profile import " + Q(File("big.json")), 1,
         "big.json is larger than a profile in JSON may be (64 MiB)\n"},
        {"JSON of 64 MiB", "profile import " + Q(File("64MiB.json")), 0, "64MiB\n"},
        {"JSON through a pipe", "profile import " + Q(File("pipe")) + " --name piped", 0, "piped\n"},
        {"JSON through /dev/stdin", "profile import /dev/stdin --name stdin < " + Q(File("piped.json")), 0,
         "stdin\n"},
        {"profile file past the cabinet format", "profile show big", 1,
         "big.nxp is larger than a profile file may be (1073741836 bytes)\n"},
        {"preferences past 1 MiB", "prefs get", 1, "Quillmark.pfs is larger than a preferences file may be (1 MiB)\n"},
        {"log past 256 MiB", "log show", 1,
         "Quillmark.txt is larger than a log to show may be (256 MiB); read the file itself, or clear it "
         "(quillmark log clear)\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const auto run = Cli(row.command);
        EXPECT_EQ(run.status, row.status) << run.output;
        EXPECT_NE(run.output.find(row.said), std::string::npos) << run.output;
    }
    EXPECT_EQ(Cli("profile list").output, "64MiB\nbig\npiped\nstdin\n");
}

// A profile stored by another program may ask for any opacity: what is
// written stays within PDF's 0 to 1.
TEST_F(CommandLineProfile, StoredOpacityOutsideItsRangeIsWrittenWithinPdfs) {
    qmtest::writeSimplePdf(File("contract.pdf"), 1);
    const struct {
        int32_t percent;
        double written;
    } rows[] = {{500, 1.0}, {-20, 0.0}, {40, 0.4}};
    for (const auto& row : rows) {
        const std::string name = "o" + std::to_string(row.percent);
        StoreTextProfile(name, "Mark", row.percent);
        const std::string out = File(name + ".pdf");
        const auto run = Cli("stamp --profile " + name + " " + Q(File("contract.pdf")) + " -o " + Q(out));
        ASSERT_EQ(run.status, 0) << run.output;
        QPDF pdf;
        pdf.processFile(out.c_str());
        int states = 0;
        for (QPDFObjectHandle object : pdf.getAllObjects()) {
            if (!object.isDictionary() || !object.hasKey("/CA")) continue;
            ++states;
            for (const char* opacity : {"/CA", "/ca"})
                EXPECT_NEAR(object.getKey(opacity).getNumericValue(), row.written, 1e-4) << name << opacity;
        }
        EXPECT_EQ(states, 1) << name;
    }
}

TEST_F(CommandLineProfile, ImportOverAnExistingProfileIsRefused) {
    ImportProfile("numbers", clitest::kNumberingProfile);
    qmtest::writeBytes(File("other.json"), R"({"kNumberOfStamps": 0})");
    const std::string before = qmtest::readBytes(Plugins() + "/Profiles/numbers.nxp");
    const auto run = Cli("profile import " + Q(File("other.json")) + " --name numbers");
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(qmtest::readBytes(Plugins() + "/Profiles/numbers.nxp"), before);
}

TEST_F(CommandLineProfile, PrefsSetAndGetUseThePluginsFile) {
    EXPECT_EQ(Cli("prefs get BFLe").output, "6\n") << "the default without a file";
    EXPECT_EQ(Cli("prefs set BFLe 9").status, 0);
    EXPECT_EQ(Cli("prefs set WTNF on").status, 0);
    EXPECT_EQ(Cli("prefs get BFLe").output, "9\n");
    EXPECT_EQ(Cli("prefs get").output, "WTNF true\nEnLo false\nIPRo false\nBFLe 9\nURNu 0\nPrPr false\nPPNu 0\n");
    const std::string bytes = qmtest::readBytes(Plugins() + "/Quillmark.pfs");
    EXPECT_EQ(bytes.substr(0, 8), std::string("pips\0\0\0\0", 8));
}

TEST_F(CommandLineProfile, PrefsRefusesBadValuesAndDamagedFiles) {
    // Values out of range and unknown settings are wrong usage.
    for (const char* line : {"prefs set BFLe 41", "prefs set BFLe -1", "prefs set URNu 7", "prefs set URNu -1",
                             "prefs set WTNF maybe", "prefs set XXXX 1", "prefs get XXXX"}) {
        const auto refused = Cli(line);
        EXPECT_EQ(refused.status, 2) << line << ": " << refused.output;
        EXPECT_NE(refused.output.find("quillmark: prefs: "), std::string::npos) << line << ": " << refused.output;
    }
    std::filesystem::create_directories(Plugins());
    qmtest::writeBytes(Plugins() + "/Quillmark.pfs", "garbage that is no preferences file");
    const auto run = Cli("prefs set EnLo true");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("left as it is"), std::string::npos) << run.output;
    EXPECT_EQ(qmtest::readBytes(Plugins() + "/Quillmark.pfs"), "garbage that is no preferences file");
}

// A setting the plug-in would read as its default without a word (stored
// with another type, or outside its range) makes the file refused; setting
// that setting mends it.
TEST_F(CommandLineProfile, PrefsRefusesASettingStoredWronglyUntilItIsSet) {
    const struct {
        char tag[5];
        bool asBool;      // stored as a 'bool' record, else as a 'long' one of value
        int32_t value;
        const char* refusal;
        const char* mended;  // the value then set
    } rows[] = {
        {"BFLe", true, 1, "the setting BFLe is stored as a 'bool' record, not as a 'long' one", "2"},
        {"EnLo", false, 1, "the setting EnLo is stored as a 'long' record, not as a 'bool' one", "true"},
        {"URNu", false, 7, "the setting URNu is stored as 7, outside the range 0 to 2", "2"},
    };
    const std::string path = Plugins() + "/Quillmark.pfs";
    std::filesystem::create_directories(Plugins());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tag);
        qmcli::PrefsFile file;
        if (row.asBool) file.setBool(qmcli::FourCharCode(row.tag), true);
        else file.setLong(qmcli::FourCharCode(row.tag), row.value);
        std::string error;
        ASSERT_TRUE(file.write(path, &error)) << error;
        const std::string before = qmtest::readBytes(path);
        const auto get = Cli("prefs get");
        EXPECT_EQ(get.status, 1) << get.output;
        EXPECT_NE(get.output.find(row.refusal), std::string::npos) << get.output;
        const auto other = Cli("prefs set PPNu 3");
        EXPECT_EQ(other.status, 1) << other.output;
        EXPECT_EQ(qmtest::readBytes(path), before);
        ASSERT_EQ(Cli(std::string("prefs set ") + row.tag + " " + row.mended).status, 0);
        EXPECT_EQ(Cli(std::string("prefs get ") + row.tag).output, std::string(row.mended) + "\n");
    }
}

// A folder where the log file should be is no log: the log items are
// disabled, a run that logs warns and still succeeds, and nothing deletes it.
TEST_F(CommandLineProfile, FolderInThePlaceOfTheLogIsNoLog) {
    std::filesystem::create_directories(Plugins() + "/Quillmark.txt");
    for (const char* line : {"log clear", "log show"}) {
        const auto run = Cli(line);
        EXPECT_EQ(run.status, 1) << line << ": " << run.output;
        EXPECT_NE(run.output.find("is a folder, not a log"), std::string::npos) << run.output;
    }
    for (const char* item : {"VELM:SLoggingClear", "VELM:SLoggingView"}) {
        const auto run = Cli(std::string("menu run ") + item);
        EXPECT_NE(run.output.find("disabled"), std::string::npos) << item << ": " << run.output;
    }
    qmtest::writeSimplePdf(File("contract.pdf"), 1);
    ImportProfile("numbers", clitest::kNumberingProfile);
    ASSERT_EQ(Cli("prefs set EnLo true").status, 0);
    const auto stamped = CliSplit("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf")));
    EXPECT_EQ(stamped.status, 0) << stamped.err;
    EXPECT_NE(stamped.err.find("cannot be written"), std::string::npos) << stamped.err;
    EXPECT_TRUE(std::filesystem::is_directory(Plugins() + "/Quillmark.txt"));
}

TEST_F(CommandLineProfile, LogShowsTheRunAndClearDeletesIt) {
    qmtest::writeSimplePdf(File("contract.pdf"), 2);
    ImportProfile("numbers", clitest::kNumberingProfile);
    ASSERT_EQ(Cli("prefs set EnLo true").status, 0);
    ASSERT_EQ(Cli("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf"))).status, 0);
    const auto log = CliSplit("log show");
    EXPECT_EQ(log.status, 0);
    EXPECT_NE(log.out.find("正在处理描述文件：  numbers"), std::string::npos) << log.out;
    EXPECT_NE(log.out.find("contract.pdf"), std::string::npos) << log.out;
    EXPECT_NE(log.out.find("进程完成"), std::string::npos) << log.out;
    EXPECT_EQ(Cli("log clear").status, 0);
    EXPECT_FALSE(qmtest::fileExists(Plugins() + "/Quillmark.txt"));
    const auto empty = CliSplit("log show");
    EXPECT_EQ(empty.out, "");
    EXPECT_NE(empty.err.find("no log"), std::string::npos);
}

TEST_F(CommandLineProfile, WithoutLoggingARunWritesNoLog) {
    qmtest::writeSimplePdf(File("contract.pdf"), 1);
    ImportProfile("numbers", clitest::kNumberingProfile);
    ASSERT_EQ(Cli("stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf"))).status, 0);
    EXPECT_FALSE(qmtest::fileExists(Plugins() + "/Quillmark.txt"));
}

TEST_F(CommandLineProfile, MenuListShowsThePluginsItems) {
    ImportProfile("numbers", clitest::kNumberingProfile);
    const auto run = CliSplit("menu list");
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* line : {"menu \"Extensions\" \"Extensions\"", "item \"VELM:SStamp\"",
                             "item \"VELM:SProfile0\" \"numbers\" disabled", "item \"VELM:SUndo\"",
                             "button \"VELM:SStampT\""})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
}

TEST_F(CommandLineProfile, MenuRunOfAnUnknownOrDisabledItemFails) {
    const auto unknown = Cli("menu run VELM:NoSuchItem");
    EXPECT_NE(unknown.status, 0);
    EXPECT_NE(unknown.output.find("no menu item or tool button is named VELM:NoSuchItem"), std::string::npos)
        << unknown.output;
    const auto disabled = Cli("menu run VELM:SUndo");
    EXPECT_NE(disabled.status, 0);
    EXPECT_NE(disabled.output.find("disabled"), std::string::npos) << disabled.output;
}

TEST_F(CommandLineProfile, MenuRunClearsTheLog) {
    std::filesystem::create_directories(Plugins());
    qmtest::writeBytes(Plugins() + "/Quillmark.txt", "old log\n");
    const auto run = Cli("menu run VELM:SLoggingClear");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_FALSE(qmtest::fileExists(Plugins() + "/Quillmark.txt"));
}

}  // namespace
