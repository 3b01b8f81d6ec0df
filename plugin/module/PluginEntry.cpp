#include "module/PluginEntry.h"

#include <algorithm>
#include <iterator>

#include "support/CallbackGuard.h"
#include "support/HostTables.h"

namespace {

void* sModuleHandle = nullptr;
PlugInStartHandOver sStartHandOver = nullptr;

// Acceptable table versions, tried from the last entry backwards.
const uint32_t kTableVersions[] = {0x20001, 0x20002, 0x20003, 0x40000, 0x40005, 0x50000, 0x50001};

// Looks a table up in the newest acceptable version not below `lowest`.
const void* ImportTable(const char* name, uint32_t lowest, uint32_t* outVersion) {
    const ASAtom atom = gCoreHFT->atomFromString(name);
    for (auto it = std::rbegin(kTableVersions); it != std::rend(kTableVersions) && *it >= lowest; ++it) {
        if (const void* table = gCoreHFT->getTable(atom, *it)) {
            *outVersion = *it;
            return table;
        }
    }
    *outVersion = 0;
    return nullptr;
}

template <class T>
bool Import(const char* name, uint32_t lowest, const T** table, uint32_t* version) {
    *table = static_cast<const T*>(ImportTable(name, lowest, version));
    return *table != nullptr;
}

bool ImportRequiredTables() {
    const uint32_t v5 = 0x50000, v4 = 0x40000;
    // In this order; the first missing table stops the import.
    return Import("AppSupport", v5, &gAppSupportHFT, &gAppSupportVersion) &&
           Import("Cos", v5, &gCosHFT, &gCosVersion) &&
           Import("PDModel", v5, &gPDModelHFT, &gPDModelVersion) &&
           Import("PDFEditWrite", v5, &gPDFEditWriteHFT, &gPDFEditWriteVersion) &&
           Import("PDFEditRead", v5, &gPDFEditReadHFT, &gPDFEditReadVersion) &&
           Import("PDSysFont", v4, &gPDSysFontHFT, &gPDSysFontVersion) &&
           Import("PagePDEContent", v4, &gPagePDEContentHFT, &gPagePDEContentVersion) &&
           Import("AppView", v5, &gAppViewHFT, &gAppViewVersion) &&
           Import("PDSWrite", v5, &gPDSWriteHFT, &gPDSWriteVersion) &&
           Import("PDSRead", v5, &gPDSReadHFT, &gPDSReadVersion) &&
           Import("Win", v5, &gWinHFT, &gWinVersion);
}

void ImportOptionalTables() {
    const uint32_t v5 = 0x50000;
    Import("ASExtra", v5, &gASExtraHFT, &gASExtraVersion);
    gAppViewSuitesHFT = ImportTable("AppViewSuites", v5, &gAppViewSuitesVersion);
    Import("PDMetadata", v5, &gPDMetadataHFT, &gPDMetadataVersion);
}

template <class F>
ASCallback MakeCallback(F procedure) {
    return gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(procedure));
}

}  // namespace

void SetPlugInStartHandOver(PlugInStartHandOver inHandOver) { sStartHandOver = inHandOver; }

extern "C" bool PlugInMain(uint32_t hostHandshakeVersion, uint32_t* outHandshakeVersion,
                           PISetupProc* outSetup, void* platformData) {
    bool started = false;
    if (sStartHandOver && sStartHandOver(hostHandshakeVersion, outHandshakeVersion, outSetup, platformData, &started))
        return started;
    if (platformData) sModuleHandle = static_cast<PIPlatformData*>(platformData)->moduleHandle;
    *outHandshakeVersion = std::min(hostHandshakeVersion, kHandshakeVersion);
    *outSetup = SetupPlugin;
    return true;
}

void* GetModuleHandle() { return sModuleHandle; }

bool SetupPlugin(uint32_t handshakeVersion, void* setupData) {
    auto* data = static_cast<PISetupData*>(setupData);
    if (handshakeVersion != kHandshakeVersion || !data || data->handshakeVersion != kHandshakeVersion)
        return false;
    return TrapOr(false, [&] {
        gExtensionID = data->extensionID;
        gCoreHFT = data->coreTable;
        gCoreVersion = kCoreTableVersion;
        if (!ImportRequiredTables()) return false;
        ImportOptionalTables();
        data->handshakeCallback = MakeCallback(PluginHandshake);
        return true;
    });  // nothing may escape into the host
}

ASAtom GetExtensionNameAtom() { return gCoreHFT->atomFromString("VELM:Quillmark"); }

bool PluginHandshake(uint32_t handshakeVersion, void* handshakeData) {
    if (handshakeVersion != kHandshakeVersion || !handshakeData) return false;
    return TrapOr(false, [&] {
        auto* data = static_cast<PIHandshakeData*>(handshakeData);
        data->extensionName = GetExtensionNameAtom();
        data->exportTablesCallback = MakeCallback(ExportHfts);
        data->importReplaceRegisterCallback = MakeCallback(PluginImportReplaceAndRegister);
        data->initCallback = MakeCallback(PluginInit);
        data->unloadCallback = MakeCallback(PluginUnload);
        return true;
    });
}

bool PluginImportReplaceAndRegister() { return true; }
