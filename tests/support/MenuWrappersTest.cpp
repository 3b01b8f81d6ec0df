// CAVMenuItem, its host-submenu variants, CAVMenu and CAVToolButton against the
// host's menu and toolbar model, with the linked plug-in's tables.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <ostream>
#include <string>

#include "common/PluginFixture.h"
#include "core/AtomTable.h"
#include "support/av/CAVHostSubmenuItem.h"
#include "support/av/CAVMenu.h"
#include "support/av/CAVMenuItem.h"
#include "support/av/CAVToolButton.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "view/MenuCommands.h"
#include "view/Menus.h"
#include "view/Toolbars.h"

namespace {

using qmhost::menus;
using qmhost::RunOutcome;
using qmhost::toolbars;

// A command that counts what the host asks of it.
class CountingItem : public CAVMenuItem {
public:
    using CAVMenuItem::CAVMenuItem;
    bool ComputeEnabled() override {
        ++mEnabledAsked;
        if (mThrowOnEnabled) throw std::runtime_error("enabled rule broke");
        return mEnabled;
    }
    bool ComputeMarked() override { return mMarked; }
    void Execute() override {
        ++mRuns;
        if (mOnExecute) mOnExecute();
    }

    bool mEnabled = true;
    bool mMarked = false;
    bool mThrowOnEnabled = false;
    int mEnabledAsked = 0;
    int mRuns = 0;
    std::function<void()> mOnExecute;
};

template <class Variant>
class CountingHostSubmenuItem : public Variant {
public:
    using Variant::Variant;
    void Execute() override { ++mRuns; }
    int mRuns = 0;
};

class MenuWrappers : public ::testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        qmtest::TakeAlerts();
        ClearErrorMessage();
    }

    // Puts the item at the end of the host's "Extensions" menu.
    static void PlaceInExtensions(const CAVMenuItem& item) {
        CAVMenu extensions("Extensions");
        extensions.AddMenuItem(item.GetMenuItem());
    }
    static int32_t References(AVMenuItem item) { return menus().item(item).references; }
    static int32_t References(AVMenu menu) { return menus().menu(menu).references; }
};

TEST_F(MenuWrappers, CreatePassesItsArgumentsAndHoldsOneReference) {
    CAVMenu submenu("Sub", "Test:CreateSub");
    CountingItem item("Create", "Test:Create", 'Q', 2, submenu.GetMenu(), 1, nullptr);
    const qmhost::MenuItemRecord& record = menus().item(item.GetMenuItem());
    EXPECT_EQ(record.title, "Create");
    EXPECT_EQ(record.name, "Test:Create");
    EXPECT_EQ(record.submenu, submenu.GetMenu());
    EXPECT_TRUE(item.GetLongOnly());
    char key = 0;
    EXPECT_TRUE(item.GetShortcut(&key));
    EXPECT_EQ(key, 'Q');
    EXPECT_EQ(record.extension, gExtensionID);
    EXPECT_EQ(References(item.GetMenuItem()), 1) << "the wrapper's own, no extra one from the host";
    const AVMenu acquired = item.AcquireSubmenu();
    EXPECT_EQ(acquired, submenu.GetMenu());
    EXPECT_EQ(References(acquired), 2) << "the wrapper's and the caller's";
    gAppViewHFT->menuRelease(acquired);
}

