// A font face read in font units (no hinting, no scaling), as libqmhostfonts
// opens it with FreeType (FontsLibrary's openFace). The host reaches it only
// through this table of virtual members and FreeTypeFace, which owns it, so the
// host's programs do not link FreeType: its headers are included here for its
// types (FT_Encoding) alone.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace qmhost {

// A box in font units (y up): a glyph's outline or the face's.
struct GlyphBox {
    long xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Why openFace answered no face.
enum class FaceOpenError {
    kNone,
    kEngine,      // FreeType could not be started
    kUnreadable,  // FreeType cannot read the face
};

class FontFace {
public:
    virtual ~FontFace() = default;

    // The em size; 1000 for a bitmap-only face, which gives none.
    virtual unsigned unitsPerEm() const = 0;
    virtual unsigned glyphCount() const = 0;
    virtual long ascender() const = 0;
    virtual long descender() const = 0;
    // The box that holds every glyph of the face.
    virtual GlyphBox bbox() const = 0;
    virtual bool isItalic() const = 0;
    virtual bool isBold() const = 0;
    virtual bool isFixedWidth() const = 0;

    // FreeType's name of the format: "TrueType", "CFF", "Type 1", ...
    virtual std::string format() const = 0;
    virtual bool isSfnt() const = 0;
    // The PostScript name, or "" when the font has none.
    virtual std::string postscriptName() const = 0;

    // Selects the charmap of `encoding`; false when the font has none.
    virtual bool selectCharmap(FT_Encoding encoding) = 0;
    // The glyph of a character code in the selected charmap; 0 when none.
    virtual unsigned glyphOfCode(unsigned long code) const = 0;
    // The glyph called `name` (fonts with glyph names); 0 when none.
    virtual unsigned glyphOfName(const char* name) const = 0;
    // Fills *advances with those of glyphs 0..glyphCount()-1 in font units;
    // false when FreeType cannot read them.
    virtual bool advances(std::vector<long>* advances) const = 0;
    // A glyph's advance in font units; 0 when it cannot be read.
    virtual long advance(unsigned glyph) const = 0;
    // The outline box of a glyph; false when it cannot be loaded.
    virtual bool glyphBox(unsigned glyph, GlyphBox* box) const = 0;

    // True for a CFF face whose glyphs are selected by CID (a CID-keyed font).
    virtual bool isCidKeyed() const = 0;
    // The CID of a glyph of a CID-keyed face; the glyph itself otherwise.
    virtual unsigned cidOfGlyph(unsigned glyph) const = 0;
    // Every (character, glyph) of the selected charmap, in character order.
    virtual std::vector<std::pair<unsigned long, unsigned>> charmapEntries() const = 0;
    // The italic angle (degrees) from the "post" table; 0 without one.
    virtual double italicAngle() const = 0;
    // OS/2 values: cap height (font units), weight class, code page bits 0..31;
    // 0 when the face does not give them.
    virtual long capHeight() const = 0;
    virtual unsigned weightClass() const = 0;
    virtual uint32_t codePageRange1() const = 0;

    // Fills *tables with the face's tables (tag, bytes) in directory order,
    // none for a non-sfnt face; false when a table cannot be read.
    virtual bool sfntTables(std::vector<std::pair<uint32_t, std::string>>* tables) const = 0;
};

}  // namespace qmhost
