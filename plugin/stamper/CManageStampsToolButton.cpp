#include "stamper/CManageStampsToolButton.h"

#include "stamper/StamperMenuItems.h"
#include "stamper/StamperMenuSupport.h"
#include "support/HostFrame.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"
#include "support/av/PlugInsToolBar.h"

CManageStampsToolButton::CManageStampsToolButton()
    : CAVToolButton(kManageStampsButtonName, kManageStampsBitmapId, 0, 0, 0) {
    SetHelpText(MenuTitle(kStrManageStamps).c_str());
}

CManageStampsToolButton::~CManageStampsToolButton() {
    // The separator would otherwise stay on the shared toolbar after an unload,
    // and every new start would add one more.
    // A host that refuses has dropped it already.
    CHostToolButton(std::exchange(mSeparator, nullptr)).Reset();
}

void CManageStampsToolButton::AddToPlugInsToolBar(AVMenu inMenu) {
    AddPlugInsToolButton(GetButton());
    // The name AddPlugInsToolSeparator gives is the first free one: find the
    // separator by it afterwards, so that it can be taken down with the button.
    const AVToolBar toolBar = AcquirePlugInsToolBar();
    const ASAtom separatorName = MakeSeparatorName(toolBar);
    AddPlugInsToolSeparator();
    mSeparator = gAppViewHFT->toolBarGetButtonByName(toolBar, separatorName);
    SetMenu(inMenu);
}

void CManageStampsToolButton::Execute() {
    if (CStamperMenuItem* menu = CStamperMenuItem::smStamperMenuItem) menu->GetManageStampsItem().Execute();
}

bool CManageStampsToolButton::ComputeEnabled() {
    CStamperMenuItem* menu = CStamperMenuItem::smStamperMenuItem;
    return menu && menu->GetManageStampsItem().ComputeEnabled();
}
