#include "pde/SfntWriter.h"

#include <algorithm>

namespace qmhost {
namespace {

void put16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
    out.push_back(static_cast<char>(v & 0xFF));
}

void put32(std::string& out, uint32_t v) {
    put16(out, v >> 16);
    put16(out, v & 0xFFFF);
}

void set32(std::string& out, size_t at, uint32_t v) {
    for (size_t k = 0; k < 4; ++k) out[at + k] = static_cast<char>((v >> (24 - 8 * k)) & 0xFF);
}

uint32_t checksum(const std::string& bytes, size_t from, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i < length; i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k) {
            const size_t at = from + i + k;
            word = (word << 8) | (i + k < length ? static_cast<uint8_t>(bytes[at]) : 0u);
        }
        sum += word;
    }
    return sum;
}

}  // namespace

std::string writeSfnt(std::vector<std::pair<uint32_t, std::string>> tables) {
    std::sort(tables.begin(), tables.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const bool cff = std::any_of(tables.begin(), tables.end(), [](const auto& t) {
        return t.first == sfntTag("CFF ") || t.first == sfntTag("CFF2");
    });
    const uint32_t count = static_cast<uint32_t>(tables.size());
    uint32_t power = 1, log2 = 0;
    while (power * 2 <= count) power *= 2, ++log2;

    std::string out;
    put32(out, cff ? sfntTag("OTTO") : 0x00010000u);
    put16(out, count);
    put16(out, power * 16);
    put16(out, log2);
    put16(out, count * 16 - power * 16);
    size_t offset = 12 + 16 * tables.size();
    size_t headOffset = 0;
    bool hasHead = false;
    for (auto& [tag, bytes] : tables) {
        // The head table's own checksum is taken with checkSumAdjustment zeroed.
        if (tag == sfntTag("head") && bytes.size() >= 12) {
            set32(bytes, 8, 0);
            headOffset = offset;
            hasHead = true;
        }
        put32(out, tag);
        put32(out, checksum(bytes, 0, bytes.size()));
        put32(out, static_cast<uint32_t>(offset));
        put32(out, static_cast<uint32_t>(bytes.size()));
        offset += (bytes.size() + 3) & ~size_t(3);
    }
    for (const auto& table : tables) {
        out += table.second;
        out.append((4 - table.second.size() % 4) % 4, '\0');
    }
    if (hasHead) set32(out, headOffset + 8, 0xB1B0AFBAu - checksum(out, 0, out.size()));
    return out;
}

}  // namespace qmhost
