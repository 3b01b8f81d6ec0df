#include "pde/ToUnicodeCMap.h"

#include <cstdio>
#include <vector>

namespace qmhost {
namespace {

struct Range {
    uint16_t first, last;
    char32_t firstChar;
};

std::string hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

std::string utf16Hex(char32_t c) {
    if (c <= 0xFFFF) return hex4(c);
    const char32_t v = c - 0x10000;
    return hex4(0xD800 + (v >> 10)) + hex4(0xDC00 + (v & 0x3FF));
}

// A range may only vary the last byte of the code and of the character, and a
// character past U+FFFF is never part of one.
bool extends(const Range& range, uint16_t code, char32_t c) {
    return code == range.last + 1 && (code >> 8) == (range.first >> 8) && c <= 0xFFFF &&
           c == range.firstChar + (code - range.first) && (c >> 8) == (range.firstChar >> 8);
}

template <class T, class Line>
void writeBlocks(std::string& out, const std::vector<T>& items, const char* name, Line line) {
    for (size_t start = 0; start < items.size(); start += 100) {
        const size_t end = std::min(items.size(), start + 100);
        out += std::to_string(end - start) + " begin" + name + "\n";
        for (size_t i = start; i < end; ++i) out += line(items[i]) + "\n";
        out += std::string("end") + name + "\n";
    }
}

}  // namespace

std::string toUnicodeCMap(const std::map<uint16_t, char32_t>& codeToChar) {
    std::vector<Range> runs;
    for (const auto& [code, c] : codeToChar) {
        if (!runs.empty() && extends(runs.back(), code, c))
            runs.back().last = code;
        else
            runs.push_back(Range{code, code, c});
    }
    std::vector<Range> ranges, singles;
    for (const auto& run : runs) (run.first == run.last ? singles : ranges).push_back(run);

    std::string out =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    writeBlocks(out, ranges, "bfrange", [](const Range& r) {
        return "<" + hex4(r.first) + "> <" + hex4(r.last) + "> <" + utf16Hex(r.firstChar) + ">";
    });
    writeBlocks(out, singles, "bfchar",
                [](const Range& r) { return "<" + hex4(r.first) + "> <" + utf16Hex(r.firstChar) + ">"; });
    out += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

}  // namespace qmhost
