#include "pde/CompositeFont.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>

#include "core/Raise.h"
#include "pde/CidWidths.h"
#include "pde/FontSubsets.h"
#include "pde/SfntWriter.h"
#include "pde/ToUnicodeCMap.h"
#include "sysfont/FreeTypeFace.h"

namespace qmhost {
namespace {

constexpr int kDefaultWidth = 1000;

// What the face gives, in thousandths of an em and by code.
struct FaceData {
    std::string postscriptName;
    bool cff = false;
    std::vector<int> widths;  // by code
    std::unordered_map<char32_t, uint16_t> codeOfChar;
    std::map<uint16_t, char32_t> charOfCode;  // the lowest character of each code
    uint16_t fallbackCode = 0;
};

// A PDF real written the same way under every locale.
QPDFObjectHandle realNumber(double value) {
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    std::string s = error == std::errc() ? std::string(text, end) : "0";
    while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) s.pop_back();
    if (s == "-0" || s.empty()) s = "0";
    return QPDFObjectHandle::newReal(s);
}

QPDFObjectHandle name(const std::string& text) { return QPDFObjectHandle::newName("/" + text); }
QPDFObjectHandle integer(long long value) { return QPDFObjectHandle::newInteger(value); }

std::string postscriptNameOf(const FreeTypeFace& face, const SystemFont& font) {
    std::string result = face.postscriptName();
    if (result.empty())
        for (char c : font.name)
            if (c != ' ') result.push_back(c);
    return result;
}

FaceData readFace(FreeTypeFace& face, const SystemFont& font) {
    FaceData data;
    data.postscriptName = postscriptNameOf(face, font);
    data.cff = face.format() == "CFF";
    const std::vector<long> advances = face.advances();
    for (unsigned glyph = 0; glyph < advances.size(); ++glyph) {
        const unsigned code = face.cidOfGlyph(glyph);
        if (code > 0xFFFF) continue;
        if (code >= data.widths.size()) data.widths.resize(code + 1, kDefaultWidth);
        data.widths[code] = face.toThousandths(advances[glyph]);
    }
    for (auto [c, glyph] : face.characterGlyphs()) {
        const unsigned code = face.cidOfGlyph(glyph);
        if (code > 0xFFFF) continue;
        data.codeOfChar.emplace(c, static_cast<uint16_t>(code));
        auto it = data.charOfCode.find(static_cast<uint16_t>(code));
        if (it == data.charOfCode.end() || c < it->second) data.charOfCode[static_cast<uint16_t>(code)] = c;
    }
    auto question = data.codeOfChar.find(U'?');
    data.fallbackCode = question == data.codeOfChar.end() ? 0 : question->second;
    return data;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) raise(kHostErrFileOpen, "cannot open the font file " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) raise(kHostErrFileRead, "cannot read the font file " + path);
    return bytes;
}

// The program of the one face: the file itself for a single font, else the
// face's tables written out as a font of its own.
std::string fontProgram(const FreeTypeFace& face) {
    std::string bytes = readWholeFile(face.path());
    const bool collection = bytes.compare(0, 4, "ttcf") == 0;
    if (!collection && face.faceIndex() == 0) return bytes;
    auto tables = face.sfntTables();
    if (tables.empty()) raise(kHostErrUnsupported, "cannot take the face out of the font " + face.path());
    return writeSfnt(std::move(tables));
}

int stemV(unsigned weightClass, bool bold) {
    // A stem width guessed from the weight, as a font without hints gives none.
    if (weightClass == 0) return bold ? 140 : 80;
    const double ratio = weightClass / 65.0;
    return static_cast<int>(std::lround(50 + ratio * ratio));
}

