// Initialisation and unload of the plug-in, in their fixed orders.
#include "module/PluginEntry.h"
#include "stamper/CProductIdentity.h"
#include "support/PDFAtoms.h"
#include "support/ResourceStrings.h"

bool PluginInit() {
    try {
        CProductIdentity& identity = GetProductIdentity();
        identity.SetName("Quillmark");
        identity.SetProductId("Quillmark");
        identity.SetSuiteFlags(true, false);
        SetResourceInstance(GetModuleHandle());
        InitKeyAtoms();
        InitFilterAtoms();
        return true;
    } catch (...) {
        return false;  // nothing may escape into the host
    }
}

bool PluginUnload() { return true; }
