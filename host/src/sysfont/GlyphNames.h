// The characters that Type 1 glyph names stand for, as a font engine reads a
// font without a Unicode table: "uniXXXX" and "uXXXX".."uXXXXXX" by their
// upper-case hexadecimal digits, other names by the Adobe Glyph List, and a
// suffix after a dot ("A.sc") making the glyph a variant of its character.
#pragma once

#include <string_view>

namespace qmhost {

struct GlyphCharacter {
    char32_t character = 0;  // 0: the name stands for no known character
    bool variant = false;    // the name carries a suffix after a dot
};

// The character of a glyph name. Of the Adobe Glyph List only the names of the
// characters that WinAnsi encodes are known (where the list gives a name
// several characters, the first); other list names give 0.
GlyphCharacter characterOfGlyphName(std::string_view name);

}  // namespace qmhost
