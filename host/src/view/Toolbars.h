// The model of the toolbars and their buttons. The application's toolbar
// "Tools" holds the marker button "endToolsGroup" that ends its tools group;
// plug-ins make their own toolbars and buttons. Toolbars live for the run; a
// button lives from newButton to destroy. A button's drop-down menu is held
// with one menu reference (Menus).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "qmhost/AppViewTable.h"
#include "view/CommandProcs.h"

namespace qmhost {

struct ToolButtonRecord {
    ASAtom name = kASAtomNull;
    AVIcon icon = nullptr;
    uint8_t options = 0;
    bool separator = false;
    std::string helpText;
    AVMenu menu = nullptr;        // drop-down, referenced
    AVToolBar toolbar = nullptr;  // the toolbar it is on
    CommandProcs procs;
};

struct ToolBarRecord {
    std::string name;
    std::string title;
    std::vector<AVToolButton> buttons;  // in toolbar order
};

class Toolbars {
public:
    Toolbars();
    Toolbars(const Toolbars&) = delete;
    Toolbars& operator=(const Toolbars&) = delete;

    // Back to the application's toolbar alone; other handles become stale and
    // drop-down menus are let go without releasing them (call before Menus::reset).
    void reset();
    // Takes the toolbar of that name away (its buttons stay, on no toolbar); false when none.
    bool removeToolBar(const std::string& name);

    AVToolBar appToolBar() const { return mAppToolBar; }
    const std::vector<AVToolBar>& toolBarsInOrder() const { return mOrder; }
    AVToolBar find(const std::string& name) const;  // null when none
    AVToolBar create(const std::string& name, const std::string& title);
    void setPosition(const std::string& name, const AVToolBarPosition& position);
    std::optional<AVToolBarPosition> positionOf(const std::string& name) const;

    // Records; raise kHostErrBadHandle for an unknown or stale handle.
    const ToolBarRecord& toolBar(AVToolBar bar) const;
    const ToolButtonRecord& button(AVToolButton button) const;
    bool alive(AVToolButton button) const { return mButtons.count(button) != 0; }

    AVToolButton newButton(ASAtom name, AVIcon icon, uint8_t options, bool separator);
    AVToolButton buttonByName(AVToolBar bar, ASAtom name) const;  // null when none
    // As the table contracts say (AppViewTable.h).
    void add(AVToolBar bar, AVToolButton button, bool before, AVToolButton other);
    void remove(AVToolButton button);
    void destroy(AVToolButton button);
    void setExecuteProc(AVToolButton button, CommandProc proc);
    void setEnabledProc(AVToolButton button, CommandProc proc);
    void setMarkedProc(AVToolButton button, CommandProc proc);
    void setHelpText(AVToolButton button, const std::string& text);
    void setMenu(AVToolButton button, AVMenu menu);

    // Texts for buttons with the extension's callbacks and toolbars holding them.
    std::vector<std::string> heldBy(ExtensionID extension) const;
    // Destroys every button that holds the extension's callbacks.
    void dropExtension(ExtensionID extension);

private:
    ToolButtonRecord& buttonRecord(AVToolButton button);
    ToolBarRecord& toolBarRecord(AVToolBar bar);
    std::string nameOf(const ToolButtonRecord& record) const;

    std::map<AVToolBar, ToolBarRecord> mToolBars;
    std::vector<AVToolBar> mOrder;  // order of making
    std::map<AVToolButton, ToolButtonRecord> mButtons;
    std::map<std::string, AVToolBarPosition> mPositions;
    AVToolBar mAppToolBar = nullptr;
};

Toolbars& toolbars();

}  // namespace qmhost
