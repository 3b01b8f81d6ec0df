// Subsets of font programs, made with HarfBuzz's subsetter in libqmhostfonts
// (FontsLibrary.h), opened on the first subset.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "sysfont/FontsLibrary.h"

namespace qmhost {

// The program of an sfnt font (TrueType, or OpenType with CFF outlines; face
// 0) cut down to `glyphs`, glyph 0 and the components of composite glyphs.
// The layout tables (GSUB, GPOS, GDEF and the like) are dropped, as a PDF
// reader draws glyphs by id and never shapes; hinting is kept so that the glyphs
// draw as before. With retainGlyphIds every kept glyph keeps its id (the glyphs
// in between are left empty). Never raises: when HarfBuzz cannot read or subset
// the program, or its library cannot be opened, the answer is empty and *why
// says so.
std::optional<FontSubset> subsetFontProgram(std::string_view program, const std::set<unsigned>& glyphs,
                                            bool retainGlyphIds, std::string* why);

}  // namespace qmhost
