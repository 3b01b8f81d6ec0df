// The module links no Qt; the dialogs live in the companion
// QuillmarkDialogs.api beside it, which the module starts in a process with a
// widget application. Without Qt's widgets the companion is never loaded (the
// command-line tests see to a headless process); with them but without an
// application it starts nothing and the module runs alone. Missing, the dialog
// commands say so in the host's alert, as they do when it belongs to another
// build.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "PluginBuildStamp.h"
#include "app/PluginInstall.h"
#include "common/FaultInjectingHost.h"
#include "common/PdfFixtures.h"
#include "loader/PluginLoader.h"
#include "module/export/DialogsCompanion.h"
#include "view/Alerts.h"
#include "view/MenuCommands.h"

namespace {

namespace fs = std::filesystem;

// What a tool (ldd, nm) prints about a file.
std::string Output(const std::string& tool, const std::string& file) {
    return qmtest::runCommand(tool + " " + qmtest::shellQuote(file)).output;
}

// The functions a shared object exports ("address T name" in nm's list).
std::vector<std::string> ExportedFunctions(const std::string& file) {
    std::istringstream lines(Output("nm -D --defined-only", file));
    std::vector<std::string> functions;
    for (std::string address, type, name; lines >> address >> type >> name;)
        if (type == "T" || type == "W") functions.push_back(name);
    return functions;
}

// Whether the file is mapped into this process (the loader opened it).
bool Mapped(const std::string& file) {
    std::ifstream maps("/proc/self/maps");
    const std::string canonical = fs::canonical(file).string();
    for (std::string line; std::getline(maps, line);)
        if (line.size() >= canonical.size() && line.compare(line.size() - canonical.size(), canonical.size(), canonical) == 0)
            return true;
    return false;
}

TEST(DialogsCompanion, OnlyTheCompanionNeedsQt) {
    const struct {
        const char* file;
        bool qt;  // needs Qt Core, Gui and Widgets, directly or through its libraries
    } rows[] = {{QM_TEST_MODULE_PATH, false}, {QM_TEST_DIALOGS_PATH, true}};
    for (const auto& row : rows) {
        const std::string libraries = Output("ldd", row.file);
        ASSERT_NE(libraries.find("libc.so"), std::string::npos) << row.file << ": ldd read nothing";
        EXPECT_EQ(libraries.find("libQt6") != std::string::npos, row.qt) << row.file << "\n" << libraries;
        for (const char* library : {"libQt6Core.so", "libQt6Gui.so", "libQt6Widgets.so"})
            EXPECT_EQ(libraries.find(library) != std::string::npos, row.qt) << row.file << ": " << library;
        const std::string symbols = Output("nm -D --undefined-only", row.file);  // with versions
        ASSERT_NE(symbols.find("GLIBC_"), std::string::npos) << row.file << ": nm read nothing";
        EXPECT_EQ(symbols.find("@Qt_6") != std::string::npos, row.qt) << row.file;
    }
}

TEST(DialogsCompanion, ExportsItsEntryOnly) {
    EXPECT_EQ(ExportedFunctions(QM_TEST_DIALOGS_PATH), std::vector<std::string>{kDialogsCompanionEntry});
}

// The companion's entry starts nothing for a module of another build, and says
// its own stamp, which is the one this build's module has; for a module of its
// build in a process without a widget application (this one) it starts nothing
// either and says so.
TEST(DialogsCompanion, EntryRefusesAModuleOfAnotherBuildOrAProcessWithoutWidgets) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    void* companion = dlopen(QM_TEST_DIALOGS_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(companion, nullptr) << dlerror();
    const auto entry = reinterpret_cast<DialogsCompanionMain>(dlsym(companion, kDialogsCompanionEntry));
    ASSERT_NE(entry, nullptr);
    const struct {
        const char* moduleStamp;
        int32_t answer;
        const char* companionStamp;  // what the entry says of itself
    } rows[] = {
        {"0.0.0+othermodule", kDialogsCompanionOtherBuild, QM_PLUGIN_BUILD_STAMP},
        {"", kDialogsCompanionOtherBuild, QM_PLUGIN_BUILD_STAMP},
        {QM_PLUGIN_BUILD_STAMP "0", kDialogsCompanionOtherBuild, QM_PLUGIN_BUILD_STAMP},
        {QM_PLUGIN_BUILD_STAMP, kDialogsCompanionNoWidgetApplication, nullptr},
    };
    for (const auto& row : rows) {
        const char* companionStamp = nullptr;
        uint32_t handshake = 0;
        PISetupProc setup = nullptr;
        EXPECT_EQ(entry(row.moduleStamp, &companionStamp, QM_TEST_MODULE_PATH, 2, &handshake, &setup, nullptr),
                  row.answer)
            << row.moduleStamp;
        EXPECT_STREQ(companionStamp, row.companionStamp) << row.moduleStamp;
        EXPECT_EQ(setup, nullptr) << row.moduleStamp << ": nothing started";
    }
    dlclose(companion);
}

TEST(DialogsCompanion, IsInstalledWithTheModuleAndAnyOtherCopyReplaced) {
    const std::string bundled = qmtest::readBytes(QM_TEST_DIALOGS_PATH);
    ASSERT_GT(bundled.size(), 2u);
    std::string stale = bundled;
    stale[stale.size() / 2] = static_cast<char>(stale[stale.size() / 2] ^ 1);
    const struct {
        const char* name;
        std::string installed;  // the companion in the folder before ("" none)
    } rows[] = {{"none installed", ""}, {"the same bytes", bundled}, {"one byte differs", stale}};
    for (const auto& row : rows) {
        qmtest::FixtureFolder folder;
        const std::string companion = folder.file("QuillmarkDialogs.api");
        if (!row.installed.empty()) qmtest::writeBytes(companion, row.installed);
        std::string error;
        ASSERT_EQ(qmhost::installModule(folder.path(), &error), folder.file("Quillmark.api")) << row.name << ": " << error;
        EXPECT_TRUE(qmtest::readBytes(companion) == bundled) << row.name;
    }
}

// The module (and the companion when asked) copied into a plug-ins folder of
// its own, loaded there by the host with or without a widget application.
class CompanionStart : public ::testing::Test {
protected:
    void SetUp() override { qmhost::alerts().setMode(qmhost::AlertMode::Record); }
    void TearDown() override {
        mLoader.unload();
        EXPECT_TRUE(mLoader.leftovers().empty());
        mApp.reset();
        qmhost::alerts().clearRecorded();
    }
    // Copies the module, and the file companion as its companion unless null.
    void Start(bool withWidgets, const char* companion) {
        fs::copy_file(QM_TEST_MODULE_PATH, Module());
        if (companion) fs::copy_file(companion, Companion());
        if (withWidgets) {
            static int argc = 1;
            static char name[] = "module_tests";
            static char* argv[] = {name, nullptr};
            mApp = std::make_unique<QApplication>(argc, argv);
        }
        const auto result = mLoader.load(Module());
        ASSERT_TRUE(result.ok) << result.message;
    }
    std::string Module() const { return mFolder.file("Quillmark.api"); }
    std::string Companion() const { return mFolder.file("QuillmarkDialogs.api"); }
    // The stamp managers open on the screen.
    static int Managers() {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->inherits("CProfilesDlg") && window->isVisible()) ++count;
        return count;
    }
    static std::string Alerts() {
        std::string all;
        for (const std::string& alert : qmhost::alerts().recorded()) all += alert + "\n";
        return all;
    }

