// Where the host programs find the plug-in module: a writable plug-ins folder
// (the plug-in keeps its data beside its module), by default a per-user folder
// into which the module bundled with the program is installed.
#pragma once

#include <string>

namespace qmhost {

// $XDG_DATA_HOME/quillmark/plugins, else ~/.local/share/quillmark/plugins.
std::string defaultPluginDir();

// The module bundled with this program (beside it in the build tree, or in
// ../lib/quillmark when installed); "" when none is found.
std::string bundledModulePath();

// Makes sure dir holds Quillmark.api and its dialogs' companion
// QuillmarkDialogs.api: creates the folder and copies each bundled file there
// (through a temporary file and a rename) when it is missing or differs from
// the bundled one. Answers the module's path, or "" with *error set (also when
// the companion is not bundled beside the module or cannot be copied).
std::string installModule(const std::string& dir, std::string* error);

}  // namespace qmhost
