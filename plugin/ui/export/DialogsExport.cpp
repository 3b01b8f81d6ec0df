// The dialogs' companion QuillmarkDialogs.api: the whole plug-in with its
// dialogs, started by the module Quillmark.api in a process with widgets. The
// version script keeps every symbol but QuillmarkDialogsStart local.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "PluginBuildStamp.h"
#include "module/export/DialogsCompanion.h"

#include "module/CStamperApp.h"
#include "module/PluginEntry.h"
#include "module/PluginLifeCycle.h"
#include "ui/StamperDialogs.h"

// The plug-in's start for the module at modulePath (its data lives beside the
// module), with the dialogs installed, when the module is of this build
// (DialogsCompanionMain in module/export/DialogsCompanion.h) and a widget
// application runs.
extern "C" __attribute__((visibility("default"))) int32_t QuillmarkDialogsStart(
    const char* moduleBuildStamp, const char** outCompanionBuildStamp, const char* modulePath,
    uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion, PISetupProc* outSetup, void* platformData) {
    static_assert(std::is_same_v<decltype(&QuillmarkDialogsStart), DialogsCompanionMain>);
    if (!moduleBuildStamp || std::strcmp(moduleBuildStamp, QM_PLUGIN_BUILD_STAMP) != 0) {
        if (outCompanionBuildStamp) *outCompanionBuildStamp = QM_PLUGIN_BUILD_STAMP;
        return kDialogsCompanionOtherBuild;
    }
    // The module asks whenever Qt's widgets are in the process; without an
    // application nothing could show a dialog, and the module starts alone.
    if (!ui::HasWidgetApplication()) return kDialogsCompanionNoWidgetApplication;
    if (modulePath) GetStamperApp().SetModuleFileName(modulePath);
    SetPlugInDialogs(ui::InstallStamperDialogs, ui::RemoveStamperDialogs);
    return PlugInMain(hostHandshakeVersion, outHandshakeVersion, outSetup, platformData) ? kDialogsCompanionStarted
                                                                                         : kDialogsCompanionFailed;
}
