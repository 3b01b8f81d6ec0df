// "AcroView": the viewer: document views, alerts, notifications and progress.
#pragma once

#include "qmhost/QMBase.h"

// Notification numbers that the host sends (one definition, meaning here).
enum : int32_t {
    kNotifyFrontDocChanged = 2,  // (AVDoc, clientData): the front view changed
    kNotifyViewAdded = 4,        // (AVDoc, uint32_t unused, clientData): a view was opened
    kNotifyViewRemoved = 7,      // (AVDoc, clientData): a view is about to close
    kNotifyDocWillChange = 33,   // (PDDoc, clientData): the document is about to be saved or closed
};

// The host's progress monitor: size, then seven operations that take the
// client data the host handed out with the monitor. setText may be null.
struct ASProgressMonitorRec {
    uint32_t size;  // sizeof(ASProgressMonitorRec)
    void (*beginOperation)(void* clientData);
    void (*endOperation)(void* clientData);
    void (*setDuration)(int32_t duration, void* clientData);
    void (*setCurrValue)(int32_t value, void* clientData);
    int32_t (*getDuration)(void* clientData);
    int32_t (*getCurrValue)(void* clientData);
    void (*setText)(ASText text, void* clientData);
};
typedef ASProgressMonitorRec* ASProgressMonitor;

struct AcroViewTable {
    uint32_t size;  // sizeof(AcroViewTable)

    // Shows a note to the user (a dialog in the viewer, standard error in the
    // command-line host, a recorder in tests; silenced in batch and preview runs).
    void (*alertNote)(const char* text);
    AVDoc (*getActiveDoc)(void);  // null when no view is open; never raises
    PDDoc (*avDocGetPDDoc)(AVDoc view);
    // Registers a callback (of the notification's signature) for a notification
    // number, with client data. Raises kHostErrBadParameter for an unknown number.
    void (*registerNotification)(int32_t notification, ExtensionID extension,
                                 ASCallback callback, void* clientData);
    // Unregisters the registration with this callback and client data; nothing when none.
    void (*unregisterNotification)(int32_t notification, ASCallback callback,
                                   void* clientData);
    // The application's progress monitor, or null when the host has none; the host
    // writes the monitor's client data into *outClientData.
    ASProgressMonitor (*getProgressMonitor)(void** outClientData);
};
