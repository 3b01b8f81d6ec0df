// The AppView table's menu, toolbar and tool-button entries (contracts in
// qmhost/AppViewTable.h). Each runs its body under guarded(): whatever goes
// wrong leaves as a HostError.
#pragma once

#include "qmhost/AppViewTable.h"

namespace qmhost::viewentries {

AVMenubar getMenubar();
AVMenuItem menubarAcquireMenuItemByName(AVMenubar bar, const char* name);
AVMenu menubarAcquireMenuByName(AVMenubar bar, const char* name);
AVMenuItem menuItemNew(const char* title, const char* name, AVMenu submenu, bool longMenusOnly, char shortcut,
                       int16_t shortcutFlags, AVIcon icon, ExtensionID extension);
AVMenuItem menuItemAcquire(AVMenuItem item);
void menuItemRelease(AVMenuItem item);
AVMenu menuItemAcquireSubmenu(AVMenuItem item);
bool menuItemIsLongOnly(AVMenuItem item);
bool menuItemGetShortcut(AVMenuItem item, char* outKey, int16_t* outFlags);
int32_t menuItemGetTitle(AVMenuItem item, char* buffer, int32_t capacity);
void menuItemSetTitle(AVMenuItem item, const char* title);
void menuItemRemove(AVMenuItem item);
const char* menuItemGetName(AVMenuItem item);
bool menuItemIsEnabled(AVMenuItem item);
bool menuItemIsMarked(AVMenuItem item);
void menuItemSetComputeEnabledProc(AVMenuItem item, ASCallback callback, void* clientData);
void menuItemSetComputeMarkedProc(AVMenuItem item, ASCallback callback, void* clientData);
void menuItemSetExecuteProc(AVMenuItem item, ASCallback callback, void* clientData);
AVMenu menuNew(const char* title, const char* name, ExtensionID extension);
AVMenu menuAcquire(AVMenu menu);
void menuRelease(AVMenu menu);
void menuAddMenuItem(AVMenu menu, AVMenuItem item, int32_t position);
int32_t menuGetTitle(AVMenu menu, char* buffer, int32_t capacity);
const char* menuGetName(AVMenu menu);
int32_t menuGetNumMenuItems(AVMenu menu);
AVMenuItem menuAcquireMenuItemByIndex(AVMenu menu, int32_t index);
int32_t menuGetMenuItemIndex(AVMenu menu, AVMenuItem item);

AVToolBar getToolBar();
AVToolBar toolBarGetByName(const char* name);
AVToolBar toolBarNew(const char* name, const char* title);
void toolBarSetPosition(const char* name, uint32_t options, const AVToolBarPosition* position);
AVToolButton toolBarGetButtonByName(AVToolBar bar, ASAtom name);
void toolBarAddButton(AVToolBar bar, AVToolButton button, bool before, AVToolButton other);
int32_t toolBarGetNumButtons(AVToolBar bar);
AVToolButton toolButtonNew(ASAtom name, AVIcon icon, uint8_t options, bool separator);
void toolButtonSetExecuteProc(AVToolButton button, ASCallback callback, void* clientData);
void toolButtonSetComputeEnabledProc(AVToolButton button, ASCallback callback, void* clientData);
void toolButtonSetComputeMarkedProc(AVToolButton button, ASCallback callback, void* clientData);
void toolButtonSetHelpText(AVToolButton button, const char* text);
void toolButtonSetMenu(AVToolButton button, AVMenu menu);
AVMenu toolButtonAcquireMenu(AVToolButton button);
bool toolButtonIsEnabled(AVToolButton button);
bool toolButtonIsMarked(AVToolButton button);
void toolButtonRemove(AVToolButton button);
void toolButtonDestroy(AVToolButton button);

}  // namespace qmhost::viewentries
