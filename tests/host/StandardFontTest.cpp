// The 14 standard fonts: made by name without a document, never embedded,
// measured with the URW metrics, encoded in WinAnsi.
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

TEST_P(StandardFont, MakesANeverEmbeddedType1DictionaryWithoutADocument) {
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
}

TEST_P(StandardFont, QuillmarkMeasuresWithTheUrwMetrics) {
    const std::string name = GetParam();
    const AfmFile afm = readAfm(name);
    FontHolder font(makeStandardFont(name));
    // The symbolic fonts show the same bytes through their built-in codes.
    const std::string text = "Quillmark";
    int expectedWidth = 0;
    for (char c : text)
        expectedWidth += isSymbolic(name) ? afm.byCode.at(c).width : afm.byName.at(std::string(1, c)).width;
    const int ascent = isSymbolic(name) ? afm.bboxTop : afm.byName.at("d").ury;
    const int descent = isSymbolic(name) ? afm.bboxBottom : afm.byName.at("p").lly;

    const ASFixedRect box = runBox(font.get(), text, 10.0);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, fixed(expectedWidth / 100.0));
    EXPECT_EQ(box.bottom, fixed(descent / 100.0));
    EXPECT_EQ(box.top, fixed(ascent / 100.0));
    EXPECT_LT(box.bottom, 0);
}

INSTANTIATE_TEST_SUITE_P(All14, StandardFont, ::testing::ValuesIn(kStandardFontNames), testName);

TEST(StandardFontMetrics, HelveticaHasTheStandardWidths) {
    FontHolder font(makeStandardFont("Helvetica"));
    EXPECT_EQ(runBox(font.get(), "H", 1000.0).right, fixed(722));
    EXPECT_EQ(runBox(font.get(), "e", 1000.0).right, fixed(556));
    // Q u i l l m a r k: 778 + 556 + 222 + 222 + 222 + 833 + 556 + 333 + 500 = 4222.
    EXPECT_EQ(runBox(font.get(), "Quillmark", 10.0).right, fixed(42.22));
}

TEST(StandardFontMetrics, WinAnsiCodesAboveAsciiMeasureTheirGlyphs) {
    const AfmFile afm = readAfm("Helvetica");
    FontHolder font(makeStandardFont("Helvetica"));
    EXPECT_EQ(runBox(font.get(), "\xC3\xA9", 1000.0).right, fixed(afm.byName.at("eacute").width));
    EXPECT_EQ(runBox(font.get(), "\xE2\x82\xAC", 1000.0).right, fixed(afm.byName.at("Euro").width));
    EXPECT_EQ(runBox(font.get(), "\xC5\xBD", 1000.0).right, fixed(afm.byName.at("Zcaron").width));
    // A character outside WinAnsi measures as the "?" it becomes.
    EXPECT_EQ(runBox(font.get(), "\xE4\xB8\xAD", 1000.0).right, fixed(afm.byName.at("question").width));
}

TEST(StandardFontMetrics, RunBoxFollowsTheTextMatrixTranslation) {
    const AfmFile afm = readAfm("Helvetica");
    FontHolder font(makeStandardFont("Helvetica"));
    const ASFixedRect box = runBox(font.get(), "Quillmark", 10.0, 100.0, 200.0);
    EXPECT_EQ(box.left, fixed(100.0));
    EXPECT_EQ(box.right, fixed(142.22));
    EXPECT_EQ(box.bottom, fixed(200.0 + afm.byName.at("p").lly / 100.0));
    EXPECT_EQ(box.top, fixed(200.0 + afm.byName.at("d").ury / 100.0));
}

// --- names that are not standard

class NotAStandardFont : public ::testing::TestWithParam<const char*> {};

TEST_P(NotAStandardFont, RaisesNotFound) {
    EXPECT_EQ(hostErrorOf([&] { makeStandardFont(GetParam()); }), kHostErrNotFound);
}

INSTANTIATE_TEST_SUITE_P(Names, NotAStandardFont,
                         ::testing::Values("Arial", "helvetica", "Times", "Helvetica-Narrow", "DejaVu Sans",
                                           "NimbusSans-Regular", "Symbol "));

// --- requests the standard fonts cannot honour

PDEFontAttrs attrsOf(const char* name, const char* type, const char* encoding) {
    PDEFontAttrs attrs{};
    attrs.name = nameAtom(name);
    attrs.type = type ? nameAtom(type) : kASAtomNull;
    attrs.encoding = encoding ? nameAtom(encoding) : kASAtomNull;
    return attrs;
}

TEST(StandardFontRequest, SymbolInWinAnsiIsRefused) {
    const PDEFontAttrs attrs = attrsOf("Symbol", "Type1", "WinAnsiEncoding");
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreate(&attrs, 0, 255, nullptr, nullptr, attrs.encoding, nullptr); }),
              kHostErrUnsupported);
}

TEST(StandardFontRequest, TextFontWithoutWinAnsiIsRefused) {
    const PDEFontAttrs attrs = attrsOf("Helvetica", "Type1", nullptr);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreate(&attrs, 0, 255, nullptr, nullptr, kASAtomNull, nullptr); }),
              kHostErrUnsupported);
    EXPECT_EQ(hostErrorOf([&] {
                  pdeWrite().fontCreate(&attrs, 0, 255, nullptr, nullptr, nameAtom("MacRomanEncoding"), nullptr);
              }),
              kHostErrUnsupported);
}

TEST(StandardFontRequest, OtherTypeWidthsOrCodeRangeAreRefused) {
    const PDEFontAttrs trueType = attrsOf("Helvetica", "TrueType", "WinAnsiEncoding");
    const ASAtom winAnsi = nameAtom("WinAnsiEncoding");
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreate(&trueType, 0, 255, nullptr, nullptr, winAnsi, nullptr); }),
              kHostErrUnsupported);
    const PDEFontAttrs attrs = attrsOf("Helvetica", "Type1", "WinAnsiEncoding");
    const int16_t widths[256] = {};
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreate(&attrs, 0, 255, widths, nullptr, winAnsi, nullptr); }),
              kHostErrUnsupported);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreate(&attrs, 0, 256, nullptr, nullptr, winAnsi, nullptr); }),
              kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreate(&attrs, 10, 9, nullptr, nullptr, winAnsi, nullptr); }),
              kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreate(nullptr, 0, 255, nullptr, nullptr, winAnsi, nullptr); }),
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
}

TEST(StandardFontHandles, TextObjectIsNotAFont) {
    PDEText text = pdeWrite().textCreate();
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontGetBytesPerCode(reinterpret_cast<PDEFont>(text)); }),
              kHostErrBadHandle);
    pdeWrite().textRelease(text);
}

}  // namespace
