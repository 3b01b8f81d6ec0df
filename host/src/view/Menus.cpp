#include "view/Menus.h"

#include <algorithm>
#include <type_traits>

#include "core/Raise.h"

namespace qmhost {
namespace {

// Cycles are refused when items are added; the bound only keeps a walk finite
// whatever happens.
constexpr int kMaxDepth = 64;

template <class H>
H handleOf(uintptr_t number) {
    return reinterpret_cast<H>(number);
}

}  // namespace

Menus::Menus() { buildHostMenus(); }

void Menus::reset() {
    mItems.clear();
    mMenus.clear();
    mBarMenus.clear();
    buildHostMenus();
}

void Menus::buildHostMenus() {
    mMenubar = handleOf<AVMenubar>(newViewObjectNumber());
    const AVMenu edit = addBarMenu("Edit", "Edit");
    addAnchorItem(edit, "Preferences", "Prefs", "PrefsMenu");
    addBarMenu("Extensions", "Extensions");
    const AVMenu help = addBarMenu("Help", "Help");
    addAnchorItem(help, "About Extensions", "AboutExtensions", "AboutExtensionsMenu");
    addAnchorItem(help, "Using Extensions", "UsingExtensions", "UsingExtensionsMenu");
}

AVMenu Menus::addBarMenu(const char* title, const char* name) {
    const AVMenu menu = newMenu(title, name, nullptr);
    menuRecord(menu).inMenubar = true;
    mBarMenus.push_back(menu);
    return menu;
}

void Menus::addAnchorItem(AVMenu menu, const char* title, const char* name, const char* submenuName) {
    NewMenuItem fields;
    fields.title = title;
    fields.name = name;
    fields.submenu = newMenu(title, submenuName, nullptr);
    addItem(menu, newItem(fields), kAVMenuAppend);
}

AVMenubar Menus::menubar() const { return mMenubar; }

void Menus::checkMenubar(AVMenubar bar) const {
    if (bar != mMenubar) raise(kHostErrBadHandle, "not the menu bar");
}

const MenuItemRecord& Menus::item(AVMenuItem item) const {
    auto found = mItems.find(item);
    if (found == mItems.end()) raise(kHostErrBadHandle, "no such menu item");
    return found->second;
}

const MenuRecord& Menus::menu(AVMenu menu) const {
    auto found = mMenus.find(menu);
    if (found == mMenus.end()) raise(kHostErrBadHandle, "no such menu");
    return found->second;
}

MenuItemRecord& Menus::itemRecord(AVMenuItem item) { return const_cast<MenuItemRecord&>(this->item(item)); }

MenuRecord& Menus::menuRecord(AVMenu menu) { return const_cast<MenuRecord&>(this->menu(menu)); }

// Visits the menu's items in order and, after each item, its submenu; stops
// when visit answers true.
template <class Visit>
bool Menus::walk(AVMenu menu, Visit& visit, int depth) const {
    if (depth > kMaxDepth || !alive(menu)) return false;
    if (visit(menu)) return true;
    for (AVMenuItem child : this->menu(menu).items) {
        if (visit(child)) return true;
        const AVMenu submenu = item(child).submenu;
        if (submenu && walk(submenu, visit, depth + 1)) return true;
    }
    return false;
}

AVMenuItem Menus::findItem(const std::string& name) const {
    AVMenuItem found = nullptr;
    auto visit = [&](auto node) {
        if constexpr (std::is_same_v<decltype(node), AVMenuItem>) {
            if (item(node).name == name) found = node;
        }
        return found != nullptr;
    };
    for (AVMenu top : mBarMenus)
        if (walk(top, visit, 0)) break;
    return found;
}

AVMenu Menus::findMenu(const std::string& name) const {
    AVMenu found = nullptr;
    auto visit = [&](auto node) {
        if constexpr (std::is_same_v<decltype(node), AVMenu>) {
            if (menu(node).name == name) found = node;
        }
        return found != nullptr;
    };
    for (AVMenu top : mBarMenus)
        if (walk(top, visit, 0)) break;
    return found;
}

AVMenuItem Menus::newItem(const NewMenuItem& fields) {
    if (fields.name.empty()) raise(kHostErrBadParameter, "a menu item needs a name");
    if (fields.submenu) {
        const MenuRecord& sub = menu(fields.submenu);
        if (sub.inMenubar || sub.ownerItem)
            raise(kHostErrBadParameter, "the menu " + sub.name + " is in place already");
    }
    const auto handle = handleOf<AVMenuItem>(newViewObjectNumber());
    MenuItemRecord& record = mItems[handle];
    record.name = fields.name;
    record.title = fields.title;
    record.shortcut = fields.shortcut;
    record.shortcutFlags = fields.shortcutFlags;
    record.longMenusOnly = fields.longMenusOnly;
    record.icon = fields.icon;
    record.extension = fields.extension;
    record.submenu = fields.submenu;
    if (fields.submenu) menuRecord(fields.submenu).ownerItem = handle;
    return handle;
}

AVMenu Menus::newMenu(const std::string& title, const std::string& name, ExtensionID extension) {
    if (name.empty()) raise(kHostErrBadParameter, "a menu needs a name");
    const auto handle = handleOf<AVMenu>(newViewObjectNumber());
    MenuRecord& record = mMenus[handle];
    record.name = name;
    record.title = title;
    record.extension = extension;
    return handle;
}

AVMenuItem Menus::acquire(AVMenuItem item) {
    ++itemRecord(item).references;
    return item;
}

void Menus::release(AVMenuItem item) {
    MenuItemRecord& record = itemRecord(item);
    if (record.references <= 0) raise(kHostErrBadParameter, "menu item " + record.name + " was not acquired");
    --record.references;
    collect(item);
}

AVMenu Menus::acquire(AVMenu menu) {
    ++menuRecord(menu).references;
    return menu;
}

void Menus::release(AVMenu menu) {
    MenuRecord& record = menuRecord(menu);
    if (record.references <= 0) raise(kHostErrBadParameter, "menu " + record.name + " was not acquired");
    --record.references;
    collect(menu);
}

// True when inner is outer or lies under one of its items.
bool Menus::holds(AVMenu outer, AVMenu inner, int depth) const {
    if (outer == inner) return true;
    if (depth > kMaxDepth || !alive(outer)) return false;
    for (AVMenuItem child : menu(outer).items) {
        const AVMenu submenu = item(child).submenu;
        if (submenu && holds(submenu, inner, depth + 1)) return true;
    }
    return false;
}

void Menus::addItem(AVMenu menu, AVMenuItem item, int32_t position) {
    MenuRecord& target = menuRecord(menu);
    MenuItemRecord& record = itemRecord(item);
    if (record.menu) raise(kHostErrBadParameter, "menu item " + record.name + " is in a menu already");
    if (record.submenu && holds(record.submenu, menu, 0))
        raise(kHostErrBadParameter, "menu item " + record.name + " would hold its own menu");
    const auto count = static_cast<int32_t>(target.items.size());
    const int32_t at = (position < 0 || position > count) ? count : position;
    target.items.insert(target.items.begin() + at, item);
    record.menu = menu;
}

void Menus::removeItem(AVMenuItem item) {
    MenuItemRecord& record = itemRecord(item);
    if (!record.menu) return;
    std::erase(menuRecord(record.menu).items, item);
    record.menu = nullptr;
    collect(item);
}

AVMenuItem Menus::itemAt(AVMenu menu, int32_t index) const {
    const auto& items = this->menu(menu).items;
    if (index < 0 || index >= static_cast<int32_t>(items.size())) return nullptr;
    return items[static_cast<size_t>(index)];
}

int32_t Menus::indexOf(AVMenu menu, AVMenuItem item) const {
    const auto& items = this->menu(menu).items;
    auto found = std::find(items.begin(), items.end(), item);
    return found == items.end() ? -1 : static_cast<int32_t>(found - items.begin());
}

void Menus::setTitle(AVMenuItem item, const std::string& title) { itemRecord(item).title = title; }

void Menus::setEnabledProc(AVMenuItem item, CommandProc proc) { itemRecord(item).procs.enabled = proc; }

void Menus::setMarkedProc(AVMenuItem item, CommandProc proc) { itemRecord(item).procs.marked = proc; }

void Menus::setExecuteProc(AVMenuItem item, CommandProc proc) { itemRecord(item).procs.execute = proc; }

void Menus::collect(AVMenuItem item) {
    auto found = mItems.find(item);
    if (found == mItems.end() || found->second.references > 0 || found->second.menu) return;
    destroy(item);
}

void Menus::collect(AVMenu menu) {
    auto found = mMenus.find(menu);
    if (found == mMenus.end()) return;
    const MenuRecord& record = found->second;
    if (record.references > 0 || record.inMenubar || record.ownerItem) return;
    destroy(menu);
}

// Takes the item out of its menu and destroys it; its submenu is then in no
// place and goes too unless it is referenced.
void Menus::destroy(AVMenuItem item) {
    auto found = mItems.find(item);
    if (found == mItems.end()) return;
    const AVMenu parent = found->second.menu;
    const AVMenu submenu = found->second.submenu;
    mItems.erase(found);
    if (parent && alive(parent)) std::erase(menuRecord(parent).items, item);
    if (submenu && alive(submenu)) {
        menuRecord(submenu).ownerItem = nullptr;
        collect(submenu);
    }
}

void Menus::destroy(AVMenu menu) {
    auto found = mMenus.find(menu);
    if (found == mMenus.end()) return;
    const std::vector<AVMenuItem> items = std::move(found->second.items);
    const AVMenuItem owner = found->second.ownerItem;
    mMenus.erase(found);
    std::erase(mBarMenus, menu);
    if (owner && alive(owner)) itemRecord(owner).submenu = nullptr;
    for (AVMenuItem child : items) {
        if (!alive(child)) continue;
        itemRecord(child).menu = nullptr;
        collect(child);
    }
}

std::vector<std::string> Menus::heldBy(ExtensionID extension) const {
    std::vector<std::string> held;
    for (const auto& [handle, record] : mItems)
        if (record.procs.heldBy(extension))
            held.push_back("menu item \"" + record.name + "\" still has callbacks of the plug-in");
    for (const auto& [handle, record] : mMenus) {
        const bool holdsCallbacks =
            std::any_of(record.items.begin(), record.items.end(),
                        [&](AVMenuItem child) { return item(child).procs.heldBy(extension); });
        if (holdsCallbacks)
            held.push_back("menu \"" + record.name + "\" still holds items with callbacks of the plug-in");
    }
    return held;
}

void Menus::dropExtension(ExtensionID extension) {
    std::vector<AVMenuItem> items;
    for (const auto& [handle, record] : mItems)
        if (record.extension == extension || record.procs.heldBy(extension)) items.push_back(handle);
    std::vector<AVMenu> menus;
    for (const auto& [handle, record] : mMenus)
        if (record.extension == extension) menus.push_back(handle);
    // Each destroy may collect others; what is gone by then is skipped.
    for (AVMenuItem handle : items) destroy(handle);
    for (AVMenu handle : menus) destroy(handle);
}

Menus& menus() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static Menus* instance = new Menus;
    return *instance;
}

}  // namespace qmhost
