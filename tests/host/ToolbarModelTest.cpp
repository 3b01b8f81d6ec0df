// The host's toolbar model through the AppView table as a plug-in uses it.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "MenuTestCommand.h"
#include "core/AtomTable.h"
#include "qmhost/HostError.h"
#include "view/MenuCommands.h"
#include "view/Menus.h"
#include "view/Toolbars.h"

namespace {

using menutest::Command;
using menutest::View;
using qmhost::RunOutcome;
using qmhost::toolbars;

class ToolbarModel : public ::testing::Test {
protected:
    void SetUp() override { qmhost::resetMenuModel(); }
    void TearDown() override { qmhost::resetMenuModel(); }

    static ASAtom Atom(const char* text) { return qmhost::atoms().intern(text); }
    static AVToolButton Button(const char* name, bool separator = false) {
        return View().toolButtonNew(Atom(name), nullptr, 0, separator);
    }
    static std::vector<std::string> Names(AVToolBar bar) {
        std::vector<std::string> names;
        for (AVToolButton button : toolbars().toolBar(bar).buttons)
            names.push_back(qmhost::atoms().text(toolbars().button(button).name));
        return names;
    }
};

TEST_F(ToolbarModel, ApplicationToolbarEndsItsToolsGroupWithAMarker) {
    const AVToolBar tools = View().getToolBar();
    EXPECT_EQ(View().toolBarGetByName("Tools"), tools);
    const AVToolButton marker = View().toolBarGetButtonByName(tools, Atom("endToolsGroup"));
    ASSERT_NE(marker, nullptr);
    EXPECT_TRUE(toolbars().button(marker).separator);
    EXPECT_EQ(View().toolBarGetByName("No such toolbar"), nullptr);
    EXPECT_EQ(View().toolBarGetByName(nullptr), nullptr);
}

TEST_F(ToolbarModel, NewToolbarNeedsAFreeName) {
    const AVToolBar bar = View().toolBarNew("Test Bar", "Test Bar Title");
    EXPECT_EQ(View().toolBarGetByName("Test Bar"), bar);
    EXPECT_EQ(toolbars().toolBar(bar).title, "Test Bar Title");
    EXPECT_THROW(View().toolBarNew("Test Bar", "Again"), HostError);
    EXPECT_THROW(View().toolBarNew("", "Empty"), HostError);
}

struct PlacementRow {
    const char* label;
    bool before;
    const char* other;  // null: none
    std::vector<std::string> expected;
};

void PrintTo(const PlacementRow& row, std::ostream* os) { *os << row.label; }

class ToolbarPlacement : public ToolbarModel, public ::testing::WithParamInterface<PlacementRow> {};

TEST_P(ToolbarPlacement, ButtonGoesWhereFlagAndOtherSay) {
    const AVToolBar bar = View().toolBarNew("Test Bar", "T");
    const AVToolButton a = Button("A"), b = Button("B");
    View().toolBarAddButton(bar, a, false, nullptr);
    View().toolBarAddButton(bar, b, false, nullptr);
    const AVToolButton other =
        GetParam().other ? View().toolBarGetButtonByName(bar, Atom(GetParam().other)) : nullptr;
    View().toolBarAddButton(bar, Button("N"), GetParam().before, other);
    EXPECT_EQ(Names(bar), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Placements, ToolbarPlacement,
    ::testing::Values(PlacementRow{"AfterNothingIsLast", false, nullptr, {"A", "B", "N"}},
                      PlacementRow{"BeforeNothingIsFirst", true, nullptr, {"N", "A", "B"}},
                      PlacementRow{"BeforeBIsBetween", true, "B", {"A", "N", "B"}},
                      PlacementRow{"AfterAIsBetween", false, "A", {"A", "N", "B"}},
                      PlacementRow{"AfterBIsLast", false, "B", {"A", "B", "N"}}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(ToolbarModel, PlacementThatCannotBeDoneRaisesAndChangesNothing) {
    const AVToolBar bar = View().toolBarNew("Test Bar", "T");
    const AVToolButton placed = Button("Placed");
    View().toolBarAddButton(bar, placed, false, nullptr);
    EXPECT_THROW(View().toolBarAddButton(bar, placed, false, nullptr), HostError) << "twice";
    const AVToolButton stranger = Button("Stranger");
    EXPECT_THROW(View().toolBarAddButton(bar, Button("New"), true, stranger), HostError) << "other elsewhere";
    EXPECT_EQ(Names(bar), std::vector<std::string>{"Placed"});
}

TEST_F(ToolbarModel, PositionRecordIsKeptByNameAndChecked) {
    AVToolBarPosition position{};
    position.size = sizeof position;
    position.offset = kAVToolBarAfterOthers;
    position.format = 1;
    View().toolBarSetPosition("Not made yet", 0, &position);
    const auto kept = toolbars().positionOf("Not made yet");
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(std::memcmp(&*kept, &position, sizeof position), 0);
    position.size = 36;
    EXPECT_THROW(View().toolBarSetPosition("Short", 0, &position), HostError);
    EXPECT_THROW(View().toolBarSetPosition("Null", 0, nullptr), HostError);
    EXPECT_FALSE(toolbars().positionOf("Short").has_value());
}

TEST_F(ToolbarModel, DestroyedButtonLeavesItsToolbarAndGivesBackItsMenu) {
    const AVToolBar bar = View().toolBarNew("Test Bar", "T");
    const AVToolButton button = Button("Drop");
    View().toolBarAddButton(bar, button, false, nullptr);
    const AVMenu menu = View().menuNew("Drop", "Test:DropMenu", nullptr);
    View().menuAcquire(menu);
    View().toolButtonSetMenu(button, menu);
    EXPECT_EQ(qmhost::menus().menu(menu).references, 2);
    View().toolButtonDestroy(button);
    EXPECT_EQ(View().toolBarGetNumButtons(bar), 0);
    EXPECT_EQ(qmhost::menus().menu(menu).references, 1);
    EXPECT_THROW(View().toolButtonSetHelpText(button, "stale"), HostError);
    View().menuRelease(menu);
    EXPECT_FALSE(qmhost::menus().alive(menu));
}

TEST_F(ToolbarModel, NewDropDownMenuReplacesAndReleasesTheOld) {
    const AVToolButton button = Button("Drop");
    const AVMenu first = View().menuNew("1", "Test:First", nullptr);
    const AVMenu second = View().menuNew("2", "Test:Second", nullptr);
    View().toolButtonSetMenu(button, first);
    View().toolButtonSetMenu(button, second);
    EXPECT_FALSE(qmhost::menus().alive(first)) << "its only holder let it go";
    const AVMenu held = View().toolButtonAcquireMenu(button);
    EXPECT_EQ(held, second);
    View().menuRelease(held);
    View().toolButtonSetMenu(button, nullptr);
    EXPECT_FALSE(qmhost::menus().alive(second));
}

TEST_F(ToolbarModel, ButtonStatesComeFromItsProcedures) {
    Command command;
    const AVToolButton button = Button("States");
    EXPECT_TRUE(View().toolButtonIsEnabled(button));
    EXPECT_FALSE(View().toolButtonIsMarked(button));
    menutest::InstallOnButton(button, command);
    command.enabled = false;
    command.marked = true;
    EXPECT_FALSE(View().toolButtonIsEnabled(button));
    EXPECT_TRUE(View().toolButtonIsMarked(button));
}

TEST_F(ToolbarModel, ButtonRunsOnlyWhenEnabled) {
    Command command;
    const AVToolBar bar = View().toolBarNew("Test Bar", "T");
    const AVToolButton button = Button("Test:Button");
    View().toolBarAddButton(bar, button, false, nullptr);
    menutest::InstallOnButton(button, command);
    EXPECT_EQ(qmhost::runMenuCommand("Test:Button").outcome, RunOutcome::Ran);
    command.enabled = false;
    EXPECT_EQ(qmhost::runMenuCommand("Test:Button").outcome, RunOutcome::Disabled);
    EXPECT_EQ(command.runs, 1);
}

TEST_F(ToolbarModel, DropDownItemsAreReachedThroughTheirButton) {
    Command buttonCommand, itemCommand;
    const AVToolBar bar = View().toolBarNew("Test Bar", "T");
    const AVToolButton button = Button("Test:Button");
    View().toolBarAddButton(bar, button, false, nullptr);
    menutest::InstallOnButton(button, buttonCommand);
    const AVMenu menu = View().menuNew("Drop", "Test:DropMenu", nullptr);
    View().toolButtonSetMenu(button, menu);
    const AVMenuItem item = View().menuItemNew("I", "Test:DropItem", nullptr, false, 0, 0, nullptr, nullptr);
    View().menuAddMenuItem(menu, item, kAVMenuAppend);
    menutest::InstallOnItem(item, itemCommand);

    EXPECT_EQ(qmhost::runMenuCommand("Test:DropItem").outcome, RunOutcome::Ran);
    buttonCommand.enabled = false;
    EXPECT_EQ(qmhost::runMenuCommand("Test:DropItem").outcome, RunOutcome::Disabled);
    EXPECT_EQ(itemCommand.runs, 1);
    EXPECT_EQ(buttonCommand.runs, 0);
}

TEST_F(ToolbarModel, ListShowsToolbarsButtonsAndSeparators) {
    Command command;
    command.marked = true;
    const AVToolBar bar = View().toolBarNew("VELM Test/Bar", "Test \"Bar\"");
    const AVToolButton button = Button("Test:Button");
    View().toolBarAddButton(bar, button, false, nullptr);
    View().toolBarAddButton(bar, Button("Separator1", true), false, nullptr);
    menutest::InstallOnButton(button, command);
    View().toolButtonSetHelpText(button, "管理印章");
    const std::string list = qmhost::listMenuModel();
    EXPECT_NE(list.find("toolbar \"Tools\" \"Tools\"\n  separator \"endToolsGroup\"\n"), std::string::npos)
        << list;
    EXPECT_NE(list.find("toolbar \"VELM Test/Bar\" \"Test \\\"Bar\\\"\"\n"
                        "  button \"Test:Button\" enabled marked help \"管理印章\"\n"
                        "  separator \"Separator1\"\n"),
              std::string::npos)
        << list;
    EXPECT_EQ(command.runs, 0);
}

TEST_F(ToolbarModel, ButtonsLeftByAnExtensionAreReportedAndDropped) {
    Command command;
    const ExtensionID gone = reinterpret_cast<ExtensionID>(uintptr_t{0x90e});
    const AVToolBar bar = View().toolBarNew("Test Bar", "T");
    const AVToolButton left = Button("Gone:Button");
    const AVToolButton separator = Button("Separator1", true);
    View().toolBarAddButton(bar, left, false, nullptr);
    View().toolBarAddButton(bar, separator, false, nullptr);
    menutest::InstallOnButton(left, command, gone);
    const AVMenu menu = View().menuNew("Drop", "Gone:Menu", gone);
    View().toolButtonSetMenu(left, menu);

    const auto leftovers = qmhost::menuModelLeftovers(gone);
    ASSERT_EQ(leftovers.size(), 2u);
    EXPECT_NE(leftovers[0].find("toolbar \"Test Bar\""), std::string::npos) << leftovers[0];
    EXPECT_NE(leftovers[1].find("Gone:Button"), std::string::npos) << leftovers[1];
    qmhost::dropMenuModelOf(gone);
    EXPECT_FALSE(toolbars().alive(left));
    EXPECT_FALSE(qmhost::menus().alive(menu));
    EXPECT_TRUE(toolbars().alive(separator)) << "no callbacks of the extension";
    EXPECT_EQ(Names(bar), std::vector<std::string>{"Separator1"});
}

}  // namespace
