// "PDSysFont": the fonts installed on the system (through fontconfig).
#pragma once

#include "qmhost/QMBase.h"

// Called for each installed font in a stable order; answer false to stop.
typedef bool (*PDSysFontEnumProc)(PDSysFont font, void* clientData);

// What a font is looked up by; fields not used are zero.
struct PDSysFontAttrs {
    ASAtom name;  // the font's unique name as getName gives it
};

// Match flags of findFont.
enum : uint32_t {
    kPDSysFontMatchNameExactly = 1,
};

struct PDSysFontTable {
    uint32_t size;  // sizeof(PDSysFontTable)

    // Enumerates the installed fonts: the same order on every call while the
    // installed fonts do not change. Answers true when it ran to the end.
    bool (*enumFonts)(PDSysFontEnumProc proc, void* clientData);
    // The font's unique name (family and style, e.g. "DejaVu Sans Bold").
    ASAtom (*getName)(PDSysFont font);
    // The installed font with exactly that name, or null (not an error).
    PDSysFont (*findFont)(const PDSysFontAttrs* attrs, uint32_t attrsSize, uint32_t flags);
};
