#include "cli/VersionCommand.h"

#include <cstdio>
#include <string>

#include "HostTables.h"
#include "app/HostSession.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CoreTable.h"

namespace qmcli {
namespace {

// The plug-in's name and version from its product-information table.
std::string PluginProductInfo() {
    const CoreTable* core = qmhost::coreTable();
    const void* table = core->getTable(core->atomFromString("KESO:Quillmark"), 1);
    if (!table) return "";
    auto entry = reinterpret_cast<void (*)(char*)>(
        qmhost::appSupportTable()->getEntry(static_cast<HFT>(const_cast<void*>(table)), 1));
    if (!entry) return "";
    char buffer[256] = "";
    entry(buffer);
    return buffer;
}

}  // namespace

int RunVersionCommand(const GlobalOptions& options) {
    qmhost::HostSession session(options);
    std::string error;
    if (!session.start(&error)) {
        PrintError(error);
        return kExitFailure;
    }
    const std::string info = PluginProductInfo();
    if (info.empty()) {
        PrintError("the plug-in offers no product information");
        return kExitFailure;
    }
    std::printf("%s\nquillmark host %s\n", info.c_str(), QM_VERSION);
    return kExitOk;
}

}  // namespace qmcli
