// Where the menu commands meet the plug-in's dialogs: the current stamp
// manager and the runner that shows the stamp manager, the preferences dialog
// and the About box.
//
// The dialogs are windows of the desktop viewer. Until their code installs a
// runner, and always in a host without a display, a command that would open one
// tells the user so with an alert (string 1101 naming the dialog) and does
// nothing else.
#pragma once

#include <functional>
#include <string>

class CProfilesDlg;

// The current stamp manager (a modeless window), null when there is none. The
// stamp manager sets it when it is made and clears it when it goes; while it is
// set the Stamp submenu and its profile items are disabled.
extern CProfilesDlg* gProfilesDlg;
inline bool StampManagerExists() { return gProfilesDlg != nullptr; }

enum class StamperDialog {
    kStampManager,  // modeless: made when there is none, then made the active window
    kPreferences,   // modal
    kAboutBox,      // modal
};

typedef std::function<void(StamperDialog inDialog)> StamperDialogRunner;

// Installs the dialogs' runner (an empty one removes it).
void SetStamperDialogRunner(StamperDialogRunner inRunner);

// Shows the dialog through the runner when one is installed and the host has a
// display (HasDesktopDisplay); otherwise shows the alert: the problem set below
// when there is one, else string 1101. A failure of the runner leaves as it was
// thrown (the menu callback's guard reports it).
void RunStamperDialog(StamperDialog inDialog);

// Why the dialogs are missing in a host that could show them (their code could
// not be loaded), said in full instead of string 1101; "" clears it. Set only
// in a process with widgets, so it is shown without asking HasDesktopDisplay.
void SetStamperDialogsProblem(std::string inProblem);

// Installed by the stamp manager's code: closes and deletes the open manager,
// leaving gProfilesDlg null. An empty one removes it.
typedef std::function<void()> StampManagerCloser;
void SetStampManagerCloser(StampManagerCloser inCloser);
// Closes the open stamp manager (the unload does this first, before the
// preferences and the clipboard it uses go). Nothing when none is open or no
// closer is installed. Never throws.
void CloseStampManager() noexcept;

// The dialog's name in the alert (strings 1102 to 1104).
std::string GetStamperDialogName(StamperDialog inDialog);
