#include "sysfont/FreeTypeFace.h"

#include <cmath>

#include "core/Raise.h"
#include "sysfont/FontsLibrary.h"

namespace qmhost {
namespace {

// The face the fonts library opened; raises when it opened none, with
// `unreadable` for a face FreeType cannot read.
std::unique_ptr<FontFace> requireFace(FontFace* face, FaceOpenError error, int32_t unreadable,
                                      const std::string& message) {
    if (face) return std::unique_ptr<FontFace>(face);
    if (error == FaceOpenError::kEngine) raise(kHostErrNoMemory, "FreeType could not be started");
    raise(unreadable, message);
}

}  // namespace

FreeTypeFace::FreeTypeFace(const std::string& path, long faceIndex) : mPath(path), mFaceIndex(faceIndex) {
    FaceOpenError error = FaceOpenError::kNone;
    FontFace* face = fontsLibrary().openFace(path.c_str(), faceIndex, &error);
    mFace = requireFace(face, error, kHostErrFileOpen,
                        "cannot read the font " + path + " (face " + std::to_string(faceIndex) + ")");
}

FreeTypeFace::FreeTypeFace(std::shared_ptr<const std::string> bytes, const std::string& description)
    : mPath(description), mFaceIndex(0), mBytes(std::move(bytes)) {
    FaceOpenError error = FaceOpenError::kNone;
    FontFace* face = fontsLibrary().openFaceInMemory(mBytes->data(), mBytes->size(), &error);
    mFace = requireFace(face, error, kHostErrBadParameter, "cannot read the font program of " + description);
}

FreeTypeFace::~FreeTypeFace() = default;

int FreeTypeFace::toThousandths(long fontUnits) const {
    return static_cast<int>(std::lround(static_cast<double>(fontUnits) * 1000.0 / unitsPerEm()));
}

std::vector<long> FreeTypeFace::advances() const {
    std::vector<long> result;
    if (!mFace->advances(&result)) raise(kHostErrBadParameter, "cannot read the glyph advances of " + mPath);
    return result;
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

std::vector<std::pair<uint32_t, std::string>> FreeTypeFace::sfntTables() const {
    std::vector<std::pair<uint32_t, std::string>> tables;
    if (!mFace->sfntTables(&tables)) raise(kHostErrFileRead, "cannot read a table of the font " + mPath);
    return tables;
}

}  // namespace qmhost
