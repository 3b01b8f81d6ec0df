// One run of a host program with the plug-in loaded: the host's tables registered,
// its major version set, the plug-in installed into (when needed) and loaded
// from the plug-ins folder. The end closes every view that is still open
// (notifications 33 and 7 go out, so the plug-in lets go of what it keeps for
// them) and then unloads the plug-in.
#pragma once

#include <string>

#include "app/HostOptions.h"
#include "loader/PluginLoader.h"

namespace qmhost {

class HostSession {
public:
    explicit HostSession(const HostOptions& options) : mOptions(options) {}
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Answers false with *error set when the plug-in cannot be installed or loaded.
    bool start(std::string* error);
    const std::string& pluginFolder() const { return mFolder; }
    PluginLoader& loader() { return mLoader; }

private:
    HostOptions mOptions;
    std::string mFolder;
    PluginLoader mLoader;
};

// Registers the host's tables and sets the host's major version from the
// options (commands that do not load the plug-in call it too).
void prepareHost(const HostOptions& options);

}  // namespace qmhost
