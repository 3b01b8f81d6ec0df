#include "view/MenuCommands.h"

#include <variant>

#include "core/AtomTable.h"
#include "view/Menus.h"
#include "view/Toolbars.h"

namespace qmhost {
namespace {

constexpr int kMaxDepth = 64;

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string buttonName(const ToolButtonRecord& record) {
    const char* text = atoms().text(record.name);
    return text ? text : "";
}

// --- listing

class Lister {
public:
    std::string listing;

    void menu(AVMenu menu, int depth) {
        if (depth > kMaxDepth || !menus().alive(menu)) return;
        const MenuRecord& record = menus().menu(menu);
        line(depth, "menu " + quoted(record.name) + " " + quoted(record.title));
        // Procedures may change this menu while it is listed: index afresh each time.
        for (int32_t i = 0;; ++i) {
            const AVMenuItem child = menus().itemAt(menu, i);
            if (!child) break;
            item(child, depth + 1);
            if (!menus().alive(menu)) break;
        }
    }

    void item(AVMenuItem item, int depth) {
        const MenuItemRecord record = menus().item(item);  // a copy: procedures may destroy it
        if (record.isSeparator()) {
            line(depth, "separator " + quoted(record.name));
            return;
        }
        std::string text = "item " + quoted(record.name) + " " + quoted(record.title);
        text += computeEnabled(record.procs.enabled) ? " enabled" : " disabled";
        if (computeMarked(record.procs.marked)) text += " marked";
        if (record.longMenusOnly) text += " long-only";
        if (record.shortcut)
            text += std::string(" shortcut ") + record.shortcut + " flags " +
                    std::to_string(record.shortcutFlags);
        if (record.icon) text += " icon";
        line(depth, text);
        if (menus().alive(item) && menus().item(item).submenu) menu(menus().item(item).submenu, depth + 1);
    }

    void toolBar(AVToolBar bar) {
        const ToolBarRecord& record = toolbars().toolBar(bar);
        line(0, "toolbar " + quoted(record.name) + " " + quoted(record.title));
        const std::vector<AVToolButton> buttons = record.buttons;
        for (AVToolButton child : buttons)
            if (toolbars().alive(child)) button(child);
    }

    void button(AVToolButton button) {
        const ToolButtonRecord record = toolbars().button(button);
        if (record.separator) {
            line(1, "separator " + quoted(buttonName(record)));
            return;
        }
        std::string text = "button " + quoted(buttonName(record));
        text += computeEnabled(record.procs.enabled) ? " enabled" : " disabled";
        if (computeMarked(record.procs.marked)) text += " marked";
        if (record.icon) text += " icon";
        if (!record.helpText.empty()) text += " help " + quoted(record.helpText);
        line(1, text);
        if (record.menu) menu(record.menu, 2);
    }

private:
    void line(int depth, const std::string& content) {
        listing.append(static_cast<size_t>(depth) * 2, ' ');
        listing += content;
        listing += '\n';
    }
};

// --- running

// A step on the way to a command: an item or a button.
using Node = std::variant<AVMenuItem, AVToolButton>;

bool findUnder(AVMenu menu, const std::string& name, std::vector<Node>& path, int depth) {
    if (depth > kMaxDepth || !menus().alive(menu)) return false;
    for (AVMenuItem child : menus().menu(menu).items) {
        path.push_back(child);
        const MenuItemRecord& record = menus().item(child);
        if (record.name == name) return true;
        if (record.submenu && findUnder(record.submenu, name, path, depth + 1)) return true;
        path.pop_back();
    }
    return false;
}

// The path to the first item of that name (menu bar, then button drop-downs),
// else to the first button of that name; empty when none.
std::vector<Node> findPath(const std::string& name) {
    std::vector<Node> path;
    for (AVMenu top : menus().menubarMenus())
        if (findUnder(top, name, path, 0)) return path;
    for (AVToolBar bar : toolbars().toolBarsInOrder()) {
        for (AVToolButton button : toolbars().toolBar(bar).buttons) {
            const AVMenu dropDown = toolbars().button(button).menu;
            path.assign(1, button);
            if (dropDown && findUnder(dropDown, name, path, 0)) return path;
        }
    }
    path.clear();
    for (AVToolBar bar : toolbars().toolBarsInOrder())
        for (AVToolButton button : toolbars().toolBar(bar).buttons)
            if (buttonName(toolbars().button(button)) == name) return {button};
    return {};
}

CommandProcs procsOf(const Node& node) {
    if (auto item = std::get_if<AVMenuItem>(&node)) return menus().item(*item).procs;
    return toolbars().button(std::get<AVToolButton>(node)).procs;
}

std::string nameOf(const Node& node) {
    if (auto item = std::get_if<AVMenuItem>(&node)) return menus().item(*item).name;
    return buttonName(toolbars().button(std::get<AVToolButton>(node)));
}

bool isSeparator(const Node& node) {
    if (auto item = std::get_if<AVMenuItem>(&node)) return menus().item(*item).isSeparator();
    return toolbars().button(std::get<AVToolButton>(node)).separator;
}

}  // namespace

std::string listMenuModel() {
    Lister lister;
    lister.listing = "menubar\n";
    const std::vector<AVMenu> top = menus().menubarMenus();
    for (AVMenu menu : top) lister.menu(menu, 1);
    const std::vector<AVToolBar> bars = toolbars().toolBarsInOrder();
    for (AVToolBar bar : bars) lister.toolBar(bar);
    return lister.listing;
}

RunResult runMenuCommand(const std::string& name) {
    std::vector<Node> path = findPath(name);
    if (path.empty()) {
        listMenuModel();  // as a user opening every menu: submenus are built
        path = findPath(name);
    }
    if (path.empty()) return {RunOutcome::NotFound, "no menu item or tool button is named " + name};
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        if (!computeEnabled(procsOf(path[i]).enabled))
            return {RunOutcome::Disabled,
                    nameOf(path[i]) + " is disabled, so " + name + " cannot be reached"};
    }
    path = findPath(name);
    if (path.empty()) return {RunOutcome::NotFound, name + " went away when its menu was opened"};
    const Node target = path.back();
    const CommandProcs procs = procsOf(target);
    if (isSeparator(target)) return {RunOutcome::NoAction, name + " is a separator"};
    if (!computeEnabled(procs.enabled)) return {RunOutcome::Disabled, name + " is disabled"};
    std::string message;
    switch (execute(procs.execute, &message)) {
        case ExecuteOutcome::Ran:
            return {RunOutcome::Ran, ""};
        case ExecuteOutcome::NoProcedure:
            return {RunOutcome::NoAction, name + " has nothing to run"};
        case ExecuteOutcome::Failed:
            break;
    }
    return {RunOutcome::Failed, name + " failed: " + message};
}

std::vector<std::string> menuModelLeftovers(ExtensionID extension) {
    std::vector<std::string> held = menus().heldBy(extension);
    for (auto& text : toolbars().heldBy(extension)) held.push_back(std::move(text));
    return held;
}

void dropMenuModelOf(ExtensionID extension) {
    // Buttons first: destroying one releases its drop-down menu.
    toolbars().dropExtension(extension);
    menus().dropExtension(extension);
}

void resetMenuModel() {
    toolbars().reset();
    menus().reset();
}

}  // namespace qmhost
