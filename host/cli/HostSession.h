// One run of the host with the plug-in loaded: the host's tables registered,
// its major version set, the plug-in installed into (when needed) and loaded
// from the plug-ins folder. The end closes every view that is still open
// (notifications 33 and 7 go out, so the plug-in lets go of what it keeps for
// them) and then unloads the plug-in.
#pragma once

#include <string>

#include "cli/GlobalOptions.h"
#include "loader/PluginLoader.h"

namespace qmcli {

class HostSession {
public:
    explicit HostSession(const GlobalOptions& options) : mOptions(options) {}
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Answers false with *error set when the plug-in cannot be installed or loaded.
    bool start(std::string* error);
    const std::string& pluginFolder() const { return mFolder; }
    qmhost::PluginLoader& loader() { return mLoader; }

private:
    GlobalOptions mOptions;
    std::string mFolder;
    qmhost::PluginLoader mLoader;
};

// Registers the host's tables and sets the host's major version from the
// options (commands that do not load the plug-in call it too).
void PrepareHost(const GlobalOptions& options);

}  // namespace qmcli
