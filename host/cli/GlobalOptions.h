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

// Prints "quillmark: <message>" on standard error, one line: control
// characters in the message (from a file name, a profile, a document) are
// written out (qmhost::EscapeControlCharacters).
void PrintError(const std::string& message);

// Wrong usage of a command (empty: of the program): prints "quillmark:
// <message>" and the line that says where its help is, on standard error.
void PrintUsageError(const std::string& message, const std::string& command);
// The same for what the command checks itself ("missing -o OUT.pdf"): the
// message is given as "<command>: <what>"; answers kExitUsage.
int UsageError(const std::string& command, const std::string& what);

}  // namespace qmcli