TEST_F(MenuWrappers, TwoItemsShareTheCallbacksAndEachReachesItsOwnWrapper) {
    CountingItem first("First", "Test:First", 0, 0, nullptr, 0, nullptr);
    CountingItem second("Second", "Test:Second", 0, 0, nullptr, 0, nullptr);
    PlaceInExtensions(first);
    PlaceInExtensions(second);
    const qmhost::CommandProcs a = menus().item(first.GetMenuItem()).procs;
    const qmhost::CommandProcs b = menus().item(second.GetMenuItem()).procs;
    EXPECT_EQ(a.enabled.callback, b.enabled.callback);
    EXPECT_EQ(a.marked.callback, b.marked.callback);
    EXPECT_EQ(a.execute.callback, b.execute.callback);
    EXPECT_EQ(a.enabled.clientData, static_cast<CAVMenuItem*>(&first));
    EXPECT_EQ(b.enabled.clientData, static_cast<CAVMenuItem*>(&second));

    second.mMarked = true;
    EXPECT_TRUE(first.IsEnabled());
    EXPECT_FALSE(first.IsMarked());
    EXPECT_TRUE(second.IsMarked());
    EXPECT_EQ(qmhost::runMenuCommand("Test:Second").outcome, RunOutcome::Ran);
    EXPECT_EQ(first.mRuns, 0);
    EXPECT_EQ(second.mRuns, 1);
    first.Remove();
    second.Remove();
}

TEST_F(MenuWrappers, ComputeEnabledFalseKeepsTheItemFromRunning) {
    CountingItem item("Off", "Test:Off", 0, 0, nullptr, 0, nullptr);
    PlaceInExtensions(item);
    item.mEnabled = false;
    EXPECT_EQ(qmhost::runMenuCommand("Test:Off").outcome, RunOutcome::Disabled);
    EXPECT_GE(item.mEnabledAsked, 1);
    EXPECT_EQ(item.mRuns, 0);
    item.mEnabled = true;
    EXPECT_EQ(qmhost::runMenuCommand("Test:Off").outcome, RunOutcome::Ran);
    EXPECT_EQ(item.mRuns, 1);
    item.Remove();
}

TEST_F(MenuWrappers, SeparatorHasTheDashTitleAndNoCallbacks) {
    CAVMenuItem separator;
    separator.CreateSeparator("Test:Separator");
    PlaceInExtensions(separator);
    EXPECT_STREQ(separator.GetTitle(), "-");
    const qmhost::CommandProcs procs = menus().item(separator.GetMenuItem()).procs;
    EXPECT_EQ(procs.enabled.callback, nullptr);
    EXPECT_EQ(procs.marked.callback, nullptr);
    EXPECT_EQ(procs.execute.callback, nullptr);
    EXPECT_EQ(qmhost::runMenuCommand("Test:Separator").outcome, RunOutcome::NoAction);
    separator.Remove();
}

TEST_F(MenuWrappers, DeletedWrapperLeavesNoCallbackOnItsItem) {
    auto item = std::make_unique<CountingItem>("Gone", "Test:Gone", 0, 0, nullptr, 0, nullptr);
    PlaceInExtensions(*item);
    const AVMenuItem handle = item->GetMenuItem();
    item.reset();
    ASSERT_TRUE(menus().alive(handle)) << "the item stays in its menu";
    EXPECT_EQ(References(handle), 0);
    EXPECT_FALSE(menus().item(handle).procs.heldBy(gExtensionID));
    // Would call into the deleted wrapper if its callbacks had stayed.
    EXPECT_EQ(qmhost::runMenuCommand("Test:Gone").outcome, RunOutcome::NoAction);
    gAppViewHFT->menuItemRemove(handle);
    EXPECT_FALSE(menus().alive(handle));
}

TEST_F(MenuWrappers, AttachingAnotherItemLetsTheFirstGo) {
    CountingItem first("First", "Test:First", 0, 0, nullptr, 0, nullptr);
    PlaceInExtensions(first);
    const AVMenuItem firstHandle = first.GetMenuItem();
    const AVMenuItem other = AcquireMenuItemByName("Prefs");
    ASSERT_NE(other, nullptr);
    first.Attach(other);
    EXPECT_EQ(References(firstHandle), 0);
    EXPECT_FALSE(menus().item(firstHandle).procs.heldBy(gExtensionID));
    EXPECT_EQ(References(other), 2);
    gAppViewHFT->menuItemRelease(other);
    gAppViewHFT->menuItemRemove(firstHandle);
}

