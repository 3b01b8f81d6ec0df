// "AppViewSuites": the optional suite access of a host that has a dialog
// manager (HDM). Our hosts do not offer it; a plug-in finds it absent and goes
// without. The types below are what a plug-in needs to use one that is there.
#pragma once

#include "qmhost/QMBase.h"

// Acquires and releases suites by name and version.
struct HdmSuiteAccess {
    // Fills *outSuite with the suite and answers 0; another value (and *outSuite
    // untouched) when the host has no such suite. Never raises.
    int32_t (*acquireSuite)(const char* name, int32_t version, const void** outSuite);
    // Gives back one acquisition. Never raises.
    int32_t (*releaseSuite)(const char* name, int32_t version);
};

struct AppViewSuitesTable {
    uint32_t size;  // sizeof(AppViewSuitesTable)
    // A value the host hands out first; plug-ins keep it. Never raises.
    int32_t (*first)(void);
    // The suite access; borrowed, never null. Never raises.
    const HdmSuiteAccess* (*suiteAccess)(void);
    // Non-zero when the dialog manager can be used now. Never raises.
    int16_t (*available)(void);
};

// "HDM Basic Suite" version 7: the resource context of dialogs.
struct HdmBasicSuite {
    void* (*getResourceContext)(void);
    void (*setResourceContext)(void* context);
};

// "HDM Win Host Suite" version 4: the window that owns the manager's dialogs.
struct HdmWinHostSuite {
    void* (*getParentWindow)(void);
    void (*setParentWindow)(void* window);
};

// "HDM Item Suite" version 6: dialog items.
typedef struct _t_HdmItem* HdmItem;
struct HdmItemSuite {
    // The item's text into buffer (capacity bytes with the NUL); answers the
    // text's full length in bytes. A null buffer only measures.
    uint32_t (*getText)(HdmItem item, char* buffer, uint32_t capacity);
    void (*setText)(HdmItem item, const char* utf8);
    // The item's type name ("HDM List Box Type", ...); borrowed.
    const char* (*getType)(HdmItem item);
};
