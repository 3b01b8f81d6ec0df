#include "pde/CompositeFont.h"

#include <fstream>
#include <iterator>
#include <map>

#include "core/Raise.h"
#include "pde/CidWidths.h"
#include "pde/FontDescriptor.h"
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

QPDFObjectHandle integer(long long value) { return QPDFObjectHandle::newInteger(value); }

FaceData readFace(FreeTypeFace& face, const SystemFont& font) {
    FaceData data;
    data.postscriptName = postscriptNameOf(face, font.name);
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

// The descriptor with the program: FontFile2 for TrueType outlines, FontFile3
// /OpenType for CFF ones.
QPDFObjectHandle descriptor(QPDF& doc, FreeTypeFace& face, const FaceData& data) {
    QPDFObjectHandle dict = fontDescriptor(face, data.postscriptName, true);
    const std::string bytes = fontProgram(face);
    QPDFObjectHandle program = QPDFObjectHandle::newStream(&doc, bytes);
    if (data.cff) {
        program.getDict().replaceKey("/Subtype", pdfName("OpenType"));
        dict.replaceKey("/FontFile3", program);
    } else {
        program.getDict().replaceKey("/Length1", integer(static_cast<long long>(bytes.size())));
        dict.replaceKey("/FontFile2", program);
    }
    return doc.makeIndirectObject(dict);
}

QPDFObjectHandle cidFont(QPDF& doc, const FaceData& data, QPDFObjectHandle fontDescriptor) {
    QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
    info.replaceKey("/Registry", QPDFObjectHandle::newString("Adobe"));
    info.replaceKey("/Ordering", QPDFObjectHandle::newString("Identity"));
    info.replaceKey("/Supplement", integer(0));
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", pdfName("Font"));
    dict.replaceKey("/Subtype", pdfName(data.cff ? "CIDFontType0" : "CIDFontType2"));
    dict.replaceKey("/BaseFont", pdfName(data.postscriptName));
    dict.replaceKey("/CIDSystemInfo", info);
    dict.replaceKey("/FontDescriptor", fontDescriptor);
    dict.replaceKey("/DW", integer(kDefaultWidth));
    std::map<unsigned, int> widths;
    for (size_t cid = 0; cid < data.widths.size(); ++cid) widths.emplace_hint(widths.end(), cid, data.widths[cid]);
    dict.replaceKey("/W", cidWidthArray(widths));
    if (!data.cff) dict.replaceKey("/CIDToGIDMap", pdfName("Identity"));
    return doc.makeIndirectObject(dict);
}

}  // namespace

HostFont makeCompositeFont(const SystemFont& font, QPDF& fontDoc) {
    FreeTypeFace face(font.file, font.faceIndex);
    if (!face.isSfnt())
        raise(kHostErrUnsupported, "the font " + font.name + " is neither TrueType nor OpenType");
    FaceData data = readFace(face, font);
    const int ascent = face.toThousandths(face.ascender());
    const int descent = face.toThousandths(face.descender());

    QPDFObjectHandle descendant = cidFont(fontDoc, data, descriptor(fontDoc, face, data));
    QPDFObjectHandle descendants = QPDFObjectHandle::newArray();
    descendants.appendItem(descendant);
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", pdfName("Font"));
    dict.replaceKey("/Subtype", pdfName("Type0"));
    // A CFF-based font is named after its CIDFont and CMap; a TrueType one as its CIDFont.
    dict.replaceKey("/BaseFont", pdfName(data.cff ? data.postscriptName + "-Identity-H" : data.postscriptName));
    dict.replaceKey("/Encoding", pdfName("Identity-H"));
    dict.replaceKey("/DescendantFonts", descendants);
    dict.replaceKey("/ToUnicode", QPDFObjectHandle::newStream(&fontDoc, toUnicodeCMap(data.charOfCode)));
    // The whole program is kept while the document is open; its saves write a subset.
    dict.replaceKey(kSubsetOnSaveKey, QPDFObjectHandle::newBool(true));
    noteFontMarkedForSubset();

    HostFont result = HostFont::composite(data.postscriptName, std::move(data.widths), kDefaultWidth,
                                          std::move(data.codeOfChar), data.fallbackCode, ascent, descent);
    result.setDictionary(fontDoc.makeIndirectObject(dict));
    return result;
}

}  // namespace qmhost
