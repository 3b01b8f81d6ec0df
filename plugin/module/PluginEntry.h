// The plug-in's entry, setup and handshake, and its life-cycle callbacks.
#pragma once

#include <cstdint>

#include "qmhost/PlugInEntry.h"

// The module's only export (see export/ModuleExport.cpp); C linkage.
extern "C" __attribute__((visibility("default"))) bool PlugInMain(uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion,
                                                           PISetupProc* outSetup, void* platformData);

// Another entry that may take the start over (the module hands it to its
// dialogs' companion in a process with widgets): answers true when it took it,
// with the start's answer in *outStarted; false leaves the start to this code.
typedef bool (*PlugInStartHandOver)(uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion,
                                    PISetupProc* outSetup, void* platformData, bool* outStarted);
// Installed before the host calls PlugInMain; null removes it.
void SetPlugInStartHandOver(PlugInStartHandOver inHandOver);

bool SetupPlugin(uint32_t handshakeVersion, void* setupData);
bool PluginHandshake(uint32_t handshakeVersion, void* handshakeData);
ASAtom GetExtensionNameAtom();

bool ExportHfts();
bool PluginImportReplaceAndRegister();
bool PluginInit();
bool PluginUnload();

// The module handle the host gave at entry (null before).
void* GetModuleHandle();
