// Subsets of font programs, made with HarfBuzz's subsetter.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace qmhost {

struct FontSubset {
    std::string program;                       // the subset font file (sfnt)
    std::map<unsigned, unsigned> newGlyphOf;   // glyph 0 and each glyph asked for -> its id in the subset
};

// The program of an sfnt font (TrueType, or OpenType with CFF outlines; face
// 0) cut down to `glyphs`, glyph 0 and the components of composite glyphs.
// The layout tables (GSUB, GPOS, GDEF and the like) are dropped, as a PDF
// reader draws glyphs by id and never shapes; hinting is kept so that the glyphs
// draw as before. With retainGlyphIds every kept glyph keeps its id (the glyphs
// in between are left empty). Never raises: when HarfBuzz cannot read or subset
// the program the answer is empty and *why says so.
std::optional<FontSubset> subsetFontProgram(std::string_view program, const std::set<unsigned>& glyphs,
                                            bool retainGlyphIds, std::string* why);

}  // namespace qmhost
