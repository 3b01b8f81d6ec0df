// One font face opened with FreeType, read in font units (no hinting, no
// scaling). Each face owns its own FreeType library, so faces may be used from
// different threads one at a time each.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace qmhost {

// A glyph's box in font units (y up).
struct GlyphBox {
    long xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

class FreeTypeFace {
public:
    // Opens face `faceIndex` of the font file at path. Raises kHostErrFileOpen
    // (naming the path) when FreeType cannot read it.
    FreeTypeFace(const std::string& path, long faceIndex);
    // Opens face 0 of a font file held in memory (kept alive by the face);
    // `description` stands for the path in messages. Raises kHostErrBadParameter
    // when FreeType cannot read it.
    FreeTypeFace(std::shared_ptr<const std::string> bytes, const std::string& description);
    ~FreeTypeFace();
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    FT_Face face() const { return mFace; }
    const std::string& path() const { return mPath; }
    long faceIndex() const { return mFaceIndex; }
    unsigned unitsPerEm() const;
    // Font units -> thousandths of an em, rounded to nearest.
    int toThousandths(long fontUnits) const;

    // FreeType's name of the format: "TrueType", "CFF", "Type 1", ...
    std::string format() const;
    bool isSfnt() const;
    // The PostScript name, or "" when the font has none.
    std::string postscriptName() const;

    // Selects the charmap of `encoding`; false when the font has none.
    bool selectCharmap(FT_Encoding encoding);
    // The glyph of a character code in the selected charmap; 0 when none.
    unsigned glyphOfCode(unsigned long code) const;
    // The glyph called `name` (fonts with glyph names); 0 when none.
    unsigned glyphOfName(const char* name) const;
    // Advances of glyphs 0..count-1 in font units.
    std::vector<long> advances() const;
    long advance(unsigned glyph) const;
    // The outline box of a glyph; false when it cannot be loaded.
    bool glyphBox(unsigned glyph, GlyphBox* box) const;

    // The characters of the face and their glyphs: through the Unicode charmap,
    // or through a symbol charmap whose codes U+F020..U+F0FF also stand for
    // U+0020..U+00FF. Selects that charmap; empty when the face has neither.
    std::vector<std::pair<char32_t, unsigned>> characterGlyphs();

    // True for a CFF face whose glyphs are selected by CID (a CID-keyed font).
    bool isCidKeyed() const;
    // The CID of a glyph of a CID-keyed face; the glyph itself otherwise.
    unsigned cidOfGlyph(unsigned glyph) const;
    // Every (character, glyph) of the selected charmap, in character order.
    std::vector<std::pair<unsigned long, unsigned>> charmapEntries() const;
    // The italic angle (degrees, counter-clockwise from upright) from the "post"
    // table; 0 without one.
    double italicAngle() const;
    // OS/2 values: the cap height in font units (0 when not given) and the weight
    // class (0 when not given).
    long capHeight() const;
    unsigned weightClass() const;
    // The OS/2 code page bits 0..31 (bit 18: Simplified Chinese, GB 2312);
    // 0 when the face does not give them.
    uint32_t codePageRange1() const;

    // The face's tables (tag, bytes) in directory order; empty for a non-sfnt face.
    std::vector<std::pair<uint32_t, std::string>> sfntTables() const;

private:
    std::string mPath;
    long mFaceIndex;
    std::shared_ptr<const std::string> mBytes;  // the file of a face opened from memory
    FT_Library mLibrary = nullptr;
    FT_Face mFace = nullptr;
};

}  // namespace qmhost