QPDFObjectHandle descriptor(QPDF& doc, FreeTypeFace& face, const FaceData& data, int ascent, int descent,
                            bool embedded) {
    FT_Face ft = face.face();
    const bool italic = (ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    const bool bold = (ft->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    int flags = 4;  // symbolic: the glyphs are reached by code, not by a standard encoding
    if (FT_IS_FIXED_WIDTH(ft)) flags |= 1;
    if (italic) flags |= 64;
    long cap = face.capHeight();
    GlyphBox box;
    if (cap <= 0 && face.selectCharmap(FT_ENCODING_UNICODE) && face.glyphOfCode('H') &&
        face.glyphBox(face.glyphOfCode('H'), &box))
        cap = box.yMax;
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", name("FontDescriptor"));
    dict.replaceKey("/FontName", name(data.postscriptName));
    dict.replaceKey("/Flags", integer(flags));
    QPDFObjectHandle bbox = QPDFObjectHandle::newArray();
    for (long v : {ft->bbox.xMin, ft->bbox.yMin, ft->bbox.xMax, ft->bbox.yMax})
        bbox.appendItem(integer(face.toThousandths(v)));
    dict.replaceKey("/FontBBox", bbox);
    dict.replaceKey("/ItalicAngle", realNumber(face.italicAngle()));
    dict.replaceKey("/Ascent", integer(ascent));
    dict.replaceKey("/Descent", integer(descent));
    dict.replaceKey("/CapHeight", integer(cap > 0 ? face.toThousandths(cap) : ascent));
    dict.replaceKey("/StemV", integer(stemV(face.weightClass(), bold)));
    if (embedded) {
        const std::string bytes = fontProgram(face);
        QPDFObjectHandle program = QPDFObjectHandle::newStream(&doc, bytes);
        if (data.cff) {
            program.getDict().replaceKey("/Subtype", name("OpenType"));
            dict.replaceKey("/FontFile3", program);
        } else {
            program.getDict().replaceKey("/Length1", integer(static_cast<long long>(bytes.size())));
            dict.replaceKey("/FontFile2", program);
        }
    }
    return doc.makeIndirectObject(dict);
}

QPDFObjectHandle cidFont(QPDF& doc, const FaceData& data, QPDFObjectHandle fontDescriptor) {
    QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
    info.replaceKey("/Registry", QPDFObjectHandle::newString("Adobe"));
    info.replaceKey("/Ordering", QPDFObjectHandle::newString("Identity"));
    info.replaceKey("/Supplement", integer(0));
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", name("Font"));
    dict.replaceKey("/Subtype", name(data.cff ? "CIDFontType0" : "CIDFontType2"));
    dict.replaceKey("/BaseFont", name(data.postscriptName));
    dict.replaceKey("/CIDSystemInfo", info);
    dict.replaceKey("/FontDescriptor", fontDescriptor);
    dict.replaceKey("/DW", integer(kDefaultWidth));
    std::map<unsigned, int> widths;
    for (size_t cid = 0; cid < data.widths.size(); ++cid) widths.emplace_hint(widths.end(), cid, data.widths[cid]);
    dict.replaceKey("/W", cidWidthArray(widths));
    if (!data.cff) dict.replaceKey("/CIDToGIDMap", name("Identity"));
    return doc.makeIndirectObject(dict);
}

}  // namespace

HostFont makeCompositeFont(const SystemFont& font, bool embedded, QPDF& fontDoc) {
    FreeTypeFace face(font.file, font.faceIndex);
    if (!face.isSfnt())
        raise(kHostErrUnsupported, "the font " + font.name + " is neither TrueType nor OpenType");
    FaceData data = readFace(face, font);
    const int ascent = face.toThousandths(face.face()->ascender);
    const int descent = face.toThousandths(face.face()->descender);

    QPDFObjectHandle descendant = cidFont(fontDoc, data, descriptor(fontDoc, face, data, ascent, descent, embedded));
    QPDFObjectHandle descendants = QPDFObjectHandle::newArray();
    descendants.appendItem(descendant);
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", name("Font"));
    dict.replaceKey("/Subtype", name("Type0"));
    // A CFF-based font is named after its CIDFont and CMap; a TrueType one as its CIDFont.
    dict.replaceKey("/BaseFont", name(data.cff ? data.postscriptName + "-Identity-H" : data.postscriptName));
    dict.replaceKey("/Encoding", name("Identity-H"));
    dict.replaceKey("/DescendantFonts", descendants);
    dict.replaceKey("/ToUnicode", QPDFObjectHandle::newStream(&fontDoc, toUnicodeCMap(data.charOfCode)));
    // The whole program is kept while the document is open; its saves write a subset.
    if (embedded) dict.replaceKey(kSubsetOnSaveKey, QPDFObjectHandle::newBool(true));

    HostFont result = HostFont::composite(data.postscriptName, std::move(data.widths), kDefaultWidth,
                                          std::move(data.codeOfChar), data.fallbackCode, ascent, descent);
    result.setDictionary(fontDoc.makeIndirectObject(dict));
    return result;
}

}  // namespace qmhost
