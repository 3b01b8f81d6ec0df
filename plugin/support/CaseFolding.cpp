#include "support/CaseFolding.h"

#include <unicase.h>
#include <unistr.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr ucs4_t kCapitalIWithDotAbove = 0x0130;

// libunistring offers the full folding of a text and the simple case mappings
// of a code point; the simple folding is the full one where that gives a single
// code point. Where the full one gives more, the simple one is the lowercase
// mapping ("ẞ" to "ß", the Greek capitals with iota subscript), except for
// "İ", whose only foldings are the full one and the Turkish one: it folds to
// itself.
ucs4_t SimpleFolding(ucs4_t inChar) {
    ucs4_t full[8];
    size_t length = sizeof full / sizeof full[0];
    ucs4_t* folded = u32_casefold(&inChar, 1, nullptr, nullptr, full, &length);
    // The buffer holds every full folding (three code points at most); a
    // result elsewhere would be libunistring's own allocation.
    if (folded != full) {
        free(folded);
        return inChar;
    }
    if (length == 1) return full[0];
    return inChar == kCapitalIWithDotAbove ? inChar : uc_tolower(inChar);
}

}  // namespace

std::string CaseFolded(std::string_view inUtf8) {
    std::string out;
    out.reserve(inUtf8.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(inUtf8.data());
    size_t at = 0;
    while (at < inUtf8.size()) {
        ucs4_t c = 0;
        const int length = u8_mbtoucr(&c, bytes + at, inUtf8.size() - at);
        if (length <= 0) {
            out.push_back(inUtf8[at++]);
            continue;
        }
        const size_t taken = static_cast<size_t>(length);
        uint8_t encoded[6];
        const int written = u8_uctomb(encoded, SimpleFolding(c), sizeof encoded);
        if (written > 0)
            out.append(reinterpret_cast<const char*>(encoded), static_cast<size_t>(written));
        else
            out.append(inUtf8.substr(at, taken));  // never lose a character
        at += taken;
    }
    return out;
}
