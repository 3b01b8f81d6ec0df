// Options that hold for every command of the command-line host.
#pragma once

#include <string>

namespace qmcli {

struct GlobalOptions {
    std::string pluginDir;  // empty: the per-user default folder
    int hostVersion = 0;    // the host's major version; 0: the default (8)
};

// The plug-ins folder the options name (--plugin-dir, else the default) as an
// absolute path without "." and ".." steps. The
// plug-in keeps its data there, beside its module: "Quillmark.pfs",
// "Quillmark.txt" and the folder "Profiles".
std::string PluginFolder(const GlobalOptions& options);

// Exit statuses of the commands.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailure = 1,  // the command ran and failed; a message is on standard error
    kExitUsage = 2,    // the command line is wrong
};

// Prints "quillmark: <message>" on standard error.
void PrintError(const std::string& message);

}  // namespace qmcli
