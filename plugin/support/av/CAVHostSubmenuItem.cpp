#include "support/av/CAVHostSubmenuItem.h"

#include <string>

#include "support/av/CAVMenu.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

namespace {

constexpr const char* kAboutItem = "AboutExtensions";
constexpr const char* kHelpItem = "UsingExtensions";
constexpr const char* kPrefsItem = "Prefs";

[[noreturn]] void ThrowMissing(const char* hostItemName, const char* what) {
    SetErrorMessage(std::string("The host menu item ") + hostItemName + " " + what + ".");
    ThrowErrorCode(kErrNotFound);
}

}  // namespace

CAVHostSubmenuItem::CAVHostSubmenuItem(const char* inHostItemName) : mHostItemName(inHostItemName) {}

CAVHostSubmenuItem::CAVHostSubmenuItem(const char* inHostItemName, const char* inTitle, const char* inName,
                                       char inShortcut, int16_t inShortcutFlags, AVMenu inSubmenu,
                                       int16_t inLongOnly, AVIcon inIcon)
    : mHostItemName(inHostItemName) {
    // No destructor runs for a constructor that throws.
    const auto detach = OnFailure([this] { Detach(); });
    Create(inTitle, inName, inShortcut, inShortcutFlags, inSubmenu, inLongOnly, inIcon);
}

void CAVHostSubmenuItem::Create(const char* inTitle, const char* inName, char inShortcut,
                                int16_t inShortcutFlags, AVMenu inSubmenu, int16_t inLongOnly,
                                AVIcon inIcon) {
    // The temporary wrappers hold the host item and its submenu while the new
    // item is placed. Each acquired reference is handed back as soon as its
    // wrapper holds its own, so that every road out, a throw included, leaves
    // the host's counts as they were.
    CAVMenuItem hostItem;
    CHostMenuItemRef found(AcquireMenuItemByName(mHostItemName));
    if (!found.Get()) ThrowMissing(mHostItemName, "is not in the menu bar");
    hostItem.Attach(found.Get());
    found.Reset();

    CAVMenu submenu;
    CHostMenuRef acquired(hostItem.AcquireSubmenu());
    if (!acquired.Get()) ThrowMissing(mHostItemName, "has no submenu");
    submenu.Attach(acquired.Get());
    acquired.Reset();

    CAVMenuItem::Create(inTitle, inName, inShortcut, inShortcutFlags, inSubmenu, inLongOnly, inIcon);
    submenu.AddMenuItem(GetMenuItem(), kAVMenuAppend);
}

bool CAVHostSubmenuItem::ComputeEnabled() { return true; }

CAVAboutMenuItem::CAVAboutMenuItem() : CAVHostSubmenuItem(kAboutItem) {}

CAVAboutMenuItem::CAVAboutMenuItem(const char* inTitle, const char* inName, char inShortcut,
                                   int16_t inShortcutFlags, AVMenu inSubmenu, int16_t inLongOnly,
                                   AVIcon inIcon)
    : CAVHostSubmenuItem(kAboutItem, inTitle, inName, inShortcut, inShortcutFlags, inSubmenu, inLongOnly,
                         inIcon) {}

CAVHelpMenuItem::CAVHelpMenuItem() : CAVHostSubmenuItem(kHelpItem) {}

CAVHelpMenuItem::CAVHelpMenuItem(const char* inTitle, const char* inName, char inShortcut,
                                 int16_t inShortcutFlags, AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon)
    : CAVHostSubmenuItem(kHelpItem, inTitle, inName, inShortcut, inShortcutFlags, inSubmenu, inLongOnly,
                         inIcon) {}

CAVPrefsMenuItem::CAVPrefsMenuItem() : CAVHostSubmenuItem(kPrefsItem) {}

CAVPrefsMenuItem::CAVPrefsMenuItem(const char* inTitle, const char* inName, char inShortcut,
                                   int16_t inShortcutFlags, AVMenu inSubmenu, int16_t inLongOnly,
                                   AVIcon inIcon)
    : CAVHostSubmenuItem(kPrefsItem, inTitle, inName, inShortcut, inShortcutFlags, inSubmenu, inLongOnly,
                         inIcon) {}