TEST_F(MenuWrappers, TitleKeeps128BytesWithoutCuttingACharacter) {
    std::string chinese;
    for (int i = 0; i < 43; ++i) chinese += "印";  // 129 bytes
    CountingItem item(chinese.c_str(), "Test:Long", 0, 0, nullptr, 0, nullptr);
    EXPECT_EQ(std::string(item.GetTitle()), chinese.substr(0, 42 * 3));
    item.SetTitle(std::string(200, 'a').c_str());
    EXPECT_EQ(std::string(item.GetTitle()), std::string(128, 'a'));
    CAVMenu menu(chinese.c_str(), "Test:LongMenu");
    EXPECT_EQ(std::string(menu.GetTitle()), chinese.substr(0, 42 * 3));
}

TEST_F(MenuWrappers, ExceptionFromComputeEnabledStopsAtTheGuardAsDisabled) {
    CountingItem item("Broken", "Test:Broken", 0, 0, nullptr, 0, nullptr);
    PlaceInExtensions(item);
    item.mThrowOnEnabled = true;
    EXPECT_FALSE(item.IsEnabled());
    EXPECT_EQ(qmhost::runMenuCommand("Test:Broken").outcome, RunOutcome::Disabled);
    EXPECT_EQ(item.mRuns, 0);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_FALSE(alerts.empty());
    EXPECT_NE(alerts.front().find("enabled rule broke"), std::string::npos) << alerts.front();
    item.Remove();
}

// --- every kind of failure in Execute stops at the guard and is reported

struct FailureRow {
    const char* label;
    std::function<void()> fail;
    const char* expectedAlert;  // null: no alert
};

void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.label; }

class MenuWrappersExecuteFailure : public MenuWrappers, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(MenuWrappersExecuteFailure, ExceptionFromExecuteDoesNotCrossIntoTheHost) {
    CountingItem item("Fails", "Test:Fails", 0, 0, nullptr, 0, nullptr);
    PlaceInExtensions(item);
    item.mOnExecute = GetParam().fail;
    qmhost::RunResult result;
    EXPECT_NO_THROW(result = qmhost::runMenuCommand("Test:Fails"));
    EXPECT_EQ(result.outcome, RunOutcome::Ran) << "the host saw a normal return";
    const auto alerts = qmtest::TakeAlerts();
    if (GetParam().expectedAlert) {
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_NE(alerts.front().find(GetParam().expectedAlert), std::string::npos) << alerts.front();
    } else {
        EXPECT_TRUE(alerts.empty());
    }
    item.Remove();
}

INSTANTIATE_TEST_SUITE_P(
    Failures, MenuWrappersExecuteFailure,
    ::testing::Values(
        FailureRow{"CodeWithMessageShowsTheMessage",
                   [] {
                       SetErrorMessage("cannot open the profile");
                       ThrowErrorCode(kErrOpenFile);
                   },
                   "cannot open the profile"},
        FailureRow{"CodeWithoutMessageNamesTheCode", [] { ThrowErrorCode(kErrNotFound); }, "8000"},
        FailureRow{"HostErrorShowsTheHostText", [] { gAppViewHFT->menuItemRelease(nullptr); },
                   "no such menu item"},
        FailureRow{"StandardExceptionShowsItsText", [] { throw std::runtime_error("out of paper"); },
                   "out of paper"},
        FailureRow{"UnknownExceptionIsStillReported", [] { throw 3.5; }, "failed"},
        FailureRow{"UserCancelIsNotAnError", [] { ThrowErrorCode(kErrUserCancelled); }, nullptr}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(MenuWrappers, ReportedMessageIsNotShownAgainByALaterFailure) {
    CountingItem item("Fails", "Test:Fails", 0, 0, nullptr, 0, nullptr);
    PlaceInExtensions(item);
    item.mOnExecute = [] {
        SetErrorMessage("first failure");
        ThrowErrorCode(kErrOpenFile);
    };
    qmhost::runMenuCommand("Test:Fails");
    item.mOnExecute = [] { ThrowErrorCode(kErrNotFound); };
    qmhost::runMenuCommand("Test:Fails");
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0], "first failure");
    EXPECT_EQ(alerts[1].find("first failure"), std::string::npos) << alerts[1];
    EXPECT_NE(alerts[1].find("8000"), std::string::npos) << alerts[1];
    item.Remove();
}

