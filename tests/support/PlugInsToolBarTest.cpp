// The shared plug-ins toolbar: found or made once, buttons and separators
// appended, separator names Separator1 .. Separator16.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "core/AtomTable.h"
#include "support/av/CAVToolButton.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/av/PlugInsToolBar.h"
#include "view/Toolbars.h"

namespace {

using qmhost::toolbars;

class PlugInsToolBar : public ::testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        ClearErrorMessage();
        RemoveSharedToolBar();
    }
    void TearDown() override { RemoveSharedToolBar(); }

    // Takes the shared toolbar away with the buttons made here on it.
    static void RemoveSharedToolBar() {
        const AVToolBar bar = toolbars().find(kPlugInsToolBarName);
        if (!bar) return;
        const std::vector<AVToolButton> buttons = toolbars().toolBar(bar).buttons;
        for (AVToolButton button : buttons)
            if (toolbars().button(button).separator) gAppViewHFT->toolButtonDestroy(button);
        toolbars().removeToolBar(kPlugInsToolBarName);
    }
    static int SharedToolBarCount() {
        int count = 0;
        for (AVToolBar bar : toolbars().toolBarsInOrder())
            count += toolbars().toolBar(bar).name == kPlugInsToolBarName;
        return count;
    }
    static std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (AVToolButton button : toolbars().toolBar(toolbars().find(kPlugInsToolBarName)).buttons)
            names.push_back(qmhost::atoms().text(toolbars().button(button).name));
        return names;
    }
    static AVToolButton RawButton(const char* name, bool separator) {
        return gAppViewHFT->toolButtonNew(gCoreHFT->atomFromString(name), nullptr, 0, separator);
    }
};

TEST_F(PlugInsToolBar, PositionRecordHoldsItsFortyBytesInOrder) {
    const AVToolBarPosition position = MakePlugInsToolBarPosition();
    uint8_t bytes[40];
    static_assert(sizeof position == sizeof bytes);
    std::memcpy(bytes, &position, sizeof bytes);
    const uint8_t expected[40] = {
        40,   0,    0,    0,                 // +0 size
        0,    0,    0,    0,                 // +4, +6
        0,    0,    0,    0,                 // +8
        0xff, 0xff, 0xff, 0x7f,              // +12
        0xff, 0xff, 0xff, 0x7f,              // +16
        0xff, 0xff, 0xff, 0xff,              // +20 -1
        0,    0,    0,    0,    0, 0, 0, 0,  // +24
        0,    0,    0,    0,                 // +32, +34
        1,    0,    0,    0,                 // +36 1, +38 0
    };
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 40), std::vector<uint8_t>(expected, expected + 40));
}

TEST_F(PlugInsToolBar, FirstButtonMakesTheToolBarOnceAndTheSecondGoesAfterIt) {
    ASSERT_EQ(gAppViewHFT->toolBarGetByName(kPlugInsToolBarName), nullptr);
    CAVToolButton first("Test:First", 110, 0, 0, 0), second("Test:Second", 110, 0, 0, 0);
    AddPlugInsToolButton(first.GetButton());
    const AVToolBar bar = gAppViewHFT->toolBarGetByName(kPlugInsToolBarName);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(toolbars().toolBar(bar).title, "VELM PDF/Pellora Plug-ins");
    const auto registered = toolbars().positionOf(kPlugInsToolBarName);
    ASSERT_TRUE(registered.has_value());
    const AVToolBarPosition expected = MakePlugInsToolBarPosition();
    EXPECT_EQ(std::memcmp(&*registered, &expected, sizeof expected), 0);

    AddPlugInsToolButton(second.GetButton());
    EXPECT_EQ(SharedToolBarCount(), 1);
    EXPECT_EQ(AcquirePlugInsToolBar(), bar);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Test:First", "Test:Second"}));
}

TEST_F(PlugInsToolBar, ToolBarOfASiblingIsFoundNotMadeAgain) {
    const AVToolBar sibling = gAppViewHFT->toolBarNew(kPlugInsToolBarName, "Made by a sibling");
    EXPECT_EQ(AcquirePlugInsToolBar(), sibling);
    EXPECT_EQ(toolbars().toolBar(sibling).title, "Made by a sibling");
    EXPECT_FALSE(toolbars().positionOf(kPlugInsToolBarName).has_value()) << "its maker registered it, or not";
    EXPECT_EQ(SharedToolBarCount(), 1);
}

TEST_F(PlugInsToolBar, TwoSeparatorsAreSeparator1AndSeparator2) {
    CAVToolButton button("Test:Button", 110, 0, 0, 0);
    AddPlugInsToolButton(button.GetButton());
    AddPlugInsToolSeparator();
    AddPlugInsToolSeparator();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Test:Button", "Separator1", "Separator2"}));
    for (AVToolButton child : toolbars().toolBar(AcquirePlugInsToolBar()).buttons)
        EXPECT_EQ(toolbars().button(child).separator, child != button.GetButton());
}

TEST_F(PlugInsToolBar, SeparatorNameSkipsNamesInUse) {
    const AVToolBar bar = AcquirePlugInsToolBar();
    gAppViewHFT->toolBarAddButton(bar, RawButton("Separator1", true), false, nullptr);
    gAppViewHFT->toolBarAddButton(bar, RawButton("Separator3", true), false, nullptr);
    EXPECT_STREQ(gCoreHFT->atomGetString(MakeSeparatorName(bar)), "Separator2");
    AddPlugInsToolSeparator();
    EXPECT_STREQ(gCoreHFT->atomGetString(MakeSeparatorName(bar)), "Separator4");
}

TEST_F(PlugInsToolBar, AllSixteenSeparatorNamesTakenFailsCleanly) {
    for (int i = 0; i < kPlugInsToolBarSeparators; ++i) AddPlugInsToolSeparator();
    const AVToolBar bar = AcquirePlugInsToolBar();
    ASSERT_EQ(gAppViewHFT->toolBarGetNumButtons(bar), 16);
    EXPECT_EQ(Names().back(), "Separator16");
    try {
        AddPlugInsToolSeparator();
        ADD_FAILURE() << "a seventeenth separator was added";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrNoMemory);
        EXPECT_NE(std::string(GetErrorMessage()).find("Separator16"), std::string::npos) << GetErrorMessage();
    }
    EXPECT_EQ(gAppViewHFT->toolBarGetNumButtons(bar), 16) << "nothing added";
    EXPECT_FALSE(qmhost::atoms().find("Separator17", nullptr)) << "no name past the sixteenth is tried";
    EXPECT_THROW(MakeSeparatorName(bar), ErrorCode);
}

}  // namespace
