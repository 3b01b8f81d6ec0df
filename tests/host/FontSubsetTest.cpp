// Embedded system fonts are written as subsets when a document is saved:
// checked with pdffonts (subset names, embedded), pdftotext (the text still
// comes out), pdftoppm (the page draws as with the whole font) and qpdf.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "FontTestSupport.h"
#include "common/Netpbm.h"
#include "cos/Document.h"
#include "pdmodel/SaveWarnings.h"
#include "pde/FontCodeScan.h"
#include "pde/FontSubsets.h"
#include "qmhost/PDModelTable.h"
#include "sysfont/FontSubsetter.h"
#include "sysfont/FreeTypeFace.h"
#include "view/Alerts.h"
#include "view/DocumentSave.h"

namespace {

using namespace fonttest;
using qmtest::HostPath;
using qmtest::nameAtom;

const PDModelTable& pd() { return *qmhost::pdModelTable(); }

std::string pdftotext(const std::string& path) {
    const auto result = qmtest::runCommand("pdftotext -enc UTF-8 " + qmtest::shellQuote(path) + " -");
    EXPECT_EQ(result.status, 0) << result.output;
    return result.output;
}

std::map<std::string, FontLine> fontsByName(const std::string& path) {
    std::map<std::string, FontLine> byName;
    for (const auto& row : pdffonts(path)) byName[row.name] = row;
    return byName;
}

struct SubsetCase {
    const char* label;
    const char* systemFont;
    const char* postscriptName;  // of the Type0 font, as pdffonts names it
    const char* type;            // as pdffonts names it
    const char* text;  // UTF-8
};

class FontSubset : public FontPageDocument, public ::testing::WithParamInterface<SubsetCase> {
protected:
    CosObj pageDict{};
    CosObj fonts{};

    void makePage() {
        pageDict = addFontPage(400, 200, &fonts);
    }

    void showText(PDEFont font, const std::string& utf8, double y) {
        mContent += "BT /F1 28 Tf 10 " + std::to_string(static_cast<int>(y)) + " Td <" + hex(encode(font, utf8)) +
                    "> Tj ET\n";
        cos().dictPut(pageDict, nameAtom("Contents"), contentStream(mContent));
    }

    QPDF& qpdf() { return qmhost::documentOf(doc.pd())->qpdf(); }

    // The open document as it is, whole fonts and all, written without a save.
    void writeWhole(const std::string& path) {
        QPDFWriter writer(qpdf(), path.c_str());
        writer.setStaticID(true);
        writer.write();
    }

