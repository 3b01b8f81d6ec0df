// System fonts that are not embedded: a simple TrueType (or Type 1) font with
// WinAnsiEncoding for a Latin face, a Type0 font over the script's character
// collection with its predefined Unicode CMap for a CJK face; never Identity-H
// without the program. Checked with pdffonts, pdftotext, pdftoppm and qpdf.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "FontTestSupport.h"
#include "common/Netpbm.h"
#include "core/Raise.h"
#include "pde/UnicodeCMapFile.h"
#include "qmhost/PDModelTable.h"

namespace {

using namespace fonttest;
using qmtest::HostPath;
using qmtest::nameAtom;

const PDModelTable& pd() { return *qmhost::pdModelTable(); }

struct NamedCase {
    const char* label;
    const char* systemFont;
    const char* pdfName;   // as pdffonts names it
    const char* type;      // as pdffonts names it
    const char* encoding;  // as pdffonts names it
    const char* text;      // UTF-8, all of it in the font's encoding
};

class NamedFont : public FontPageDocument, public ::testing::WithParamInterface<NamedCase> {
protected:
    // Saves a page showing text in the font at 28 points; answers the path.
    std::string savePage(PDEFont font, const std::string& text, const std::string& name) {
        CosObj fonts{};
        const CosObj pageDict = addFontPage(400, 120, &fonts);
        addFont(fonts, "F1", font);
        cos().dictPut(pageDict, nameAtom("Contents"),
                      contentStream("BT /F1 28 Tf 10 50 Td <" + hex(encode(font, text)) + "> Tj ET"));
        const std::string path = folder.file(name);
        pd().docSave(doc.pd(), HostPath(path));
        return path;
    }
};

TEST_P(NamedFont, OtherReadersFindTheCharactersWithoutTheProgram) {
    const NamedCase& row = GetParam();
    FontHolder font(pdeWrite().fontCreateFromSysFont(findSysFont(row.systemFont), kPDEFontCreateNotEmbedded));
    const std::string path = savePage(font.get(), row.text, "named.pdf");

    const auto check = qmtest::qpdfCheck(path);
    EXPECT_EQ(check.status, 0) << check.output;
    const auto rows = pdffonts(path);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, row.pdfName);
    EXPECT_EQ(rows[0].type, row.type);
    EXPECT_EQ(rows[0].encoding, row.encoding);
    EXPECT_EQ(rows[0].embedded, "no");

    const auto text = qmtest::runCommand("pdftotext -enc UTF-8 " + qmtest::shellQuote(path) + " -");
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.output.find(row.text), std::string::npos) << text.output;

    // poppler finds a font of its own for the text and draws it without complaint.
    EXPECT_GT(qmtest::drawPage(path, folder.file("named"), 72, true).darkPixels(), 100u);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, NamedFont,
    ::testing::Values(
        NamedCase{"LatinTrueType", "DejaVu Sans", "DejaVuSans", "TrueType", "WinAnsi",
                  "Gr\xC3\xBC\xC3\x9F" "e caf\xC3\xA9 \xE2\x82\xAC" "42"},
        NamedCase{"LatinOpenTypeCff", "Nimbus Sans", "NimbusSans-Regular", "Type 1", "WinAnsi", "Quillmark 2026"},
        NamedCase{"SimplifiedChinese", "WenQuanYi Micro Hei", "WenQuanYiMicroHei", "CID TrueType", "UniGB-UCS2-H",
                  "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB0\xB4\xE5\x8D\xB0 Bates 0042"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(NamedFontCodes, CjkCodesAreUcs2AndLatinCodesWinAnsi) {
    FontHolder cjk(pdeWrite().fontCreateFromSysFont(findSysFont("WenQuanYi Micro Hei"), kPDEFontCreateNotEmbedded));
    FontHolder latin(pdeWrite().fontCreateFromSysFont(findSysFont("DejaVu Sans"), kPDEFontCreateNotEmbedded));
    EXPECT_EQ(pdeWrite().fontGetBytesPerCode(cjk.get()), 2);
    EXPECT_EQ(pdeWrite().fontGetBytesPerCode(latin.get()), 1);
    // 中, A, and a character outside the BMP, which UCS-2 cannot give: "?".
    EXPECT_EQ(hex(encode(cjk.get(), "\xE4\xB8\xAD" "A\xF0\x9F\x98\x80")), "4E2D0041003F");
    // é and € in WinAnsi; Ω is outside it.
    EXPECT_EQ(hex(encode(latin.get(), "\xC3\xA9\xE2\x82\xAC\xCE\xA9")), "E9803F");
    // A full-width character measures one em, as the /W of its CID says.
    const ASFixedRect box = runBox(cjk.get(), "\xE4\xB8\xAD", 10.0);
    EXPECT_EQ(box.right - box.left, fixed(10.0));
}

TEST(UnicodeCMapFile, ReadsRangesSingleCodesAndTheCollection) {
    const std::string text =
        "/CIDSystemInfo 3 dict dup begin /Registry (Adobe) def /Ordering (GB1) def /Supplement 4 def end def\n"
        "2 begincodespacerange <0000> <D7FF> <E000> <FFFF> endcodespacerange\n"
        "2 begincidrange\n<0020> <007e> 1\n<4e00> <4e01> 4000\nendcidrange\n"
        "1 begincidchar\n<00a4> 167\nendcidchar\n";
    const qmhost::UnicodeCMap cmap = qmhost::parseUnicodeCMap("UniGB-UCS2-H", text);
    EXPECT_EQ(cmap.registry, "Adobe");
    EXPECT_EQ(cmap.ordering, "GB1");
    EXPECT_EQ(cmap.supplement, 4);
    const std::map<uint16_t, uint16_t> expected = {{0x20, 1}, {0x41, 34}, {0x7E, 95}, {0x4E00, 4000},
                                                   {0x4E01, 4001}, {0xA4, 167}};
    for (auto [code, cid] : expected) {
        ASSERT_EQ(cmap.cidOfCode.count(code), 1u) << code;
        EXPECT_EQ(cmap.cidOfCode.at(code), cid) << code;
    }
    EXPECT_EQ(cmap.cidOfCode.size(), 95u + 2u + 1u);
    EXPECT_THROW(qmhost::parseUnicodeCMap("Empty", "begincidrange endcidrange"), HostError);

    // The installed one agrees with the collection's own layout: ASCII from CID 1.
    const qmhost::UnicodeCMap installed = qmhost::readUnicodeCMap("Adobe-GB1", "UniGB-UCS2-H");
    EXPECT_EQ(installed.ordering, "GB1");
    EXPECT_EQ(installed.cidOfCode.at(u'A'), 34);
    EXPECT_GT(installed.cidOfCode.size(), 20000u);
    try {
        qmhost::readUnicodeCMap("Adobe-GB1", "NoSuch-UCS2-H");
        ADD_FAILURE() << "a missing CMap was read";
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrNotFound);
        EXPECT_NE(std::string(e.what()).find("poppler-data"), std::string::npos) << e.what();
    }
}

}  // namespace
