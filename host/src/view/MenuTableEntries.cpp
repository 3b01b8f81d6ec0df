// The menu entries of the AppView table over the menu model.
#include "view/MenuTableEntries.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/Raise.h"
#include "view/Menus.h"

namespace qmhost::viewentries {
namespace {

std::string textOr(const char* text, const char* fallback) { return text ? text : fallback; }

const char* requiredName(const char* name) {
    if (!name) raise(kHostErrBadParameter, "a null name");
    return name;
}

// Copies at most capacity bytes (no terminator); the full length for a null buffer.
int32_t copyTitle(const std::string& title, char* buffer, int32_t capacity) {
    if (!buffer) return static_cast<int32_t>(title.size());
    if (capacity < 0) raise(kHostErrBadParameter, "a negative capacity");
    const size_t count = std::min(title.size(), static_cast<size_t>(capacity));
    std::memcpy(buffer, title.data(), count);
    return static_cast<int32_t>(count);
}

}  // namespace

AVMenubar getMenubar() { return menus().menubar(); }

AVMenuItem menubarAcquireMenuItemByName(AVMenubar bar, const char* name) {
    return guarded("menubarAcquireMenuItemByName", [&]() -> AVMenuItem {
        menus().checkMenubar(bar);
        const AVMenuItem item = menus().findItem(requiredName(name));
        return item ? menus().acquire(item) : nullptr;
    });
}

AVMenu menubarAcquireMenuByName(AVMenubar bar, const char* name) {
    return guarded("menubarAcquireMenuByName", [&]() -> AVMenu {
        menus().checkMenubar(bar);
        const AVMenu menu = menus().findMenu(requiredName(name));
        return menu ? menus().acquire(menu) : nullptr;
    });
}

AVMenuItem menuItemNew(const char* title, const char* name, AVMenu submenu, bool longMenusOnly, char shortcut,
                       int16_t shortcutFlags, AVIcon icon, ExtensionID extension) {
    return guarded("menuItemNew", [&] {
        NewMenuItem fields;
        fields.title = textOr(title, "");
        fields.name = textOr(name, "");
        fields.submenu = submenu;
        fields.longMenusOnly = longMenusOnly;
        fields.shortcut = shortcut;
        fields.shortcutFlags = shortcutFlags;
        fields.icon = icon;
        fields.extension = extension;
        return menus().newItem(fields);
    });
}

AVMenuItem menuItemAcquire(AVMenuItem item) {
    return guarded("menuItemAcquire", [&] { return menus().acquire(item); });
}

void menuItemRelease(AVMenuItem item) {
    guarded("menuItemRelease", [&] { menus().release(item); });
}

AVMenu menuItemAcquireSubmenu(AVMenuItem item) {
    return guarded("menuItemAcquireSubmenu", [&]() -> AVMenu {
        const AVMenu submenu = menus().item(item).submenu;
        return submenu ? menus().acquire(submenu) : nullptr;
    });
}

bool menuItemIsLongOnly(AVMenuItem item) {
    return guarded("menuItemIsLongOnly", [&] { return menus().item(item).longMenusOnly; });
}

bool menuItemGetShortcut(AVMenuItem item, char* outKey, int16_t* outFlags) {
    return guarded("menuItemGetShortcut", [&] {
        const MenuItemRecord& record = menus().item(item);
        if (outKey) *outKey = record.shortcut;
        if (outFlags) *outFlags = record.shortcut ? record.shortcutFlags : 0;
        return record.shortcut != 0;
    });
}

int32_t menuItemGetTitle(AVMenuItem item, char* buffer, int32_t capacity) {
    return guarded("menuItemGetTitle", [&] { return copyTitle(menus().item(item).title, buffer, capacity); });
}

void menuItemSetTitle(AVMenuItem item, const char* title) {
    guarded("menuItemSetTitle", [&] { menus().setTitle(item, textOr(title, "")); });
}

void menuItemRemove(AVMenuItem item) {
    guarded("menuItemRemove", [&] { menus().removeItem(item); });
}

const char* menuItemGetName(AVMenuItem item) {
    return guarded("menuItemGetName", [&] { return menus().item(item).name.c_str(); });
}

bool menuItemIsEnabled(AVMenuItem item) {
    const CommandProc proc = guarded("menuItemIsEnabled", [&] { return menus().item(item).procs.enabled; });
    return computeEnabled(proc);
}

bool menuItemIsMarked(AVMenuItem item) {
    const CommandProc proc = guarded("menuItemIsMarked", [&] { return menus().item(item).procs.marked; });
    return computeMarked(proc);
}

void menuItemSetComputeEnabledProc(AVMenuItem item, ASCallback callback, void* clientData) {
    guarded("menuItemSetComputeEnabledProc",
            [&] { menus().setEnabledProc(item, checkedProc(callback, clientData)); });
}

void menuItemSetComputeMarkedProc(AVMenuItem item, ASCallback callback, void* clientData) {
    guarded("menuItemSetComputeMarkedProc",
            [&] { menus().setMarkedProc(item, checkedProc(callback, clientData)); });
}

void menuItemSetExecuteProc(AVMenuItem item, ASCallback callback, void* clientData) {
    guarded("menuItemSetExecuteProc",
            [&] { menus().setExecuteProc(item, checkedProc(callback, clientData)); });
}

AVMenu menuNew(const char* title, const char* name, ExtensionID extension) {
    return guarded("menuNew",
                   [&] { return menus().newMenu(textOr(title, ""), textOr(name, ""), extension); });
}

AVMenu menuAcquire(AVMenu menu) {
    return guarded("menuAcquire", [&] { return menus().acquire(menu); });
}

void menuRelease(AVMenu menu) {
    guarded("menuRelease", [&] { menus().release(menu); });
}

void menuAddMenuItem(AVMenu menu, AVMenuItem item, int32_t position) {
    guarded("menuAddMenuItem", [&] { menus().addItem(menu, item, position); });
}

int32_t menuGetTitle(AVMenu menu, char* buffer, int32_t capacity) {
    return guarded("menuGetTitle", [&] { return copyTitle(menus().menu(menu).title, buffer, capacity); });
}

const char* menuGetName(AVMenu menu) {
    return guarded("menuGetName", [&] { return menus().menu(menu).name.c_str(); });
}

int32_t menuGetNumMenuItems(AVMenu menu) {
    return guarded("menuGetNumMenuItems",
                   [&] { return static_cast<int32_t>(menus().menu(menu).items.size()); });
}

AVMenuItem menuAcquireMenuItemByIndex(AVMenu menu, int32_t index) {
    return guarded("menuAcquireMenuItemByIndex", [&]() -> AVMenuItem {
        const AVMenuItem item = menus().itemAt(menu, index);
        return item ? menus().acquire(item) : nullptr;
    });
}

int32_t menuGetMenuItemIndex(AVMenu menu, AVMenuItem item) {
    return guarded("menuGetMenuItemIndex", [&] { return menus().indexOf(menu, item); });
}

}  // namespace qmhost::viewentries
