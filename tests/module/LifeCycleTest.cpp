// The plug-in's start and unload as the host runs them: the real module copied
// into a plug-ins folder of its own and loaded with dlopen; what the start
// leaves in that folder and in the host's menus and toolbars, a profile run
// from the menu and taken back with Undo, and an unload that leaves nothing.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "core/AtomTable.h"
#include "engine/CTIFFImageType.h"
#include "loader/PluginLoader.h"
#include "module/PluginEntry.h"
#include "module/PluginLifeCycle.h"
#include "stamper/CCabinet.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/SiblingPlugin.h"
#include "stamper/StamperDialogSeams.h"
#include "stamper/StampKeys.h"
#include "support/HostTables.h"
#include "view/Alerts.h"
#include "view/MenuCommands.h"
#include "view/Menus.h"
#include "view/Notifications.h"
#include "view/Toolbars.h"
#include "view/Views.h"

namespace {

namespace fs = std::filesystem;
using qmhost::menus;
using qmhost::RunOutcome;
using qmhost::runMenuCommand;
using qmhost::toolbars;

// Points the linked support library at the host's tables while a test writes
// files through it (the linked plug-in itself is not started here).
class LinkedTables {
public:
    LinkedTables()
        : mCore(gCoreHFT), mSupport(gAppSupportHFT), mExtra(gASExtraHFT) {
        gCoreHFT = qmhost::coreTable();
        gAppSupportHFT = qmhost::appSupportTable();
        gASExtraHFT = qmhost::asExtraTable();
    }
    ~LinkedTables() {
        gCoreHFT = mCore;
        gAppSupportHFT = mSupport;
        gASExtraHFT = mExtra;
    }

private:
    const CoreTable* mCore;
    const AppSupportTable* mSupport;
    const ASExtraTable* mExtra;
};

// A profile of one visible text stamp.
void WriteTextProfile(const std::string& inPath, const std::string& inText) {
    LinkedTables tables;
    CCabinet profile;
    const ASExtraTable& cab = *gASExtraHFT;
    cab.cabPutInt(profile.GetCab(), kKeyNumberOfStamps, 1);
    const ASCab stamp = cab.cabNew();
    cab.cabPutInt(stamp, kKeyStampType, 0);
    cab.cabPutString(stamp, kKeyStampName, "s");
    cab.cabPutString(stamp, kKeyText, inText.c_str());
    cab.cabPutInt(stamp, kKeyOpacity, 100);
    cab.cabPutInt(stamp, kKeyUnit, 3);
    cab.cabPutDouble(stamp, kKeyHorizontalOffset, 36);
    cab.cabPutDouble(stamp, kKeyVerticalOffset, 36);
    cab.cabPutInt(stamp, kKeyVerticalAlign, 1);
    cab.cabPutCab(profile.GetCab(), (std::string(kKeyStampPrefix) + "0").c_str(), stamp);
    ASSERT_TRUE(profile.WriteToFile(TFileSpecifier(inPath.c_str())));
}

std::string MenuOf(AVMenuItem inItem) {
    const AVMenu menu = menus().item(inItem).menu;
    return menu ? menus().menu(menu).name : "";
}

// How many items of that name the menu holds.
size_t CountIn(const char* inMenu, const char* inName) {
    const AVMenu menu = menus().findMenu(inMenu);
    if (!menu) return 0;
    const auto& items = menus().menu(menu).items;
    return static_cast<size_t>(
        std::count_if(items.begin(), items.end(), [&](AVMenuItem item) { return menus().item(item).name == inName; }));
}

AVToolButton FindButton(const char* inName) {
    const AVToolBar bar = toolbars().find("VELM PDF/Pellora");
    return bar ? toolbars().buttonByName(bar, qmhost::atoms().intern(inName)) : nullptr;
}

size_t SeparatorsOnPlugInsToolBar() {
    const AVToolBar bar = toolbars().find("VELM PDF/Pellora");
    if (!bar) return 0;
    const auto& buttons = toolbars().toolBar(bar).buttons;
    return static_cast<size_t>(
        std::count_if(buttons.begin(), buttons.end(), [](AVToolButton b) { return toolbars().button(b).separator; }));
}

// The text pdftotext reads on the document's first page, after a save.
std::string SavedText(PDDoc inDoc, const std::string& inPath) {
    qmtest::HostPath path(inPath);
    qmhost::pdModelTable()->docSave(inDoc, path);
    return qmtest::runCommand("pdftotext -q " + qmtest::shellQuote(inPath) + " -").output;
}

class LifeCycle : public ::testing::Test {
protected:
    void SetUp() override {
        qmhost::alerts().setMode(qmhost::AlertMode::Record);
        qmhost::alerts().clearRecorded();
        mPlugins = mFolder.file("plug_ins");
        fs::create_directories(mPlugins);
        mModule = mPlugins + "/Quillmark.api";
        fs::copy_file(QM_TEST_MODULE_PATH, mModule);
    }
    void TearDown() override {
        while (AVDoc view = qmhost::views().active()) qmhost::views().close(view);
        mLoader.unload();
        qmhost::alerts().clearRecorded();
    }
    void Load() {
        const auto result = mLoader.load(mModule);
        ASSERT_TRUE(result.ok) << result.message;
    }
    AVDoc OpenDocument() {
        const std::string path = mFolder.file("doc.pdf");
        qmtest::writeSimplePdf(path, 1);
        qmtest::HostPath hostPath(path);
        const PDDoc doc = qmhost::pdModelTable()->docOpen(hostPath);
        return qmhost::appViewTable()->avDocOpenFromPDDoc(doc, nullptr);
    }
    std::vector<std::string> Alerts() {
        auto recorded = qmhost::alerts().recorded();
        qmhost::alerts().clearRecorded();
        return recorded;
    }

