#include "module/export/DialogsCompanion.h"

#include <dlfcn.h>
#include <link.h>

#include <string_view>

#include "PluginBuildStamp.h"
#include "module/CStamperApp.h"
#include "module/PluginLifeCycle.h"
#include "stamper/StamperDialogSeams.h"

namespace {

std::string Problem(const std::string& inPath, const std::string& inWhy) {
    return "The plug-in's dialogs cannot be shown: their library " + inPath + " " + inWhy +
           ". Reinstall Quillmark to restore them.";
}

std::string NotLoaded(const std::string& inPath, const char* inWhy) {
    return Problem(inPath, std::string("could not be loaded (") + (inWhy && *inWhy ? inWhy : "unknown reason") + ")");
}

std::string OtherBuild(const std::string& inPath, const char* inCompanionStamp) {
    return Problem(inPath, std::string("belongs to another build of Quillmark (built as ") +
                               (inCompanionStamp ? inCompanionStamp : "unknown") + ", this module as " +
                               QM_PLUGIN_BUILD_STAMP + ")");
}

std::string CompanionPath(const std::string& inModulePath) {
    return FolderOfPath(inModulePath) + "/" + kDialogsCompanionName;
}

// The companion's entry, loaded once; null with the problem set when it cannot be.
DialogsCompanionMain LoadCompanion(const std::string& inModulePath) {
    const std::string path = CompanionPath(inModulePath);
    dlerror();
    // It stays loaded: the desktop's windows and Qt's tables may point into it
    // until the process ends. One that starts nothing (of another build, or
    // without a widget application) stays too, unused: its entry is looked up once.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        SetStamperDialogsProblem(NotLoaded(path, dlerror()));
        return nullptr;
    }
    auto entry = reinterpret_cast<DialogsCompanionMain>(dlsym(handle, kDialogsCompanionEntry));
    if (!entry)
        SetStamperDialogsProblem(
            Problem(path, std::string("has no entry ") + kDialogsCompanionEntry + ": it belongs to an older build"));
    return entry;
}

// Whether Qt's widgets are in the process, by the loaded objects' names: the
// module links no Qt, and loading the library here would bring it into a
// headless process (the loader's list is read, nothing is opened, not even
// with RTLD_NOLOAD). Whether a widget application runs is the companion's to tell.
bool ProcessHasWidgets() {
    auto isWidgets = [](dl_phdr_info* info, size_t, void*) -> int {
        const std::string_view path = info->dlpi_name ? info->dlpi_name : "";
        const size_t slash = path.rfind('/');
        return path.substr(slash == std::string_view::npos ? 0 : slash + 1) == kWidgetsLibrary ? 1 : 0;
    };
    return dl_iterate_phdr(isWidgets, nullptr) != 0;
}

}  // namespace

bool HandStartToDialogsCompanion(uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion,
                                 PISetupProc* outSetup, void* platformData, bool* outStarted) {
    if (!ProcessHasWidgets()) return false;
    const std::string modulePath = GetStamperApp().GetModuleFileName();
    static const DialogsCompanionMain entry = LoadCompanion(modulePath);
    if (!entry) return false;
    const char* companionStamp = nullptr;
    const int32_t answer = entry(QM_PLUGIN_BUILD_STAMP, &companionStamp, modulePath.c_str(), hostHandshakeVersion,
                                 outHandshakeVersion, outSetup, platformData);
    if (answer == kDialogsCompanionOtherBuild) {
        SetStamperDialogsProblem(OtherBuild(CompanionPath(modulePath), companionStamp));
        return false;
    }
    // Widgets linked without an application: nothing could show a dialog, so
    // the module runs alone, as in a headless process, and nothing is amiss.
    if (answer == kDialogsCompanionNoWidgetApplication) return false;
    *outStarted = answer == kDialogsCompanionStarted;
    return true;
}
