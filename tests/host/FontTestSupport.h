// Helpers shared by the font tests: the host's font tables, error codes of a
// call, and an independent reader of the URW metric files (.afm).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "CosTestSupport.h"
#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "core/AtomTable.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDFEditReadTable.h"
#include "qmhost/PDFEditWriteTable.h"
#include "qmhost/PDSysFontTable.h"

namespace fonttest {

inline const PDFEditWriteTable& pdeWrite() { return *qmhost::pdfEditWriteTable(); }
inline const PDFEditReadTable& pdeRead() { return *qmhost::pdfEditReadTable(); }
inline const PDSysFontTable& sysFonts() { return *qmhost::pdSysFontTable(); }
using qmtest::codeOf;
using qmtest::cos;

// A standard font as the text element makes it: WinAnsi for the text fonts,
// the built-in encoding for Symbol and ZapfDingbats.
inline PDEFont makeStandardFont(const std::string& name) {
    const bool symbolic = name == "Symbol" || name == "ZapfDingbats";
    PDEFontAttrs attrs{};
    attrs.name = qmtest::nameAtom(name.c_str());
    attrs.type = qmtest::nameAtom("Type1");
    attrs.encoding = symbolic ? kASAtomNull : qmtest::nameAtom("WinAnsiEncoding");
    return pdeWrite().fontCreate(&attrs, 0, 255, nullptr, nullptr, attrs.encoding, nullptr);
}

// A font handle released when this goes.
class FontHolder {
public:
    explicit FontHolder(PDEFont font) : mFont(font) {}
    ~FontHolder() { pdeWrite().fontRelease(mFont); }
    FontHolder(const FontHolder&) = delete;
    FontHolder& operator=(const FontHolder&) = delete;
    PDEFont get() const { return mFont; }

private:
    PDEFont mFont;
};

inline std::string encode(PDEFont font, const std::string& utf8) {
    const int32_t length = pdeWrite().fontEncodeText(font, utf8.data(), static_cast<int32_t>(utf8.size()), nullptr, 0);
    std::string codes(static_cast<size_t>(length), '\0');
    pdeWrite().fontEncodeText(font, utf8.data(), static_cast<int32_t>(utf8.size()), codes.data(), length);
    return codes;
}

inline ASFixed fixed(double value) { return static_cast<ASFixed>(value * 65536.0 + (value < 0 ? -0.5 : 0.5)); }
inline double points(ASFixed value) { return value / 65536.0; }

// The box of one run of utf8 in font, with the matrix (size 0 0 size h v).
inline ASFixedRect runBox(PDEFont font, const std::string& utf8, double size, double h = 0, double v = 0) {
    const std::string codes = encode(font, utf8);
    PDEText text = pdeWrite().textCreate();
    const ASFixedMatrix m{fixed(size), 0, 0, fixed(size), fixed(h), fixed(v)};
    pdeWrite().textAddRun(text, 0, codes.data(), static_cast<int32_t>(codes.size()), font, &m);
    ASFixedRect box{};
    pdeRead().textGetRunBBox(text, 0, &box);
    pdeWrite().textRelease(text);
    return box;
}

// The installed font of that unique name, or null.
inline PDSysFont findSysFont(const std::string& name) {
    PDSysFontAttrs attrs{};
    attrs.name = qmtest::nameAtom(name.c_str());
    return sysFonts().findFont(&attrs, sizeof attrs, kPDSysFontMatchNameExactly);
}

inline std::string atomText(ASAtom atom) {
    const char* text = qmhost::atoms().text(atom);
    return text ? text : "";
}

// The name of a Cos name object, "" for anything else.
inline std::string nameValue(CosObj obj) {
    return cos().objGetType(obj) == CosName ? atomText(cos().nameValue(obj)) : "";
}

inline CosObj entry(CosObj dict, const char* key) { return cos().dictGet(dict, qmtest::nameAtom(key)); }

// The decoded data of a stream.
inline std::string streamData(CosObj stream) {
    const AppSupportTable& support = *qmhost::appSupportTable();
    ASStm in = cos().streamOpen(stream, kCosStreamDecoded);
    std::string data;
    char buffer[65536];
    for (int32_t got; (got = support.stmRead(buffer, 1, sizeof buffer, in)) > 0;) data.append(buffer, got);
    support.stmClose(in);
    return data;
}

// One glyph of a metrics file.
struct AfmGlyph {
    int code = -1;
    int width = 0;
    int llx = 0, lly = 0, urx = 0, ury = 0;
};

// The glyphs of a URW metrics file, by name and by built-in code.
struct AfmFile {
    int bboxBottom = 0, bboxTop = 0;  // FontBBox
    std::map<std::string, AfmGlyph> byName;
    std::map<int, AfmGlyph> byCode;
};

// The 14 standard names and the URW fonts that stand in for them.
inline std::string urwFileStem(const std::string& standardName) {
    static const std::map<std::string, std::string> kStems = {
        {"Courier", "NimbusMonoPS-Regular"},       {"Courier-Bold", "NimbusMonoPS-Bold"},
        {"Courier-Oblique", "NimbusMonoPS-Italic"}, {"Courier-BoldOblique", "NimbusMonoPS-BoldItalic"},
        {"Helvetica", "NimbusSans-Regular"},        {"Helvetica-Bold", "NimbusSans-Bold"},
        {"Helvetica-Oblique", "NimbusSans-Italic"}, {"Helvetica-BoldOblique", "NimbusSans-BoldItalic"},
        {"Times-Roman", "NimbusRoman-Regular"},     {"Times-Bold", "NimbusRoman-Bold"},
        {"Times-Italic", "NimbusRoman-Italic"},     {"Times-BoldItalic", "NimbusRoman-BoldItalic"},
        {"Symbol", "StandardSymbolsPS"},            {"ZapfDingbats", "D050000L"},
    };
    return kStems.at(standardName);
}

// Reads "C code ; WX width ; N name ; B llx lly urx ury ;" lines.
inline AfmFile readAfm(const std::string& standardName) {
    const std::string path = "/usr/share/fonts/type1/urw-base35/" + urwFileStem(standardName) + ".afm";
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    AfmFile afm;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("FontBBox ", 0) == 0) {
            std::istringstream words(line.substr(9));
            int llx = 0, urx = 0;
            words >> llx >> afm.bboxBottom >> urx >> afm.bboxTop;
        }
        if (line.rfind("C ", 0) != 0) continue;
        AfmGlyph glyph;
        std::string name;
        std::istringstream fields(line);
        std::string part;
        while (std::getline(fields, part, ';')) {
            std::istringstream words(part);
            std::string key;
            words >> key;
            if (key == "C") words >> glyph.code;
            if (key == "WX") words >> glyph.width;
            if (key == "N") words >> name;
            if (key == "B") words >> glyph.llx >> glyph.lly >> glyph.urx >> glyph.ury;
        }
        afm.byName[name] = glyph;
        if (glyph.code >= 0) afm.byCode[glyph.code] = glyph;
    }
    return afm;
}

}  // namespace fonttest
