#include "pde/FontSubsets.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <set>

#include "pde/CidWidths.h"
#include "pde/FontCodeScan.h"
#include "pde/ToUnicodeCMap.h"
#include "sysfont/FontSubsetter.h"
#include "sysfont/FreeTypeFace.h"

namespace qmhost {

const char* const kSubsetOnSaveKey = "/QuillmarkSubsetOnSave";

namespace {

// Set once for the process; a relaxed flag is enough, as a font is marked
// before any save of the document that holds it begins.
std::atomic<bool> gFontMarked{false};

}  // namespace

void noteFontMarkedForSubset() { gFontMarked.store(true, std::memory_order_relaxed); }

namespace {

// TrueType subsets get new glyph ids and a CIDToGIDMap: measured on a Chinese
// stamp in WenQuanYi Micro Hei, whose glyphs lie far apart, the map is smaller
// than the empty loca and hmtx entries that kept glyph ids leave.
constexpr bool kRetainTrueTypeGlyphIds = false;

}  // namespace

// The parts of a marked font as the host writes it.
struct FontSubsets::FontParts {
    QPDFObjectHandle type0, cidFont, descriptor, program;
    std::string programKey;  // "/FontFile2" or "/FontFile3"
    std::string name;        // the CIDFont's /BaseFont, without the slash
    bool cff = false;
};

namespace {

// Six capitals from the font's name and codes: the same subset gets the same tag.
std::string subsetTag(const std::string& name, const std::set<uint16_t>& codes) {
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&](unsigned byte) { hash = (hash ^ byte) * 1099511628211ull; };
    for (char c : name) mix(static_cast<unsigned char>(c));
    for (uint16_t code : codes) mix(code >> 8), mix(code & 0xFF);
    std::string tag;
    for (int i = 0; i < 6; ++i, hash /= 26) tag.push_back(static_cast<char>('A' + hash % 26));
    return tag;
}

QPDFObjectHandle nameObject(const std::string& text) { return QPDFObjectHandle::newName("/" + text); }

// The CIDToGIDMap stream's data: two bytes per CID from 0 to the highest code.
std::string cidToGidMap(const std::set<uint16_t>& codes, const std::map<unsigned, unsigned>& newGlyphOf) {
    const size_t count = codes.empty() ? 1 : static_cast<size_t>(*codes.rbegin()) + 1;
    std::string bytes(count * 2, '\0');
    for (uint16_t code : codes) {
        auto it = newGlyphOf.find(code);
        if (it == newGlyphOf.end()) continue;
        bytes[size_t{code} * 2] = static_cast<char>(it->second >> 8);
        bytes[size_t{code} * 2 + 1] = static_cast<char>(it->second & 0xFF);
    }
    return bytes;
}

// Widths (those that differ from the default width) and characters of the codes
// shown, read from the program as the font was made.
void readCodes(FreeTypeFace& face, const std::set<uint16_t>& codes, long long defaultWidth,
               std::map<unsigned, int>* widths, std::map<uint16_t, char32_t>* chars) {
    const unsigned glyphCount = face.glyphCount();
    for (uint16_t code : codes) {
        if (code >= glyphCount) continue;
        const int width = face.toThousandths(face.advance(code));
        if (width != defaultWidth) (*widths)[code] = width;
    }
    for (auto [c, glyph] : face.characterGlyphs()) {
        if (glyph > 0xFFFF || !codes.count(static_cast<uint16_t>(glyph))) continue;
        auto it = chars->find(static_cast<uint16_t>(glyph));
        if (it == chars->end() || c < it->second) (*chars)[static_cast<uint16_t>(glyph)] = c;
    }
}

}  // namespace

bool FontSubsets::partsOf(QPDFObjectHandle type0, FontParts* parts) {
    parts->type0 = type0;
    QPDFObjectHandle descendants = type0.getKey("/DescendantFonts");
    if (!descendants.isArray() || descendants.getArrayNItems() != 1) return false;
    parts->cidFont = descendants.getArrayItem(0);
    if (!parts->cidFont.isDictionary() || !parts->cidFont.getKey("/BaseFont").isName()) return false;
    parts->name = parts->cidFont.getKey("/BaseFont").getName().substr(1);
    parts->descriptor = parts->cidFont.getKey("/FontDescriptor");
    if (!parts->descriptor.isDictionary()) return false;
    parts->cff = parts->cidFont.getKey("/Subtype").isNameAndEquals("/CIDFontType0");
    parts->programKey = parts->cff ? "/FontFile3" : "/FontFile2";
    parts->program = parts->descriptor.getKey(parts->programKey);
    return parts->program.isStream();
}

