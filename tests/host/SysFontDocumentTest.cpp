// End to end: a page whose text uses a standard font, an embedded CJK font and
// a named (not embedded) TrueType font, each copied in from the host's font
// document with Cos objCopy; checked with pdffonts, pdftotext and qpdf.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "FontTestSupport.h"
#include "common/Netpbm.h"
#include "qmhost/PDModelTable.h"

namespace {

using namespace fonttest;
using qmtest::HostDoc;
using qmtest::HostPath;
using qmtest::nameAtom;

const PDModelTable& pd() { return *qmhost::pdModelTable(); }

using SysFontDocument = FontPageDocument;

TEST_F(SysFontDocument, StandardEmbeddedCjkAndNamedFontsReachTheSavedFile) {
    FontHolder helvetica(makeStandardFont("Helvetica"));
    FontHolder cjk(pdeWrite().fontCreateFromSysFont(findSysFont("WenQuanYi Micro Hei"), kPDEFontCreateEmbedded));
    FontHolder dejavu(pdeWrite().fontCreateFromSysFont(findSysFont("DejaVu Sans"), kPDEFontCreateNotEmbedded));

    CosObj fonts{};
    const CosObj pageDict = addFontPage(612, 792, &fonts);
    addFont(fonts, "F1", helvetica.get());
    addFont(fonts, "F2", cjk.get());
    addFont(fonts, "F3", dejavu.get());

    const std::string content =
        "BT /F1 24 Tf 72 700 Td (" + encode(helvetica.get(), "Quillmark caf\xC3\xA9") + ") Tj ET\n"
        "BT /F2 24 Tf 72 650 Td <" + hex(encode(cjk.get(), "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB0\xB4\xE5\x8D\xB0")) +
        "> Tj ET\n"
        "BT /F3 24 Tf 72 600 Td <" + hex(encode(dejavu.get(), "Gr\xC3\xBC\xC3\x9F" "e")) + "> Tj ET\n";
    cos().dictPut(pageDict, nameAtom("Contents"), contentStream(content));

    const std::string path = folder.file("fonts.pdf");
    pd().docSave(doc.pd(), HostPath(path));

    const auto check = qmtest::qpdfCheck(path);
    EXPECT_EQ(check.status, 0) << check.output;

    const auto rows = pdffonts(path);
    ASSERT_EQ(rows.size(), 3u);
    std::map<std::string, FontLine> byName;
    for (const auto& row : rows) byName[row.name] = row;
    ASSERT_TRUE(byName.count("Helvetica"));
    EXPECT_EQ(byName["Helvetica"].type, "Type 1");
    EXPECT_EQ(byName["Helvetica"].embedded, "no");
    // The embedded font is written as a subset.
    const std::string cjkName = subsetTagged(byName, "WenQuanYiMicroHei");
    ASSERT_FALSE(cjkName.empty());
    EXPECT_EQ(byName[cjkName].type, "CID TrueType");
    EXPECT_EQ(byName[cjkName].embedded, "yes");
    EXPECT_EQ(byName[cjkName].subset, "yes");
    ASSERT_TRUE(byName.count("DejaVuSans"));
    // Not embedded: a simple TrueType font that any reader can draw with a font of its own.
    EXPECT_EQ(byName["DejaVuSans"].type, "TrueType");
    EXPECT_EQ(byName["DejaVuSans"].encoding, "WinAnsi");
    EXPECT_EQ(byName["DejaVuSans"].embedded, "no");

    const auto text = qmtest::runCommand("pdftotext -enc UTF-8 " + qmtest::shellQuote(path) + " -");
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.output.find("Quillmark caf\xC3\xA9"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("\xE4\xB8\xAD\xE6\x96\x87\xE6\xB0\xB4\xE5\x8D\xB0"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("Gr\xC3\xBC\xC3\x9F" "e"), std::string::npos) << text.output;
}

TEST_F(SysFontDocument, EmbeddedCjkGlyphsAreDrawn) {
    // Only the CJK text on the page: dark pixels can come from its embedded program alone.
    FontHolder cjk(pdeWrite().fontCreateFromSysFont(findSysFont("WenQuanYi Micro Hei"), kPDEFontCreateEmbedded));
    CosObj fonts{};
    const CosObj pageDict = addFontPage(200, 100, &fonts);
    addFont(fonts, "F1", cjk.get());
    cos().dictPut(pageDict, nameAtom("Contents"),
                  contentStream("BT /F1 40 Tf 10 30 Td <" + hex(encode(cjk.get(), "\xE4\xB8\xAD\xE6\x96\x87")) +
                                "> Tj ET"));
    const std::string path = folder.file("cjk.pdf");
    pd().docSave(doc.pd(), HostPath(path));

    // drawPage also fails the test when poppler reports an error: the program read cleanly.
    EXPECT_GT(qmtest::drawPage(path, folder.file("cjk"), 36, true).darkPixels(), 20u);
}

}  // namespace
