// Writing a single-font sfnt (TrueType or OpenType) file from tables, used to
// take one face out of a font collection for embedding.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qmhost {

// The file bytes: header, table directory sorted by tag, tables padded to four
// bytes, checksums and head.checkSumAdjustment computed. The version is "OTTO"
// when a "CFF " or "CFF2" table is present, else 0x00010000.
std::string writeSfnt(std::vector<std::pair<uint32_t, std::string>> tables);

// The tag of four characters ("head").
constexpr uint32_t sfntTag(const char (&text)[5]) {
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
           (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

}  // namespace qmhost
