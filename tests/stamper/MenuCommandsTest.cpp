// The plug-in's menu and toolbar commands as the linked plug-in installed them
// in the host's menu model, driven the way a host drives them: listed, asked
// whether they are enabled, and run by name.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/FaultInjectingHost.h"
#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "core/AtomTable.h"
#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFElementUndoData.h"
#include "stamper/HostAnchorMenuItems.h"
#include "stamper/HostServices.h"
#include "stamper/OpenFileSeam.h"
#include "stamper/SiblingPlugin.h"
#include "stamper/StampRunFixture.h"
#include "stamper/StampSubmenu.h"
#include "stamper/StamperDialogSeams.h"
#include "stamper/StamperMenuItems.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "view/MenuCommands.h"
#include "view/Notifications.h"
#include "view/Menus.h"
#include "view/Toolbars.h"
#include "view/FileShowing.h"

namespace {

using qmhost::menus;
using qmhost::RunOutcome;
using qmhost::runMenuCommand;
using qmhost::toolbars;
using stamptest::VisibleTextStamp;

// --- reading the host's menu model

std::string MenuOf(AVMenuItem inItem) {
    const AVMenu menu = menus().item(inItem).menu;
    return menu ? menus().menu(menu).name : "";
}

int32_t IndexOf(AVMenuItem inItem) {
    const AVMenu menu = menus().item(inItem).menu;
    return menu ? menus().indexOf(menu, inItem) : -1;
}

// The items of the first menu of that name: name and title, in order.
std::vector<std::string> ItemsOf(const std::string& inMenuName) {
    std::vector<std::string> items;
    const AVMenu menu = menus().findMenu(inMenuName);
    if (!menu) return items;
    for (AVMenuItem item : menus().menu(menu).items)
        items.push_back(menus().item(item).name + " " + menus().item(item).title);
    return items;
}

bool Enabled(const char* inName) {
    const AVMenuItem item = menus().findItem(inName);
    return item && gAppViewHFT->menuItemIsEnabled(item);
}

// An element undo record that notes its undo and its deletion.
class ScriptedRecord : public CPDFElementUndoData {
public:
    enum Outcome { kSucceeds, kFails, kThrows };
    ScriptedRecord(AVDoc inView, int inId, Outcome inOutcome, std::vector<std::string>& ioLog)
        : CPDFElementUndoData(inView, 0, "Scripted"), mId(inId), mOutcome(inOutcome), mLog(ioLog) {}
    ~ScriptedRecord() override { mLog.push_back("delete " + std::to_string(mId)); }
    bool Undo() override {
        mLog.push_back("undo " + std::to_string(mId));
        if (mOutcome == kThrows) ThrowErrorCode(kErrCosObject);
        return mOutcome == kSucceeds;
    }

private:
    int mId;
    Outcome mOutcome;
    std::vector<std::string>& mLog;
};

class MenuCommands : public stamptest::StampRunTest {
protected:
    void SetUp() override {
        StampRunTest::SetUp();
        SetOpenFileHandler([this](const std::string& path) { mOpened.push_back(path); });
    }
    void TearDown() override {
        SetOpenFileHandler({});
        SetStamperDialogRunner({});
        gProfilesDlg = nullptr;
        StampRunTest::TearDown();
    }
    std::string Profiles() const { return mDataFolder + "/Profiles"; }
    void Touch(const std::string& inPath) { qmtest::writeBytes(inPath, "x"); }
    // A view on a one-page document, active.
    AVDoc OpenOnePage() { return OpenView(WritePdf("doc" + std::to_string(mViews.size()) + ".pdf", 1)); }

