// The plug-in's items in the host's own submenus: Preferences ("VELM:SPrefs"
// under "Prefs"), About ("VELM:StamperAbout" under "AboutExtensions") and Help
// ("VELM:StamperHelp" under "UsingExtensions", or in the product family's help
// menu when the sibling plug-in is installed). All are titled with string 4 and
// always enabled. Destroying one takes its item out of the host's menu.
#pragma once

#include "support/av/CAVHostSubmenuItem.h"

// Runs the preferences dialog (modal).
class CPrefsMenuItem : public CAVPrefsMenuItem {
public:
    CPrefsMenuItem();
    ~CPrefsMenuItem() override;
    void Execute() override;
};

// Runs the About box (modal). Made only when the sibling plug-in is not installed.
class CAboutMenuItem : public CAVAboutMenuItem {
public:
    CAboutMenuItem();
    ~CAboutMenuItem() override;
    void Execute() override;
};

// The name of the product family's help menu and of the item that holds it.
inline constexpr const char kFamilyHelpMenuName[] = "KESO:InkwellHelp";
inline constexpr const char kFamilyHelpItemTitle[] = "Inkwell";

class CHelpMenuItem : public CAVHelpMenuItem {
public:
    // Without the sibling plug-in: at the end of the submenu of
    // "UsingExtensions". With it: at the end of the family menu
    // "KESO:InkwellHelp", which is made (empty title, held by an item "Inkwell"
    // of the same name at the end of the submenu of "UsingExtensions") when the
    // menu bar has none yet.
    CHelpMenuItem();
    ~CHelpMenuItem() override;

    // Opens the user guide (string 5 in the plug-in's data folder) with
    // OpenFileForUser; when the file is missing, an alert (string 1105) says so.
    void Execute() override;

private:
    void CreateInFamilyMenu();
};
