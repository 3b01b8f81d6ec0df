// The "AcroView" table: alerts, views, notifications and progress.
#include "HostTables.h"
#include "core/Raise.h"
#include "view/Alerts.h"
#include "view/Notifications.h"
#include "qmhost/AcroViewTable.h"

namespace qmhost {
namespace {

void alertNote(const char* text) { alerts().show(text ? text : ""); }

// Views arrive with the document windows; until then no view is open.
AVDoc getActiveDoc() { return nullptr; }

PDDoc avDocGetPDDoc(AVDoc) { raise(kHostErrBadHandle, "no such view"); }

void registerNotification(int32_t notification, ExtensionID extension, ASCallback callback,
                          void* clientData) {
    guarded("registerNotification",
            [&] { notifications().add(notification, extension, callback, clientData); });
}

void unregisterNotification(int32_t notification, ASCallback callback, void* clientData) {
    notifications().remove(notification, callback, clientData);
}

ASProgressMonitor getProgressMonitor(void** outClientData) {
    if (outClientData) *outClientData = nullptr;
    return nullptr;
}

const AcroViewTable kTable = {
    sizeof(AcroViewTable), alertNote, getActiveDoc, avDocGetPDDoc,
    registerNotification, unregisterNotification, getProgressMonitor,
};

}  // namespace

const AcroViewTable* acroViewTable() { return &kTable; }

}  // namespace qmhost