    std::vector<std::string> mOpened;
};

// --- where the items are

struct PlaceCase {
    const char* row;
    const char* name;
    const char* title;
    const char* menu;
    int32_t index;  // -1: the last item of the menu
};

const PlaceCase kPlaces[] = {
    {"QuillmarkAtTheEndOfExtensions", "VELM:Quillmark", "Quillmark", "Extensions", -1},
    {"ManageStampsFirst", "VELM:SManageStamps", "管理印章", "VELM:StamperMenu", 0},
    {"StampSecond", "VELM:SStamp", "印章文档", "VELM:StamperMenu", 1},
    {"UndoThird", "VELM:SUndo", "恢复", "VELM:StamperMenu", 2},
    {"LoggingFourth", "VELM:SLogging", "记录", "VELM:StamperMenu", 3},
    {"LogViewFirstInLogging", "VELM:SLoggingView", "查看记录", "VELM:SLoggingMenu", 0},
    {"LogClearSecondInLogging", "VELM:SLoggingClear", "清除记录", "VELM:SLoggingMenu", 1},
    {"PrefsUnderTheHostsPreferences", "VELM:SPrefs", "Quillmark...", "PrefsMenu", -1},
    {"AboutUnderTheHostsAbout", "VELM:StamperAbout", "Quillmark...", "AboutExtensionsMenu", -1},
    {"HelpUnderTheHostsHelp", "VELM:StamperHelp", "Quillmark...", "UsingExtensionsMenu", -1},
};

class MenuPlaces : public MenuCommands, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(MenuPlaces, ItemHasItsTitleAndPlace) {
    const PlaceCase& c = GetParam();
    const AVMenuItem item = menus().findItem(c.name);
    ASSERT_NE(item, nullptr) << c.name;
    EXPECT_EQ(menus().item(item).title, c.title);
    EXPECT_EQ(MenuOf(item), c.menu);
    const AVMenu menu = menus().item(item).menu;
    const int32_t expected = c.index >= 0 ? c.index : static_cast<int32_t>(menus().menu(menu).items.size()) - 1;
    EXPECT_EQ(IndexOf(item), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryItem, MenuPlaces, ::testing::ValuesIn(kPlaces),
                         [](const auto& row) { return std::string(row.param.row); });

TEST_F(MenuCommands, SubmenusAreTitledAsTheirHolders) {
    EXPECT_EQ(menus().menu(menus().findMenu("VELM:StamperMenu")).title, "Quillmark...");
    EXPECT_EQ(menus().menu(menus().findMenu("VELM:SStampMenu")).title, "印章文档");
    EXPECT_EQ(menus().menu(menus().findMenu("VELM:SLoggingMenu")).title, "记录");
}

TEST_F(MenuCommands, ToolButtonSitsOnTheSharedToolbarWithASeparatorAndItsDropDown) {
    const AVToolBar bar = toolbars().find("VELM PDF/Pellora");
    ASSERT_NE(bar, nullptr);
    const std::vector<AVToolButton>& buttons = toolbars().toolBar(bar).buttons;
    const ASAtom name = qmhost::atoms().intern("VELM:SStampT");
    const AVToolButton button = toolbars().buttonByName(bar, name);
    ASSERT_NE(button, nullptr);
    const auto at = std::find(buttons.begin(), buttons.end(), button);
    ASSERT_NE(at + 1, buttons.end()) << "a separator follows the button";
    EXPECT_TRUE(toolbars().button(*(at + 1)).separator);
    EXPECT_EQ(toolbars().button(button).helpText, "管理印章");
    const AVMenu dropDown = toolbars().button(button).menu;
    ASSERT_NE(dropDown, nullptr);
    EXPECT_EQ(menus().menu(dropDown).name, "VELM:TooluttonSMenu");
    EXPECT_EQ(menus().menu(dropDown).title, "Quillmark...");
    std::vector<std::string> names;
    for (AVMenuItem item : menus().menu(dropDown).items) names.push_back(menus().item(item).name);
    EXPECT_EQ(names, (std::vector<std::string>{"VELM:SStamp", "VELM:SUndo"}));
}

// --- the Stamp submenu

TEST_F(MenuCommands, EmptyProfilesFolderLeavesTheStampSubmenuDisabled) {
    OpenOnePage();
    EXPECT_FALSE(Enabled("VELM:SStamp"));
    EXPECT_TRUE(ItemsOf("VELM:SStampMenu").empty());
}

TEST_F(MenuCommands, StampSubmenuListsTheProfilesOfTheFolderInNameOrder) {
    Touch(Profiles() + "/b.nxp");
    Touch(Profiles() + "/A.nxp");
    Touch(Profiles() + "/notes.txt");
    EXPECT_TRUE(Enabled("VELM:SStamp"));
    EXPECT_EQ(ItemsOf("VELM:SStampMenu"), (std::vector<std::string>{"VELM:SProfile0 A", "VELM:SProfile1 b"}));
}

TEST_F(MenuCommands, ProfileWithNxpInsideItsNameIsListedCutAtItsLastDot) {
    Touch(Profiles() + "/a.nxp.bak");
    EXPECT_TRUE(Enabled("VELM:SStamp"));
    EXPECT_EQ(ItemsOf("VELM:SStampMenu"), std::vector<std::string>{"VELM:SProfile0 a.nxp"});
}

TEST_F(MenuCommands, FolderNamedLikeAProfileIsNotListed) {
    std::filesystem::create_directory(Profiles() + "/old.nxp");
    Touch(Profiles() + "/real.nxp");
    EXPECT_TRUE(Enabled("VELM:SStamp"));
    EXPECT_EQ(ItemsOf("VELM:SStampMenu"), std::vector<std::string>{"VELM:SProfile0 real"});
}

TEST_F(MenuCommands, DotNxpInTheFolderPathDoesNotListEveryFile) {
    const std::string data = mFolder.file("shared.nxp.d");
    std::filesystem::create_directories(data + "/Profiles");
    ASSERT_TRUE(SetStamperDataPaths(data.c_str()));
    Touch(data + "/Profiles/readme.txt");
    Touch(data + "/Profiles/one.nxp");
    EXPECT_TRUE(Enabled("VELM:SStamp"));
    EXPECT_EQ(ItemsOf("VELM:SStampMenu"), std::vector<std::string>{"VELM:SProfile0 one"});
}

TEST_F(MenuCommands, StampSubmenuIsListedAnewWhenAProfileAppearsOrGoes) {
    Touch(Profiles() + "/first.nxp");
    ASSERT_TRUE(Enabled("VELM:SStamp"));
    ASSERT_EQ(ItemsOf("VELM:SStampMenu").size(), 1u);
    Touch(Profiles() + "/second.nxp");
    EXPECT_TRUE(Enabled("VELM:SStamp"));
    EXPECT_EQ(ItemsOf("VELM:SStampMenu").size(), 2u);
    std::filesystem::remove(Profiles() + "/first.nxp");
    std::filesystem::remove(Profiles() + "/second.nxp");
    EXPECT_FALSE(Enabled("VELM:SStamp"));
    EXPECT_TRUE(ItemsOf("VELM:SStampMenu").empty());
}

TEST_F(MenuCommands, EachStampSubmenuOwnsAndFreesItsProfileItems) {
    Touch(Profiles() + "/p.nxp");
    CStampMenuItem& inMenu = CStamperMenuItem::smStamperMenuItem->GetStampItem();
    CStampMenuItem& inDropDown = CToolButtonMenuItem::smToolButtonMenuItem->GetStampItem();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(gAppViewHFT->menuItemIsEnabled(inMenu.GetMenuItem()));
        ASSERT_TRUE(gAppViewHFT->menuItemIsEnabled(inDropDown.GetMenuItem()));
    }
    EXPECT_EQ(inMenu.GetProfileItemCount(), 1);
    EXPECT_EQ(inDropDown.GetProfileItemCount(), 1);
    EXPECT_EQ(gAppViewHFT->menuGetNumMenuItems(inMenu.GetSubmenu()), 1);
    EXPECT_EQ(gAppViewHFT->menuGetNumMenuItems(inDropDown.GetSubmenu()), 1);
    // Each listing made one host item; the earlier ones are gone with their wrappers.
    const AVMenuItem shown = gAppViewHFT->menuAcquireMenuItemByIndex(inMenu.GetSubmenu(), 0);
    EXPECT_EQ(shown, inMenu.GetProfileItem(0)->GetMenuItem());
    gAppViewHFT->menuItemRelease(shown);
}

TEST_F(MenuCommands, ProfileItemNeedsAnActiveDocument) {
    WriteProfile("Approved", {});
    ASSERT_TRUE(Enabled("VELM:SStamp"));
    EXPECT_FALSE(Enabled("VELM:SProfile0"));
    OpenOnePage();
    ASSERT_TRUE(Enabled("VELM:SStamp"));
    EXPECT_TRUE(Enabled("VELM:SProfile0"));
}

TEST_F(MenuCommands, ProfileItemOfAFileDeletedSinceTheListingIsDisabled) {
    WriteProfile("Gone", {});
    OpenOnePage();
    ASSERT_TRUE(Enabled("VELM:SStamp"));
    CProfileMenuItem* item = CStamperMenuItem::smStamperMenuItem->GetStampItem().GetProfileItem(0);
    ASSERT_NE(item, nullptr);
    std::filesystem::remove(Profiles() + "/Gone.nxp");
    EXPECT_FALSE(item->ComputeEnabled());
}

TEST_F(MenuCommands, RunningAProfileItemStampsTheActiveDocument) {
    WriteProfile("Approved", [] {
        std::vector<stamptest::StampCab> stamps;
        stamps.push_back(VisibleTextStamp("s", "MENUSTAMP"));
        return stamps;
    }());
    const AVDoc view = OpenOnePage();
    const auto result = runMenuCommand("VELM:SProfile0");
    ASSERT_EQ(result.outcome, RunOutcome::Ran) << result.message;
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
    const auto pages = stamptest::ReadTextPages(Save(DocOf(view), "stamped.pdf"));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].Joined().find("MENUSTAMP"), std::string::npos) << pages[0].Joined();
    EXPECT_TRUE(Enabled("VELM:SUndo"));
}

