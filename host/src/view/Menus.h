// The model of the menu bar, its menus and their items. The viewer shows it with
// Qt; the command-line host lists it and runs items by name (MenuCommands.h).
//
// Lifetime: an item or menu lives while it is referenced (acquire/release) or
// contained (an item in a menu; a menu in the bar or under an item). New ones
// start with no reference in no place and stay until they are first released
// or taken out, or until their extension is dropped. Handles of destroyed
// objects are stale: using one raises kHostErrBadHandle.
//
// The host's own anchors: menu "Edit" with item "Prefs", menu "Extensions",
// menu "Help" with items "AboutExtensions" and "UsingExtensions"; each of the
// three items holds a submenu that plug-ins add their own items to.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "qmhost/AppViewTable.h"
#include "view/CommandProcs.h"

namespace qmhost {

struct NewMenuItem {
    std::string title;
    std::string name;
    AVMenu submenu = nullptr;
    bool longMenusOnly = false;
    char shortcut = 0;
    int16_t shortcutFlags = 0;
    AVIcon icon = nullptr;
    ExtensionID extension = nullptr;
};

struct MenuItemRecord {
    std::string name;
    std::string title;
    char shortcut = 0;
    int16_t shortcutFlags = 0;
    bool longMenusOnly = false;
    AVIcon icon = nullptr;
    ExtensionID extension = nullptr;  // who made it (null: the host)
    AVMenu submenu = nullptr;         // contained by the item
    AVMenu menu = nullptr;            // the menu it is in
    int32_t references = 0;
    CommandProcs procs;

    bool isSeparator() const { return title == "-"; }
};

struct MenuRecord {
    std::string name;
    std::string title;
    ExtensionID extension = nullptr;
    std::vector<AVMenuItem> items;  // in menu order
    bool inMenubar = false;
    AVMenuItem ownerItem = nullptr;  // the item it is the submenu of
    int32_t references = 0;
};

class Menus {
public:
    Menus();
    Menus(const Menus&) = delete;
    Menus& operator=(const Menus&) = delete;

    // Back to the host's own menus; every other handle becomes stale (tests).
    void reset();

    AVMenubar menubar() const;
    void checkMenubar(AVMenubar bar) const;  // raises kHostErrBadHandle for another value
    const std::vector<AVMenu>& menubarMenus() const { return mBarMenus; }

    // Records; raise kHostErrBadHandle for an unknown or stale handle.
    const MenuItemRecord& item(AVMenuItem item) const;
    const MenuRecord& menu(AVMenu menu) const;
    bool alive(AVMenuItem item) const { return mItems.count(item) != 0; }
    bool alive(AVMenu menu) const { return mMenus.count(menu) != 0; }

    // First of that name in menu-bar order, depth first; null when none. No reference.
    AVMenuItem findItem(const std::string& name) const;
    AVMenu findMenu(const std::string& name) const;

    AVMenuItem newItem(const NewMenuItem& fields);
    AVMenu newMenu(const std::string& title, const std::string& name, ExtensionID extension);

    AVMenuItem acquire(AVMenuItem item);
    void release(AVMenuItem item);  // raises kHostErrBadParameter when none is held
    AVMenu acquire(AVMenu menu);
    void release(AVMenu menu);

    // Raise as the table contracts say (AppViewTable.h).
    void addItem(AVMenu menu, AVMenuItem item, int32_t position);
    void removeItem(AVMenuItem item);
    AVMenuItem itemAt(AVMenu menu, int32_t index) const;  // null when out of range
    int32_t indexOf(AVMenu menu, AVMenuItem item) const;
    void setTitle(AVMenuItem item, const std::string& title);
    void setEnabledProc(AVMenuItem item, CommandProc proc);
    void setMarkedProc(AVMenuItem item, CommandProc proc);
    void setExecuteProc(AVMenuItem item, CommandProc proc);

    // Texts for what the extension still holds: items with its callbacks and
    // menus that hold such items.
    std::vector<std::string> heldBy(ExtensionID extension) const;
    // Destroys every item that the extension made or that holds its callbacks,
    // and every menu it made, whatever references are held on them.
    void dropExtension(ExtensionID extension);

private:
    MenuItemRecord& itemRecord(AVMenuItem item);
    MenuRecord& menuRecord(AVMenu menu);
    void buildHostMenus();
    AVMenu addBarMenu(const char* title, const char* name);
    void addAnchorItem(AVMenu menu, const char* title, const char* name, const char* submenuName);
    bool holds(AVMenu outer, AVMenu inner, int depth) const;
    template <class Visit>
    bool walk(AVMenu menu, Visit& visit, int depth) const;
    // Destroy an object that is unreferenced and in no place; nothing otherwise.
    void collect(AVMenuItem item);
    void collect(AVMenu menu);
    void destroy(AVMenuItem item);
    void destroy(AVMenu menu);

    std::map<AVMenuItem, MenuItemRecord> mItems;
    std::map<AVMenu, MenuRecord> mMenus;
    std::vector<AVMenu> mBarMenus;
    AVMenubar mMenubar = nullptr;
};

Menus& menus();

}  // namespace qmhost
