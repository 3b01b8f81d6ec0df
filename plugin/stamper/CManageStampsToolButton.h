// The toolbar button "VELM:SStampT" (bitmap 110, help text string 7) on the
// family's shared plug-ins toolbar: pressing it runs Manage Stamps; its
// drop-down menu is the one of CToolButtonMenuItem (Stamp and Undo).
#pragma once

#include "support/av/CAVToolButton.h"

inline constexpr const char kManageStampsButtonName[] = "VELM:SStampT";
inline constexpr uint16_t kManageStampsBitmapId = 110;

class CManageStampsToolButton : public CAVToolButton {
public:
    // Makes the button (on no toolbar yet) and sets its help text. Throws as
    // CAVToolButton when the host cannot make it.
    CManageStampsToolButton();
    // Destroys the separator put after the button, then the button.
    ~CManageStampsToolButton() override;

    // Puts the button at the end of the shared plug-ins toolbar, a separator
    // after it (one of "Separator1" to "Separator16"), and gives it inMenu as its
    // drop-down (null: none). The separator is the button's own and goes with it.
    void AddToPlugInsToolBar(AVMenu inMenu);

    // Runs the Execute of the Manage Stamps item of the plug-in's menu
    // (CStamperMenuItem); nothing when that menu does not exist.
    void Execute() override;
    // That item's enabled rule; false when the menu does not exist.
    bool ComputeEnabled() override;

    AVToolButton GetSeparator() const { return mSeparator; }

private:
    AVToolButton mSeparator = nullptr;
};