    qmtest::FaultInjectingHost mHost;
    qmtest::FixtureFolder mFolder;
    std::unique_ptr<QApplication> mApp;
    qmhost::PluginLoader mLoader;
};

// With a widget application the stamp manager opens from the companion. A
// companion the module cannot start from: the module starts itself, and a
// dialog command names the file and why in the host's alert. Qt's widgets in
// the process (the test links them) but no application: the module asks the
// companion, which starts nothing, and runs alone; a dialog command says what
// it needs.
struct CompanionCase {
    const char* name;
    bool widgets;                     // a widget application runs
    const char* file;                 // copied as the companion; null: none
    std::vector<std::string> said;    // "@companion": its path; none at all when empty
    std::vector<std::string> unsaid;
};

class CompanionCases : public CompanionStart, public ::testing::WithParamInterface<CompanionCase> {};

TEST_P(CompanionCases, TheManagerCommandOpensItOrSaysWhyNot) {
    const CompanionCase& row = GetParam();
    Start(row.widgets, row.file);
    const bool ours = row.file && std::string(row.file) == QM_TEST_DIALOGS_PATH;
    if (ours) {
        EXPECT_TRUE(Mapped(Companion())) << "asked, as Qt's widgets are in the process";
    }
    ASSERT_EQ(qmhost::runMenuCommand("VELM:SManageStamps").outcome, qmhost::RunOutcome::Ran);
    const std::string alerts = Alerts();
    EXPECT_EQ(Managers(), row.said.empty() ? 1 : 0) << alerts;
    if (row.said.empty()) {
        EXPECT_EQ(alerts, "");
    }
    for (const std::string& words : row.said)
        EXPECT_NE(alerts.find(words == "@companion" ? Companion() : words), std::string::npos) << words << "\n" << alerts;
    for (const std::string& words : row.unsaid) EXPECT_EQ(alerts.find(words), std::string::npos) << alerts;
    // The plug-in's data lives beside the module, not named after the companion.
    EXPECT_TRUE(fs::exists(mFolder.file("Profiles")));
    mLoader.unload();
    EXPECT_EQ(Managers(), 0) << "the unload closes the manager";
}

constexpr char kCannot[] = "dialogs cannot be shown";

INSTANTIATE_TEST_SUITE_P(
    DialogsCompanion, CompanionCases,
    ::testing::Values(
        CompanionCase{"WithWidgets", true, QM_TEST_DIALOGS_PATH, {}, {}},
        CompanionCase{"Missing", true, nullptr, {kCannot, "@companion", "could not be loaded", "No such file"}, {}},
        CompanionCase{"OfAnotherBuild", true, QM_TEST_LIBRARY_DIR "/libqmtestothercompanion.so",
                      {kCannot, "@companion", "belongs to another build of Quillmark (built as 0.0.0+othercompanion, "
                       "this module as " QM_PLUGIN_BUILD_STAMP ")"}, {}},
        CompanionCase{"WithoutEntry", true, QM_TEST_LIBRARY_DIR "/libqmtestnostamp.so",
                      {kCannot, "@companion", std::string("has no entry ") + kDialogsCompanionEntry}, {}},
        CompanionCase{"WithoutAWidgetApplication", false, QM_TEST_DIALOGS_PATH, {"needs the desktop viewer"},
                      {kCannot}}),
    [](const ::testing::TestParamInfo<CompanionCase>& row) { return std::string(row.param.name); });

}  // namespace