    void save(const std::string& path) { pd().docSave(doc.pd(), HostPath(path)); }

private:
    std::string mContent;
};

// Each save subsets the glyphs shown at that time; the open document keeps its
// whole font, the subset is made for the file only.
TEST_P(FontSubset, EachSaveWritesATaggedSubsetThatShowsAndDrawsTheText) {
    const SubsetCase& row = GetParam();
    FontHolder font(pdeWrite().fontCreateFromSysFont(findSysFont(row.systemFont), kPDEFontCreateEmbedded));
    makePage();
    addFont(fonts, "F1", font.get());
    showText(font.get(), row.text, 100);
    const std::string subsetPath = folder.file("subset.pdf"), wholePath = folder.file("whole.pdf");
    save(subsetPath);
    save(folder.file("again.pdf"));
    writeWhole(wholePath);

    const auto check = qmtest::qpdfCheck(subsetPath);
    EXPECT_EQ(check.status, 0) << check.output;
    auto subsetFonts = fontsByName(subsetPath);
    ASSERT_EQ(subsetFonts.size(), 1u);
    const std::string tagged = subsetTagged(subsetFonts, row.postscriptName);
    ASSERT_FALSE(tagged.empty()) << subsetFonts.begin()->first;
    EXPECT_EQ(subsetFonts[tagged].type, row.type);
    EXPECT_EQ(subsetFonts[tagged].embedded, "yes");
    EXPECT_EQ(subsetFonts[tagged].subset, "yes");
    EXPECT_EQ(subsetTagged(fontsByName(folder.file("again.pdf")), row.postscriptName), tagged);
    auto wholeFonts = fontsByName(wholePath);
    ASSERT_EQ(wholeFonts.count(row.postscriptName), 1u);
    EXPECT_EQ(wholeFonts[row.postscriptName].subset, "no");

    EXPECT_NE(pdftotext(subsetPath).find(row.text), std::string::npos) << pdftotext(subsetPath);
    const qmtest::Netpbm drawn = qmtest::drawPage(subsetPath, folder.file("subset"), 72, true);
    EXPECT_EQ(drawn.bytes, qmtest::drawPage(wholePath, folder.file("whole"), 72, true).bytes);
    EXPECT_GT(drawn.darkPixels(), 50u);
    EXPECT_LT(qmtest::readBytes(subsetPath).size() * 3, qmtest::readBytes(wholePath).size());

    // More text shown: the next save takes its glyphs in too.
    showText(font.get(), "Quillmark 2026", 40);
    const std::string secondPath = folder.file("second.pdf");
    save(secondPath);
    writeWhole(wholePath);
    EXPECT_NE(subsetTagged(fontsByName(secondPath), row.postscriptName), tagged);
    const std::string text = pdftotext(secondPath);
    EXPECT_NE(text.find(row.text), std::string::npos) << text;
    EXPECT_NE(text.find("Quillmark 2026"), std::string::npos) << text;
    EXPECT_EQ(qmtest::drawPage(secondPath, folder.file("second"), 72, true).bytes,
              qmtest::drawPage(wholePath, folder.file("whole"), 72, true).bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, FontSubset,
    ::testing::Values(
        SubsetCase{"CjkTrueTypeFromACollection", "WenQuanYi Micro Hei", "WenQuanYiMicroHei", "CID TrueType",
                   "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB0\xB4\xE5\x8D\xB0 Bates 0042"},
        SubsetCase{"LatinTrueType", "DejaVu Sans", "DejaVuSans", "CID TrueType", "Gr\xC3\xBC\xC3\x9F" "e fi 42"},
        SubsetCase{"OpenTypeWithCffOutlines", "Nimbus Sans", "NimbusSans-Regular-Identity-H", "CID Type 0C (OT)",
                   "Quillmark caf\xC3\xA9"}),
    [](const auto& row) { return std::string(row.param.label); });

// A font whose program cannot be subset is written whole, with a warning that
// the save shows; fonts the host did not mark are never touched.
using FontSubsetRefused = FontPageDocument;

TEST_F(FontSubsetRefused, FontThatCannotBeSubsetIsWrittenWholeWithAWarning) {
    FontHolder cjk(pdeWrite().fontCreateFromSysFont(findSysFont("WenQuanYi Micro Hei"), kPDEFontCreateEmbedded));
    FontHolder dejavu(pdeWrite().fontCreateFromSysFont(findSysFont("DejaVu Sans"), kPDEFontCreateEmbedded));
    CosObj fonts{};
    const CosObj pageDict = addFontPage(400, 200, &fonts);
    addFont(fonts, "F1", cjk.get());
    addFont(fonts, "F2", dejavu.get());
    cos().dictPut(pageDict, nameAtom("Contents"),
                  contentStream("BT /F1 20 Tf 10 100 Td <" + hex(encode(cjk.get(), "\xE4\xB8\xAD")) +
                                "> Tj /F2 20 Tf <" + hex(encode(dejavu.get(), "abc")) + "> Tj ET"));

    // Spoil the copied CJK program; unmark the DejaVu font as if it came with the input.
    QPDF& qpdf = qmhost::documentOf(doc.pd())->qpdf();
    QPDFObjectHandle pageFonts = QPDFPageDocumentHelper(qpdf).getAllPages().at(0).getAttribute(
        "/Resources", false).getKey("/Font");
    const std::string spoiled = "this is no font program";
    pageFonts.getKey("/F1").getKey("/DescendantFonts").getArrayItem(0).getKey("/FontDescriptor")
        .getKey("/FontFile2").replaceStreamData(spoiled, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    pageFonts.getKey("/F2").removeKey(qmhost::kSubsetOnSaveKey);

    qmhost::alerts().setMode(qmhost::AlertMode::Record);
    qmhost::alerts().clearRecorded();
    const std::string path = folder.file("whole.pdf");
    qmhost::saveDocumentAs(doc.pd(), path);
    const std::vector<std::string> shown = qmhost::alerts().recorded();
    qmhost::alerts().clearRecorded();
    qmhost::alerts().setMode(qmhost::AlertMode::Print);

    ASSERT_EQ(qmhost::lastSaveWarnings().size(), 1u);
    EXPECT_NE(qmhost::lastSaveWarnings()[0].find("WenQuanYiMicroHei is embedded whole"), std::string::npos)
        << qmhost::lastSaveWarnings()[0];
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "warning: " + qmhost::lastSaveWarnings()[0]);

    auto byName = fontsByName(path);
    ASSERT_EQ(byName.size(), 2u);
    EXPECT_EQ(byName["WenQuanYiMicroHei"].embedded, "yes");
    EXPECT_EQ(byName["DejaVuSans"].subset, "no");
    // The spoiled program is there as it was, and the host's mark is not.
    QPDF saved;
    saved.processFile(path.c_str());
    QPDFObjectHandle savedFonts =
        QPDFPageDocumentHelper(saved).getAllPages().at(0).getAttribute("/Resources", false).getKey("/Font");
    QPDFObjectHandle program =
        savedFonts.getKey("/F1").getKey("/DescendantFonts").getArrayItem(0).getKey("/FontDescriptor").getKey(
            "/FontFile2");
    EXPECT_EQ(qmhost::decodedStreamData(program, "the saved program"), spoiled);
    EXPECT_FALSE(savedFonts.getKey("/F1").hasKey(qmhost::kSubsetOnSaveKey));
}

TEST(FontSubsetter, KeepsTheAdvancesOfTheGlyphsAskedForUnderTheirNewIds) {
    const std::string path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    qmhost::FreeTypeFace whole(path, 0);
    const std::set<unsigned> glyphs = {whole.glyphOfCode('Q'), whole.glyphOfCode('m'), whole.glyphOfCode(0xE9)};
    for (bool retain : {false, true}) {
        std::string why;
        auto subset = qmhost::subsetFontProgram(qmtest::readBytes(path), glyphs, retain, &why);
        ASSERT_TRUE(subset) << why;
        qmhost::FreeTypeFace cut(std::make_shared<const std::string>(subset->program), "the subset");
        EXPECT_LT(cut.glyphCount(), retain ? whole.glyphCount() : 10u) << "retain " << retain;
        for (unsigned glyph : glyphs) {
            ASSERT_EQ(subset->newGlyphOf.count(glyph), 1u);
            const unsigned now = subset->newGlyphOf.at(glyph);
            EXPECT_EQ(now == glyph, retain || glyph == 0);
            EXPECT_EQ(cut.advance(now), whole.advance(glyph)) << "glyph " << glyph << " retain " << retain;
            qmhost::GlyphBox before, after;
            ASSERT_TRUE(whole.glyphBox(glyph, &before));
            ASSERT_TRUE(cut.glyphBox(now, &after));
            EXPECT_EQ(after.yMax, before.yMax);
        }
    }
}

TEST(FontSubsetter, RefusesWhatIsNoFontProgram) {
    for (const std::string& bytes : {std::string(), std::string("no font at all, only words"),
                                     std::string("\0\1\0\0\0\x10\0\0\0\0\0\0", 12) + std::string(64, '\xFF')}) {
        std::string why;
        EXPECT_FALSE(qmhost::subsetFontProgram(bytes, {1, 2}, false, &why));
        EXPECT_FALSE(why.empty());
    }
}

// A page showing content with resources, added to qpdf.
void addPage(QPDF& qpdf, const std::string& content, QPDFObjectHandle resources) {
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 10 10] >>");
    if (resources.isInitialized()) page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&qpdf, content));
    QPDFPageDocumentHelper(qpdf).addPage(QPDFPageObjectHelper(qpdf.makeIndirectObject(page)), false);
}