// --- items beside the host's own items

struct HostItemRow {
    const char* label;
    const char* hostItem;
    std::function<std::unique_ptr<CAVHostSubmenuItem>(const char* name)> make;
};

void PrintTo(const HostItemRow& row, std::ostream* os) { *os << row.label; }

template <class Variant>
std::unique_ptr<CAVHostSubmenuItem> MakeHostItem(const char* name) {
    return std::make_unique<CountingHostSubmenuItem<Variant>>("Quillmark...", name, 0, 0, nullptr, 0,
                                                              nullptr);
}

class MenuWrappersHostItems : public MenuWrappers, public ::testing::WithParamInterface<HostItemRow> {};

TEST_P(MenuWrappersHostItems, ItemEndsLastInTheSubmenuAndLeavesNoExtraReference) {
    const AVMenuItem hostItem = menus().findItem(GetParam().hostItem);
    ASSERT_NE(hostItem, nullptr);
    const AVMenu submenu = menus().item(hostItem).submenu;
    const int32_t itemRefs = References(hostItem);
    const int32_t submenuRefs = References(submenu);
    auto earlier = GetParam().make("Test:Earlier");
    auto item = GetParam().make("Test:Later");
    const int32_t count = gAppViewHFT->menuGetNumMenuItems(submenu);
    EXPECT_EQ(gAppViewHFT->menuGetMenuItemIndex(submenu, item->GetMenuItem()), count - 1);
    EXPECT_EQ(gAppViewHFT->menuGetMenuItemIndex(submenu, earlier->GetMenuItem()), count - 2);
    EXPECT_EQ(References(hostItem), itemRefs);
    EXPECT_EQ(References(submenu), submenuRefs);
    EXPECT_TRUE(item->IsEnabled());
    EXPECT_EQ(qmhost::runMenuCommand("Test:Later").outcome, RunOutcome::Ran);
    item->Remove();
    earlier->Remove();
}

TEST_P(MenuWrappersHostItems, MissingHostItemThrowsNotFoundAndChangesNoCount) {
    // Take the host item out for the test (held, so that it survives) and put it back after.
    const AVMenuItem hostItem = menus().findItem(GetParam().hostItem);
    const AVMenu home = menus().item(hostItem).menu;
    const int32_t index = gAppViewHFT->menuGetMenuItemIndex(home, hostItem);
    gAppViewHFT->menuItemAcquire(hostItem);
    gAppViewHFT->menuItemRemove(hostItem);
    try {
        GetParam().make("Test:Orphan");
        ADD_FAILURE() << "no failure";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrNotFound);
        EXPECT_NE(std::string(GetErrorMessage()).find(GetParam().hostItem), std::string::npos);
    }
    EXPECT_EQ(References(hostItem), 1) << "only the test's own";
    gAppViewHFT->menuAddMenuItem(home, hostItem, index);
    gAppViewHFT->menuItemRelease(hostItem);
}

INSTANTIATE_TEST_SUITE_P(
    HostItems, MenuWrappersHostItems,
    ::testing::Values(HostItemRow{"About", "AboutExtensions", &MakeHostItem<CAVAboutMenuItem>},
                      HostItemRow{"Help", "UsingExtensions", &MakeHostItem<CAVHelpMenuItem>},
                      HostItemRow{"Prefs", "Prefs", &MakeHostItem<CAVPrefsMenuItem>}),
    [](const auto& row) { return std::string(row.param.label); });

// --- menus

