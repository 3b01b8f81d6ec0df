// The module links Qt Core only; the dialogs live in the companion
// QuillmarkDialogs.api beside it, which the module starts in a process with
// widgets. Headless, the companion is never loaded; missing, the dialog
// commands say so in the host's alert.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/PluginInstall.h"
#include "common/FaultInjectingHost.h"
#include "common/PdfFixtures.h"
#include "loader/PluginLoader.h"
#include "view/Alerts.h"
#include "view/MenuCommands.h"

namespace {

namespace fs = std::filesystem;

std::string Ldd(const std::string& file) { return qmtest::runCommand("ldd " + qmtest::shellQuote(file)).output; }

// The functions a shared object exports ("address T name" in nm's list).
std::vector<std::string> ExportedFunctions(const std::string& file) {
    std::istringstream lines(qmtest::runCommand("nm -D --defined-only " + qmtest::shellQuote(file)).output);
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

TEST(DialogsCompanion, OnlyTheCompanionNeedsQtGuiAndWidgets) {
    const struct {
        const char* file;
        bool gui;  // needs Qt Gui and Qt Widgets, directly or through its libraries
    } rows[] = {{QM_TEST_MODULE_PATH, false}, {QM_TEST_DIALOGS_PATH, true}};
    for (const auto& row : rows) {
        const std::string libraries = Ldd(row.file);
        ASSERT_NE(libraries.find("libQt6Core.so"), std::string::npos) << row.file << ": ldd read nothing";
        EXPECT_EQ(libraries.find("libQt6Gui.so") != std::string::npos, row.gui) << row.file;
        EXPECT_EQ(libraries.find("libQt6Widgets.so") != std::string::npos, row.gui) << row.file;
    }
}

TEST(DialogsCompanion, ExportsItsEntryOnly) {
    EXPECT_EQ(ExportedFunctions(QM_TEST_DIALOGS_PATH), std::vector<std::string>{"QuillmarkDialogsMain"});
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
    void Start(bool withWidgets, bool withCompanion) {
        fs::copy_file(QM_TEST_MODULE_PATH, Module());
        if (withCompanion) fs::copy_file(QM_TEST_DIALOGS_PATH, Companion());
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
    // The visible top-level windows of a class of the plug-in's dialogs.
    static int VisibleWindows(const char* inClass) {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->inherits(inClass) && window->isVisible()) ++count;
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

TEST_F(CompanionStart, WithWidgetsTheStampManagerOpensFromTheCompanion) {
    Start(true, true);
    EXPECT_TRUE(Mapped(Companion()));
    ASSERT_EQ(qmhost::runMenuCommand("VELM:SManageStamps").outcome, qmhost::RunOutcome::Ran);
    EXPECT_EQ(VisibleWindows("CProfilesDlg"), 1) << Alerts();
    EXPECT_EQ(Alerts(), "");
    // The plug-in's data lives beside the module, not named after the companion.
    EXPECT_TRUE(fs::exists(mFolder.file("Profiles")));
    mLoader.unload();
    EXPECT_EQ(VisibleWindows("CProfilesDlg"), 0) << "the unload closes the manager";
}

TEST_F(CompanionStart, WithWidgetsAMissingCompanionIsNamedWhenADialogIsAskedFor) {
    Start(true, false);
    EXPECT_FALSE(fs::exists(Companion()));
    ASSERT_EQ(qmhost::runMenuCommand("VELM:SManageStamps").outcome, qmhost::RunOutcome::Ran);
    EXPECT_EQ(VisibleWindows("CProfilesDlg"), 0);
    const std::string alerts = Alerts();
    EXPECT_NE(alerts.find("dialogs cannot be shown"), std::string::npos) << alerts;
    EXPECT_NE(alerts.find(Companion()), std::string::npos) << alerts;
}

TEST_F(CompanionStart, HeadlessTheCompanionIsNeverLoaded) {
    Start(false, true);
    EXPECT_FALSE(Mapped(Companion()));
    ASSERT_EQ(qmhost::runMenuCommand("VELM:SManageStamps").outcome, qmhost::RunOutcome::Ran);
    EXPECT_FALSE(Mapped(Companion()));
    const std::string alerts = Alerts();
    EXPECT_NE(alerts.find("needs the desktop viewer"), std::string::npos) << alerts;
    EXPECT_EQ(alerts.find("dialogs cannot be shown"), std::string::npos) << alerts;
}

}  // namespace
