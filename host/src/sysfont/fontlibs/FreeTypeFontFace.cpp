#include "sysfont/fontlibs/FreeTypeFontFace.h"

#include <functional>

#include FT_ADVANCES_H
#include FT_CID_H
#include FT_FONT_FORMATS_H
#include FT_TRUETYPE_TABLES_H

namespace qmhost {
namespace {

// One face with a FreeType library of its own, both freed with it.
class FreeTypeFontFace final : public FontFace {
public:
    FreeTypeFontFace(FT_Library library, FT_Face face) : mLibrary(library), mFace(face) {}
    ~FreeTypeFontFace() override {
        FT_Done_Face(mFace);
        FT_Done_FreeType(mLibrary);
    }
    FreeTypeFontFace(const FreeTypeFontFace&) = delete;
    FreeTypeFontFace& operator=(const FreeTypeFontFace&) = delete;

    // Bitmap-only faces report 0; treat them as 1000-unit faces rather than divide by 0.
    unsigned unitsPerEm() const override { return mFace->units_per_EM ? mFace->units_per_EM : 1000; }
    unsigned glyphCount() const override { return static_cast<unsigned>(mFace->num_glyphs); }
    long ascender() const override { return mFace->ascender; }
    long descender() const override { return mFace->descender; }
    GlyphBox bbox() const override { return {mFace->bbox.xMin, mFace->bbox.yMin, mFace->bbox.xMax, mFace->bbox.yMax}; }
    bool isItalic() const override { return (mFace->style_flags & FT_STYLE_FLAG_ITALIC) != 0; }
    bool isBold() const override { return (mFace->style_flags & FT_STYLE_FLAG_BOLD) != 0; }
    bool isFixedWidth() const override { return FT_IS_FIXED_WIDTH(mFace); }

    std::string format() const override {
        const char* name = FT_Get_Font_Format(mFace);
        return name ? name : "";
    }
    bool isSfnt() const override { return FT_IS_SFNT(mFace); }
    std::string postscriptName() const override {
        const char* name = FT_Get_Postscript_Name(mFace);
        return name ? name : "";
    }

    bool selectCharmap(FT_Encoding encoding) override { return FT_Select_Charmap(mFace, encoding) == 0; }
    unsigned glyphOfCode(unsigned long code) const override { return FT_Get_Char_Index(mFace, code); }
    unsigned glyphOfName(const char* name) const override {
        if (!FT_HAS_GLYPH_NAMES(mFace)) return 0;
        return FT_Get_Name_Index(mFace, name);
    }
    bool advances(std::vector<long>* advances) const override;
    long advance(unsigned glyph) const override {
        FT_Fixed value = 0;
        if (FT_Get_Advance(mFace, glyph, FT_LOAD_NO_SCALE, &value) != 0) return 0;
        return value;
    }
    bool glyphBox(unsigned glyph, GlyphBox* box) const override;

    bool isCidKeyed() const override {
        FT_Bool cidKeyed = 0;
        return FT_Get_CID_Is_Internally_CID_Keyed(mFace, &cidKeyed) == 0 && cidKeyed;
    }
    unsigned cidOfGlyph(unsigned glyph) const override {
        FT_UInt cid = 0;
        if (!isCidKeyed() || FT_Get_CID_From_Glyph_Index(mFace, glyph, &cid) != 0) return glyph;
        return cid;
    }
    std::vector<std::pair<unsigned long, unsigned>> charmapEntries() const override;
    double italicAngle() const override {
        const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_POST));
        return post ? static_cast<double>(post->italicAngle) / 65536.0 : 0.0;
    }
    long capHeight() const override {
        const TT_OS2* os2 = os2Table();
        return os2 && os2->version >= 2 ? os2->sCapHeight : 0;
    }
    unsigned weightClass() const override {
        const TT_OS2* os2 = os2Table();
        return os2 ? os2->usWeightClass : 0;
    }
    uint32_t codePageRange1() const override {
        const TT_OS2* os2 = os2Table();
        return os2 && os2->version >= 1 ? static_cast<uint32_t>(os2->ulCodePageRange1) : 0;
    }
    bool sfntTables(std::vector<std::pair<uint32_t, std::string>>* tables) const override;

private:
    // The OS/2 table; null when the face has none (FreeType marks a missing
    // one of a Mac font with version 0xFFFF).
    const TT_OS2* os2Table() const {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_OS2));
        return os2 && os2->version != 0xFFFF ? os2 : nullptr;
    }

    FT_Library mLibrary;
    FT_Face mFace;
};

