// The "AppView" table: alerts, views, notifications and progress.
#include "view/AppViewTableImpl.h"
#include "core/Raise.h"
#include "view/ActionHandlers.h"
#include "view/Alerts.h"
#include "view/BatchTableEntries.h"
#include "view/FileShowing.h"
#include "view/MenuTableEntries.h"
#include "view/Notifications.h"
#include "view/PageViews.h"
#include "view/ProgressMonitor.h"
#include "view/Views.h"
#include "qmhost/AppViewTable.h"

namespace qmhost {
namespace {

void alertNote(const char* text) { alerts().show(text ? text : ""); }

void alertWarning(const char* text) { alerts().warn(text ? text : ""); }

AVDoc getActiveDoc() { return views().active(); }

PDDoc avDocGetPDDoc(AVDoc view) { return views().documentOf(view); }

AVDoc avDocOpenFromPDDoc(PDDoc doc, const char* title) {
    return guarded("avDocOpenFromPDDoc", [&] {
        const AVDoc view = views().open(doc, title ? title : "");
        notePluginView(view);
        return view;
    });
}

void avDocClose(AVDoc view, bool) { guarded("avDocClose", [&] { views().close(view); }); }

AVDoc pdDocGetAVDoc(PDDoc doc) { return views().viewOf(doc); }

void registerNotification(int32_t notification, ExtensionID extension, ASCallback callback,
                          void* clientData) {
    guarded("registerNotification",
            [&] { notifications().add(notification, extension, callback, clientData); });
}

void unregisterNotification(int32_t notification, ASCallback callback, void* clientData) {
    notifications().remove(notification, callback, clientData);
}

ASProgressMonitor getProgressMonitor(void** outClientData) {
    return progressMonitorRecord(outClientData);
}

const AppViewTable kTable = {
    sizeof(AppViewTable), alertNote, getActiveDoc, avDocGetPDDoc,
    registerNotification, unregisterNotification, getProgressMonitor,
    avDocOpenFromPDDoc, avDocClose, pdDocGetAVDoc,
    // Menus, toolbars and tool buttons.
    viewentries::getMenubar, viewentries::menubarAcquireMenuItemByName,
    viewentries::menubarAcquireMenuByName, viewentries::menuItemNew, viewentries::menuItemAcquire,
    viewentries::menuItemRelease, viewentries::menuItemAcquireSubmenu, viewentries::menuItemIsLongOnly,
    viewentries::menuItemGetShortcut, viewentries::menuItemGetTitle, viewentries::menuItemSetTitle,
    viewentries::menuItemRemove, viewentries::menuItemGetName, viewentries::menuItemIsEnabled,
    viewentries::menuItemIsMarked, viewentries::menuItemSetComputeEnabledProc,
    viewentries::menuItemSetComputeMarkedProc, viewentries::menuItemSetExecuteProc,
    viewentries::menuNew, viewentries::menuAcquire, viewentries::menuRelease,
    viewentries::menuAddMenuItem, viewentries::menuGetTitle, viewentries::menuGetName,
    viewentries::menuGetNumMenuItems, viewentries::menuAcquireMenuItemByIndex,
    viewentries::menuGetMenuItemIndex,
    viewentries::getToolBar, viewentries::toolBarGetByName, viewentries::toolBarNew,
    viewentries::toolBarSetPosition, viewentries::toolBarGetButtonByName,
    viewentries::toolBarAddButton, viewentries::toolBarGetNumButtons, viewentries::toolButtonNew,
    viewentries::toolButtonSetExecuteProc, viewentries::toolButtonSetComputeEnabledProc,
    viewentries::toolButtonSetComputeMarkedProc, viewentries::toolButtonSetHelpText,
    viewentries::toolButtonSetMenu, viewentries::toolButtonAcquireMenu,
    viewentries::toolButtonIsEnabled, viewentries::toolButtonIsMarked,
    viewentries::toolButtonRemove, viewentries::toolButtonDestroy,
    // Batch commands and cursors.
    batchentries::registerCommandHandler, batchentries::commandNew, batchentries::commandDestroy,
    batchentries::commandGetName, batchentries::commandRegisterGlobal, batchentries::commandFindGlobal,
    batchentries::commandSetParams, batchentries::commandGetParams, batchentries::commandGetProps,
    batchentries::commandGetCab, batchentries::commandPutCab, batchentries::commandGetPDDoc,
    batchentries::commandGetStatus, batchentries::commandGetProgressMonitor,
    batchentries::commandGetReportProc, batchentries::commandGetCursorPolicy,
    batchentries::cursorGetCurrent, batchentries::cursorSet, batchentries::cursorGetStandard,
    showFile,
    // Link action handlers.
    enumActionHandlers, getActionHandlerByType,
    // Page views.
    pageviewentries::docGetPageView, pageviewentries::pageViewPointToDevice,
    pageviewentries::pageViewRectToDevice, pageviewentries::pageViewInvalidateRect,
    pageviewentries::pageViewDrawNow, pageviewentries::pageViewGoTo, pageviewentries::pageViewGetPageNum,
    pageviewentries::pageViewScrollToRect,
    [] { return progressMonitor().cancelRequested() ? int32_t{1} : int32_t{0}; },
    alertWarning,
    batchentries::commandGetSequenceFile,
};

}  // namespace

const AppViewTable* appViewTable() { return &kTable; }

}  // namespace qmhost
