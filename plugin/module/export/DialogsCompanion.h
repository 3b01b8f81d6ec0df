// The dialogs' companion: the plug-in built with its dialogs (Qt Widgets), a
// shared object beside the module. The module links Qt Core only, so that a
// headless host never loads Qt's widgets, X11 or GL libraries; in a process
// with widgets (the desktop host) it hands the whole start to the companion,
// which then is the plug-in in that process.
#pragma once

#include <cstdint>
#include <string>

#include "qmhost/PlugInEntry.h"

// The companion's file name and its one export, which takes the module's build
// stamp (refused unless equal to the companion's own: a companion copied from
// another build would run with another data layout and setup), the module's
// path (the plug-in keeps its data beside the module) and PlugInMain's
// arguments. On refusal it sets *outCompanionBuildStamp to its own stamp and
// starts nothing. The entry is renamed whenever its arguments change, so that
// a companion of an older build is found without one rather than misread.
constexpr const char* kDialogsCompanionName = "QuillmarkDialogs.api";
constexpr const char* kDialogsCompanionEntry = "QuillmarkDialogsStart";
enum DialogsCompanionAnswer : int32_t {
    kDialogsCompanionFailed = 0,      // PlugInMain answered false
    kDialogsCompanionStarted = 1,     // PlugInMain answered true
    kDialogsCompanionOtherBuild = 2,  // the stamps differ; nothing started
};
typedef int32_t (*DialogsCompanionMain)(const char* moduleBuildStamp, const char** outCompanionBuildStamp,
                                        const char* modulePath, uint32_t hostHandshakeVersion,
                                        uint32_t* outHandshakeVersion, PISetupProc* outSetup, void* platformData);

// The hand-over installed by the module (module/PluginEntry.h): without widgets
// in the process, false (the module starts itself, as a headless host needs).
// With widgets, loads the companion from the module's own folder (once; it
// stays loaded) and starts it. A companion that is missing, cannot be loaded,
// has no entry or belongs to another build leaves the start to the module,
// whose dialog commands then say why in the host's alert.
bool HandStartToDialogsCompanion(uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion,
                                 PISetupProc* outSetup, void* platformData, bool* outStarted);
