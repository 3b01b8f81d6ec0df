#include "app/PdfFiles.h"

#include "HostTables.h"
#include "view/DocumentOpen.h"

namespace qmhost {

PDDoc openPdfDocument(const std::string& path) { return openPdfDocument(path, pdModelTable()); }

PDDoc openPdfDocument(const std::string& path, const PDModelTable* model) { return openDocumentForUser(path, model); }

}  // namespace qmhost
