// The text of a ToUnicode CMap for two-byte codes, so that text extraction
// turns a composite font's codes back into characters.
#pragma once

#include <cstdint>
#include <map>
#include <algorithm>
#include <string>

namespace qmhost {

// codeToChar: each two-byte code and the character it shows (characters past
// U+FFFF are written as UTF-16 surrogate pairs). Runs of codes whose characters
// follow each other become ranges; everything else single entries, at most 100
// per block as CMap readers expect.
std::string toUnicodeCMap(const std::map<uint16_t, char32_t>& codeToChar);

}  // namespace qmhost