TEST_F(MenuCommands, UndoTakesTheRunBackAndIsDisabledAfterwards) {
    WriteProfile("Approved", [] {
        std::vector<stamptest::StampCab> stamps;
        stamps.push_back(VisibleTextStamp("s", "MENUSTAMP"));
        return stamps;
    }());
    const AVDoc view = OpenOnePage();
    const stamptest::PageState before = stamptest::ReadPageState(DocOf(view), 0);
    ASSERT_EQ(runMenuCommand("VELM:SProfile0").outcome, RunOutcome::Ran);
    ASSERT_NE(stamptest::ReadPageState(DocOf(view), 0), before);
    const auto result = runMenuCommand("VELM:SUndo");
    ASSERT_EQ(result.outcome, RunOutcome::Ran) << result.message;
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
    const auto pages = stamptest::ReadTextPages(Save(DocOf(view), "undone.pdf"));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Joined().find("MENUSTAMP"), std::string::npos) << pages[0].Joined();
    EXPECT_FALSE(Enabled("VELM:SUndo"));
}

// --- Undo

TEST_F(MenuCommands, UndoIsDisabledWithoutRecords) {
    OpenOnePage();
    EXPECT_FALSE(Enabled("VELM:SUndo"));
    EXPECT_EQ(runMenuCommand("VELM:SUndo").outcome, RunOutcome::Disabled);
}

