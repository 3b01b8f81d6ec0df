#include "app/HostSession.h"

#include "HostTables.h"
#include "app/PluginInstall.h"
#include "qmhost/HostError.h"
#include "support/HostVersion.h"
#include "view/Views.h"

namespace qmhost {

void prepareHost(const HostOptions& options) {
    registerHostTables();
    if (options.hostVersion > 0) setHostMajorVersion(options.hostVersion);
}

bool HostSession::start(std::string* error) {
    prepareHost(mOptions);
    mFolder = qmhost::pluginFolder(mOptions);
    const std::string module = installModule(mFolder, error);
    if (module.empty()) return false;
    const auto result = mLoader.load(module);
    if (!result.ok) {
        *error = result.message;
        return false;
    }
    return true;
}

HostSession::~HostSession() {
    try {
        views().closeAll();
    } catch (const HostError&) {
        // A view that will not close is dropped with the process.
    }
    if (mLoader.loaded()) mLoader.unload();
}

}  // namespace qmhost
