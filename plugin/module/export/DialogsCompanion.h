// The dialogs' companion: the plug-in built with its dialogs (Qt Widgets), a
// shared object beside the module. The module links no Qt, so that a headless
// host never loads Qt, its widgets, X11 or GL libraries; in a process with a
// widget application (the desktop host) it hands the whole start to the
// companion, which then is the plug-in in that process.
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
    kDialogsCompanionNoWidgetApplication = 3,  // Qt's widgets but no QApplication; nothing started
};
// The library whose presence in the process makes the module ask the companion.
constexpr const char* kWidgetsLibrary = "libQt6Widgets.so.6";
typedef int32_t (*DialogsCompanionMain)(const char* moduleBuildStamp, const char** outCompanionBuildStamp,
                                        const char* modulePath, uint32_t hostHandshakeVersion,
                                        uint32_t* outHandshakeVersion, PISetupProc* outSetup, void* platformData);

// The hand-over installed by the module (module/PluginEntry.h): without Qt's
// widgets library in the process, false (the module starts itself, as a
// headless host needs). With it, loads the companion from the module's own
// folder (once; it stays loaded) and starts it. A companion that finds no
// widget application leaves the start to the module with nothing said; one that
// is missing, cannot be loaded, has no entry or belongs to another build leaves
// the start to the module, whose dialog commands then say why in the host's alert.
bool HandStartToDialogsCompanion(uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion,
                                 PISetupProc* outSetup, void* platformData, bool* outStarted);
