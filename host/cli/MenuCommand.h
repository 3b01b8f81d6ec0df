// `quillmark menu list` prints the host's menu model with what the plug-in
// installed in it (items with their names, titles and enabled state);
// `quillmark menu run NAME` runs an item or tool button by name as a user's
// click would, with no document open.
#pragma once

#include <string>
#include <vector>

#include "cli/GlobalOptions.h"

namespace qmcli {

int RunMenuCommand(const GlobalOptions& options, const std::vector<std::string>& args);

// The two actions, for a host session that is running (the session command
// uses them too). List prints to standard output; run answers "" when the item
// ran and showed no alert, else what went wrong.
void PrintMenuModel();
std::string RunMenuItemByName(const std::string& name);

}  // namespace qmcli
