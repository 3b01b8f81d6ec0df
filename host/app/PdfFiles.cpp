#include "app/PdfFiles.h"

#include "HostTables.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/PDModelTable.h"

namespace qmhost {

PDDoc openPdfDocument(const std::string& path) {
    const AppSupportTable* as = appSupportTable();
    ASPathName name = as->pathFromText(path.c_str());
    PDDoc doc = nullptr;
    try {
        doc = pdModelTable()->docOpen(name);
    } catch (...) {
        as->releasePath(name);
        throw;
    }
    as->releasePath(name);
    return doc;
}

}  // namespace qmhost
