// What the initialisation makes and the unload takes down, for the parts of the
// plug-in (and its tests) that need to reach it.
#pragma once

#include <string>

#include "qmhost/QMBase.h"

class CManageStampsToolButton;
class CAboutMenuItem;
class CHelpMenuItem;
class CPrefsMenuItem;

// The module path stored at start: inFileName without the extension of its
// file name (a "." in a folder name is none), followed by ".api".
std::string MakePlugInModulePath(const std::string& inFileName);
// The folder of a path: the text before its last "/" (empty without one).
std::string FolderOfPath(const std::string& inPath);

// The objects made by the initialisation; null before it and after the unload
// (the About item also when the sibling plug-in is installed).
CManageStampsToolButton* GetPlugInToolButton();
CPrefsMenuItem* GetPlugInPrefsItem();
CAboutMenuItem* GetPlugInAboutItem();
CHelpMenuItem* GetPlugInHelpItem();

// The handler of notification 33 (the document is about to be saved or
// closed): empties the element undo of the document's view.
void ClearUndoOnDocNotification(PDDoc inDoc, void* inClientData);

// For tests that need the host's view notifications for an undo registry of
// their own: deletes the undo controller that the initialisation made (nothing
// when there is none), and makes one again (nothing when one exists).
void DeletePlugInUndoController();
void RemakePlugInUndoController();

// The plug-in's dialogs: installed at the end of the initialisation and removed
// first by the unload. The code linked with the dialogs sets them (the dialogs'
// companion, the test programs); without them the dialog commands say that the
// dialogs cannot be shown. Null removes them.
typedef void (*PlugInDialogsProc)();
void SetPlugInDialogs(PlugInDialogsProc inInstall, PlugInDialogsProc inRemove);
