#include "sysfont/FreeTypeFace.h"

#include <cmath>

#include FT_ADVANCES_H
#include FT_CID_H
#include FT_FONT_FORMATS_H
#include FT_TRUETYPE_TABLES_H

#include "core/Raise.h"

namespace qmhost {

FreeTypeFace::FreeTypeFace(const std::string& path, long faceIndex)
    : mPath(path), mFaceIndex(faceIndex) {
    if (FT_Init_FreeType(&mLibrary) != 0) {
        mLibrary = nullptr;
        raise(kHostErrNoMemory, "FreeType could not be started");
    }
    if (FT_New_Face(mLibrary, path.c_str(), faceIndex, &mFace) != 0) {
        mFace = nullptr;
        FT_Done_FreeType(mLibrary);
        raise(kHostErrFileOpen, "cannot read the font " + path + " (face " + std::to_string(faceIndex) + ")");
    }
}

FreeTypeFace::FreeTypeFace(std::shared_ptr<const std::string> bytes, const std::string& description)
    : mPath(description), mFaceIndex(0), mBytes(std::move(bytes)) {
    if (FT_Init_FreeType(&mLibrary) != 0) {
        mLibrary = nullptr;
        raise(kHostErrNoMemory, "FreeType could not be started");
    }
    if (FT_New_Memory_Face(mLibrary, reinterpret_cast<const FT_Byte*>(mBytes->data()),
                           static_cast<FT_Long>(mBytes->size()), 0, &mFace) != 0) {
        mFace = nullptr;
        FT_Done_FreeType(mLibrary);
        raise(kHostErrBadParameter, "cannot read the font program of " + description);
    }
}

FreeTypeFace::~FreeTypeFace() {
    if (mFace) FT_Done_Face(mFace);
    if (mLibrary) FT_Done_FreeType(mLibrary);
}

unsigned FreeTypeFace::unitsPerEm() const {
    // Bitmap-only faces report 0; treat them as 1000-unit faces rather than divide by 0.
    return mFace->units_per_EM ? mFace->units_per_EM : 1000;
}

int FreeTypeFace::toThousandths(long fontUnits) const {
    return static_cast<int>(std::lround(static_cast<double>(fontUnits) * 1000.0 / unitsPerEm()));
}

std::string FreeTypeFace::format() const {
    const char* name = FT_Get_Font_Format(mFace);
    return name ? name : "";
}

bool FreeTypeFace::isSfnt() const { return FT_IS_SFNT(mFace); }

std::string FreeTypeFace::postscriptName() const {
    const char* name = FT_Get_Postscript_Name(mFace);
    return name ? name : "";
}

bool FreeTypeFace::selectCharmap(FT_Encoding encoding) { return FT_Select_Charmap(mFace, encoding) == 0; }

unsigned FreeTypeFace::glyphOfCode(unsigned long code) const { return FT_Get_Char_Index(mFace, code); }

unsigned FreeTypeFace::glyphOfName(const char* name) const {
    if (!FT_HAS_GLYPH_NAMES(mFace)) return 0;
    return FT_Get_Name_Index(mFace, name);
}

std::vector<long> FreeTypeFace::advances() const {
    std::vector<FT_Fixed> raw(static_cast<size_t>(mFace->num_glyphs));
    if (!raw.empty() &&
        FT_Get_Advances(mFace, 0, static_cast<FT_UInt>(raw.size()), FT_LOAD_NO_SCALE, raw.data()) != 0)
        raise(kHostErrBadParameter, "cannot read the glyph advances of " + mPath);
    return std::vector<long>(raw.begin(), raw.end());
}

long FreeTypeFace::advance(unsigned glyph) const {
    FT_Fixed value = 0;
    if (FT_Get_Advance(mFace, glyph, FT_LOAD_NO_SCALE, &value) != 0) return 0;
    return value;
}

bool FreeTypeFace::glyphBox(unsigned glyph, GlyphBox* box) const {
    if (FT_Load_Glyph(mFace, glyph, FT_LOAD_NO_SCALE) != 0) return false;
    const FT_Glyph_Metrics& m = mFace->glyph->metrics;
    box->xMin = m.horiBearingX;
    box->xMax = m.horiBearingX + m.width;
    box->yMax = m.horiBearingY;
    box->yMin = m.horiBearingY - m.height;
    return true;
}

std::vector<std::pair<char32_t, unsigned>> FreeTypeFace::characterGlyphs() {
    std::vector<std::pair<char32_t, unsigned>> result;
    if (selectCharmap(FT_ENCODING_UNICODE)) {
        for (auto [c, glyph] : charmapEntries()) result.emplace_back(static_cast<char32_t>(c), glyph);
    } else if (selectCharmap(FT_ENCODING_MS_SYMBOL)) {
        for (auto [c, glyph] : charmapEntries()) {
            if (c >= 0xF020 && c <= 0xF0FF) result.emplace_back(static_cast<char32_t>(c - 0xF000), glyph);
            result.emplace_back(static_cast<char32_t>(c), glyph);
        }
    }
    return result;
}

bool FreeTypeFace::isCidKeyed() const {
    FT_Bool cidKeyed = 0;
    return FT_Get_CID_Is_Internally_CID_Keyed(mFace, &cidKeyed) == 0 && cidKeyed;
}

unsigned FreeTypeFace::cidOfGlyph(unsigned glyph) const {
    FT_UInt cid = 0;
    if (!isCidKeyed() || FT_Get_CID_From_Glyph_Index(mFace, glyph, &cid) != 0) return glyph;
    return cid;
}

std::vector<std::pair<unsigned long, unsigned>> FreeTypeFace::charmapEntries() const {
    std::vector<std::pair<unsigned long, unsigned>> entries;
    FT_UInt glyph = 0;
    for (FT_ULong code = FT_Get_First_Char(mFace, &glyph); glyph != 0; code = FT_Get_Next_Char(mFace, code, &glyph))
        entries.emplace_back(code, glyph);
    return entries;
}

double FreeTypeFace::italicAngle() const {
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_POST));
    return post ? static_cast<double>(post->italicAngle) / 65536.0 : 0.0;
}

