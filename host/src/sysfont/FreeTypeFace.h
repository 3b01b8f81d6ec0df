// One font face opened with FreeType, read in font units (no hinting, no
// scaling). FreeType lives in libqmhostfonts, opened on the first face
// (FontsLibrary.h); each face owns its own FreeType library there, so faces may
// be used from different threads one at a time each.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sysfont/FontFace.h"

namespace qmhost {

class FreeTypeFace {
public:
    // Opens face `faceIndex` of the font file at path. Raises kHostErrFileOpen
    // (naming the path) when FreeType cannot read it.
    FreeTypeFace(const std::string& path, long faceIndex);
    // Opens face 0 of a font file held in memory (kept alive by the face);
    // `description` stands for the path in messages. Raises kHostErrBadParameter
    // when FreeType cannot read it.
    FreeTypeFace(std::shared_ptr<const std::string> bytes, const std::string& description);
    // Both raise kHostErrNoMemory when FreeType cannot be started, and
    // kHostErrUnsupported when the fonts library cannot be opened.
    ~FreeTypeFace();
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    const std::string& path() const { return mPath; }
    long faceIndex() const { return mFaceIndex; }
    unsigned unitsPerEm() const { return mFace->unitsPerEm(); }
    // Font units -> thousandths of an em, rounded to nearest.
    int toThousandths(long fontUnits) const;

    // The face as a whole, in font units.
    unsigned glyphCount() const { return mFace->glyphCount(); }
    long ascender() const { return mFace->ascender(); }
    long descender() const { return mFace->descender(); }
    GlyphBox bbox() const { return mFace->bbox(); }
    // FreeType's style flags and whether all glyphs have one advance.
    bool isItalic() const { return mFace->isItalic(); }
    bool isBold() const { return mFace->isBold(); }
    bool isFixedWidth() const { return mFace->isFixedWidth(); }

    // FreeType's name of the format: "TrueType", "CFF", "Type 1", ...
    std::string format() const { return mFace->format(); }
    bool isSfnt() const { return mFace->isSfnt(); }
    // The PostScript name, or "" when the font has none.
    std::string postscriptName() const { return mFace->postscriptName(); }

    // Selects the charmap of `encoding`; false when the font has none.
    bool selectCharmap(FT_Encoding encoding) { return mFace->selectCharmap(encoding); }
    // The glyph of a character code in the selected charmap; 0 when none.
    unsigned glyphOfCode(unsigned long code) const { return mFace->glyphOfCode(code); }
    // The glyph called `name` (fonts with glyph names); 0 when none.
    unsigned glyphOfName(const char* name) const { return mFace->glyphOfName(name); }
    // Advances of glyphs 0..count-1 in font units. Raises kHostErrBadParameter
    // when FreeType cannot read them.
    std::vector<long> advances() const;
    long advance(unsigned glyph) const { return mFace->advance(glyph); }
    // The outline box of a glyph; false when it cannot be loaded.
    bool glyphBox(unsigned glyph, GlyphBox* box) const { return mFace->glyphBox(glyph, box); }

    // The characters of the face and their glyphs: through the Unicode charmap,
    // or through a symbol charmap whose codes U+F020..U+F0FF also stand for
    // U+0020..U+00FF. Selects that charmap; empty when the face has neither.
    std::vector<std::pair<char32_t, unsigned>> characterGlyphs();

    // True for a CFF face whose glyphs are selected by CID (a CID-keyed font).
    bool isCidKeyed() const { return mFace->isCidKeyed(); }
    // The CID of a glyph of a CID-keyed face; the glyph itself otherwise.
    unsigned cidOfGlyph(unsigned glyph) const { return mFace->cidOfGlyph(glyph); }
    // Every (character, glyph) of the selected charmap, in character order.
    std::vector<std::pair<unsigned long, unsigned>> charmapEntries() const { return mFace->charmapEntries(); }
    // The italic angle (degrees, counter-clockwise from upright) from the "post"
    // table; 0 without one.
    double italicAngle() const { return mFace->italicAngle(); }
    // OS/2 values: the cap height in font units (0 when not given) and the weight
    // class (0 when not given).
    long capHeight() const { return mFace->capHeight(); }
    unsigned weightClass() const { return mFace->weightClass(); }
    // The OS/2 code page bits 0..31 (bit 18: Simplified Chinese, GB 2312);
    // 0 when the face does not give them.
    uint32_t codePageRange1() const { return mFace->codePageRange1(); }

    // The face's tables (tag, bytes) in directory order; empty for a non-sfnt
    // face. Raises kHostErrFileRead when a table cannot be read.
    std::vector<std::pair<uint32_t, std::string>> sfntTables() const;

private:
    std::string mPath;
    long mFaceIndex;
    std::shared_ptr<const std::string> mBytes;  // the file of a face opened from memory; outlives mFace
    std::unique_ptr<FontFace> mFace;
};

}  // namespace qmhost
