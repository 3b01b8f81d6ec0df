// Helpers shared by the font tests: the host's font tables, error codes of a
// call, and an independent reader of the URW metric files (.afm).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CosTestSupport.h"
#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "core/AtomTable.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "qmhost/PDFEditReadTable.h"
#include "qmhost/PDFEditWriteTable.h"
#include "qmhost/PDSysFontTable.h"

namespace fonttest {

inline const PDFEditWriteTable& pdeWrite() { return *qmhost::pdfEditWriteTable(); }
inline const PDFEditReadTable& pdeRead() { return *qmhost::pdfEditReadTable(); }
inline const PDSysFontTable& sysFonts() { return *qmhost::pdSysFontTable(); }
using qmtest::hostErrorOf;
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
    for (int32_t got; (got = support.stmRead(buffer, 1, sizeof buffer, in)) > 0;) data.append(buffer, static_cast<size_t>(got));
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

// The 14 standard names.
inline const char* const kStandardFontNames[] = {
    "Courier",     "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique", "Helvetica",
    "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique", "Times-Roman", "Times-Bold",
    "Times-Italic", "Times-BoldItalic", "Symbol", "ZapfDingbats",
};

// The URW fonts that stand in for the 14 standard fonts.
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

inline std::string hex(const std::string& bytes) {
    static const char* const digits = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

struct FontLine {
    std::string name, type, encoding, embedded, subset;
};

// The rows of `pdffonts`: name, type (words up to the encoding), encoding, "emb", "sub".
inline std::vector<FontLine> pdffonts(const std::string& path) {
    const auto result = qmtest::runCommand("pdffonts " + qmtest::shellQuote(path));
    EXPECT_EQ(result.status, 0) << result.output;
    std::vector<FontLine> rows;
    std::istringstream lines(result.output);
    std::string line;
    bool table = false;  // past the heading's rule (poppler's own messages may come first)
    while (std::getline(lines, line)) {
        if (!table) {
            table = line.rfind("-----", 0) == 0;
            continue;
        }
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.size() < 7) continue;
        // name, type words..., encoding, emb, sub, uni, object, generation
        const size_t emb = w.size() - 5;
        std::string type;
        for (size_t i = 1; i + 1 < emb; ++i) type += (type.empty() ? "" : " ") + w[i];
        rows.push_back({w[0], type, w[emb - 1], w[emb], w[emb + 1]});
    }
    return rows;
}

// The row name "ABCDEF+name" (six capitals and a plus before the name) among
// rows keyed by name; "" when there is none.
inline std::string subsetTagged(const std::map<std::string, FontLine>& byName, const std::string& name) {
    for (const auto& [rowName, row] : byName) {
        if (rowName.size() != name.size() + 7 || rowName.compare(7, std::string::npos, name) != 0) continue;
        bool tagged = rowName[6] == '+';
        for (size_t i = 0; i < 6; ++i) tagged = tagged && rowName[i] >= 'A' && rowName[i] <= 'Z';
        if (tagged) return rowName;
    }
    return "";
}

// A document made in the test with one page whose resources name fonts copied
// in from the host's font document (Cos objCopy), as the text element does.
class FontPageDocument : public ::testing::Test {
protected:
    qmtest::FixtureFolder folder;
    qmtest::HostDoc doc = qmtest::HostDoc::create();

    // Copies the font's dictionary into the document under /Resources /Font /name.
    void addFont(CosObj fonts, const char* name, PDEFont font) {
        const CosObj copy = cos().objCopy(pdeRead().fontGetCosObj(font), doc.cos());
        EXPECT_TRUE(cos().objIsIndirect(copy));
        cos().dictPut(fonts, qmtest::nameAtom(name), copy);
    }

    // Adds a page of width x height points whose /Resources /Font is an empty
    // dictionary; answers the page's dictionary and sets fonts to that dictionary.
    CosObj addFontPage(double width, double height, CosObj* fonts) {
        const PDModelTable& pd = *qmhost::pdModelTable();
        const ASFixedRect mediaBox{0, fixed(height), fixed(width), 0};
        PDPage page = pd.docCreatePage(doc.pd(), -1, &mediaBox);
        const CosObj pageDict = pd.pageGetCosObj(page);
        pd.pageRelease(page);
        const CosObj resources = cos().newDict(doc.cos(), false, 1);
        *fonts = cos().newDict(doc.cos(), false, 1);
        cos().dictPut(resources, qmtest::nameAtom("Font"), *fonts);
        cos().dictPut(pageDict, qmtest::nameAtom("Resources"), resources);
        return pageDict;
    }

    CosObj contentStream(const std::string& content) {
        const AppSupportTable& support = *qmhost::appSupportTable();
        ASStm source = support.memStmOpen(content.data(), static_cast<int64_t>(content.size()));
        const CosObj stream = cos().newStream(doc.cos(), true, source, 0, 0, cos().newNull(), cos().newNull(), -1);
        support.stmClose(source);
        return stream;
    }
};

}  // namespace fonttest
