#include "app/PdfFiles.h"

#include "HostTables.h"
#include "core/ScopeGuard.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/PDModelTable.h"

namespace qmhost {

PDDoc openPdfDocument(const std::string& path) { return openPdfDocument(path, pdModelTable()); }

PDDoc openPdfDocument(const std::string& path, const PDModelTable* model) {
    const AppSupportTable* as = appSupportTable();
    ASPathName name = as->pathFromText(path.c_str());
    return withCleanUp([&] { return model->docOpen(name); }, [&] { as->releasePath(name); });
}

}  // namespace qmhost
