// Installs the plug-in's dialogs as the runner of the menu commands' dialog
// seam (stamper/StamperDialogSeams.h), and removes them at unload.
#pragma once

namespace ui {

void InstallStamperDialogs();
void RemoveStamperDialogs() noexcept;

}  // namespace ui
