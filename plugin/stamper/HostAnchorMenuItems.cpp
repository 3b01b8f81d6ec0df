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
#include "support/io/FileSystemHelpers.h"
#include "support/HostTables.h"
#include "support/io/ModulePaths.h"

namespace {

constexpr const char* kHelpHostItem = "UsingExtensions";

// Hold a reference handed over by the host and give it back on every road out.
struct AcquiredItem {
    AVMenuItem item = nullptr;
    ~AcquiredItem() {
        if (!item) return;
        try {
            gAppViewHFT->menuItemRelease(item);
        } catch (...) {
        }
    }
};

struct AcquiredMenu {
    AVMenu menu = nullptr;
    ~AcquiredMenu() {
        if (!menu) return;
        try {
            gAppViewHFT->menuRelease(menu);
        } catch (...) {
        }
    }
};

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
    try {
        if (IsSiblingPluginInstalled())
            CreateInFamilyMenu();
        else
            CAVHelpMenuItem::Create(title.c_str(), "VELM:StamperHelp", 0, 0, nullptr, 0, nullptr);
    } catch (...) {
        Detach();  // no destructor runs for a constructor that throws
        throw;
    }
}

CHelpMenuItem::~CHelpMenuItem() { TakeOutOfMenu(*this); }

void CHelpMenuItem::CreateInFamilyMenu() {
    AcquiredItem hostItem;
    hostItem.item = AcquireMenuItemByName(kHelpHostItem);
    if (!hostItem.item) {
        SetErrorMessage(std::string("The host menu item ") + kHelpHostItem + " is not in the menu bar.");
        ThrowErrorCode(kErrNotFound);
    }
    AcquiredMenu hostSubmenu;
    hostSubmenu.menu = gAppViewHFT->menuItemAcquireSubmenu(hostItem.item);
    if (!hostSubmenu.menu) {
        SetErrorMessage(std::string("The host menu item ") + kHelpHostItem + " has no submenu.");
        ThrowErrorCode(kErrNotFound);
    }
    AcquiredMenu family;
    family.menu = gAppViewHFT->menubarAcquireMenuByName(gAppViewHFT->getMenubar(), kFamilyHelpMenuName);
    if (!family.menu) {
        // The first plug-in of the family to start makes the family's menu.
        const AVMenu made = gAppViewHFT->menuNew("", kFamilyHelpMenuName, gExtensionID);
        family.menu = gAppViewHFT->menuAcquire(made);
        const AVMenuItem holder = gAppViewHFT->menuItemNew(kFamilyHelpItemTitle, kFamilyHelpMenuName, made,
                                                            false, 0, 2, nullptr, gExtensionID);
        gAppViewHFT->menuAddMenuItem(hostSubmenu.menu, holder, kAVMenuAppend);
    }
    CAVMenuItem::Create(MenuTitle(kStrStamperMenuTitle).c_str(), "VELM:StamperHelp", 0, 0, nullptr, 0, nullptr);
    gAppViewHFT->menuAddMenuItem(family.menu, GetMenuItem(), kAVMenuAppend);
}

void CHelpMenuItem::Execute() {
    const std::string guide = GetPlugInDataFilePath(MenuTitle(kStrUserGuideFile).c_str());
    if (guide.empty() || !PathExists(guide.c_str(), kPathExistsNoFolder)) {
        AlertResString(kStrUserGuideMissing, guide.c_str());
        return;
    }
    OpenFileForUser(guide);
}