namespace {

// With QM_SUBSET_TIMES set in the environment, each save prints how long its
// font subsets took (scripts/bench weighs them against the whole run).
void reportSubsetTime(size_t count, std::chrono::steady_clock::duration spent) {
    if (!std::getenv("QM_SUBSET_TIMES")) return;
    const double ms = std::chrono::duration<double, std::milli>(spent).count();
    std::fprintf(stderr, "quillmark: font subsets: %zu in %.1f ms\n", count, ms);
}

}  // namespace

FontSubsets::FontSubsets(QPDF& qpdf) {
    const auto start = std::chrono::steady_clock::now();
    build(qpdf);
    reportSubsetTime(mSubsetCount, std::chrono::steady_clock::now() - start);
}

void FontSubsets::build(QPDF& qpdf) {
    // The scan visits every page's fonts: 13 million instructions of a
    // 2,000-page Bates run in a standard font, for nothing to find.
    if (!gFontMarked.load(std::memory_order_relaxed)) return;
    auto marked = [](QPDFObjectHandle font) {
        if (!font.hasKey(kSubsetOnSaveKey)) return false;
        QPDFObjectHandle mark = font.getKey(kSubsetOnSaveKey);
        return mark.isBool() && mark.getBoolValue();
    };
    std::map<QPDFObjGen, FontCodes> fonts;
    try {
        fonts = scanFontCodes(qpdf, marked);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        // Content that cannot be read leaves the fonts whole: nothing is lost.
        mWarnings.push_back(std::string("embedded fonts are written whole: the page content cannot be read (") +
                            e.what() + ")");
        return;
    }
    for (auto& [objGen, use] : fonts) {
        replace(use.font, kSubsetOnSaveKey, QPDFObjectHandle());
        FontParts parts;
        if (!partsOf(use.font, &parts)) continue;
        try {
            subsetOne(qpdf, parts, use.codes);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            mWarnings.push_back("the font " + parts.name + " is embedded whole: " + e.what());
        }
    }
}

void FontSubsets::subsetOne(QPDF& qpdf, const FontParts& parts, const std::set<uint16_t>& codes) {
    auto program = std::make_shared<const std::string>(decodedStreamData(parts.program, "the program of " + parts.name));
    FreeTypeFace face(program, "the embedded font " + parts.name);
    // CID-keyed CFF programs are reached by CID, which a subset need not keep.
    if (face.isCidKeyed()) {
        mWarnings.push_back("the font " + parts.name + " is embedded whole: its CFF program is CID-keyed");
        return;
    }
    const bool retain = parts.cff || kRetainTrueTypeGlyphIds;
    std::string why;
    const std::set<unsigned> glyphs(codes.begin(), codes.end());
    std::optional<FontSubset> subset = subsetFontProgram(*program, glyphs, retain, &why);
    if (!subset) {
        mWarnings.push_back("the font " + parts.name + " is embedded whole: " + why);
        return;
    }
    std::map<unsigned, int> widths;
    std::map<uint16_t, char32_t> chars;
    QPDFObjectHandle defaultWidth = QPDFObjectHandle(parts.cidFont).getKey("/DW");
    readCodes(face, codes, defaultWidth.isInteger() ? defaultWidth.getIntValue() : 1000, &widths, &chars);

    const std::string tagged = subsetTag(parts.name, codes) + "+" + parts.name;
    replace(parts.type0, "/BaseFont", nameObject(parts.cff ? tagged + "-Identity-H" : tagged));
    replace(parts.type0, "/ToUnicode", QPDFObjectHandle::newStream(&qpdf, toUnicodeCMap(chars)));
    replace(parts.cidFont, "/BaseFont", nameObject(tagged));
    replace(parts.cidFont, "/W", cidWidthArray(widths));
    if (!retain) replace(parts.cidFont, "/CIDToGIDMap",
                         QPDFObjectHandle::newStream(&qpdf, cidToGidMap(codes, subset->newGlyphOf)));
    replace(parts.descriptor, "/FontName", nameObject(tagged));
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&qpdf, subset->program);
    if (parts.cff)
        stream.getDict().replaceKey("/Subtype", nameObject("OpenType"));
    else
        stream.getDict().replaceKey("/Length1",
                                    QPDFObjectHandle::newInteger(static_cast<long long>(subset->program.size())));
    replace(parts.descriptor, parts.programKey, stream);
    ++mSubsetCount;
}

void FontSubsets::replace(QPDFObjectHandle dictionary, const std::string& key, QPDFObjectHandle value) {
    mSaved.push_back({dictionary, key, dictionary.hasKey(key) ? dictionary.getKey(key) : QPDFObjectHandle()});
    if (value.isInitialized())
        dictionary.replaceKey(key, value);
    else
        dictionary.removeKey(key);
}

FontSubsets::~FontSubsets() {
    for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
        if (it->value.isInitialized())
            it->dictionary.replaceKey(it->key, it->value);
        else
            it->dictionary.removeKey(it->key);
    }
}

}  // namespace qmhost
