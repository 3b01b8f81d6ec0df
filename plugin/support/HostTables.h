// The host tables the plug-in imported at setup, one pointer and one version
// each; optional tables are null when the host does not offer them.
#pragma once

#include <cstdint>

#include "qmhost/AppSupportTable.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/ASExtraTable.h"
#include "qmhost/CoreTable.h"
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

extern ExtensionID gExtensionID;
extern const CoreTable* gCoreHFT;
extern uint32_t gCoreVersion;

extern const AppSupportTable* gAppSupportHFT;
extern const CosTable* gCosHFT;
extern const PDModelTable* gPDModelHFT;
extern const PDFEditWriteTable* gPDFEditWriteHFT;
extern const PDFEditReadTable* gPDFEditReadHFT;
extern const PDSysFontTable* gPDSysFontHFT;
extern const PagePDEContentTable* gPagePDEContentHFT;
extern const AppViewTable* gAppViewHFT;
extern const PDSWriteTable* gPDSWriteHFT;
extern const PDSReadTable* gPDSReadHFT;
extern const WinTable* gWinHFT;
extern const ASExtraTable* gASExtraHFT;          // optional
extern const void* gAppViewSuitesHFT;         // optional; never offered by our hosts
extern const PDMetadataTable* gPDMetadataHFT;    // optional

extern uint32_t gAppSupportVersion, gCosVersion, gPDModelVersion, gPDFEditWriteVersion,
    gPDFEditReadVersion, gPDSysFontVersion, gPagePDEContentVersion, gAppViewVersion,
    gPDSWriteVersion, gPDSReadVersion, gWinVersion, gASExtraVersion, gAppViewSuitesVersion,
    gPDMetadataVersion;
