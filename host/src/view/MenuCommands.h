// What a host does with the menu and toolbar model: show it (here as a text
// tree), run an item or button by name as a user would, and take down what an
// unloaded plug-in left in it. Enabled state is computed before an item is
// shown or run; a disabled item is never run.
#pragma once

#include <string>
#include <vector>

#include "qmhost/QMBase.h"

namespace qmhost {

// The menu bar and then every toolbar as an indented tree, two spaces a level:
//   menubar
//     menu "Edit" "Edit"
//       item "Prefs" "Preferences" enabled
//         menu "PrefsMenu" "Preferences"
//           separator "VELM:Sep"
//   toolbar "Tools" "Tools"
//     button "VELM:SStampT" enabled marked icon help "..."
//       menu ...                          (its drop-down)
//     separator "endToolsGroup"
// Items show enabled|disabled, then marked, long-only, shortcut <key> flags <n>
// and icon when they apply. Every item's and button's procedures are run as
// they are listed, each item before its submenu (showing a submenu may
// rebuild it). Names and titles are quoted, with \ and " escaped.
std::string listMenuModel();

enum class RunOutcome {
    Ran,       // the execute procedure ran and returned
    Disabled,  // the item, the button or one above it answered not enabled; nothing ran
    NotFound,  // no item or button of that name
    NoAction,  // enabled but without an execute procedure (a submenu holder, a separator)
    Failed,    // the execute procedure threw; message says what
};

struct RunResult {
    RunOutcome outcome = RunOutcome::NotFound;
    std::string message;  // for the user; empty when it ran
};

// Runs the first item of that name (menu-bar order, then the drop-down menus
// of the toolbar buttons) or else the first button of that name. The items
// and buttons above it are asked whether they are enabled first, top down, as
// opening their menus would; the target is then looked up again (a submenu may
// have been rebuilt), asked, and run only when enabled. When nothing of that
// name is found, every menu is shown once (listMenuModel) and it is looked for
// again.
RunResult runMenuCommand(const std::string& name);

// Texts for the items, menus, buttons and toolbars that still hold callbacks
// of the extension; then dropping everything of it (Menus::dropExtension,
// Toolbars::dropExtension).
std::vector<std::string> menuModelLeftovers(ExtensionID extension);
void dropMenuModelOf(ExtensionID extension);

// Back to the host's own menus and toolbar (tests).
void resetMenuModel();

}  // namespace qmhost
