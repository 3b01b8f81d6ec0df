#include "sysfont/fontlibs/FontConfigFaces.h"

#include <memory>
#include <mutex>

#include <fontconfig/fontconfig.h>

namespace qmhost {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using ObjectSetPtr = std::unique_ptr<FcObjectSet, ObjectSetDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

std::string stringOf(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return "";
    return reinterpret_cast<const char*>(value);
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Faces whose program can go into a PDF as an sfnt: TrueType outlines or CFF in
// an OpenType wrapper. Bare CFF and Type 1 files are left out.
bool isOfferedFace(FcPattern* pattern) {
    const std::string format = stringOf(pattern, FC_FONTFORMAT);
    if (format != "TrueType" && format != "CFF") return false;
    const std::string file = lowerAscii(stringOf(pattern, FC_FILE));
    if (!endsWith(file, ".ttf") && !endsWith(file, ".otf") && !endsWith(file, ".ttc") && !endsWith(file, ".otc"))
        return false;
    // Variable fonts and their named instances would embed only the default
    // instance while measuring another; they are not offered.
    FcBool variable = FcFalse;
    if (FcPatternGetBool(pattern, FC_VARIABLE, 0, &variable) == FcResultMatch && variable) return false;
    int index = 0;
    FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
    return (index >> 16) == 0;
}

// The host's own fontconfig configuration, loaded once and destroyed at exit:
// fontconfig's default configuration is never given back, which leak checkers
// report.
class FontConfig {
public:
    ~FontConfig() {
        if (mConfig) FcConfigDestroy(mConfig);
    }
    // Null with *why when the configuration cannot be loaded (tried again on
    // the next call).
    FontSetPtr list(FcPattern* pattern, FcObjectSet* objects, std::string* why) {
        std::lock_guard<std::mutex> guard(mLock);
        if (!mConfig) mConfig = FcInitLoadConfigAndFonts();
        if (!mConfig) {
            *why = "fontconfig could not load its configuration";
            return nullptr;
        }
        return FontSetPtr(FcFontList(mConfig, pattern, objects));
    }

private:
    std::mutex mLock;
    FcConfig* mConfig = nullptr;
};

FontSetPtr listFonts(FcPattern* pattern, FcObjectSet* objects, std::string* why) {
    static FontConfig config;
    return config.list(pattern, objects, why);
}

}  // namespace

bool listFontConfigFaces(std::vector<FoundFace>* faces, std::string* why) {
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    ObjectSetPtr objects(FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, FC_FONTFORMAT, FC_VARIABLE,
                                          static_cast<char*>(nullptr)));
    std::string failure;
    FontSetPtr set = listFonts(pattern.get(), objects.get(), &failure);
    if (!failure.empty()) {
        *why = failure;
        return false;
    }
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* face = set->fonts[i];
        if (!isOfferedFace(face)) continue;
        int index = 0;
        FcPatternGetInteger(face, FC_INDEX, 0, &index);
        FoundFace found{stringOf(face, FC_FAMILY), stringOf(face, FC_STYLE), stringOf(face, FC_FILE), index};
        if (!found.family.empty() && !found.file.empty()) faces->push_back(std::move(found));
    }
    return true;
}

bool fontConfigFilesNamed(const char* postscriptName, std::vector<FoundFontFile>* files, std::string* why) {
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_POSTSCRIPT_NAME, reinterpret_cast<const FcChar8*>(postscriptName));
    ObjectSetPtr objects(FcObjectSetBuild(FC_FILE, FC_FONTFORMAT, static_cast<char*>(nullptr)));
    std::string failure;
    FontSetPtr set = listFonts(pattern.get(), objects.get(), &failure);
    if (!failure.empty()) {
        *why = failure;
        return false;
    }
    for (int i = 0; set && i < set->nfont; ++i) {
        std::string file = stringOf(set->fonts[i], FC_FILE);
        if (!file.empty()) files->push_back({std::move(file), stringOf(set->fonts[i], FC_FONTFORMAT) == "Type 1"});
    }
    return true;
}

}  // namespace qmhost
