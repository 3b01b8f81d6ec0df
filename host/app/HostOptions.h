// The options every host program takes (the command-line host `quillmark` and
// the desktop host `quillmark-viewer`): where the plug-ins folder is and which
// major version the host plays.
#pragma once

#include <string>

namespace qmhost {

struct HostOptions {
    std::string pluginDir;  // empty: the per-user default folder
    int hostVersion = 0;    // the host's major version; 0: the default (8)
};

// The host's major version in text: a number from 1 to 99 in decimal digits.
// False (out untouched) for anything else.
bool parseHostVersion(const std::string& text, int* out);

// Reads a host option at argv[*index] ("--plugin-dir DIR", "--host-version N")
// and moves *index onto its value. Answers false when argv[*index] is no host
// option; true when it is one, with *error set (non-empty) when its value is
// missing or wrong.
bool takeHostOption(int argc, char** argv, int* index, HostOptions* options, std::string* error);

// The plug-ins folder the options name (--plugin-dir, else the default) as an
// absolute path without "." and ".." steps. The plug-in keeps its data there,
// beside its module: "Quillmark.pfs", "Quillmark.txt" and the folder "Profiles".
std::string pluginFolder(const HostOptions& options);

}  // namespace qmhost
