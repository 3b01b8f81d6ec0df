#include "pde/NamedFonts.h"

#include <map>

#include "core/Raise.h"
#include "pde/CidWidths.h"
#include "pde/FontDescriptor.h"
#include "pde/TextCodes.h"
#include "pde/ToUnicodeCMap.h"
#include "pde/UnicodeCMapFile.h"
#include "sysfont/FreeTypeFace.h"

namespace qmhost {
namespace {

constexpr int kDefaultWidth = 1000;

// A CJK character collection and how a face is known to be of its script.
struct Collection {
    int codePageBit;     // OS/2 ulCodePageRange1
    char32_t probe;      // a character only fonts of the script have
    const char* name;    // the collection's folder of CMaps
    const char* cmap;
};

// Simplified Chinese first: a face made for it usually covers the others too.
constexpr Collection kCollections[] = {
    {18, U'\u8FD9', "Adobe-GB1", "UniGB-UCS2-H"},     // 这, GB 2312
    {20, U'\u9019', "Adobe-CNS1", "UniCNS-UCS2-H"},   // 這, Big5
    {17, U'\u3042', "Adobe-Japan1", "UniJIS-UCS2-H"},  // あ, JIS
    {19, U'\uAC00', "Adobe-Korea1", "UniKS-UCS2-H"},   // 가, Wansung
};

const Collection* collectionOf(FreeTypeFace& face, const std::map<char32_t, unsigned>& glyphOf) {
    const uint32_t codePages = face.codePageRange1();
    for (const Collection& c : kCollections)
        if (codePages ? (codePages >> c.codePageBit) & 1 : glyphOf.count(c.probe) != 0) return &c;
    return nullptr;
}

QPDFObjectHandle integer(long long value) { return QPDFObjectHandle::newInteger(value); }

std::map<char32_t, unsigned> glyphsByCharacter(FreeTypeFace& face) {
    std::map<char32_t, unsigned> glyphOf;
    for (auto [c, glyph] : face.characterGlyphs()) glyphOf.emplace(c, glyph);
    return glyphOf;
}

HostFont simpleFont(FreeTypeFace& face, const std::string& postscriptName,
                    const std::map<char32_t, unsigned>& glyphOf, QPDF& fontDoc) {
    // A face without a Unicode charmap reaches its glyphs by code, not by WinAnsi names.
    const bool symbolic = !face.selectCharmap(FT_ENCODING_UNICODE);
    std::array<int, 256> widths{};
    QPDFObjectHandle widthArray = QPDFObjectHandle::newArray();
    const int missing = face.toThousandths(face.advance(0));
    for (size_t code = 32; code < widths.size(); ++code) {
        auto it = glyphOf.find(winAnsiCharOf(static_cast<uint8_t>(code)));
        widths[code] = it == glyphOf.end() || winAnsiCharOf(static_cast<uint8_t>(code)) == 0
                           ? missing
                           : face.toThousandths(face.advance(it->second));
        widthArray.appendItem(integer(widths[code]));
    }
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", pdfName("Font"));
    dict.replaceKey("/Subtype", pdfName(face.format() == "CFF" ? "Type1" : "TrueType"));
    dict.replaceKey("/BaseFont", pdfName(postscriptName));
    dict.replaceKey("/FirstChar", integer(32));
    dict.replaceKey("/LastChar", integer(255));
    dict.replaceKey("/Widths", widthArray);
    if (!symbolic) dict.replaceKey("/Encoding", pdfName("WinAnsiEncoding"));
    dict.replaceKey("/FontDescriptor", fontDoc.makeIndirectObject(fontDescriptor(face, postscriptName, symbolic)));
    HostFont font = HostFont::simple(postscriptName, widths, face.toThousandths(face.ascender()),
                                     face.toThousandths(face.descender()));
    font.setDictionary(fontDoc.makeIndirectObject(dict));
    return font;
}

HostFont collectionFont(FreeTypeFace& face, const std::string& postscriptName, const Collection& collection,
                        const std::map<char32_t, unsigned>& glyphOf, QPDF& fontDoc) {
    const UnicodeCMap cmap = readUnicodeCMap(collection.name, collection.cmap);
    std::vector<int> widthOfCode;
    std::unordered_map<char32_t, uint16_t> codeOfChar;
    std::map<uint16_t, char32_t> charOfCode;
    std::map<unsigned, int> widthOfCid;
    for (auto [c, glyph] : glyphOf) {
        if (c > 0xFFFF) continue;
        auto cid = cmap.cidOfCode.find(static_cast<uint16_t>(c));
        if (cid == cmap.cidOfCode.end()) continue;
        const auto code = static_cast<uint16_t>(c);
        const int width = face.toThousandths(face.advance(glyph));
        if (code >= widthOfCode.size()) widthOfCode.resize(code + 1, kDefaultWidth);
        widthOfCode[code] = width;
        codeOfChar.emplace(c, code);
        charOfCode.emplace(code, c);
        if (width != kDefaultWidth) widthOfCid.emplace(cid->second, width);
    }

    QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
    info.replaceKey("/Registry", QPDFObjectHandle::newString(cmap.registry));
    info.replaceKey("/Ordering", QPDFObjectHandle::newString(cmap.ordering));
    info.replaceKey("/Supplement", integer(cmap.supplement));
    const bool cff = face.format() == "CFF";
    QPDFObjectHandle cidFont = QPDFObjectHandle::newDictionary();
    cidFont.replaceKey("/Type", pdfName("Font"));
    cidFont.replaceKey("/Subtype", pdfName(cff ? "CIDFontType0" : "CIDFontType2"));
    cidFont.replaceKey("/BaseFont", pdfName(postscriptName));
    cidFont.replaceKey("/CIDSystemInfo", info);
    cidFont.replaceKey("/FontDescriptor", fontDoc.makeIndirectObject(fontDescriptor(face, postscriptName, true)));
    cidFont.replaceKey("/DW", integer(kDefaultWidth));
    cidFont.replaceKey("/W", cidWidthArray(widthOfCid));
    QPDFObjectHandle descendants = QPDFObjectHandle::newArray();
    descendants.appendItem(fontDoc.makeIndirectObject(cidFont));

    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", pdfName("Font"));
    dict.replaceKey("/Subtype", pdfName("Type0"));
    dict.replaceKey("/BaseFont", pdfName(cff ? postscriptName + "-" + cmap.name : postscriptName));
    dict.replaceKey("/Encoding", pdfName(cmap.name));
    dict.replaceKey("/DescendantFonts", descendants);
    dict.replaceKey("/ToUnicode", QPDFObjectHandle::newStream(&fontDoc, toUnicodeCMap(charOfCode)));
    HostFont font = HostFont::composite(postscriptName, std::move(widthOfCode), kDefaultWidth, std::move(codeOfChar),
                                        u'?', face.toThousandths(face.ascender()),
                                        face.toThousandths(face.descender()));
    font.setDictionary(fontDoc.makeIndirectObject(dict));
    return font;
}

}  // namespace

HostFont makeNamedFont(const SystemFont& font, QPDF& fontDoc) {
    FreeTypeFace face(font.file, font.faceIndex);
    if (!face.isSfnt())
        raise(kHostErrUnsupported, "the font " + font.name + " is neither TrueType nor OpenType");
    const std::string postscriptName = postscriptNameOf(face, font.name);
    const std::map<char32_t, unsigned> glyphOf = glyphsByCharacter(face);
    if (const Collection* collection = collectionOf(face, glyphOf))
        return collectionFont(face, postscriptName, *collection, glyphOf, fontDoc);
    return simpleFont(face, postscriptName, glyphOf, fontDoc);
}

}  // namespace qmhost