    qmtest::FixtureFolder mFolder;
    std::string mPlugins;
    std::string mModule;
    qmhost::PluginLoader mLoader;
};

TEST_F(LifeCycle, StartMakesTheProfilesFolderBesideTheModule) {
    ASSERT_FALSE(fs::exists(mPlugins + "/Profiles"));
    Load();
    EXPECT_TRUE(fs::is_directory(mPlugins + "/Profiles"));
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(LifeCycle, MenusGoUnderTheHostsAnchors) {
    Load();
    const struct {
        const char* item;
        const char* menu;
    } places[] = {
        {"VELM:Quillmark", "Extensions"},      {"VELM:SManageStamps", "VELM:StamperMenu"},
        {"VELM:SStamp", "VELM:StamperMenu"},   {"VELM:SUndo", "VELM:StamperMenu"},
        {"VELM:SLogging", "VELM:StamperMenu"}, {"VELM:SPrefs", "PrefsMenu"},
        {"VELM:StamperAbout", "AboutExtensionsMenu"}, {"VELM:StamperHelp", "UsingExtensionsMenu"},
    };
    for (const auto& place : places) {
        const AVMenuItem item = menus().findItem(place.item);
        ASSERT_NE(item, nullptr) << place.item;
        EXPECT_EQ(MenuOf(item), place.menu) << place.item;
    }
}

TEST_F(LifeCycle, ToolButtonGoesOnThePlugInsToolbarWithItsDropDown) {
    Load();
    const AVToolButton button = FindButton("VELM:SStampT");
    ASSERT_NE(button, nullptr);
    const AVMenu dropDown = toolbars().button(button).menu;
    ASSERT_NE(dropDown, nullptr);
    EXPECT_EQ(menus().menu(dropDown).name, "VELM:TooluttonSMenu");
    EXPECT_EQ(SeparatorsOnPlugInsToolBar(), 1u);
}

TEST_F(LifeCycle, DamagedPreferencesAreReportedAndTheStartGoesOn) {
    qmtest::writeBytes(mPlugins + "/Quillmark.pfs", "not a preferences file");
    Load();
    const std::vector<std::string> alerts = Alerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("Quillmark.pfs"), std::string::npos) << alerts[0];
    EXPECT_NE(menus().findItem("VELM:Quillmark"), nullptr);
}

TEST_F(LifeCycle, ProfileRunFromTheMenuStampsAndUndoTakesItBack) {
    // The preferences file beside the module turns logging on and pads Bates
    // numbers to four digits: the log and "0001" appear only when the start
    // read the file and handed the number preferences to the text variables.
    CStamperPreferences preferences;
    ASSERT_TRUE(preferences.SetPath((mPlugins + "/Quillmark.pfs").c_str()));
    preferences.SetEnableLogging(true);
    preferences.SetBatesFixedLength(4);
    ASSERT_TRUE(preferences.WriteFile());
    Load();
    const AVDoc view = OpenDocument();
    const PDDoc doc = qmhost::appViewTable()->avDocGetPDDoc(view);

    // A profile saved after the start is listed the next time the menu opens.
    WriteTextProfile(mPlugins + "/Profiles/Approved.nxp", "LIFECYCLE-$BatesTotalPages");
    const auto run = runMenuCommand("VELM:SProfile0");
    ASSERT_EQ(run.outcome, RunOutcome::Ran) << run.message;
    EXPECT_EQ(menus().item(menus().findItem("VELM:SProfile0")).title, "Approved");
    const std::string stamped = SavedText(doc, mFolder.file("stamped.pdf"));
    EXPECT_NE(stamped.find("LIFECYCLE-0001"), std::string::npos) << stamped;
    EXPECT_TRUE(fs::exists(mPlugins + "/Quillmark.txt")) << "the preferences file was read";

    const auto undo = runMenuCommand("VELM:SUndo");
    ASSERT_EQ(undo.outcome, RunOutcome::Ran) << undo.message;
    EXPECT_EQ(SavedText(doc, mFolder.file("undone.pdf")).find("LIFECYCLE"), std::string::npos);
    EXPECT_EQ(runMenuCommand("VELM:SUndo").outcome, RunOutcome::Disabled);
    EXPECT_TRUE(Alerts().empty());
}

TEST_F(LifeCycle, UnloadLeavesNothingBehind) {
    Load();
    const ExtensionID extension = mLoader.extension();
    WriteTextProfile(mPlugins + "/Profiles/Approved.nxp", "GONE");
    OpenDocument();
    qmhost::listMenuModel();  // every menu shown once: profile items made
    ASSERT_EQ(runMenuCommand("VELM:SProfile0").outcome, RunOutcome::Ran);
    mLoader.unload();
    EXPECT_TRUE(mLoader.leftovers().empty()) << mLoader.leftovers().front();
    EXPECT_TRUE(qmhost::notifications().heldBy(extension).empty());
    for (const char* name : {"VELM:Quillmark", "VELM:SPrefs", "VELM:StamperAbout", "VELM:StamperHelp",
                             "VELM:SProfile0"})
        EXPECT_EQ(menus().findItem(name), nullptr) << name << " is still in the menus";
    EXPECT_EQ(FindButton("VELM:SStampT"), nullptr);
    EXPECT_EQ(SeparatorsOnPlugInsToolBar(), 0u);
}

TEST_F(LifeCycle, LoadedAgainItFindsACleanHost) {
    Load();
    mLoader.unload();
    Load();
    EXPECT_EQ(CountIn("Extensions", "VELM:Quillmark"), 1u);
    EXPECT_EQ(CountIn("PrefsMenu", "VELM:SPrefs"), 1u);
    EXPECT_EQ(SeparatorsOnPlugInsToolBar(), 1u);
    ASSERT_NE(FindButton("VELM:SStampT"), nullptr);
    mLoader.unload();
    EXPECT_TRUE(mLoader.leftovers().empty());
}

// Sixteen separators named as the family's toolbar names them, so that the
// plug-in's start fails when it adds its own, after its menus and button.
class TakenSeparators {
public:
    TakenSeparators() {
        AVToolBar bar = toolbars().find("VELM PDF/Pellora");
        if (!bar) bar = toolbars().create("VELM PDF/Pellora", "VELM PDF/Pellora Plug-ins");
        for (int n = 1; n <= 16; ++n) {
            const AVToolButton separator =
                toolbars().newButton(qmhost::atoms().intern("Separator" + std::to_string(n)), nullptr, 0, true);
            toolbars().add(bar, separator, false, nullptr);
            mTaken.push_back(separator);
        }
    }
    ~TakenSeparators() {
        for (AVToolButton separator : mTaken) toolbars().destroy(separator);
    }

private:
    std::vector<AVToolButton> mTaken;
};

TEST_F(LifeCycle, StartThatFailsHalfWaySaysWhyAndAnswersFalse) {
    TakenSeparators taken;
    const auto result = mLoader.load(mModule);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("initialisation"), std::string::npos) << result.message;
    const std::vector<std::string> alerts = Alerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("Separator16"), std::string::npos) << alerts[0];
}

