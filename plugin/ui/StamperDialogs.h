// Installs the plug-in's dialogs as the runner of the menu commands' dialog
// seam (stamper/StamperDialogSeams.h), and removes them at unload.
#pragma once

#include "qmhost/QMBase.h"

namespace ui {

// The batch command's choice of profile: the stamp manager run modally over
// the window in front; on OK ioParams holds the chosen profile and the answer
// is true. False, with ioParams untouched, on Cancel or without widgets.
bool ChooseBatchProfile(ASCab ioParams);

// Whether a widget application (QApplication) runs in the process.
bool HasWidgetApplication();

// Installs, with the dialogs, Qt's event pump (support/io/UserCancel.h) and
// the desktop check (stamper/OpenFileSeam.h) that the core has none of.
void InstallStamperDialogs();
void RemoveStamperDialogs() noexcept;

}  // namespace ui
