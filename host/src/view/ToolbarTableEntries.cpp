// The toolbar and tool-button entries of the AppView table over the toolbar model.
#include <string>

#include "core/ExceptionTrap.h"
#include "core/Raise.h"
#include "view/MenuTableEntries.h"
#include "view/Menus.h"
#include "view/Toolbars.h"

namespace qmhost::viewentries {

AVToolBar getToolBar() { return toolbars().appToolBar(); }

AVToolBar toolBarGetByName(const char* name) {
    if (!name) return nullptr;
    return trapped<AVToolBar>(nullptr, [&] { return toolbars().find(name); });  // never raises
}

AVToolBar toolBarNew(const char* name, const char* title) {
    return guarded("toolBarNew", [&] { return toolbars().create(name ? name : "", title ? title : ""); });
}

void toolBarSetPosition(const char* name, uint32_t, const AVToolBarPosition* position) {
    guarded("toolBarSetPosition", [&] {
        if (!name || !position) raise(kHostErrBadParameter, "toolBarSetPosition needs a name and a record");
        toolbars().setPosition(name, *position);
    });
}

AVToolButton toolBarGetButtonByName(AVToolBar bar, ASAtom name) {
    return guarded("toolBarGetButtonByName", [&] { return toolbars().buttonByName(bar, name); });
}

void toolBarAddButton(AVToolBar bar, AVToolButton button, bool before, AVToolButton other) {
    guarded("toolBarAddButton", [&] { toolbars().add(bar, button, before, other); });
}

int32_t toolBarGetNumButtons(AVToolBar bar) {
    return guarded("toolBarGetNumButtons",
                   [&] { return static_cast<int32_t>(toolbars().toolBar(bar).buttons.size()); });
}

AVToolButton toolButtonNew(ASAtom name, AVIcon icon, uint8_t options, bool separator) {
    return guarded("toolButtonNew", [&] { return toolbars().newButton(name, icon, options, separator); });
}

void toolButtonSetExecuteProc(AVToolButton button, ASCallback callback, void* clientData) {
    guarded("toolButtonSetExecuteProc",
            [&] { toolbars().setExecuteProc(button, checkedProc(callback, clientData)); });
}

void toolButtonSetComputeEnabledProc(AVToolButton button, ASCallback callback, void* clientData) {
    guarded("toolButtonSetComputeEnabledProc",
            [&] { toolbars().setEnabledProc(button, checkedProc(callback, clientData)); });
}

void toolButtonSetComputeMarkedProc(AVToolButton button, ASCallback callback, void* clientData) {
    guarded("toolButtonSetComputeMarkedProc",
            [&] { toolbars().setMarkedProc(button, checkedProc(callback, clientData)); });
}

void toolButtonSetHelpText(AVToolButton button, const char* text) {
    guarded("toolButtonSetHelpText", [&] { toolbars().setHelpText(button, text ? text : ""); });
}

void toolButtonSetMenu(AVToolButton button, AVMenu menu) {
    guarded("toolButtonSetMenu", [&] { toolbars().setMenu(button, menu); });
}

AVMenu toolButtonAcquireMenu(AVToolButton button) {
    return guarded("toolButtonAcquireMenu", [&]() -> AVMenu {
        const AVMenu menu = toolbars().button(button).menu;
        return menu && menus().alive(menu) ? menus().acquire(menu) : nullptr;
    });
}

bool toolButtonIsEnabled(AVToolButton button) {
    const CommandProc proc =
        guarded("toolButtonIsEnabled", [&] { return toolbars().button(button).procs.enabled; });
    return computeEnabled(proc);
}

bool toolButtonIsMarked(AVToolButton button) {
    const CommandProc proc =
        guarded("toolButtonIsMarked", [&] { return toolbars().button(button).procs.marked; });
    return computeMarked(proc);
}

void toolButtonRemove(AVToolButton button) {
    guarded("toolButtonRemove", [&] { toolbars().remove(button); });
}

void toolButtonDestroy(AVToolButton button) {
    guarded("toolButtonDestroy", [&] { toolbars().destroy(button); });
}

}  // namespace qmhost::viewentries
