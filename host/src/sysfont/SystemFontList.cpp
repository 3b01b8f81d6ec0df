#include "sysfont/SystemFontList.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "core/Raise.h"

namespace qmhost {
namespace {

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::vector<SystemFont> readSystemFonts() {
    std::vector<FoundFace> faces;
    std::string why;
    if (!fontsLibrary().listFaces(&faces, &why)) raise(kHostErrGeneric, why);
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
    std::vector<FoundFontFile> files;
    std::string why;
    if (!fontsLibrary().filesNamed(postscriptName.c_str(), &files, &why)) raise(kHostErrGeneric, why);
    if (files.empty()) return "";
    // Type 1 files first, then by path.
    auto first = [](const FoundFontFile& a, const FoundFontFile& b) {
        return a.type1 != b.type1 ? a.type1 : a.file < b.file;
    };
    return std::min_element(files.begin(), files.end(), first)->file;
}

}  // namespace qmhost
