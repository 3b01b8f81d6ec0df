// The "Core" table over the atom table, the callbacks and the table registry.
#include "core/AtomTable.h"
#include "core/Callbacks.h"
#include "core/Raise.h"
#include "core/TableRegistry.h"
#include "core/CoreTableImpl.h"
#include "qmhost/CoreTable.h"

namespace qmhost {
namespace {

ASAtom atomFromString(const char* text) {
    if (!text) raise(kHostErrBadParameter, "atomFromString: null text");
    return guarded("atomFromString", [&] { return atoms().intern(text); });
}

const char* atomGetString(ASAtom atom) {
    const char* text = atoms().text(atom);
    if (!text) raise(kHostErrBadHandle, "atomGetString: unknown atom " + std::to_string(atom));
    return text;
}

bool atomExistsForString(const char* text, ASAtom* outAtom) {
    return text && atoms().find(text, outAtom);
}

ASCallback makeCallback(ExtensionID extension, ASProc procedure) {
    return guarded("makeCallback", [&] { return callbacks().make(extension, procedure); });
}

const void* getTable(ASAtom name, uint32_t version) {
    const char* text = atoms().text(name);
    if (!text) return nullptr;
    return tables().request(text, version);
}

int32_t getErrorCode() { return lastErrorCode(); }

void raiseCode(int32_t code) { raise(code); }

const CoreTable kCoreTable = {
    sizeof(CoreTable), atomFromString, atomGetString, atomExistsForString,
    makeCallback,      getTable,       getErrorCode,  raiseCode,
};

}  // namespace

const CoreTable* coreTable() { return &kCoreTable; }

}  // namespace qmhost