// The linked plug-in's own procedures, so that the test sees what the unload
// takes down before the host drops anything of the plug-in.
TEST(LinkedLifeCycle, UnloadAfterAFailedStartDeletesWhatWasMade) {
    qmhost::alerts().setMode(qmhost::AlertMode::Record);
    qmhost::PluginLoader loader;
    ASSERT_TRUE(loader.start(&PlugInMain).ok);
    ASSERT_TRUE(PluginUnload());
    {
        TakenSeparators taken;
        EXPECT_FALSE(PluginInit());
        EXPECT_NE(GetPlugInToolButton(), nullptr) << "what was made stays until the unload";
        EXPECT_NE(menus().findItem("VELM:Quillmark"), nullptr);
        ASSERT_TRUE(PluginUnload());
        EXPECT_EQ(GetPlugInToolButton(), nullptr);
        EXPECT_TRUE(qmhost::menuModelLeftovers(loader.extension()).empty());
        EXPECT_TRUE(qmhost::notifications().heldBy(loader.extension()).empty());
        for (const char* name : {"VELM:Quillmark", "VELM:SPrefs", "VELM:StamperAbout", "VELM:StamperHelp"})
            EXPECT_EQ(menus().findItem(name), nullptr) << name;
        EXPECT_EQ(FindButton("VELM:SStampT"), nullptr);
    }
    ASSERT_TRUE(PluginInit());
    loader.unload();
    EXPECT_TRUE(loader.leftovers().empty());
    qmhost::alerts().clearRecorded();
}

