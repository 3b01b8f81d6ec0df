// The dialogs' companion QuillmarkDialogs.api: the whole plug-in with its
// dialogs, started by the module Quillmark.api in a process with widgets. The
// version script keeps every symbol but QuillmarkDialogsMain local.
#include <cstdint>

#include "module/CStamperApp.h"
#include "module/PluginEntry.h"
#include "module/PluginLifeCycle.h"
#include "ui/StamperDialogs.h"

// The plug-in's start for the module at modulePath (its data lives beside the
// module), with the dialogs installed; the other arguments are PlugInMain's.
extern "C" __attribute__((visibility("default"))) bool QuillmarkDialogsMain(const char* modulePath,
                                                                         uint32_t hostHandshakeVersion,
                                                                         uint32_t* outHandshakeVersion,
                                                                         PISetupProc* outSetup, void* platformData) {
    if (modulePath) GetStamperApp().SetModuleFileName(modulePath);
    SetPlugInDialogs(ui::InstallStamperDialogs, ui::RemoveStamperDialogs);
    return PlugInMain(hostHandshakeVersion, outHandshakeVersion, outSetup, platformData);
}
