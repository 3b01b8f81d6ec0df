// Subsets of font programs made with HarfBuzz's subsetter (FontsLibrary's
// subset), inside libqmhostfonts.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "sysfont/FontsLibrary.h"

namespace qmhost {

bool harfBuzzSubset(std::string_view program, const std::set<unsigned>& glyphs, bool retainGlyphIds, FontSubset* result,
                    std::string* why);

}  // namespace qmhost