TEST_F(MenuWrappers, MenuFoundByNameHoldsExactlyOneReference) {
    const AVMenu extensions = menus().findMenu("Extensions");
    const int32_t before = References(extensions);
    {
        CAVMenu menu("Extensions");
        EXPECT_EQ(menu.GetMenu(), extensions);
        EXPECT_EQ(References(extensions), before + 1);
        EXPECT_STREQ(menu.GetName(), "Extensions");
    }
    EXPECT_EQ(References(extensions), before) << "the look-up's reference was given back";
}

TEST_F(MenuWrappers, MenuOfUnknownNameThrowsNotFound) {
    try {
        CAVMenu menu("Test:NoSuchMenu");
        ADD_FAILURE() << "no failure";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrNotFound);
    }
}

TEST_F(MenuWrappers, NewMenuGoesWithItsWrapperUnlessPlaced) {
    AVMenu handle = nullptr;
    {
        CAVMenu menu("Loose", "Test:Loose");
        handle = menu.GetMenu();
        EXPECT_EQ(References(handle), 1);
    }
    EXPECT_FALSE(menus().alive(handle));

    CAVMenu sub("Sub", "Test:Placed");
    CountingItem holder("Holder", "Test:Holder", 0, 0, sub.GetMenu(), 0, nullptr);
    CountingItem inner("Inner", "Test:Inner", 0, 0, nullptr, 0, nullptr);
    sub.AddMenuItem(inner.GetMenuItem());
    EXPECT_EQ(sub.GetNumMenuItems(), 1);
    const AVMenuItem first = sub.AcquireMenuItemByIndex(0);
    EXPECT_EQ(first, inner.GetMenuItem());
    gAppViewHFT->menuItemRelease(first);
    EXPECT_EQ(sub.AcquireMenuItemByIndex(1), nullptr);
}

// --- tool buttons

class CountingButton : public CAVToolButton {
public:
    using CAVToolButton::CAVToolButton;
    void Execute() override {
        ++mRuns;
        if (mThrow) ThrowErrorCode(kErrNoMemory);
    }
    int mRuns = 0;
    bool mThrow = false;
};

TEST_F(MenuWrappers, ButtonIsMadeWithCallbacksAndGoesWithItsWrapper) {
    AVToolButton handle = nullptr;
    {
        CountingButton button("Test:Button", 110, 0, 0, 7);
        handle = button.GetButton();
        const qmhost::ToolButtonRecord& record = toolbars().button(handle);
        EXPECT_STREQ(qmhost::atoms().text(record.name), "Test:Button");
        EXPECT_EQ(button.GetNameAtom(), record.name);
        EXPECT_FALSE(record.separator);
        EXPECT_EQ(record.procs.execute.clientData, static_cast<CAVToolButton*>(&button));
        EXPECT_EQ(button.GetKeptFlag(), 7);
        EXPECT_EQ(button.GetBitmapId(), 110);
        button.SetHelpText("管理印章");
        EXPECT_EQ(toolbars().button(handle).helpText, "管理印章");
        button.AddToToolsGroup();
    }
    EXPECT_FALSE(toolbars().alive(handle));
    EXPECT_EQ(toolbars().toolBar(gAppViewHFT->getToolBar()).buttons.size(), 1u) << "only the marker is left";
}

TEST_F(MenuWrappers, ButtonDefaultEnabledFollowsTheActiveView) {
    ASSERT_EQ(gAppViewHFT->getActiveDoc(), nullptr);
    CountingButton button("Test:Button", 110, 0, 0, 0);
    EXPECT_FALSE(gAppViewHFT->toolButtonIsEnabled(button.GetButton()));
    const AVDoc view = gAppViewHFT->avDocOpenFromPDDoc(gPDModelHFT->docCreate(), "blank");
    EXPECT_TRUE(gAppViewHFT->toolButtonIsEnabled(button.GetButton()));
    EXPECT_FALSE(gAppViewHFT->toolButtonIsMarked(button.GetButton()));
    gAppViewHFT->avDocClose(view, true);
    EXPECT_FALSE(gAppViewHFT->toolButtonIsEnabled(button.GetButton()));
}