struct UndoCase {
    const char* row;
    ScriptedRecord::Outcome second;  // the outcome of the second record undone
    bool alert;
};

const UndoCase kUndoCases[] = {
    {"AllSucceed", ScriptedRecord::kSucceeds, false},
    {"SecondAnswersFalse", ScriptedRecord::kFails, true},
    {"UndoLoopGoesOnAfterARecordThrows", ScriptedRecord::kThrows, true},
};

class UndoRecords : public MenuCommands, public ::testing::WithParamInterface<UndoCase> {};

// The row UndoLoopGoesOnAfterARecordThrows: a thrown failure neither ends the
// loop (the records after it are still taken back) nor goes unreported.
TEST_P(UndoRecords, EveryRecordIsTriedNewestFirstDeletedAndReportedOnce) {
    const UndoCase& c = GetParam();
    const AVDoc view = OpenOnePage();
    std::vector<std::string> log;
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 1, ScriptedRecord::kSucceeds, log));
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 2, c.second, log));
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 3, ScriptedRecord::kSucceeds, log));
    stamptest::RecordingMonitor monitor;
    UseMonitor(monitor);
    ASSERT_TRUE(Enabled("VELM:SUndo"));
    ASSERT_EQ(runMenuCommand("VELM:SUndo").outcome, RunOutcome::Ran);
    EXPECT_EQ(log, (std::vector<std::string>{"undo 3", "delete 3", "undo 2", "delete 2", "undo 1", "delete 1"}));
    const std::vector<std::string> alerts = qmtest::TakeAlerts();
    EXPECT_EQ(alerts, c.alert ? std::vector<std::string>{"恢复动作出错"} : std::vector<std::string>{});
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 0);
    EXPECT_FALSE(Enabled("VELM:SUndo"));
    EXPECT_EQ(monitor.calls, (std::vector<std::string>{"begin", "duration 3", "value 0", "value 1", "value 2",
                                                       "value 3", "end"}));
}

