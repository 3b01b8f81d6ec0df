#include "stamper/LogCommands.h"

#include "stamper/CStamperLog.h"
#include "stamper/OpenFileSeam.h"
#include "stamper/StamperMenuSupport.h"

CLogMenuItem* CLogMenuItem::smLogMenuItem = nullptr;

bool CLogViewMenuItem::ComputeEnabled() { return GetStamperLog().Exists(); }

void CLogViewMenuItem::Execute() {
    // What CStamperLog::View does, through the one seam that shows files, so
    // that every file the commands show goes the same way.
    const CStamperLog& log = GetStamperLog();
    if (log.Exists()) OpenFileForUser(log.GetFile().GetPath());
}

bool CLogClearMenuItem::ComputeEnabled() { return GetStamperLog().Exists(); }

void CLogClearMenuItem::Execute() { GetStamperLog().Clear(); }

CLogMenuItem::CLogMenuItem(AVMenu inParent) {
    BuildSubmenuItems([&] {
        mViewItem.Create(MenuTitle(kStrLogView).c_str(), "VELM:SLoggingView", 0, 0, nullptr, 0, nullptr);
        mClearItem.Create(MenuTitle(kStrLogClear).c_str(), "VELM:SLoggingClear", 0, 0, nullptr, 0, nullptr);
        mSubmenu.Create(MenuTitle(kStrLog).c_str(), "VELM:SLoggingMenu");
        mSubmenu.AddMenuItem(mViewItem.GetMenuItem(), kAVMenuAppend);
        mSubmenu.AddMenuItem(mClearItem.GetMenuItem(), kAVMenuAppend);
        Create(MenuTitle(kStrLog).c_str(), "VELM:SLogging", 0, 0, mSubmenu.GetMenu(), 0, nullptr);
        CAVMenu(inParent).AddMenuItem(GetMenuItem(), kAVMenuAppend);
    });
    smLogMenuItem = this;
}

CLogMenuItem::~CLogMenuItem() {
    if (smLogMenuItem == this) smLogMenuItem = nullptr;
    TakeOutOfMenu(*this);
}