QPDFObjectHandle fontResources(QPDFObjectHandle fonts) {
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Font", fonts);
    return resources;
}

// The codes shown in the fonts marked /Wanted: one font is expected.
std::set<uint16_t> wantedCodes(QPDF& qpdf) {
    const auto found = qmhost::scanFontCodes(qpdf, [](QPDFObjectHandle f) { return f.hasKey("/Wanted"); });
    EXPECT_EQ(found.size(), 1u);
    return found.empty() ? std::set<uint16_t>{} : found.begin()->second.codes;
}

// Which codes the content shows in which font, row by row.
TEST(FontCodeScan, FollowsTheTextOperatorsAndTheGraphicsState) {
    struct Row {
        const char* label;
        std::string content;
        std::set<uint16_t> codes;  // shown in the wanted font /F1
    };
    const std::vector<Row> rows = {
        {"Tj with a hex string", "BT /F1 1 Tf <00410042> Tj ET", {0x41, 0x42}},
        {"TJ array with kerning", "BT /F1 1 Tf [<0041> 120 (\\000C)] TJ ET", {0x41, 0x43}},
        {"quote operators", "BT /F1 1 Tf <0044> ' 1 2 <0045> \" ET", {0x44, 0x45}},
        {"Q restores the font before it", "/F1 1 Tf q BT /F2 1 Tf <0046> Tj ET Q BT <0047> Tj ET", {0x47}},
        {"a font set inside q is gone after Q", "q BT /F1 1 Tf ET Q BT <0048> Tj ET", {}},
        {"another font shows nothing of F1", "BT /F2 1 Tf <0049> Tj ET", {}},
        {"inline image data is no operator",
         std::string("BT /F1 1 Tf ET BI /W 2 /H 1 /BPC 8 /CS /G ID ") + "\x01" + "Tj" + " EI BT <004A> Tj ET",
         {0x4A}},
        {"an odd last byte is no code", "BT /F1 1 Tf <004B00> Tj ET", {0x4B}},
        {"a form drawn from the page", "/Fm0 Do", {0x4C}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        QPDF qpdf;
        qpdf.emptyPDF();
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/F1", qpdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Font /Wanted true >>")));
        fonts.replaceKey("/F2", qpdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Font >>")));
        // The form shows code 4C whatever the page does; only the form row draws it.
        QPDFObjectHandle form = QPDFObjectHandle::newStream(&qpdf, "BT /F1 1 Tf <004C> Tj ET");
        form.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        form.getDict().replaceKey("/Resources", fontResources(fonts));
        QPDFObjectHandle resources = fontResources(fonts);
        if (std::string(row.label) == "a form drawn from the page") {
            resources.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
            resources.getKey("/XObject").replaceKey("/Fm0", form);
        }
        addPage(qpdf, row.content, resources);
        EXPECT_EQ(wantedCodes(qpdf), row.codes);
    }
}

// Pages that inherit one resource dictionary share its font dictionary: each
// page's codes still count.
TEST(FontCodeScan, PagesSharingTheirResourcesEachAddTheirCodes) {
    QPDF qpdf;
    qpdf.emptyPDF();
    QPDFObjectHandle wanted = qpdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Font /Wanted true >>"));
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    std::set<uint16_t> expected;
    for (int n = 0; n < 20; ++n) {
        fonts.replaceKey("/NxF" + std::to_string(n), wanted);
        char code[8];
        std::snprintf(code, sizeof code, "%04X", 0x100 + n);
        addPage(qpdf, "BT /NxF" + std::to_string(n) + " 1 Tf <" + code + "> Tj ET", {});
        expected.insert(static_cast<uint16_t>(0x100 + n));
    }
    // Set after the pages are added: adding a page pushes inherited resources down.
    qpdf.getRoot().getKey("/Pages").replaceKey("/Resources", fontResources(fonts));
    EXPECT_EQ(wantedCodes(qpdf), expected);
}

}  // namespace