INSTANTIATE_TEST_SUITE_P(SecondRecord, UndoRecords, ::testing::ValuesIn(kUndoCases),
                         [](const auto& row) { return std::string(row.param.row); });

TEST_F(MenuCommands, UndoInTheDropDownActsOnTheSameView) {
    const AVDoc view = OpenOnePage();
    std::vector<std::string> log;
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 1, ScriptedRecord::kSucceeds, log));
    CUndoMenuItem& dropDownUndo = CToolButtonMenuItem::smToolButtonMenuItem->GetUndoItem();
    ASSERT_TRUE(dropDownUndo.ComputeEnabled());
    dropDownUndo.Execute();
    EXPECT_EQ(log, (std::vector<std::string>{"undo 1", "delete 1"}));
    EXPECT_FALSE(Enabled("VELM:SUndo"));
}

TEST_F(MenuCommands, SavingOrClosingTheDocumentEmptiesItsUndo) {
    const AVDoc view = OpenOnePage();
    std::vector<std::string> log;
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 1, ScriptedRecord::kSucceeds, log));
    ASSERT_TRUE(Enabled("VELM:SUndo"));
    qmhost::notifications().sendDoc(kNotifyDocWillChange, DocOf(view));
    EXPECT_EQ(log, std::vector<std::string>{"delete 1"}) << "emptied, not undone";
    EXPECT_FALSE(Enabled("VELM:SUndo"));
}

// --- the stamp manager

TEST_F(MenuCommands, OpenStampManagerDisablesTheStampSubmenuAndItsProfiles) {
    WriteProfile("Approved", {});
    OpenOnePage();
    ASSERT_TRUE(Enabled("VELM:SStamp"));
    CProfileMenuItem* profile = CStamperMenuItem::smStamperMenuItem->GetStampItem().GetProfileItem(0);
    ASSERT_NE(profile, nullptr);
    ASSERT_TRUE(profile->ComputeEnabled());
    int manager = 0;
    gProfilesDlg = reinterpret_cast<CProfilesDlg*>(&manager);
    EXPECT_FALSE(profile->ComputeEnabled());
    EXPECT_FALSE(Enabled("VELM:SStamp"));
    EXPECT_EQ(runMenuCommand("VELM:SProfile0").outcome, RunOutcome::Disabled);
    EXPECT_TRUE(Enabled("VELM:SManageStamps"));
}

