// How a host starts a plug-in module: the exported entry, the setup record and
// the handshake record. The module exports `PlugInMain` (C linkage) only.
#pragma once

#include "qmhost/QMBase.h"

struct CoreTable;

// Answers whether setup succeeded; the plug-in keeps what it needs of `data`.
typedef bool (*PISetupProc)(uint32_t handshakeVersion, void* setupData);
// Life-cycle callbacks made by the plug-in with makeCallback.
typedef bool (*PIHandshakeProc)(uint32_t handshakeVersion, void* handshakeData);
typedef bool (*PILifeCycleProc)(void);

// Handed to PlugInMain; `moduleHandle` is the handle the host loaded the module with.
struct PIPlatformData {
    uint32_t size;
    void* moduleHandle;
};

// Handed to the setup procedure.
struct PISetupData {
    uint32_t size;              // sizeof(PISetupData)
    uint32_t handshakeVersion;  // kHandshakeVersion
    ExtensionID extensionID;
    const CoreTable* coreTable;
    uint32_t coreVersion;       // kCoreTableVersion
    ASCallback handshakeCallback;  // out: PIHandshakeProc
};

// Handed to the handshake callback, which fills the out fields.
struct PIHandshakeData {
    uint32_t size;                          // sizeof(PIHandshakeData)
    ASAtom extensionName;                   // out
    ASCallback exportTablesCallback;        // out: PILifeCycleProc
    ASCallback importReplaceRegisterCallback;  // out: PILifeCycleProc
    ASCallback initCallback;                // out: PILifeCycleProc
    ASCallback unloadCallback;              // out: PILifeCycleProc
};

typedef bool (*PlugInMainProc)(uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion,
                               PISetupProc* outSetup, void* platformData);
constexpr const char* kPlugInMainSymbol = "PlugInMain";