TEST_F(MenuWrappers, ButtonJoinsTheToolsGroupBeforeItsMarker) {
    const AVToolBar tools = gAppViewHFT->getToolBar();
    CountingButton first("Test:First", 110, 0, 0, 0), second("Test:Second", 110, 0, 0, 0);
    first.AddToToolsGroup();
    second.AddToToolsGroup();
    const auto& buttons = toolbars().toolBar(tools).buttons;
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0], first.GetButton());
    EXPECT_EQ(buttons[1], second.GetButton());
    EXPECT_STREQ(qmhost::atoms().text(toolbars().button(buttons[2]).name), "endToolsGroup");
}

TEST_F(MenuWrappers, ButtonWithoutAMarkerGoesToTheEnd) {
    const AVToolBar tools = gAppViewHFT->getToolBar();
    const AVToolButton marker =
        gAppViewHFT->toolBarGetButtonByName(tools, qmhost::atoms().intern("endToolsGroup"));
    gAppViewHFT->toolButtonRemove(marker);
    {
        CountingButton button("Test:Button", 110, 0, 0, 0);
        EXPECT_NO_THROW(button.AddToToolsGroup());
        EXPECT_EQ(gAppViewHFT->toolBarGetNumButtons(tools), 1);
    }
    gAppViewHFT->toolBarAddButton(tools, marker, false, nullptr);
}

TEST_F(MenuWrappers, ButtonPlacedTwiceThrowsMinus108) {
    CountingButton button("Test:Button", 110, 0, 0, 0);
    button.AddBesideButton(0, nullptr);
    try {
        button.AddBesideButton(0, nullptr);
        ADD_FAILURE() << "no failure";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrNoMemory);
        EXPECT_TRUE(HasErrorMessage());
    }
}

TEST_F(MenuWrappers, ButtonThatTheHostCannotMakeThrowsMinus108) {
    try {
        CountingButton button(nullptr, 110, 0, 0, 0);
        ADD_FAILURE() << "no failure";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrNoMemory);
    }
}

TEST_F(MenuWrappers, ButtonExecuteRunsThroughTheGuard) {
    const AVToolBar bar = gAppViewHFT->toolBarNew("Test Wrappers Bar", "T");
    CountingButton button("Test:Run", 110, 0, 0, 0);
    gAppViewHFT->toolBarAddButton(bar, button.GetButton(), false, nullptr);
    const AVDoc view = gAppViewHFT->avDocOpenFromPDDoc(gPDModelHFT->docCreate(), "blank");
    EXPECT_EQ(qmhost::runMenuCommand("Test:Run").outcome, RunOutcome::Ran);
    button.mThrow = true;
    EXPECT_EQ(qmhost::runMenuCommand("Test:Run").outcome, RunOutcome::Ran);
    EXPECT_EQ(button.mRuns, 2);
    EXPECT_EQ(qmtest::TakeAlerts().size(), 1u);
    gAppViewHFT->avDocClose(view, true);
    EXPECT_EQ(qmhost::runMenuCommand("Test:Run").outcome, RunOutcome::Disabled);
    toolbars().removeToolBar("Test Wrappers Bar");
}

TEST_F(MenuWrappers, ButtonDropDownHoldsItsOwnMenuReference) {
    CountingButton button("Test:Drop", 110, 0, 0, 0);
    AVMenu handle = nullptr;
    {
        CAVMenu menu("Drop", "Test:DropMenu");
        handle = menu.GetMenu();
        button.SetMenu(handle);
        EXPECT_EQ(References(handle), 2);
    }
    ASSERT_TRUE(menus().alive(handle)) << "the button keeps it";
    button.SetMenu(nullptr);
    EXPECT_FALSE(menus().alive(handle));
}

}  // namespace
