// Loads a plug-in module and runs its life cycle: PlugInMain, setup (the plug-in
// imports the host's tables), handshake, export tables, import-replace-register,
// initialise; and at the end unload. The plug-in finds the tables registered in
// the table registry: the program registers them where its session starts
// (registerHostTables), before the first load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qmhost/PlugInEntry.h"

namespace qmhost {

class PluginLoader {
public:
    struct Result {
        bool ok = false;
        std::string message;  // why the load failed; empty on success
    };

    PluginLoader();
    ~PluginLoader();  // unloads a plug-in that is still loaded
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // Opens the module file with dlopen and starts it.
    Result load(const std::string& modulePath);
    // Starts a plug-in whose entry is linked into this program.
    Result start(PlugInMainProc plugInMain, void* moduleHandle = nullptr);
    // Calls the plug-in's unload callback, drops what the host still holds for
    // it (reported by leftovers()) and closes the module.
    void unload();

    bool loaded() const { return mLoaded; }
    ExtensionID extension() const { return mExtension; }
    // The name the plug-in gave in its handshake ("" before).
    std::string extensionName() const { return mExtensionName; }
    // What the host still held for the plug-in after its unload callback ran
    // (notification registrations); empty when the plug-in cleaned up.
    const std::vector<std::string>& leftovers() const { return mLeftovers; }

private:
    // Drops what the host keeps for the extension (notifications, menu model,
    // callbacks, tables) and closes the module.
    void forgetAndClose();
    // forgetAndClose, and the failed result with message.
    Result fail(const std::string& message);
    Result runSetup(PlugInMainProc plugInMain, void* moduleHandle);
    Result runHandshake(ASCallback handshake);
    // "" when the callback answered true, else why not.
    std::string callLifeCycle(ASCallback callback, const char* step);

    void* mModule = nullptr;
    ExtensionID mExtension = nullptr;
    bool mLoaded = false;
    std::string mExtensionName;
    ASCallback mUnload = nullptr;
    std::vector<std::string> mLeftovers;
};

}  // namespace qmhost
