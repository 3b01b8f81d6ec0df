// Menu items that a plug-in places at the end of the submenu of one of the
// host's own items: CAVAboutMenuItem ("AboutExtensions"), CAVHelpMenuItem
// ("UsingExtensions") and CAVPrefsMenuItem ("Prefs"). They are always enabled;
// the command class below them supplies Execute.
#pragma once

#include "support/av/CAVMenuItem.h"

class CAVHostSubmenuItem : public CAVMenuItem {
public:
    // CAVMenuItem::Create, then the item goes last into the host item's submenu.
    // Throws kErrNotFound (8000) when the host has no such item or it holds no
    // submenu. No reference on the host item or its submenu is kept.
    void Create(const char* inTitle, const char* inName, char inShortcut, int16_t inShortcutFlags,
                AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon) override;
    bool ComputeEnabled() override;
    void Execute() override = 0;

    const char* GetHostItemName() const { return mHostItemName; }

protected:
    // No item yet.
    explicit CAVHostSubmenuItem(const char* inHostItemName);
    // Create (this class's) with the arguments; nothing is left behind when it fails.
    CAVHostSubmenuItem(const char* inHostItemName, const char* inTitle, const char* inName, char inShortcut,
                       int16_t inShortcutFlags, AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon);

private:
    const char* mHostItemName;  // a literal
};

class CAVAboutMenuItem : public CAVHostSubmenuItem {
public:
    CAVAboutMenuItem();
    CAVAboutMenuItem(const char* inTitle, const char* inName, char inShortcut, int16_t inShortcutFlags,
                     AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon);
};

class CAVHelpMenuItem : public CAVHostSubmenuItem {
public:
    CAVHelpMenuItem();
    CAVHelpMenuItem(const char* inTitle, const char* inName, char inShortcut, int16_t inShortcutFlags,
                    AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon);
};

class CAVPrefsMenuItem : public CAVHostSubmenuItem {
public:
    CAVPrefsMenuItem();
    CAVPrefsMenuItem(const char* inTitle, const char* inName, char inShortcut, int16_t inShortcutFlags,
                     AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon);
};
