#include "pde/TextCodes.h"

namespace qmhost {
namespace {

// Codes 0x80..0x9F of Windows-1252; 0 where the code page leaves a hole.
constexpr char16_t kHighCodes[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed sequence at text[i], or 0 (Unicode's table of
// well-formed byte sequences: second-byte ranges exclude overlongs and surrogates).
size_t sequenceLength(std::string_view text, size_t i, char32_t* out) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) {
        *out = lead;
        return 1;
    }
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (at(i + 1) < low || at(i + 1) > high) return 0;
    char32_t c = lead & (0xFF >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
        if (!isContinuation(at(i + k))) return 0;
        c = (c << 6) | (at(i + k) & 0x3F);
    }
    *out = c;
    return length;
}

}  // namespace

std::u32string decodeUtf8Lenient(std::string_view utf8) {
    std::u32string result;
    result.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const size_t length = sequenceLength(utf8, i, &c);
        result.push_back(length ? c : U'?');
        i += length ? length : 1;
    }
    return result;
}

int winAnsiCodeOf(char32_t c) {
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int k = 0; k < 32; ++k)
        if (kHighCodes[k] != 0 && kHighCodes[k] == c) return 0x80 + k;
    return -1;
}

char32_t winAnsiCharOf(uint8_t code) {
    if ((code >= 0x20 && code < 0x7F) || code >= 0xA0) return code;
    if (code >= 0x80) return kHighCodes[code - 0x80];
    return 0;
}

}  // namespace qmhost
