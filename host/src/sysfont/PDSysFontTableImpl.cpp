// The "PDSysFont" table: the installed fonts, by position and by unique name.
#include <cstddef>

#include "sysfont/PDSysFontTableImpl.h"
#include "core/AtomTable.h"
#include "core/Raise.h"
#include "qmhost/PDSysFontTable.h"
#include "sysfont/SystemFontList.h"

namespace qmhost {
namespace {

bool enumFonts(PDSysFontEnumProc proc, void* clientData) {
    if (!proc) raise(kHostErrBadParameter, "enumFonts: no procedure given");
    const auto& fonts = guarded("enumFonts", [] { return &systemFonts(); });
    // The list never changes once read, so the procedure may call back into the table.
    for (size_t i = 0; i < fonts->size(); ++i)
        if (!proc(systemFontHandle(i), clientData)) return false;
    return true;
}

ASAtom getName(PDSysFont font) {
    return guarded("getName", [&] { return atoms().intern(systemFontOf(font, "getName").name); });
}

PDSysFont findFont(const PDSysFontAttrs* attrs, uint32_t attrsSize, uint32_t flags) {
    return guarded("findFont", [&]() -> PDSysFont {
        if (!attrs || attrsSize < sizeof(ASAtom)) raise(kHostErrBadParameter, "findFont: no font attributes given");
        // Names are unique, so every match is exact, with or without kPDSysFontMatchNameExactly.
        (void)flags;
        if (attrs->name == kASAtomNull) return nullptr;
        const char* name = atoms().text(attrs->name);
        return name ? findSystemFont(name) : nullptr;
    });
}

const PDSysFontTable kTable = {sizeof(PDSysFontTable), enumFonts, getName, findFont};

}  // namespace

const PDSysFontTable* pdSysFontTable() { return &kTable; }

}  // namespace qmhost
