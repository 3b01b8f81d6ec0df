// Opening a file for the user: the one place where the plug-in hands a file
// (the log, the user guide) to whatever shows files on this desktop.
//
// The host shows it (AppView showFile: a desktop host opens it with the
// desktop's viewer, the command-line host names it); with a host too old for
// that, the desktop's viewer opens it when there is a desktop. The plug-in never
// writes to standard output itself. Tests may install a handler of their own.
#pragma once

#include <functional>
#include <string>

typedef std::function<void(const std::string& inPath)> OpenFileHandler;

// Hands inPath to the installed handler, or to the default described above.
// The result is not reported: whether the file could be shown is the viewer's
// matter. Never throws.
void OpenFileForUser(const std::string& inPath) noexcept;

// Installs a handler; an empty one restores the default.
void SetOpenFileHandler(OpenFileHandler inHandler);

// The desktop's viewer, which the default uses with a host too old to show
// files: installed with the dialogs (the core has no desktop services of its
// own); an empty one removes it, and then such a host shows nothing.
void SetDesktopFileOpener(OpenFileHandler inOpener);

// Whether the process runs a graphical application, so that windows and the
// desktop's viewer can be used: the installed check answers (the dialogs
// install their toolkit's when the plug-in starts with them); false without one,
// as the core links no toolkit and so has no desktop of its own.
bool HasDesktopDisplay();
typedef bool (*DesktopDisplayCheck)();
// Installs the check; null removes it.
void SetDesktopDisplayCheck(DesktopDisplayCheck inCheck);
