#include "stamper/HostAnchorMenuItems.h"

#include <string>

#include "stamper/HostServices.h"
#include "stamper/OpenFileSeam.h"
#include "stamper/SiblingPlugin.h"
#include "stamper/StamperDialogSeams.h"
#include "stamper/StamperMenuSupport.h"
#include "support/Alerts.h"
#include "support/av/CAVMenu.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostHandle.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostTables.h"
#include "support/io/ModulePaths.h"
#include "support/ScopeGuard.h"

namespace {

constexpr const char* kHelpHostItem = "UsingExtensions";

}  // namespace

// --- CPrefsMenuItem

CPrefsMenuItem::CPrefsMenuItem()
    : CAVPrefsMenuItem(MenuTitle(kStrStamperMenuTitle).c_str(), "VELM:SPrefs", 0, 0, nullptr, 0, nullptr) {}

CPrefsMenuItem::~CPrefsMenuItem() { TakeOutOfMenu(*this); }

void CPrefsMenuItem::Execute() { RunStamperDialog(StamperDialog::kPreferences); }

// --- CAboutMenuItem

CAboutMenuItem::CAboutMenuItem()
    : CAVAboutMenuItem(MenuTitle(kStrStamperMenuTitle).c_str(), "VELM:StamperAbout", 0, 0, nullptr, 0, nullptr) {}

CAboutMenuItem::~CAboutMenuItem() { TakeOutOfMenu(*this); }

void CAboutMenuItem::Execute() { RunStamperDialog(StamperDialog::kAboutBox); }

// --- CHelpMenuItem

CHelpMenuItem::CHelpMenuItem() {
    const std::string title = MenuTitle(kStrStamperMenuTitle);
    const auto detach = OnFailure([this] { Detach(); });  // no destructor runs for a constructor that throws
    if (IsSiblingPluginInstalled())
        CreateInFamilyMenu();
    else
        CAVHelpMenuItem::Create(title.c_str(), "VELM:StamperHelp", 0, 0, nullptr, 0, nullptr);
}

CHelpMenuItem::~CHelpMenuItem() { TakeOutOfMenu(*this); }

void CHelpMenuItem::CreateInFamilyMenu() {
    // The references handed over by the host go back on every road out.
    const CHostMenuItemRef hostItem(AcquireMenuItemByName(kHelpHostItem));
    if (!hostItem.Get()) {
        SetErrorMessage(std::string("The host menu item ") + kHelpHostItem + " is not in the menu bar.");
        ThrowErrorCode(kErrNotFound);
    }
    const CHostMenuRef hostSubmenu(gAppViewHFT->menuItemAcquireSubmenu(hostItem.Get()));
    if (!hostSubmenu.Get()) {
        SetErrorMessage(std::string("The host menu item ") + kHelpHostItem + " has no submenu.");
        ThrowErrorCode(kErrNotFound);
    }
    CHostMenuRef family(gAppViewHFT->menubarAcquireMenuByName(gAppViewHFT->getMenubar(), kFamilyHelpMenuName));
    if (!family.Get()) {
        // The first plug-in of the family to start makes the family's menu.
        const AVMenu made = gAppViewHFT->menuNew("", kFamilyHelpMenuName, gExtensionID);
        family = CHostMenuRef(gAppViewHFT->menuAcquire(made));
        const AVMenuItem holder = gAppViewHFT->menuItemNew(kFamilyHelpItemTitle, kFamilyHelpMenuName, made,
                                                            false, 0, 2, nullptr, gExtensionID);
        gAppViewHFT->menuAddMenuItem(hostSubmenu.Get(), holder, kAVMenuAppend);
    }
    CAVMenuItem::Create(MenuTitle(kStrStamperMenuTitle).c_str(), "VELM:StamperHelp", 0, 0, nullptr, 0, nullptr);
    gAppViewHFT->menuAddMenuItem(family.Get(), GetMenuItem(), kAVMenuAppend);
}

void CHelpMenuItem::Execute() {
    const std::string guide = GetPlugInDataFilePath(MenuTitle(kStrUserGuideFile).c_str());
    if (guide.empty() || !PathExists(guide.c_str(), kPathExistsNoFolder)) {
        AlertResString(kStrUserGuideMissing, guide.c_str());
        return;
    }
    OpenFileForUser(guide);
}
