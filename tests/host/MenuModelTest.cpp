// The host's menu model through the AppView table as a plug-in uses it, and
// the host's own listing and running of menu commands.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "MenuTestCommand.h"
#include "common/PdfFixtures.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "loader/PluginLoader.h"
#include "view/MenuCommands.h"
#include "view/Menus.h"

namespace {

using menutest::Command;
using menutest::View;
using qmhost::menus;
using qmhost::RunOutcome;

class MenuModel : public ::testing::Test {
protected:
    void SetUp() override { qmhost::resetMenuModel(); }
    void TearDown() override { qmhost::resetMenuModel(); }

    AVMenu Extensions() { return menus().findMenu("Extensions"); }

    // An item of the test extension at the end of a menu.
    AVMenuItem AddItem(AVMenu menu, const char* name, const char* title = "Title", AVMenu submenu = nullptr) {
        const AVMenuItem item =
            View().menuItemNew(title, name, submenu, false, 0, 0, nullptr, menutest::TestExtension());
        View().menuAddMenuItem(menu, item, kAVMenuAppend);
        return item;
    }

    static int32_t References(AVMenuItem item) { return menus().item(item).references; }
    static int32_t References(AVMenu menu) { return menus().menu(menu).references; }
};

struct AnchorRow {
    const char* name;
    const char* submenu;
};

void PrintTo(const AnchorRow& row, std::ostream* os) { *os << row.name; }

class MenuModelAnchors : public MenuModel, public ::testing::WithParamInterface<AnchorRow> {};

TEST_P(MenuModelAnchors, HostItemIsInTheMenuBarWithASubmenu) {
    const AVMenuItem item = View().menubarAcquireMenuItemByName(View().getMenubar(), GetParam().name);
    ASSERT_NE(item, nullptr);
    const AVMenu submenu = View().menuItemAcquireSubmenu(item);
    ASSERT_NE(submenu, nullptr);
    EXPECT_STREQ(View().menuGetName(submenu), GetParam().submenu);
    EXPECT_EQ(View().menuGetNumMenuItems(submenu), 0);
    View().menuRelease(submenu);
    View().menuItemRelease(item);
    EXPECT_EQ(References(item), 0);
}

INSTANTIATE_TEST_SUITE_P(Anchors, MenuModelAnchors,
                         ::testing::Values(AnchorRow{"Prefs", "PrefsMenu"},
                                           AnchorRow{"AboutExtensions", "AboutExtensionsMenu"},
                                           AnchorRow{"UsingExtensions", "UsingExtensionsMenu"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(MenuModel, ExtensionsIsAMenuOfTheBar) {
    const AVMenu menu = View().menubarAcquireMenuByName(View().getMenubar(), "Extensions");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(References(menu), 1);
    View().menuRelease(menu);
    EXPECT_EQ(View().menubarAcquireMenuByName(View().getMenubar(), "NoSuchMenu"), nullptr);
    EXPECT_EQ(View().menubarAcquireMenuItemByName(View().getMenubar(), "NoSuchItem"), nullptr);
}

TEST_F(MenuModel, NewItemGivesTheCallerNoReference) {
    const AVMenuItem item = View().menuItemNew("T", "Test:New", nullptr, false, 0, 0, nullptr, nullptr);
    EXPECT_EQ(References(item), 0);
    EXPECT_EQ(View().menuItemAcquire(item), item);
    EXPECT_EQ(References(item), 1);
    View().menuItemRelease(item);
    EXPECT_FALSE(menus().alive(item)) << "unreferenced and in no menu";
}

TEST_F(MenuModel, ItemInAMenuOutlivesItsLastReferenceUntilRemoved) {
    const AVMenuItem item = AddItem(Extensions(), "Test:Kept");
    View().menuItemAcquire(item);
    View().menuItemRelease(item);
    ASSERT_TRUE(menus().alive(item));
    View().menuItemRemove(item);
    EXPECT_FALSE(menus().alive(item));
    EXPECT_THROW(View().menuItemGetName(item), HostError) << "a stale handle raises";
}

TEST_F(MenuModel, ReferencedItemSurvivesRemoval) {
    const AVMenuItem item = AddItem(Extensions(), "Test:Held");
    View().menuItemAcquire(item);
    View().menuItemRemove(item);
    ASSERT_TRUE(menus().alive(item));
    EXPECT_EQ(View().menuGetMenuItemIndex(Extensions(), item), -1);
    View().menuItemRelease(item);
    EXPECT_FALSE(menus().alive(item));
}

TEST_F(MenuModel, ReleaseWithoutReferenceRaises) {
    const AVMenuItem item = AddItem(Extensions(), "Test:Unheld");
    EXPECT_THROW(View().menuItemRelease(item), HostError);
    EXPECT_THROW(View().menuRelease(Extensions()), HostError);
    EXPECT_TRUE(menus().alive(item));
}

struct PositionRow {
    const char* label;
    int32_t position;
    int32_t expectedIndex;
};

void PrintTo(const PositionRow& row, std::ostream* os) { *os << row.label; }

class MenuModelPositions : public MenuModel, public ::testing::WithParamInterface<PositionRow> {};

TEST_P(MenuModelPositions, ItemGoesWhereThePositionSays) {
    AddItem(Extensions(), "Test:A");
    AddItem(Extensions(), "Test:B");
    const AVMenuItem item = View().menuItemNew("N", "Test:N", nullptr, false, 0, 0, nullptr, nullptr);
    View().menuAddMenuItem(Extensions(), item, GetParam().position);
    EXPECT_EQ(View().menuGetMenuItemIndex(Extensions(), item), GetParam().expectedIndex);
}

INSTANTIATE_TEST_SUITE_P(Positions, MenuModelPositions,
                         ::testing::Values(PositionRow{"ZeroIsFirst", 0, 0}, PositionRow{"OneIsSecond", 1, 1},
                                           PositionRow{"CountAppends", 2, 2},
                                           PositionRow{"NineThousandNineHundredNinetyNineAppends", 9999, 2},
                                           PositionRow{"NegativeAppends", -1, 2}),
                         [](const auto& row) { return std::string(row.param.label); });

TEST_F(MenuModel, ItemCannotBeInTwoMenus) {
    const AVMenuItem item = AddItem(Extensions(), "Test:Once");
    const AVMenu other = View().menuNew("Other", "Test:Other", nullptr);
    EXPECT_THROW(View().menuAddMenuItem(other, item, kAVMenuAppend), HostError);
    EXPECT_EQ(View().menuGetNumMenuItems(other), 0);
}

TEST_F(MenuModel, MenuCannotHoldItself) {
    const AVMenu sub = View().menuNew("Sub", "Test:Sub", nullptr);
    const AVMenuItem holder = AddItem(Extensions(), "Test:Holder", "Holder", sub);
    const AVMenuItem inner =
        View().menuItemNew("Inner", "Test:Inner", nullptr, false, 0, 0, nullptr, nullptr);
    View().menuAddMenuItem(sub, inner, kAVMenuAppend);
    View().menuItemRemove(holder);  // destroyed; its submenu goes with it
    EXPECT_FALSE(menus().alive(sub));

    const AVMenu loop = View().menuNew("Loop", "Test:Loop", nullptr);
    const AVMenuItem looped = View().menuItemNew("L", "Test:L", loop, false, 0, 0, nullptr, nullptr);
    EXPECT_THROW(View().menuAddMenuItem(loop, looped, kAVMenuAppend), HostError);
}

TEST_F(MenuModel, SubmenuCannotHangUnderTwoItems) {
    const AVMenu sub = View().menuNew("Sub", "Test:Shared", nullptr);
    AddItem(Extensions(), "Test:First", "First", sub);
    EXPECT_THROW(View().menuItemNew("Second", "Test:Second", sub, false, 0, 0, nullptr, nullptr), HostError);
    EXPECT_THROW(View().menuItemNew("Bar", "Test:Bar", Extensions(), false, 0, 0, nullptr, nullptr),
                 HostError)
        << "a menu of the bar";
}

TEST_F(MenuModel, ReferencedSubmenuOutlivesItsItem) {
    const AVMenu sub = View().menuNew("Sub", "Test:Kept", nullptr);
    View().menuAcquire(sub);
    const AVMenuItem holder = AddItem(Extensions(), "Test:Holder", "Holder", sub);
    View().menuItemRemove(holder);
    ASSERT_TRUE(menus().alive(sub));
    EXPECT_EQ(menus().menu(sub).ownerItem, nullptr);
    View().menuRelease(sub);
    EXPECT_FALSE(menus().alive(sub));
}

TEST_F(MenuModel, TitleIsCopiedUpToCapacityWithoutTerminator) {
    const AVMenuItem item = AddItem(Extensions(), "Test:Title", "Stamp documents");
    char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(View().menuItemGetTitle(item, nullptr, 0), 15);
    EXPECT_EQ(View().menuItemGetTitle(item, buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 8), "Stampxxx");
    View().menuItemSetTitle(item, nullptr);
    EXPECT_EQ(View().menuItemGetTitle(item, buffer, 8), 0);
    EXPECT_EQ(View().menuGetTitle(Extensions(), buffer, 8), 8);
    EXPECT_EQ(std::string(buffer, 8), "Extensio");
}

TEST_F(MenuModel, ShortcutAndLongOnlyAreKept) {
    const AVMenuItem item = View().menuItemNew("S", "Test:S", nullptr, true, 'K', 2, nullptr, nullptr);
    char key = 0;
    int16_t flags = 0;
    EXPECT_TRUE(View().menuItemGetShortcut(item, &key, &flags));
    EXPECT_EQ(key, 'K');
    EXPECT_EQ(flags, 2);
    EXPECT_TRUE(View().menuItemIsLongOnly(item));
    const AVMenuItem plain = View().menuItemNew("P", "Test:P", nullptr, false, 0, 2, nullptr, nullptr);
    EXPECT_FALSE(View().menuItemGetShortcut(plain, nullptr, &flags));
    EXPECT_EQ(flags, 0);
}

TEST_F(MenuModel, EnabledAndMarkedComeFromTheProcedures) {
    Command command;
    const AVMenuItem item = AddItem(Extensions(), "Test:Proc");
    EXPECT_TRUE(View().menuItemIsEnabled(item)) << "no procedure: enabled";
    EXPECT_FALSE(View().menuItemIsMarked(item));
    menutest::InstallOnItem(item, command);
    command.enabled = false;
    command.marked = true;
    EXPECT_FALSE(View().menuItemIsEnabled(item));
    EXPECT_TRUE(View().menuItemIsMarked(item));
    command.throwOnEnabled = true;
    command.enabled = true;
    EXPECT_FALSE(View().menuItemIsEnabled(item)) << "a procedure that throws stops at the boundary";
}

TEST_F(MenuModel, ProcedureTheHostDidNotMakeIsRefused) {
    const AVMenuItem item = AddItem(Extensions(), "Test:Bad");
    EXPECT_THROW(
        View().menuItemSetExecuteProc(item, reinterpret_cast<ASCallback>(uintptr_t{0xdead}), nullptr),
        HostError);
}

TEST_F(MenuModel, FindByNameIsDepthFirstInBarOrder) {
    const AVMenu sub = View().menuNew("Sub", "Test:Sub", nullptr);
    const AVMenuItem outer = AddItem(Extensions(), "Test:Outer", "Outer", sub);
    const AVMenuItem deep = AddItem(sub, "Test:Twin");
    AddItem(Extensions(), "Test:Twin");
    EXPECT_EQ(menus().findItem("Test:Twin"), deep);
    EXPECT_EQ(menus().findMenu("Test:Sub"), sub);
    EXPECT_EQ(menus().findItem("Test:Outer"), outer);
    EXPECT_EQ(menus().findItem("Prefs"), menus().itemAt(menus().findMenu("Edit"), 0));
}

// --- running and listing

TEST_F(MenuModel, EnabledItemRunsOnce) {
    Command command;
    menutest::InstallOnItem(AddItem(Extensions(), "Test:Run"), command);
    const auto result = qmhost::runMenuCommand("Test:Run");
    EXPECT_EQ(result.outcome, RunOutcome::Ran) << result.message;
    EXPECT_EQ(command.runs, 1);
    EXPECT_GE(command.enabledAsked, 1) << "enabled is computed before running";
}

// Direct objects that a command made and left unheld are released when the
// outermost command returns, not while any command is still running: an inner
// command's return leaves the outer command's objects usable.
struct ObjectMaker {
    CosDoc doc = nullptr;
    CosObj loose{}, kept{};
    bool looseUsableAfterInner = false;
};

void MakeObjectsAndRunInner(void* client) {
    auto* maker = static_cast<ObjectMaker*>(client);
    const CosTable& cos = *qmhost::cosTable();
    maker->loose = cos.newDict(maker->doc, false, 1);
    maker->kept = cos.newDict(maker->doc, false, 1);
    cos.dictPut(cos.docGetRoot(maker->doc), qmtest::nameAtom("QMKept"), maker->kept);
    qmhost::runMenuCommand("Test:InnerRun");
    maker->looseUsableAfterInner = cos.objGetType(maker->loose) == CosDict;
}

TEST_F(MenuModel, UnheldObjectsOfACommandAreReleasedWhenTheOutermostReturns) {
    qmtest::HostDoc doc = qmtest::HostDoc::create();
    ObjectMaker maker;
    maker.doc = doc.cos();
    Command inner;
    const AVMenuItem outer = AddItem(Extensions(), "Test:OuterRun");
    View().menuItemSetExecuteProc(outer, menutest::Callback(&MakeObjectsAndRunInner), &maker);
    menutest::InstallOnItem(AddItem(Extensions(), "Test:InnerRun"), inner);
    const auto result = qmhost::runMenuCommand("Test:OuterRun");
    ASSERT_EQ(result.outcome, RunOutcome::Ran) << result.message;
    EXPECT_EQ(inner.runs, 1);
    EXPECT_TRUE(maker.looseUsableAfterInner);
    EXPECT_EQ(qmhost::cosTable()->objGetType(maker.kept), CosDict);
    try {
        qmhost::cosTable()->objGetType(maker.loose);
        ADD_FAILURE() << "the loose dictionary's handle is still valid";
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrBadHandle);
    }
}

TEST_F(MenuModel, DisabledItemIsNotRun) {
    Command command;
    command.enabled = false;
    menutest::InstallOnItem(AddItem(Extensions(), "Test:Off"), command);
    EXPECT_EQ(qmhost::runMenuCommand("Test:Off").outcome, RunOutcome::Disabled);
    EXPECT_EQ(command.runs, 0);
}

TEST_F(MenuModel, ItemUnderADisabledItemIsNotRun) {
    Command holder, inner;
    holder.enabled = false;
    const AVMenu sub = View().menuNew("Sub", "Test:Sub", nullptr);
    menutest::InstallOnItem(AddItem(Extensions(), "Test:Holder", "Holder", sub), holder);
    menutest::InstallOnItem(AddItem(sub, "Test:Inner"), inner);
    const auto result = qmhost::runMenuCommand("Test:Inner");
    EXPECT_EQ(result.outcome, RunOutcome::Disabled);
    EXPECT_NE(result.message.find("Test:Holder"), std::string::npos) << result.message;
    EXPECT_EQ(inner.runs, 0);
}

TEST_F(MenuModel, RunFindsAnItemThatItsParentRebuildsWhenAsked) {
    // As the stamp submenu does: its enabled procedure makes its items anew.
    Command holder, rebuilt;
    const AVMenu sub = View().menuNew("Sub", "Test:Rebuilt", nullptr);
    holder.onEnabled = [&] {
        while (View().menuGetNumMenuItems(sub) > 0) {
            const AVMenuItem old = View().menuAcquireMenuItemByIndex(sub, 0);
            View().menuItemRemove(old);
            View().menuItemRelease(old);
        }
        const AVMenuItem fresh =
            View().menuItemNew("P", "Test:Profile0", nullptr, false, 0, 0, nullptr, nullptr);
        menutest::InstallOnItem(fresh, rebuilt);
        View().menuAddMenuItem(sub, fresh, kAVMenuAppend);
    };
    menutest::InstallOnItem(AddItem(Extensions(), "Test:Stamp", "Stamp", sub), holder);
    EXPECT_EQ(menus().findItem("Test:Profile0"), nullptr) << "not built before the menu is opened";
    const auto result = qmhost::runMenuCommand("Test:Profile0");
    EXPECT_EQ(result.outcome, RunOutcome::Ran) << result.message;
    EXPECT_EQ(rebuilt.runs, 1);
    EXPECT_EQ(View().menuGetNumMenuItems(sub), 1) << "old items were taken out, not piled up";
}

TEST_F(MenuModel, RunReportsUnknownNamesSeparatorsAndSubmenuHolders) {
    AddItem(Extensions(), "Test:Sep", "-");
    AddItem(Extensions(), "Test:Holder", "Holder", View().menuNew("Sub", "Test:Sub", nullptr));
    EXPECT_EQ(qmhost::runMenuCommand("Test:Nothing").outcome, RunOutcome::NotFound);
    EXPECT_EQ(qmhost::runMenuCommand("Test:Sep").outcome, RunOutcome::NoAction);
    EXPECT_EQ(qmhost::runMenuCommand("Test:Holder").outcome, RunOutcome::NoAction);
}

TEST_F(MenuModel, ExecuteThatThrowsIsReportedNotPassedOn) {
    Command command;
    command.throwOnRun = true;
    menutest::InstallOnItem(AddItem(Extensions(), "Test:Throws"), command);
    qmhost::RunResult result;
    EXPECT_NO_THROW(result = qmhost::runMenuCommand("Test:Throws"));
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_NE(result.message.find("run failed"), std::string::npos) << result.message;
}

TEST_F(MenuModel, ListShowsTheTreeWithStates) {
    Command on, off;
    off.enabled = false;
    off.marked = true;
    const AVMenu sub = View().menuNew("Sub \"q\"", "Test:Sub", nullptr);
    menutest::InstallOnItem(AddItem(Extensions(), "Test:Holder", "Holder", sub), on);
    menutest::InstallOnItem(AddItem(sub, "Test:Off", "Off"), off);
    AddItem(sub, "Test:Sep", "-");
    const std::string list = qmhost::listMenuModel();
    const std::string expected =
        "  menu \"Extensions\" \"Extensions\"\n"
        "    item \"Test:Holder\" \"Holder\" enabled\n"
        "      menu \"Test:Sub\" \"Sub \\\"q\\\"\"\n"
        "        item \"Test:Off\" \"Off\" disabled marked\n"
        "        separator \"Test:Sep\"\n";
    EXPECT_NE(list.find(expected), std::string::npos) << list;
    EXPECT_EQ(list.rfind("menubar\n", 0), 0u) << list;
    EXPECT_NE(list.find("    item \"Prefs\" \"Preferences\" enabled\n"), std::string::npos) << list;
    EXPECT_EQ(off.runs, 0) << "listing runs nothing";
}

TEST_F(MenuModel, ListComputesAnItemBeforeShowingItsSubmenu) {
    Command holder;
    const AVMenu sub = View().menuNew("Sub", "Test:Sub", nullptr);
    holder.onEnabled = [&] {
        if (View().menuGetNumMenuItems(sub) == 0)
            View().menuAddMenuItem(
                sub, View().menuItemNew("Built", "Test:Built", nullptr, false, 0, 0, nullptr, nullptr), 0);
    };
    menutest::InstallOnItem(AddItem(Extensions(), "Test:Holder", "Holder", sub), holder);
    EXPECT_NE(qmhost::listMenuModel().find("item \"Test:Built\""), std::string::npos);
}

// --- what an unloaded plug-in leaves behind

TEST_F(MenuModel, ExtensionLeftoversAreReportedAndDropped) {
    Command command;
    const ExtensionID gone = reinterpret_cast<ExtensionID>(uintptr_t{0x90e});
    const AVMenu sub = View().menuNew("Sub", "Gone:Sub", gone);
    const AVMenuItem holder = View().menuItemNew("H", "Gone:Holder", sub, false, 0, 0, nullptr, gone);
    View().menuAddMenuItem(Extensions(), holder, kAVMenuAppend);
    const AVMenuItem busy = View().menuItemNew("B", "Gone:Busy", nullptr, false, 0, 0, nullptr, gone);
    View().menuAddMenuItem(sub, busy, kAVMenuAppend);
    menutest::InstallOnItem(busy, command, gone);
    View().menuItemAcquire(busy);  // a reference the plug-in never gave back

    const auto leftovers = qmhost::menuModelLeftovers(gone);
    ASSERT_EQ(leftovers.size(), 2u);
    EXPECT_NE(leftovers[0].find("Gone:Busy"), std::string::npos) << leftovers[0];
    EXPECT_NE(leftovers[1].find("Gone:Sub"), std::string::npos) << leftovers[1];

    qmhost::dropMenuModelOf(gone);
    EXPECT_FALSE(menus().alive(busy));
    EXPECT_FALSE(menus().alive(holder));
    EXPECT_FALSE(menus().alive(sub));
    EXPECT_EQ(View().menuGetNumMenuItems(Extensions()), 0);
    EXPECT_TRUE(qmhost::menuModelLeftovers(gone).empty());
}

TEST_F(MenuModel, DroppingAnExtensionLeavesOthersAndTheHostAlone) {
    Command command;
    const ExtensionID gone = reinterpret_cast<ExtensionID>(uintptr_t{0x90e});
    const AVMenuItem keep = AddItem(Extensions(), "Test:Keep");
    menutest::InstallOnItem(keep, command);
    qmhost::dropMenuModelOf(gone);
    EXPECT_TRUE(menus().alive(keep));
    EXPECT_NE(menus().findItem("Prefs"), nullptr);
    EXPECT_TRUE(qmhost::menuModelLeftovers(gone).empty());
}

// A small plug-in that puts one command into "Extensions" at initialisation
// and, when told to, takes it out again at unload.
namespace fake {

const CoreTable* gCore = nullptr;
ExtensionID gExt = nullptr;
bool gCleanUp = true;
AVMenuItem gItem = nullptr;
Command gCommand;

template <class F>
ASCallback Make(F proc) {
    return gCore->makeCallback(gExt, reinterpret_cast<ASProc>(proc));
}
bool Yes() { return true; }
bool Init() {
    gItem = View().menuItemNew("Fake", "Fake:Command", nullptr, false, 0, 0, nullptr, gExt);
    View().menuAddMenuItem(menus().findMenu("Extensions"), gItem, kAVMenuAppend);
    menutest::InstallOnItem(gItem, gCommand, gExt);
    return true;
}
bool Unload() {
    if (gCleanUp) {
        View().menuItemSetComputeEnabledProc(gItem, nullptr, nullptr);
        View().menuItemSetComputeMarkedProc(gItem, nullptr, nullptr);
        View().menuItemSetExecuteProc(gItem, nullptr, nullptr);
        View().menuItemRemove(gItem);
    }
    return true;
}
bool Handshake(uint32_t, void* data) {
    auto* hs = static_cast<PIHandshakeData*>(data);
    hs->extensionName = gCore->atomFromString("TEST:MenuFake");
    hs->exportTablesCallback = Make(Yes);
    hs->importReplaceRegisterCallback = Make(Yes);
    hs->initCallback = Make(Init);
    hs->unloadCallback = Make(Unload);
    return true;
}
bool Setup(uint32_t, void* data) {
    auto* setup = static_cast<PISetupData*>(data);
    gCore = setup->coreTable;
    gExt = setup->extensionID;
    setup->handshakeCallback = Make(Handshake);
    return true;
}
bool Main(uint32_t, uint32_t* outVersion, PISetupProc* outSetup, void*) {
    *outVersion = kHandshakeVersion;
    *outSetup = Setup;
    return true;
}

}  // namespace fake

TEST_F(MenuModel, LoaderReportsAndDropsMenuItemsLeftAtUnload) {
    fake::gCleanUp = false;
    qmhost::PluginLoader loader;
    ASSERT_TRUE(loader.start(&fake::Main).ok);
    ASSERT_EQ(qmhost::runMenuCommand("Fake:Command").outcome, RunOutcome::Ran);
    loader.unload();
    const auto& leftovers = loader.leftovers();
    ASSERT_EQ(leftovers.size(), 2u);
    EXPECT_NE(leftovers[0].find("Fake:Command"), std::string::npos) << leftovers[0];
    EXPECT_NE(leftovers[1].find("Extensions"), std::string::npos) << leftovers[1];
    EXPECT_FALSE(menus().alive(fake::gItem)) << "dropped with its extension";
    EXPECT_EQ(qmhost::runMenuCommand("Fake:Command").outcome, RunOutcome::NotFound);
}

TEST_F(MenuModel, LoaderFindsNothingLeftWhenThePluginCleansUp) {
    fake::gCleanUp = true;
    qmhost::PluginLoader loader;
    ASSERT_TRUE(loader.start(&fake::Main).ok);
    loader.unload();
    EXPECT_TRUE(loader.leftovers().empty()) << loader.leftovers().front();
    EXPECT_FALSE(menus().alive(fake::gItem));
}

}  // namespace
