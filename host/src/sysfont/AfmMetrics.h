// The metrics of a Type 1 font as its AFM file (Adobe Font Metrics, text)
// gives them: the font's name and box, and per glyph its name, its code in the
// font's built-in encoding, its advance width and its box, in the file's units
// (thousandths of an em). Read without opening the font program itself.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qmhost {

struct AfmBox {
    double llx = 0, lly = 0, urx = 0, ury = 0;
};

struct AfmGlyph {
    std::string name;
    int code = -1;       // -1: not in the built-in encoding
    double width = 0;    // the horizontal advance
    AfmBox box;          // {0, 0, 0, 0} when the file gives none
};

class AfmMetrics {
public:
    // Reads the file at path. Raises kHostErrFileOpen when it cannot be read
    // and kHostErrBadParameter (naming the path and line) when it is not a
    // well-formed metrics file.
    static AfmMetrics read(const std::string& path);
    // Parses metrics held in memory; description stands for the path in
    // messages. Raises kHostErrBadParameter as read() does.
    static AfmMetrics parse(std::string_view text, const std::string& description);
    AfmMetrics(AfmMetrics&&) = default;
    AfmMetrics& operator=(AfmMetrics&&) = default;
    // Not copied: the index holds views of the glyphs' names.
    AfmMetrics(const AfmMetrics&) = delete;
    AfmMetrics& operator=(const AfmMetrics&) = delete;

    const std::string& fontName() const { return mFontName; }
    const AfmBox& fontBox() const { return mFontBox; }
    const std::vector<AfmGlyph>& glyphs() const { return mGlyphs; }

    // The glyph called name; null when none.
    const AfmGlyph* glyphNamed(std::string_view name) const;
    // The glyph of a code of the built-in encoding (the first listed with
    // it); null when none.
    const AfmGlyph* glyphOfCode(int code) const;
    // The glyph of a character as a font engine maps a Type 1 font's glyph
    // names to characters (GlyphNames.h): a glyph whose name stands for it,
    // the first listed when several do; else "space" for U+00A0 and "hyphen"
    // for U+00AD; else the first variant ("name.suffix") of it. Null when none.
    const AfmGlyph* glyphOfCharacter(char32_t c) const;

private:
    AfmMetrics() = default;
    void index();
    const AfmGlyph* at(const std::unordered_map<char32_t, size_t>& map, char32_t key) const;

    std::string mFontName;
    AfmBox mFontBox;
    std::vector<AfmGlyph> mGlyphs;
    std::unordered_map<std::string_view, size_t> mByName;  // views of mGlyphs' names
    std::unordered_map<char32_t, size_t> mByCode, mByCharacter, mVariantByCharacter;
};

}  // namespace qmhost
