// "Core": atoms, callbacks, table look-up and error codes. The plug-in receives
// this table at setup; every other table is found through getTable.
#pragma once

#include "qmhost/QMBase.h"

struct CoreTable {
    uint32_t size;  // sizeof(CoreTable)

    // The atom of a NUL-terminated string; made on first use, stable for the run.
    // Raises kHostErrBadParameter for null, kHostErrNoMemory when all 65535 atoms are taken.
    ASAtom (*atomFromString)(const char* text);
    // The string of an atom (host-owned, valid for the run); raises kHostErrBadHandle for an unknown atom.
    const char* (*atomGetString)(ASAtom atom);
    // True when an atom exists for the string; never raises; never makes one.
    bool (*atomExistsForString)(const char* text, ASAtom* outAtom);

    // Makes a host callback of a procedure for an extension. The callback stays valid
    // until the extension is unloaded. Never raises for a non-null procedure.
    ASCallback (*makeCallback)(ExtensionID extension, ASProc procedure);

    // The table of that name and version, or null when the host does not offer it.
    // Never raises. Tables made by plug-ins (see AppSupport newServer) are found too.
    const void* (*getTable)(ASAtom name, uint32_t version);

    // The code of the last host error raised on this thread, 0 when none. Never raises.
    int32_t (*getErrorCode)(void);
    // Raises a host error with that code (the host's message for the code). Never returns.
    void (*raise)(int32_t code);
};
