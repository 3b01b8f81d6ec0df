// The table "KESO:Quillmark" that the plug-in offers its siblings: one entry
// that copies the product name and version into the caller's buffer.
#include <cstring>
#include <string>

#include "module/PluginEntry.h"
#include "stamper/CProductIdentity.h"
#include "support/CallbackGuard.h"
#include "support/HostTables.h"

namespace {

HFT sProductInfoHft = nullptr;

// The caller provides room for the text; the name and version are short.
void GetProductInfoString(char* buffer) {
    if (!buffer) return;
    // Called by the host, so nothing may be thrown into it: without memory for
    // the text the answer is empty.
    buffer[0] = '\0';
    TrapRun([&] {
        const CProductIdentity& identity = GetProductIdentity();
        const std::string text = identity.GetName() + " " + identity.GetVersionString(4);
        std::memcpy(buffer, text.c_str(), text.size() + 1);
    });
}

HFT BuildProductInfoHft(HFTServer server) {
    HFT table = gAppSupportHFT->newTable(server, 1);
    ASCallback entry =
        gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(GetProductInfoString));
    gAppSupportHFT->replaceEntry(table, 1, entry, 0);
    return table;
}

HFT ProvideProductInfoHft(HFTServer server, uint32_t version, void*) {
    if (version != 1) return nullptr;
    return TrapOr<HFT>(nullptr, [&] {
        if (!sProductInfoHft) sProductInfoHft = BuildProductInfoHft(server);
        return sProductInfoHft;
    });
}

}  // namespace

// CreateProductInfoHftServer: the server is made once, when the host asks for
// the plug-in's tables.
bool ExportHfts() {
    return TrapOr(false, [&] {
        ASCallback provide =
            gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(ProvideProductInfoHft));
        return gAppSupportHFT->newServer("KESO:Quillmark", provide, nullptr) != nullptr;
    });
}
