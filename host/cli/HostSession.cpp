#include "cli/HostSession.h"

#include "HostTables.h"
#include "cli/PluginInstall.h"
#include "qmhost/HostError.h"
#include "support/HostVersion.h"
#include "view/Views.h"

namespace qmcli {

void PrepareHost(const GlobalOptions& options) {
    qmhost::registerHostTables();
    if (options.hostVersion > 0) qmhost::setHostMajorVersion(options.hostVersion);
}

bool HostSession::start(std::string* error) {
    PrepareHost(mOptions);
    mFolder = PluginFolder(mOptions);
    const std::string module = InstallModule(mFolder, error);
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
        qmhost::views().closeAll();
    } catch (const HostError&) {
        // A view that will not close is dropped with the process.
    }
    if (mLoader.loaded()) mLoader.unload();
}

}  // namespace qmcli
