// Options that hold for every command of the command-line host: the host
// options shared with the desktop host (app/HostOptions.h).
#pragma once

#include <string>

#include "app/HostOptions.h"

namespace qmcli {

using GlobalOptions = qmhost::HostOptions;

// The plug-ins folder the options name (qmhost::pluginFolder).
inline std::string PluginFolder(const GlobalOptions& options) { return qmhost::pluginFolder(options); }

// Exit statuses of the commands.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailure = 1,  // the command ran and failed; a message is on standard error
    kExitUsage = 2,    // the command line is wrong
};

// Prints "quillmark: <message>" on standard error.
void PrintError(const std::string& message);

}  // namespace qmcli
