#include "loader/PluginLoader.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <set>

#include "core/ExceptionTrap.h"
#include "core/AtomTable.h"
#include "core/CoreTableImpl.h"
#include "core/Callbacks.h"
#include "core/TableRegistry.h"
#include "loader/TableRequests.h"
#include "view/MenuCommands.h"
#include "view/BatchCommands.h"
#include "view/Notifications.h"
#include "qmhost/CoreTable.h"
#include "qmhost/HostError.h"

namespace qmhost {
namespace {

uintptr_t gNextExtension = 1;

int addQtLibrary(dl_phdr_info* info, size_t, void* names) {
    if (info->dlpi_name && std::strstr(info->dlpi_name, "/libQt6"))
        static_cast<std::set<std::string>*>(names)->insert(info->dlpi_name);
    return 0;
}

// The Qt libraries mapped into the process now.
std::set<std::string> loadedQtLibraries() {
    std::set<std::string> names;
    dl_iterate_phdr(addQtLibrary, &names);
    return names;
}

// The Qt libraries a module brought with it (those not in before) stay loaded
// when the module goes: Qt registers its libraries with one another and is not
// made to be unloaded, while the host links no Qt library of its own (a program
// that shows no window loads Qt only where its plug-in needs it).
void keepQtLoaded(const std::set<std::string>& before) {
    for (const std::string& name : loadedQtLibraries()) {
        if (before.count(name)) continue;
        // RTLD_NOLOAD takes a reference to the library already mapped and marks
        // it never to be unloaded; closing gives the reference back, the mark stays.
        if (void* library = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(library);
    }
}

}  // namespace

PluginLoader::PluginLoader() = default;

PluginLoader::~PluginLoader() {
    if (mLoaded) unload();
    if (mModule) dlclose(mModule);
}

void PluginLoader::forgetAndClose() {
    if (mExtension) {
        notifications().dropExtension(mExtension);
        dropMenuModelOf(mExtension);
        callbacks().forgetExtension(mExtension);
        tables().forgetExtension(mExtension);
    }
    if (mModule) {
        dlclose(mModule);
        mModule = nullptr;
    }
}

PluginLoader::Result PluginLoader::fail(const std::string& message) {
    forgetAndClose();
    return {false, message};
}

PluginLoader::Result PluginLoader::load(const std::string& modulePath) {
    if (mLoaded || mModule) return {false, "a plug-in is already loaded"};
    const std::set<std::string> qtBefore = loadedQtLibraries();
    dlerror();
    mModule = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mModule) {
        const char* why = dlerror();
        return {false, "cannot load the plug-in " + modulePath + ": " + (why ? why : "unknown error")};
    }
    keepQtLoaded(qtBefore);
    auto plugInMain = reinterpret_cast<PlugInMainProc>(dlsym(mModule, kPlugInMainSymbol));
    if (!plugInMain) return fail(modulePath + " is not a plug-in: it exports no " + kPlugInMainSymbol);
    return start(plugInMain, mModule);
}

PluginLoader::Result PluginLoader::start(PlugInMainProc plugInMain, void* moduleHandle) {
    if (mLoaded) return {false, "a plug-in is already loaded"};
    mExtension = reinterpret_cast<ExtensionID>(gNextExtension++);
    mLeftovers.clear();
    Result result = runSetup(plugInMain, moduleHandle);
    if (result.ok) mLoaded = true;
    return result;
}

PluginLoader::Result PluginLoader::runSetup(PlugInMainProc plugInMain, void* moduleHandle) {
    PIPlatformData platform{sizeof(PIPlatformData), moduleHandle};
    uint32_t version = 0;
    PISetupProc setup = nullptr;
    bool answered = false;
    std::string thrown;
    if (!trappedRun([&] { answered = plugInMain(kHandshakeVersion, &version, &setup, &platform); }, &thrown))
        return fail("the plug-in's entry failed: " + thrown);
    if (!answered || !setup) return fail("the plug-in's entry refused to start");
    if (version != kHandshakeVersion) return fail("the plug-in asks for an unsupported handshake version");

    PISetupData data{sizeof(PISetupData), kHandshakeVersion, mExtension, coreTable(),
                     kCoreTableVersion, nullptr};
    tableRequests().begin();
    bool ok = false;
    const bool ranThrough = trappedRun([&] { ok = setup(kHandshakeVersion, &data); }, &thrown);
    tableRequests().end();
    if (!ranThrough) return fail("the plug-in's setup failed: " + thrown);
    if (!ok) {
        const auto missing = tableRequests().missing();
        if (!missing.empty())
            return fail("the plug-in needs the host table " + missing.front() +
                        ", which this host does not offer");
        return fail("the plug-in's setup failed");
    }
    return runHandshake(data.handshakeCallback);
}

std::string PluginLoader::callLifeCycle(ASCallback callback, const char* step) {
    auto proc = callbacks().as<PILifeCycleProc>(callback);
    if (!proc) return std::string("the plug-in gave no ") + step + " procedure";
    bool answered = false;
    std::string thrown;
    if (!trappedRun([&] { answered = proc(); }, &thrown))
        return std::string("the plug-in's ") + step + " failed: " + thrown;
    return answered ? "" : std::string("the plug-in's ") + step + " answered false";
}

PluginLoader::Result PluginLoader::runHandshake(ASCallback handshake) {
    auto proc = callbacks().as<PIHandshakeProc>(handshake);
    if (!proc) return fail("the plug-in's setup gave no handshake procedure");
    PIHandshakeData data{sizeof(PIHandshakeData), kASAtomNull, nullptr, nullptr, nullptr, nullptr};
    bool answered = false;
    std::string thrown;
    if (!trappedRun([&] { answered = proc(kHandshakeVersion, &data); }, &thrown))
        return fail("the plug-in's handshake failed: " + thrown);
    if (!answered) return fail("the plug-in's handshake answered false");
    const char* name = atoms().text(data.extensionName);
    mExtensionName = name ? name : "";
    mUnload = data.unloadCallback;
    std::string error = callLifeCycle(data.exportTablesCallback, "export-tables");
    if (error.empty()) error = callLifeCycle(data.importReplaceRegisterCallback, "import-replace-register");
    if (error.empty()) error = callLifeCycle(data.initCallback, "initialisation");
    if (error.empty()) return {true, ""};
    // A plug-in that failed to initialise still gets its unload, so that it can
    // take down what it made so far before the module is closed.
    if (auto unload = callbacks().as<PILifeCycleProc>(mUnload)) trappedRun([&] { unload(); });
    return fail(error);
}

void PluginLoader::unload() {
    if (!mLoaded) return;
    mLoaded = false;
    // Batch commands still held are destroyed while the plug-in's code is loaded.
    batchCommands().releaseExtension(mExtension);
    if (auto proc = callbacks().as<PILifeCycleProc>(mUnload)) {
        std::string thrown;
        if (!trappedRun([&] { proc(); }, &thrown)) mLeftovers.push_back("the unload procedure failed: " + thrown);
    }
    for (const auto& r : notifications().heldBy(mExtension))
        mLeftovers.push_back("notification " + std::to_string(r.notification) + " is still registered");
    for (auto& text : menuModelLeftovers(mExtension)) mLeftovers.push_back(std::move(text));
    forgetAndClose();
}

}  // namespace qmhost