long FreeTypeFace::capHeight() const {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_OS2));
    return os2 && os2->version != 0xFFFF && os2->version >= 2 ? os2->sCapHeight : 0;
}

unsigned FreeTypeFace::weightClass() const {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_OS2));
    return os2 && os2->version != 0xFFFF ? os2->usWeightClass : 0;
}

uint32_t FreeTypeFace::codePageRange1() const {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(mFace, FT_SFNT_OS2));
    return os2 && os2->version != 0xFFFF && os2->version >= 1 ? static_cast<uint32_t>(os2->ulCodePageRange1) : 0;
}

std::vector<std::pair<uint32_t, std::string>> FreeTypeFace::sfntTables() const {
    std::vector<std::pair<uint32_t, std::string>> tables;
    if (!isSfnt()) return tables;
    FT_ULong count = 0;
    // With a null tag pointer FreeType answers the number of tables.
    if (FT_Sfnt_Table_Info(mFace, 0, nullptr, &count) != 0) return tables;
    for (FT_UInt i = 0; i < count; ++i) {
        FT_ULong tag = 0, length = 0;
        if (FT_Sfnt_Table_Info(mFace, i, &tag, &length) != 0) continue;
        std::string bytes(length, '\0');
        FT_ULong got = length;
        if (length && FT_Load_Sfnt_Table(mFace, tag, 0, reinterpret_cast<FT_Byte*>(bytes.data()), &got) != 0)
            raise(kHostErrFileRead, "cannot read a table of the font " + mPath);
        tables.emplace_back(static_cast<uint32_t>(tag), std::move(bytes));
    }
    return tables;
}

}  // namespace qmhost
