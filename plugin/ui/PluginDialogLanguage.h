// The windows a dialog of the plug-in raises speak the plug-in's language:
// while a modal dialog that one of the plug-in's dialogs raised is shown (the
// host's message box for an alert, the host's link dialogs, Qt's file, colour
// and input dialogs) Qt's own texts are in the plug-in's language
// (QtTextsInPluginLanguage), and it is told so as it shows, so its standard
// buttons read that way. The texts of the host and of the plug-in themselves
// stay as they are written.
#pragma once

class QWidget;

namespace ui {

// Marks inDialog as one of the plug-in's dialogs and watches the
// application's windows from then on.
void MarkAsPluginDialog(QWidget* inDialog);
// Stops watching (before the plug-in's code goes). Never throws.
void StopWatchingRaisedWindows() noexcept;

}  // namespace ui
