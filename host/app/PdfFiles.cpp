#include "app/PdfFiles.h"

#include "HostTables.h"
#include "core/ScopeGuard.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/PDModelTable.h"

namespace qmhost {

PDDoc openPdfDocument(const std::string& path) {
    const AppSupportTable* as = appSupportTable();
    ASPathName name = as->pathFromText(path.c_str());
    return withCleanUp([&] { return pdModelTable()->docOpen(name); }, [&] { as->releasePath(name); });
}

}  // namespace qmhost
