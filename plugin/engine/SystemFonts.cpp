#include "engine/SystemFonts.h"

#include "engine/CPDFDocument.h"
#include "engine/CPDFTextElement.h"
#include "engine/EngineHostFrame.h"

using engine::HostFrame;

namespace {

bool CountFont(PDSysFont, void* clientData) {
    ++*static_cast<int32_t*>(clientData);
    return true;
}

struct NameSearch {
    int32_t wanted = 0;
    int32_t passed = 0;
    std::string name;
};

// Never throws into the host: a failed name look-up just stops the search.
bool FindName(PDSysFont font, void* clientData) {
    auto* search = static_cast<NameSearch*>(clientData);
    if (search->passed < search->wanted) {
        ++search->passed;
        return true;
    }
    try {
        search->name = gCoreHFT->atomGetString(gPDSysFontHFT->getName(font));
    } catch (const HostError&) {
        search->name.clear();
    }
    return false;
}

}  // namespace

int32_t CountSystemFonts() {
    int32_t count = 0;
    if (!HostFrame([&] { gPDSysFontHFT->enumFonts(&CountFont, &count); })) return 0;
    return count;
}

std::string GetSystemFontName(int32_t position) {
    NameSearch search;
    search.wanted = position;
    if (!HostFrame([&] { gPDSysFontHFT->enumFonts(&FindName, &search); })) return {};
    return search.name;
}

bool CPDFTextElement::SetSystemFont(const char* name, bool embed) {
    if (!mDocument || !mDocument->GetPDDoc() || !name) return false;
    return HostFrame([&] {
        PDSysFontAttrs attrs{};
        attrs.name = engine::Atom(name);
        const PDSysFont sysFont =
            gPDSysFontHFT->findFont(&attrs, sizeof attrs, kPDSysFontMatchNameExactly);
        // A font that is not installed is no error: the element keeps its font.
        if (!sysFont) return;
        ReplaceFont(gPDFEditWriteHFT->fontCreateFromSysFont(
            sysFont, embed ? kPDEFontCreateEmbedded : kPDEFontCreateNotEmbedded));
    });
}
