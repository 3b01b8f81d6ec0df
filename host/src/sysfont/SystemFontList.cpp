#include "sysfont/SystemFontList.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include <fontconfig/fontconfig.h>

#include "core/Raise.h"

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
    FontSetPtr list(FcPattern* pattern, FcObjectSet* objects) {
        std::lock_guard<std::mutex> guard(mLock);
        if (!mConfig) mConfig = FcInitLoadConfigAndFonts();
        if (!mConfig) raise(kHostErrGeneric, "fontconfig could not load its configuration");
        return FontSetPtr(FcFontList(mConfig, pattern, objects));
    }

private:
    std::mutex mLock;
    FcConfig* mConfig = nullptr;
};

FontSetPtr listFonts(FcPattern* pattern, FcObjectSet* objects) {
    static FontConfig config;
    return config.list(pattern, objects);
}

std::vector<SystemFont> readSystemFonts() {
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    ObjectSetPtr objects(FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, FC_FONTFORMAT, FC_VARIABLE,
                                          static_cast<char*>(nullptr)));
    FontSetPtr set = listFonts(pattern.get(), objects.get());
    std::vector<FoundFace> faces;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* face = set->fonts[i];
        if (!isOfferedFace(face)) continue;
        int index = 0;
        FcPatternGetInteger(face, FC_INDEX, 0, &index);
        FoundFace found{stringOf(face, FC_FAMILY), stringOf(face, FC_STYLE), stringOf(face, FC_FILE), index};
        if (!found.family.empty() && !found.file.empty()) faces.push_back(std::move(found));
    }
    return nameSystemFonts(std::move(faces));
}

struct FontList {
    std::vector<SystemFont> fonts;
    std::map<std::string, size_t> byName;
};

const FontList& fontList() {
    static std::once_flag once;
    static FontList* list = nullptr;
    std::call_once(once, [] {
        auto made = std::make_unique<FontList>();
        made->fonts = readSystemFonts();
        for (size_t i = 0; i < made->fonts.size(); ++i) made->byName.emplace(made->fonts[i].name, i);
        list = made.release();  // kept for the process: handles refer to it
    });
    return *list;
}

}  // namespace

std::string systemFontName(const std::string& family, const std::string& style) {
    static const char* const kRegular[] = {"", "regular", "book", "normal", "roman", "plain", "standard"};
    const std::string lower = lowerAscii(style);
    for (const char* regular : kRegular)
        if (lower == regular) return family;
    return family + " " + style;
}

std::vector<SystemFont> nameSystemFonts(std::vector<FoundFace> faces) {
    std::vector<SystemFont> fonts;
    fonts.reserve(faces.size());
    for (auto& face : faces)
        fonts.push_back(SystemFont{systemFontName(face.family, face.style), std::move(face.family),
                                   std::move(face.style), std::move(face.file), face.faceIndex});
    auto key = [](const SystemFont& f) { return std::tie(f.name, f.file, f.faceIndex); };
    std::sort(fonts.begin(), fonts.end(), [&](const SystemFont& a, const SystemFont& b) { return key(a) < key(b); });
    // Every plain name is taken first, so a suffixed name never shadows a real one.
    std::map<std::string, int> taken;
    for (const auto& font : fonts) ++taken[font.name];
    std::map<std::string, int> seen;
    for (auto& font : fonts) {
        if (++seen[font.name] == 1) continue;
        std::string unique;
        for (int n = seen[font.name];; ++n) {
            unique = font.name + " (" + std::to_string(n) + ")";
            if (!taken.count(unique)) break;
        }
        taken[unique] = 1;
        font.name = unique;
    }
    // Suffixes may change the order of names; keep the list sorted by name.
    std::stable_sort(fonts.begin(), fonts.end(),
                     [](const SystemFont& a, const SystemFont& b) { return a.name < b.name; });
    return fonts;
}

const std::vector<SystemFont>& systemFonts() { return fontList().fonts; }

PDSysFont systemFontHandle(size_t position) {
    return reinterpret_cast<PDSysFont>(static_cast<uintptr_t>(position + 1));
}

const SystemFont& systemFontOf(PDSysFont font, const char* op) {
    if (!font) raise(kHostErrBadParameter, std::string(op) + ": no system font given");
    const auto position = reinterpret_cast<uintptr_t>(font) - 1;
    const auto& fonts = systemFonts();
    if (position >= fonts.size())
        raise(kHostErrBadHandle, std::string(op) + ": unknown system font " +
                                     std::to_string(reinterpret_cast<uintptr_t>(font)));
    return fonts[position];
}

PDSysFont findSystemFont(const std::string& name) {
    const auto& byName = fontList().byName;
    auto it = byName.find(name);
    return it == byName.end() ? nullptr : systemFontHandle(it->second);
}

std::string fontFileForPostscriptName(const std::string& postscriptName) {
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_POSTSCRIPT_NAME, reinterpret_cast<const FcChar8*>(postscriptName.c_str()));
    ObjectSetPtr objects(FcObjectSetBuild(FC_FILE, FC_FONTFORMAT, static_cast<char*>(nullptr)));
    FontSetPtr set = listFonts(pattern.get(), objects.get());
    std::vector<std::pair<bool, std::string>> files;  // (not Type 1, path)
    for (int i = 0; set && i < set->nfont; ++i) {
        const std::string file = stringOf(set->fonts[i], FC_FILE);
        if (!file.empty()) files.emplace_back(stringOf(set->fonts[i], FC_FONTFORMAT) != "Type 1", file);
    }
    if (files.empty()) return "";
    return std::min_element(files.begin(), files.end())->second;
}

}  // namespace qmhost
