#include "module/export/DialogsCompanion.h"

#include <dlfcn.h>

#include <QCoreApplication>

#include "module/CStamperApp.h"
#include "module/PluginLifeCycle.h"
#include "stamper/StamperDialogSeams.h"

namespace {

std::string Problem(const std::string& inPath, const char* inWhy) {
    return "The plug-in's dialogs cannot be shown: their library " + inPath + " could not be loaded (" +
           (inWhy && *inWhy ? inWhy : "unknown reason") + "). Reinstall Quillmark to restore them.";
}

// The companion's entry, loaded once; null with the problem set when it cannot be.
DialogsCompanionMain LoadCompanion(const std::string& inModulePath) {
    const std::string path = FolderOfPath(inModulePath) + "/" + kDialogsCompanionName;
    dlerror();
    // It stays loaded: the desktop's windows and Qt's tables may point into it
    // until the process ends.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        SetStamperDialogsProblem(Problem(path, dlerror()));
        return nullptr;
    }
    auto entry = reinterpret_cast<DialogsCompanionMain>(dlsym(handle, kDialogsCompanionEntry));
    if (!entry) SetStamperDialogsProblem(Problem(path, "it has no entry point"));
    return entry;
}

}  // namespace

bool ProcessHasWidgets() {
    // By class name: the module links Qt Core only.
    const QCoreApplication* application = QCoreApplication::instance();
    return application && application->inherits("QApplication");
}

bool HandStartToDialogsCompanion(uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion,
                                 PISetupProc* outSetup, void* platformData, bool* outStarted) {
    if (!ProcessHasWidgets()) return false;
    const std::string modulePath = GetStamperApp().GetModuleFileName();
    static const DialogsCompanionMain entry = LoadCompanion(modulePath);
    if (!entry) return false;
    *outStarted = entry(modulePath.c_str(), hostHandshakeVersion, outHandshakeVersion, outSetup, platformData);
    return true;
}
