#include "pde/FontDescriptor.h"

#include <charconv>
#include <cmath>

namespace qmhost {
namespace {

// A PDF real written the same way under every locale.
QPDFObjectHandle realNumber(double value) {
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    std::string s = error == std::errc() ? std::string(text, end) : "0";
    while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) s.pop_back();
    if (s == "-0" || s.empty()) s = "0";
    return QPDFObjectHandle::newReal(s);
}

QPDFObjectHandle integer(long long value) { return QPDFObjectHandle::newInteger(value); }

int stemV(unsigned weightClass, bool bold) {
    // A stem width guessed from the weight, as a font without hints gives none.
    if (weightClass == 0) return bold ? 140 : 80;
    const double ratio = weightClass / 65.0;
    return static_cast<int>(std::lround(50 + ratio * ratio));
}

}  // namespace

QPDFObjectHandle pdfName(const std::string& text) { return QPDFObjectHandle::newName("/" + text); }

std::string postscriptNameOf(const FreeTypeFace& face, const std::string& fontName) {
    std::string result = face.postscriptName();
    if (result.empty())
        for (char c : fontName)
            if (c != ' ') result.push_back(c);
    return result;
}

QPDFObjectHandle fontDescriptor(FreeTypeFace& face, const std::string& postscriptName, bool symbolic) {
    const bool italic = face.isItalic();
    const bool bold = face.isBold();
    const int ascent = face.toThousandths(face.ascender());
    int flags = symbolic ? 4 : 32;
    if (face.isFixedWidth()) flags |= 1;
    if (italic) flags |= 64;
    long cap = face.capHeight();
    GlyphBox box;
    if (cap <= 0 && face.selectCharmap(FT_ENCODING_UNICODE) && face.glyphOfCode('H') &&
        face.glyphBox(face.glyphOfCode('H'), &box))
        cap = box.yMax;
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", pdfName("FontDescriptor"));
    dict.replaceKey("/FontName", pdfName(postscriptName));
    dict.replaceKey("/Flags", integer(flags));
    QPDFObjectHandle bbox = QPDFObjectHandle::newArray();
    const GlyphBox faceBox = face.bbox();
    for (long v : {faceBox.xMin, faceBox.yMin, faceBox.xMax, faceBox.yMax})
        bbox.appendItem(integer(face.toThousandths(v)));
    dict.replaceKey("/FontBBox", bbox);
    dict.replaceKey("/ItalicAngle", realNumber(face.italicAngle()));
    dict.replaceKey("/Ascent", integer(ascent));
    dict.replaceKey("/Descent", integer(face.toThousandths(face.descender())));
    dict.replaceKey("/CapHeight", integer(cap > 0 ? face.toThousandths(cap) : ascent));
    dict.replaceKey("/StemV", integer(stemV(face.weightClass(), bold)));
    return dict;
}

}  // namespace qmhost
