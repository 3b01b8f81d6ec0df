#include "support/HostTables.h"

ExtensionID gExtensionID = nullptr;
const CoreTable* gCoreHFT = nullptr;
uint32_t gCoreVersion = 0;

const AppSupportTable* gAppSupportHFT = nullptr;
const CosTable* gCosHFT = nullptr;
const PDModelTable* gPDModelHFT = nullptr;
const PDFEditWriteTable* gPDFEditWriteHFT = nullptr;
const PDFEditReadTable* gPDFEditReadHFT = nullptr;
const PDSysFontTable* gPDSysFontHFT = nullptr;
const PagePDEContentTable* gPagePDEContentHFT = nullptr;
const AppViewTable* gAppViewHFT = nullptr;
const PDSWriteTable* gPDSWriteHFT = nullptr;
const PDSReadTable* gPDSReadHFT = nullptr;
const WinTable* gWinHFT = nullptr;
const ASExtraTable* gASExtraHFT = nullptr;
const void* gAppViewSuitesHFT = nullptr;
const PDMetadataTable* gPDMetadataHFT = nullptr;

uint32_t gAppSupportVersion = 0, gCosVersion = 0, gPDModelVersion = 0, gPDFEditWriteVersion = 0,
         gPDFEditReadVersion = 0, gPDSysFontVersion = 0, gPagePDEContentVersion = 0,
         gAppViewVersion = 0, gPDSWriteVersion = 0, gPDSReadVersion = 0, gWinVersion = 0,
         gASExtraVersion = 0, gAppViewSuitesVersion = 0, gPDMetadataVersion = 0;