// libtiff stays loaded after the module: the unload takes the image type's
// handlers out of it.
TEST(LinkedLifeCycle, UnloadGivesLibtiffBackItsHandlers) {
    qmhost::alerts().setMode(qmhost::AlertMode::Record);
    qmhost::PluginLoader loader;
    ASSERT_TRUE(loader.start(&PlugInMain).ok);
    CTIFFImageType::RemoveHandlers();
    const TIFFErrorHandler saved = TIFFSetErrorHandler(nullptr);  // no handler before ours
    CTIFFImageType::InstallHandlers();
    const TIFFErrorHandler ours = TIFFSetErrorHandler(nullptr);
    TIFFSetErrorHandler(ours);
    ASSERT_NE(ours, nullptr);
    loader.unload();
    EXPECT_EQ(TIFFSetErrorHandler(saved), nullptr) << "the handler before ours is back";
    EXPECT_TRUE(loader.leftovers().empty());
}

TEST(LinkedLifeCycle, UnloadClosesAnOpenStampManagerFirst) {
    qmhost::alerts().setMode(qmhost::AlertMode::Record);
    qmhost::PluginLoader loader;
    ASSERT_TRUE(loader.start(&PlugInMain).ok);
    int manager = 0;
    gProfilesDlg = reinterpret_cast<CProfilesDlg*>(&manager);
    bool preferencesWhenClosed = false;
    SetStampManagerCloser([&] {
        preferencesWhenClosed = GetStamperPreferences() != nullptr;
        gProfilesDlg = nullptr;
    });
    loader.unload();
    SetStampManagerCloser({});
    EXPECT_EQ(gProfilesDlg, nullptr);
    EXPECT_TRUE(preferencesWhenClosed) << "closed before the preferences went";
    EXPECT_TRUE(loader.leftovers().empty());
    gProfilesDlg = nullptr;
}

// The linked plug-in, so that the test can say where the sibling is.
TEST(LinkedLifeCycle, WithTheSiblingInstalledNoAboutItemIsMadeOrDeleted) {
    qmtest::FixtureFolder folder;
    const std::string sibling = folder.file("Inkwell.api");
    qmtest::writeBytes(sibling, "x");
    SetSiblingPluginPathForTesting(sibling);
    qmhost::alerts().setMode(qmhost::AlertMode::Record);
    {
        qmhost::PluginLoader loader;
        const auto result = loader.start(&PlugInMain);
        ASSERT_TRUE(result.ok) << result.message;
        EXPECT_EQ(GetPlugInAboutItem(), nullptr);
        EXPECT_EQ(menus().findItem("VELM:StamperAbout"), nullptr);
        const AVMenuItem help = menus().findItem("VELM:StamperHelp");
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(MenuOf(help), "KESO:InkwellHelp");
        loader.unload();
        EXPECT_TRUE(loader.leftovers().empty());
        EXPECT_EQ(GetPlugInHelpItem(), nullptr);
    }
    SetSiblingPluginPathForTesting("");
    qmhost::alerts().clearRecorded();
}

// --- the module path kept at start

struct ModulePathCase {
    const char* row;
    const char* file;
    const char* modulePath;
    const char* folder;
};

const ModulePathCase kModulePaths[] = {
    {"ModuleKeepsItsName", "/opt/q/plug_ins/Quillmark.api", "/opt/q/plug_ins/Quillmark.api", "/opt/q/plug_ins"},
    {"SharedObjectBecomesApi", "/opt/q/Quillmark.so", "/opt/q/Quillmark.api", "/opt/q"},
    {"ProgramWithoutExtension", "/build/tests/module_tests", "/build/tests/module_tests.api", "/build/tests"},
    // Cut at the last "." of the path, this would be "/home/a.b.api".
    {"DotInFolderNameIsNotTheExtension", "/home/a.b/tests/runner", "/home/a.b/tests/runner.api", "/home/a.b/tests"},
    {"UnknownFile", "", "", ""},
};

class PlugInModulePath : public ::testing::TestWithParam<ModulePathCase> {};

TEST_P(PlugInModulePath, IsTheFileWithApiAsItsExtension) {
    const ModulePathCase& c = GetParam();
    const std::string modulePath = MakePlugInModulePath(c.file);
    EXPECT_EQ(modulePath, c.modulePath);
    EXPECT_EQ(FolderOfPath(modulePath), c.folder);
}

INSTANTIATE_TEST_SUITE_P(Files, PlugInModulePath, ::testing::ValuesIn(kModulePaths),
                         [](const auto& row) { return std::string(row.param.row); });

}  // namespace
