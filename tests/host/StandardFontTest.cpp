// The 14 standard fonts: made by name without a document, never embedded,
// measured with the URW metrics, encoded in WinAnsi (the symbolic ones in their own codes).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "core/AtomTable.h"
#include "cos/Document.h"

namespace {

using namespace fonttest;
using qmtest::nameAtom;

bool isSymbolic(const std::string& name) { return name == "Symbol" || name == "ZapfDingbats"; }

std::string testName(const ::testing::TestParamInfo<const char*>& info) {
    std::string name;
    for (const char* c = info.param; *c; ++c)
        if (*c != '-') name.push_back(*c);
    return name;
}

std::string nameOf(CosObj dict, const char* key) {
    const CosObj value = cos().dictGet(dict, nameAtom(key));
    if (cos().objGetType(value) != CosName) return "";
    return qmhost::atoms().text(cos().nameValue(value));
}

class StandardFont : public ::testing::TestWithParam<const char*> {};

// Made without a document, never embedded, measured with the URW metrics.
TEST_P(StandardFont, MakesANeverEmbeddedType1DictionaryMeasuredWithTheUrwMetrics) {
    const std::string name = GetParam();
    const size_t documentsBefore = qmhost::openDocumentCount();
    FontHolder font(makeStandardFont(name));
    ASSERT_NE(font.get(), nullptr);
    // Only the host's own font document may have appeared.
    EXPECT_LE(qmhost::openDocumentCount(), documentsBefore + 1);
    EXPECT_EQ(pdeWrite().fontGetBytesPerCode(font.get()), 1);

    const CosObj dict = pdeRead().fontGetCosObj(font.get());
    ASSERT_EQ(cos().objGetType(dict), CosDict);
    EXPECT_TRUE(cos().objIsIndirect(dict));
    EXPECT_EQ(nameOf(dict, "Type"), "Font");
    EXPECT_EQ(nameOf(dict, "Subtype"), "Type1");
    EXPECT_EQ(nameOf(dict, "BaseFont"), name);
    EXPECT_EQ(nameOf(dict, "Encoding"), isSymbolic(name) ? "" : "WinAnsiEncoding");
    EXPECT_FALSE(cos().dictKnown(dict, nameAtom("FontDescriptor")));

    const AfmFile afm = readAfm(name);
    // Text in characters of the font, measured by the glyphs of their codes.
    struct Sample {
        std::string utf8;
        std::vector<std::string> glyphs;
    };
    const Sample sample = name == "Symbol"         ? Sample{"\u03A3\u03B1\u03B2", {"Sigma", "alpha", "beta"}}
                          : name == "ZapfDingbats" ? Sample{"\u2714\u2708", {"a20", "a118"}}
                                                   : Sample{"Quillmark", {"Q", "u", "i", "l", "l", "m", "a", "r", "k"}};
    const std::string text = sample.utf8;
    int expectedWidth = 0;
    for (const std::string& glyph : sample.glyphs) expectedWidth += afm.byName.at(glyph).width;
    const int ascent = isSymbolic(name) ? afm.bboxTop : afm.byName.at("d").ury;
    const int descent = isSymbolic(name) ? afm.bboxBottom : afm.byName.at("p").lly;

    // At the origin and moved by the text matrix.
    for (const double x : {0.0, 100.0}) {
        const double y = 2 * x;
        const ASFixedRect box = runBox(font.get(), text, 10.0, x, y);
        EXPECT_EQ(box.left, fixed(x));
        EXPECT_EQ(box.right, fixed(x + expectedWidth / 100.0));
        EXPECT_EQ(box.bottom, fixed(y + descent / 100.0));
        EXPECT_EQ(box.top, fixed(y + ascent / 100.0));
        EXPECT_LT(box.bottom, fixed(y));
    }
}

INSTANTIATE_TEST_SUITE_P(All14, StandardFont, ::testing::ValuesIn(kStandardFontNames), testName);

// Helvetica's standard widths; WinAnsi codes above ASCII measure their glyphs.
TEST(StandardFontMetrics, HelveticaMeasuresEachCharacterByItsGlyph) {
    const AfmFile afm = readAfm("Helvetica");
    FontHolder font(makeStandardFont("Helvetica"));
    const struct {
        const char* text;  // UTF-8
        int width;         // in thousandths
    } rows[] = {
        {"H", 722},
        {"e", 556},
        {"Quillmark", 778 + 556 + 222 + 222 + 222 + 833 + 556 + 333 + 500},
        {"\xC3\xA9", afm.byName.at("eacute").width},
        {"\xE2\x82\xAC", afm.byName.at("Euro").width},
        {"\xC5\xBD", afm.byName.at("Zcaron").width},
        {"\xE4\xB8\xAD", afm.byName.at("question").width},  // outside WinAnsi: the "?" it becomes
    };
    for (const auto& row : rows) EXPECT_EQ(runBox(font.get(), row.text, 1000.0).right, fixed(row.width)) << row.text;
}

// --- names that are not standard

TEST(StandardFontNames, OthersRaiseNotFound) {
    for (const char* name : {"Arial", "helvetica", "Times", "Helvetica-Narrow", "DejaVu Sans", "NimbusSans-Regular",
                             "Symbol "})
        EXPECT_EQ(hostErrorOf([&] { makeStandardFont(name); }), kHostErrNotFound) << name;
}

// --- requests the standard fonts cannot honour

PDEFontAttrs attrsOf(const char* name, const char* type, const char* encoding) {
    PDEFontAttrs attrs{};
    attrs.name = nameAtom(name);
    attrs.type = type ? nameAtom(type) : kASAtomNull;
    attrs.encoding = encoding ? nameAtom(encoding) : kASAtomNull;
    return attrs;
}

TEST(StandardFontRequest, WhatTheStandardFontsCannotHonourIsRefused) {
    const int16_t widths[256] = {};
    const struct {
        const char *label, *name, *type, *encoding;
        int32_t first, last;
        const int16_t* widths;
        int32_t error;
    } rows[] = {
        {"Symbol in WinAnsi", "Symbol", "Type1", "WinAnsiEncoding", 0, 255, nullptr, kHostErrUnsupported},
        {"text font without encoding", "Helvetica", "Type1", nullptr, 0, 255, nullptr, kHostErrUnsupported},
        {"text font in MacRoman", "Helvetica", "Type1", "MacRomanEncoding", 0, 255, nullptr, kHostErrUnsupported},
        {"TrueType", "Helvetica", "TrueType", "WinAnsiEncoding", 0, 255, nullptr, kHostErrUnsupported},
        {"widths given", "Helvetica", "Type1", "WinAnsiEncoding", 0, 255, widths, kHostErrUnsupported},
        {"code past 255", "Helvetica", "Type1", "WinAnsiEncoding", 0, 256, nullptr, kHostErrBadParameter},
        {"first after last", "Helvetica", "Type1", "WinAnsiEncoding", 10, 9, nullptr, kHostErrBadParameter},
    };
    for (const auto& row : rows) {
        const PDEFontAttrs attrs = attrsOf(row.name, row.type, row.encoding);
        EXPECT_EQ(hostErrorOf([&] {
                      pdeWrite().fontCreate(&attrs, row.first, row.last, row.widths, nullptr, attrs.encoding, nullptr);
                  }),
                  row.error)
            << row.label;
    }
    EXPECT_EQ(hostErrorOf([&] {
                  pdeWrite().fontCreate(nullptr, 0, 255, nullptr, nullptr, nameAtom("WinAnsiEncoding"), nullptr);
              }),
              kHostErrBadParameter);
}

// --- handles and sharing

TEST(StandardFontHandles, SameRequestSharesOneDictionary) {
    FontHolder first(makeStandardFont("Helvetica"));
    FontHolder second(makeStandardFont("Helvetica"));
    FontHolder times(makeStandardFont("Times-Roman"));
    EXPECT_NE(first.get(), second.get());
    EXPECT_TRUE(cos().objEqual(pdeRead().fontGetCosObj(first.get()), pdeRead().fontGetCosObj(second.get())));
    EXPECT_FALSE(cos().objEqual(pdeRead().fontGetCosObj(first.get()), pdeRead().fontGetCosObj(times.get())));
}

TEST(StandardFontHandles, ReleasedFontIsABadHandle) {
    PDEFont font = makeStandardFont("Courier");
    pdeWrite().fontRelease(font);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontGetBytesPerCode(font); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { pdeRead().fontGetCosObj(font); }), kHostErrBadHandle);
    pdeWrite().fontRelease(font);  // a second release is ignored
    pdeWrite().fontRelease(nullptr);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontGetBytesPerCode(nullptr); }), kHostErrBadParameter);
    // Nor is a text object a font.
    PDEText text = pdeWrite().textCreate();
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontGetBytesPerCode(reinterpret_cast<PDEFont>(text)); }),
              kHostErrBadHandle);
    pdeWrite().textRelease(text);
}

}  // namespace