TEST_F(MenuCommands, ManageStampsOnlyBringsAnOpenManagerToTheFront) {
    static int argc = 3;
    static char name[] = "stamper_tests";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    QGuiApplication app(argc, argv);  // a desktop (offscreen) for the runner
    std::vector<StamperDialog> shown;
    SetStamperDialogRunner([&](StamperDialog dialog) { shown.push_back(dialog); });
    int manager = 0;
    gProfilesDlg = reinterpret_cast<CProfilesDlg*>(&manager);
    ASSERT_EQ(runMenuCommand("VELM:SManageStamps").outcome, RunOutcome::Ran);
    EXPECT_EQ(shown, std::vector<StamperDialog>{StamperDialog::kStampManager});
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

// --- dialogs in a host without a display

struct DialogCase {
    const char* row;
    const char* item;
    const char* alert;
};

const DialogCase kDialogs[] = {
    {"ManageStamps", "VELM:SManageStamps",
     "The stamp manager needs the desktop viewer; it cannot be shown in this host."},
    {"ToolButton", "VELM:SStampT", "The stamp manager needs the desktop viewer; it cannot be shown in this host."},
    {"Preferences", "VELM:SPrefs", "The preferences dialog needs the desktop viewer; it cannot be shown in this host."},
    {"About", "VELM:StamperAbout", "The About box needs the desktop viewer; it cannot be shown in this host."},
};

class DialogCommands : public MenuCommands, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(DialogCommands, WithoutADisplayTheCommandSaysWhatItNeeds) {
    const DialogCase& c = GetParam();
    std::vector<StamperDialog> shown;
    SetStamperDialogRunner([&](StamperDialog dialog) { shown.push_back(dialog); });
    const auto result = runMenuCommand(c.item);
    ASSERT_EQ(result.outcome, RunOutcome::Ran) << result.message;
    EXPECT_EQ(qmtest::TakeAlerts(), std::vector<std::string>{c.alert});
    EXPECT_TRUE(shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Every, DialogCommands, ::testing::ValuesIn(kDialogs),
                         [](const auto& row) { return std::string(row.param.row); });

// --- Logging

TEST_F(MenuCommands, LogItemsFollowTheLogFile) {
    EXPECT_FALSE(Enabled("VELM:SLoggingView"));
    EXPECT_FALSE(Enabled("VELM:SLoggingClear"));
    EXPECT_EQ(runMenuCommand("VELM:SLoggingView").outcome, RunOutcome::Disabled);
    const std::string log = mDataFolder + "/Quillmark.txt";
    qmtest::writeBytes(log, "line\n");
    EXPECT_TRUE(Enabled("VELM:SLogging"));
    ASSERT_EQ(runMenuCommand("VELM:SLoggingView").outcome, RunOutcome::Ran);
    EXPECT_EQ(mOpened, std::vector<std::string>{log});
    ASSERT_EQ(runMenuCommand("VELM:SLoggingClear").outcome, RunOutcome::Ran);
    EXPECT_FALSE(qmtest::fileExists(log));
    EXPECT_FALSE(Enabled("VELM:SLoggingView"));
    EXPECT_FALSE(Enabled("VELM:SLoggingClear"));
}

// --- Help

TEST_F(MenuCommands, HelpOpensTheUserGuideOfTheDataFolder) {
    const std::string guide = mDataFolder + "/Quillmark_User_Guide.pdf";
    qmtest::writeSimplePdf(guide, 1);
    ASSERT_EQ(runMenuCommand("VELM:StamperHelp").outcome, RunOutcome::Ran);
    EXPECT_EQ(mOpened, std::vector<std::string>{guide});
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

TEST_F(MenuCommands, HelpWithoutTheGuideSaysSoInsteadOfOpeningNothing) {
    ASSERT_EQ(runMenuCommand("VELM:StamperHelp").outcome, RunOutcome::Ran);
    EXPECT_TRUE(mOpened.empty());
    EXPECT_EQ(qmtest::TakeAlerts(),
              std::vector<std::string>{"The user guide " + mDataFolder + "/Quillmark_User_Guide.pdf is not installed."});
}

TEST_F(MenuCommands, WithTheSiblingInstalledHelpGoesIntoTheFamilyMenu) {
    const std::string sibling = mFolder.file("Inkwell.api");
    Touch(sibling);
    SetSiblingPluginPathForTesting(sibling);
    {
        CHelpMenuItem help;
        const AVMenuItem item = help.GetMenuItem();
        EXPECT_EQ(MenuOf(item), "KESO:InkwellHelp");
        const AVMenuItem holder = menus().findItem("KESO:InkwellHelp");
        ASSERT_NE(holder, nullptr);
        EXPECT_EQ(menus().item(holder).title, "Inkwell");
        EXPECT_EQ(MenuOf(holder), "UsingExtensionsMenu");
        EXPECT_EQ(menus().item(holder).shortcutFlags, 2);
        // A second family member finds the menu and adds no second holder.
        CHelpMenuItem second;
        EXPECT_EQ(MenuOf(second.GetMenuItem()), "KESO:InkwellHelp");
        size_t holders = 0;
        for (const std::string& entry : ItemsOf("UsingExtensionsMenu"))
            if (entry.rfind("KESO:InkwellHelp ", 0) == 0) ++holders;
        EXPECT_EQ(holders, 1u);
    }
    // The family's menu stays for the family; out of the way of the other tests.
    if (const AVMenuItem holder = menus().findItem("KESO:InkwellHelp")) gAppViewHFT->menuItemRemove(holder);
    SetSiblingPluginPathForTesting("");
    EXPECT_TRUE(IsSiblingPluginInstalled() == qmtest::fileExists(GetSiblingPluginPath()));
}

// --- the seam that shows files

// The host shows the file; the plug-in writes nothing to standard output, and
// with a host whose table ends before showFile (and no desktop) nothing is shown.
TEST(OpenFileSeam, TheHostShowsTheFileAndThePluginPrintsNothing) {
    qmtest::StartLinkedPlugin();
    SetOpenFileHandler({});
    ASSERT_FALSE(HasDesktopDisplay());
    struct Row {
        const char* name;
        void (*host)(qmtest::FaultInjectingHost&);
        size_t shownCount;
    };
    for (const Row& row : {Row{"host with showFile", [](qmtest::FaultInjectingHost&) {}, 1},
                           Row{"older host", [](qmtest::FaultInjectingHost& h) {
                                   h.ShortenBefore<&AppViewTable::showFile>();
                               }, 0},
                           Row{"no table", [](qmtest::FaultInjectingHost& h) { h.Withhold<AppViewTable>(); }, 0}}) {
        std::vector<std::string> shown;
        qmhost::setFileShower([&](const std::string& path) { shown.push_back(path); });
        std::string printed;
        {
            qmtest::FaultInjectingHost host;
            row.host(host);
            ::testing::internal::CaptureStdout();
            OpenFileForUser("/tmp/a b/Quillmark_User_Guide.pdf");
            printed = ::testing::internal::GetCapturedStdout();
        }
        qmhost::setFileShower({});
        EXPECT_EQ(printed, "") << row.name;
        ASSERT_EQ(shown.size(), row.shownCount) << row.name;
        if (row.shownCount) {
            EXPECT_EQ(shown[0], "/tmp/a b/Quillmark_User_Guide.pdf");
        }
    }
}

TEST(OpenFileSeam, AHandlerThatThrowsDoesNotReachTheCommand) {
    SetOpenFileHandler([](const std::string&) { throw std::runtime_error("no viewer"); });
    EXPECT_NO_THROW(OpenFileForUser("/tmp/x.pdf"));
    SetOpenFileHandler({});
}

// --- failures while the menus are built

// A menu handle that the host no longer knows.
AVMenu StaleMenu() {
    const AVMenu menu = gAppViewHFT->menuNew("gone", "Test:Gone", gExtensionID);
    gAppViewHFT->menuAcquire(menu);
    gAppViewHFT->menuRelease(menu);
    return menu;
}

struct BuildFailureCase {
    const char* row;
    void (*build)(AVMenu parent);
};

const BuildFailureCase kBuildFailures[] = {
    {"StampSubmenu", [](AVMenu parent) { CStampMenuItem item(parent); }},
    {"LoggingSubmenu", [](AVMenu parent) { CLogMenuItem item(parent); }},
};

class SubmenuBuildFailure : public MenuCommands, public ::testing::WithParamInterface<BuildFailureCase> {};

TEST_P(SubmenuBuildFailure, ReportsTheMenuInstallationProblemAndThrowsOn) {
    const AVMenu stale = StaleMenu();
    ASSERT_FALSE(menus().alive(stale));
    ClearErrorMessage();
    EXPECT_THROW(GetParam().build(stale), ErrorCode);
    EXPECT_STREQ(GetErrorMessage(), "查看器菜单安装有问题");
}

INSTANTIATE_TEST_SUITE_P(Every, SubmenuBuildFailure, ::testing::ValuesIn(kBuildFailures),
                         [](const auto& row) { return std::string(row.param.row); });

}  // namespace
