#include "HostTables.h"

#include "convert/ImageDocuments.h"
#include "core/TableRegistry.h"
#include "pde/FontSubsets.h"
#include "pde/PageContentTables.h"
#include "pdmodel/PDModelTableImpl.h"
#include "pdmodel/PageHandles.h"
#include "pdmodel/PageResources.h"
#include "pdmodel/SavePreparation.h"
#include "render/PageRenderer.h"
#include "qmhost/ASExtraTable.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/PDFEditReadTable.h"
#include "qmhost/PDFEditWriteTable.h"
#include "qmhost/PDMetadataTable.h"
#include "qmhost/PDModelTable.h"
#include "qmhost/PDSReadTable.h"
#include "qmhost/PDSWriteTable.h"
#include "qmhost/PDSysFontTable.h"
#include "qmhost/PagePDEContentTable.h"
#include "qmhost/WinTable.h"
#include "view/ModelessWindows.h"

namespace qmhost {
namespace {

// Tables whose operations arrive with later features are offered empty (Win
// has its modeless-window list).
const PDSWriteTable kPDSWrite = {sizeof(PDSWriteTable)};
const PDSReadTable kPDSRead = {sizeof(PDSReadTable)};
void registerModelessWindow(void* window) { modelessWindows().add(window); }
void unregisterModelessWindow(void* window) { modelessWindows().remove(window); }
const WinTable kWin = {sizeof(WinTable), registerModelessWindow, unregisterModelessWindow};
const PDMetadataTable kPDMetadata = {sizeof(PDMetadataTable)};

void addAt5(const char* name, const void* table) {
    tables().add(name, kTableVersion5_1, table);
    tables().add(name, kTableVersion5_0, table);
}

void addAt5And4(const char* name, const void* table) {
    addAt5(name, table);
    tables().add(name, kTableVersion4_5, table);
    tables().add(name, kTableVersion4_0, table);
}

// Saves write embedded system fonts as subsets.
class FontSubsetsOnSave : public SavePreparation {
public:
    explicit FontSubsetsOnSave(QPDF& qpdf) : mSubsets(qpdf) {}
    std::vector<std::string> warnings() const override { return mSubsets.warnings(); }

private:
    FontSubsets mSubsets;
};

std::unique_ptr<SavePreparation> prepareFontSubsets(QPDF& qpdf) { return std::make_unique<FontSubsetsOnSave>(qpdf); }

PDModelTable composedModelTable() {
    PDModelTable table = *documentModelTable();
    table.pageDrawContents = pageDrawContents;
    table.docOpenImage = pdmodel::docOpenImage;
    table.getImageConversionCount = pdmodel::getImageConversionCount;
    table.getImageConversionDescription = pdmodel::getImageConversionDescription;
    return table;
}

}  // namespace

const PDModelTable* pdModelTable() {
    static const PDModelTable table = composedModelTable();
    return &table;
}

void registerHostTables() {
    setPdePageAccess({documentOfPage, pageObjectOf, effectivePageResources});
    // Registering again (tests do) keeps a preparer put in its place.
    if (!savePreparer()) setSavePreparer(prepareFontSubsets);
    addAt5("AppSupport", appSupportTable());
    addAt5("Cos", cosTable());
    addAt5("PDModel", pdModelTable());
    addAt5("PDFEditWrite", pdfEditWriteTable());
    addAt5("PDFEditRead", pdfEditReadTable());
    addAt5("AppView", appViewTable());
    addAt5("PDSWrite", &kPDSWrite);
    addAt5("PDSRead", &kPDSRead);
    addAt5("Win", &kWin);
    addAt5("ASExtra", asExtraTable());
    addAt5("PDMetadata", &kPDMetadata);
    // The two page-content tables are also offered at their older versions.
    addAt5And4("PDSysFont", pdSysFontTable());
    addAt5And4("PagePDEContent", pagePDEContentTable());
}

}  // namespace qmhost