bool FreeTypeFontFace::advances(std::vector<long>* advances) const {
    std::vector<FT_Fixed> raw(static_cast<size_t>(mFace->num_glyphs));
    if (!raw.empty() && FT_Get_Advances(mFace, 0, static_cast<FT_UInt>(raw.size()), FT_LOAD_NO_SCALE, raw.data()) != 0)
        return false;
    advances->assign(raw.begin(), raw.end());
    return true;
}

bool FreeTypeFontFace::glyphBox(unsigned glyph, GlyphBox* box) const {
    if (FT_Load_Glyph(mFace, glyph, FT_LOAD_NO_SCALE) != 0) return false;
    const FT_Glyph_Metrics& m = mFace->glyph->metrics;
    box->xMin = m.horiBearingX;
    box->xMax = m.horiBearingX + m.width;
    box->yMax = m.horiBearingY;
    box->yMin = m.horiBearingY - m.height;
    return true;
}

std::vector<std::pair<unsigned long, unsigned>> FreeTypeFontFace::charmapEntries() const {
    std::vector<std::pair<unsigned long, unsigned>> entries;
    FT_UInt glyph = 0;
    for (FT_ULong code = FT_Get_First_Char(mFace, &glyph); glyph != 0; code = FT_Get_Next_Char(mFace, code, &glyph))
        entries.emplace_back(code, glyph);
    return entries;
}

bool FreeTypeFontFace::sfntTables(std::vector<std::pair<uint32_t, std::string>>* tables) const {
    tables->clear();
    if (!isSfnt()) return true;
    FT_ULong count = 0;
    // With a null tag pointer FreeType answers the number of tables.
    if (FT_Sfnt_Table_Info(mFace, 0, nullptr, &count) != 0) return true;
    for (FT_UInt i = 0; i < count; ++i) {
        FT_ULong tag = 0, length = 0;
        if (FT_Sfnt_Table_Info(mFace, i, &tag, &length) != 0) continue;
        std::string bytes(length, '\0');
        FT_ULong got = length;
        if (length && FT_Load_Sfnt_Table(mFace, tag, 0, reinterpret_cast<FT_Byte*>(bytes.data()), &got) != 0)
            return false;
        tables->emplace_back(static_cast<uint32_t>(tag), std::move(bytes));
    }
    return true;
}

// A face opened by `openIn` on a FreeType library of its own; null with *error
// when FreeType cannot start or the face cannot be read.
FontFace* openWith(const std::function<FT_Error(FT_Library, FT_Face*)>& openIn, FaceOpenError* error) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        *error = FaceOpenError::kEngine;
        return nullptr;
    }
    FT_Face face = nullptr;
    if (openIn(library, &face) != 0) {
        FT_Done_FreeType(library);
        *error = FaceOpenError::kUnreadable;
        return nullptr;
    }
    *error = FaceOpenError::kNone;
    return new FreeTypeFontFace(library, face);
}

}  // namespace

FontFace* openFreeTypeFace(const char* path, long faceIndex, FaceOpenError* error) {
    return openWith([&](FT_Library library, FT_Face* face) { return FT_New_Face(library, path, faceIndex, face); },
                    error);
}

FontFace* openFreeTypeFaceInMemory(const char* bytes, size_t size, FaceOpenError* error) {
    return openWith(
        [&](FT_Library library, FT_Face* face) {
            return FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes), static_cast<FT_Long>(size), 0,
                                      face);
        },
        error);
}

}  // namespace qmhost
