// The standard fonts measured from the URW metrics files (.afm) without
// FreeType: the same widths, ascent and descent as the font programs give
// through FreeType, for all 14 fonts and all 256 codes; and a file that is
// missing or damaged falls back to the font program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FontTestSupport.h"
#include "pde/StandardFonts.h"
#include "sysfont/AfmMetrics.h"
#include "sysfont/GlyphNames.h"

namespace {

using fonttest::kStandardFontNames;
using qmhost::AfmMetrics;
using qmhost::standardFontMetricsFromAfm;
using qmhost::standardFontMetricsFromFontProgram;
using qmtest::hostErrorOf;
namespace fs = std::filesystem;

TEST(StandardFontAfm, GivesTheFontProgramsMetricsForEveryCode) {
    for (const char* name : kStandardFontNames) {
        SCOPED_TRACE(name);
        const auto fromAfm = standardFontMetricsFromAfm(name, qmhost::kUrwAfmFolder);
        ASSERT_TRUE(fromAfm.has_value());
        const qmhost::StandardFontMetrics fromProgram = standardFontMetricsFromFontProgram(name);
        for (size_t code = 0; code < fromAfm->widths.size(); ++code)
            EXPECT_EQ(fromAfm->widths[code], fromProgram.widths[code]) << "code " << code;
        EXPECT_EQ(fromAfm->ascent, fromProgram.ascent);
        EXPECT_EQ(fromAfm->descent, fromProgram.descent);
        // Real measurements, not an empty table agreeing with another.
        int measured = 0;
        for (int width : fromAfm->widths) measured += width > 0;
        EXPECT_GE(measured, 180);
        EXPECT_GT(fromAfm->ascent, 0);
        EXPECT_LT(fromAfm->descent, 0);
    }
}

TEST(StandardFontAfm, AMissingOrDamagedFileFallsBackToTheFontProgram) {
    const std::string original = qmtest::readBytes(std::string(qmhost::kUrwAfmFolder) + "NimbusSans-Regular.afm");
    ASSERT_FALSE(original.empty());
    const size_t cut = original.find("N eacute");
    const size_t firstGlyph = original.find("\nC ");
    const size_t secondGlyph = original.find("\nC ", firstGlyph + 1);
    ASSERT_NE(cut, std::string::npos);
    ASSERT_NE(secondGlyph, std::string::npos);
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = original;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    struct Row {
        const char* label;
        std::string text;  // "" leaves the file out
        bool folder;       // a folder where the file should be
        bool readable;     // the metrics file is used
    };
    const Row rows[] = {
        {"an intact copy", original, false, true},
        {"CRLF line ends", replaced("\n", "\r\n"), false, true},
        {"missing", "", false, false},
        {"a folder", "", true, false},
        {"empty", " ", false, false},
        {"a font program", "%!PS-AdobeFont-1.0: NimbusSans-Regular\n", false, false},
        {"cut in the glyphs", original.substr(0, cut), false, false},
        {"a glyph fewer than announced", original.substr(0, firstGlyph) + original.substr(secondGlyph), false, false},
        {"a width not a number", replaced("WX 278 ; N space", "WX 2x8 ; N space"), false, false},
        {"a width out of range", replaced("WX 278 ; N space", "WX 1e300 ; N space"), false, false},
        {"a width not finite", replaced("WX 278 ; N space", "WX nan ; N space"), false, false},
        {"a glyph without a name", replaced("N space ;", ";"), false, false},
        {"another font", qmtest::readBytes(std::string(qmhost::kUrwAfmFolder) + "NimbusSans-Bold.afm"), false, false},
        {"no font box", replaced("FontBBox", "Comment"), false, false},
    };
    const qmhost::StandardFontMetrics fromProgram = standardFontMetricsFromFontProgram("Helvetica");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const qmtest::FixtureFolder folder;
        const std::string file = folder.file("NimbusSans-Regular.afm");
        if (!row.text.empty()) std::ofstream(file, std::ios::binary) << row.text;
        if (row.folder) fs::create_directory(file);
        EXPECT_EQ(standardFontMetricsFromAfm("Helvetica", folder.file("")).has_value(), row.readable);
        EXPECT_EQ(qmhost::standardFontMetrics("Helvetica", folder.file("")), fromProgram);
    }
}

std::string metricsText(const std::string& glyphLines, int count) {
    return "StartFontMetrics 3.0\nFontName Test\nFontBBox -10 -200 900 800\nStartCharMetrics " +
           std::to_string(count) + "\n" + glyphLines + "EndCharMetrics\nEndFontMetrics\n";
}

TEST(AfmMetricsReading, FindsAGlyphForACharacterAsTheFontEngineDoes) {
    // Listed in this order on purpose: a variant before its base glyph, two
    // names of one character.
    const std::string glyphs =
        "C -1 ; WX 1 ; N B.alt ;\nC 66 ; WX 2 ; N B ;\nC -1 ; WX 3 ; N A.sc ;\nC -1 ; WX 4 ; N uni0043 ;\n"
        "C -1 ; WX 5 ; N u0044 ;\nC -1 ; WX 6 ; N Euro.alt ;\nC 32 ; WX 7 ; N space ;\n"
        "C 45 ; WX 8 ; N hyphen ;\nC -1 ; WX 9 ; N uni00AD ;\nC -1 ; WX 10 ; N uni00e9 ;\n"
        "C -1 ; WX 11 ; N middot ;\nC -1 ; WX 12 ; N periodcentered ;\nC -1 ; WX 13 ; N u1F600 ;\n"
        "C -1 ; WX 14 ; N uni0046x ;\n";
    const AfmMetrics afm = AfmMetrics::parse(metricsText(glyphs, 14), "test");
    const struct {
        char32_t character;
        const char* glyph;  // "" for none
    } rows[] = {
        {U'B', "B"},     {U'A', "A.sc"},       {U'C', "uni0043"}, {U'D', "u0044"},     {0x20AC, "Euro.alt"},
        {0xA0, "space"}, {0xAD, "uni00AD"},    {U'-', "hyphen"},  {0xE9, ""},          {0xB7, "middot"},
        {U'E', ""},      {0x1F600, "u1F600"},  {U'F', ""},        {U' ', "space"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<unsigned>(row.character));
        const qmhost::AfmGlyph* glyph = afm.glyphOfCharacter(row.character);
        EXPECT_EQ(glyph ? glyph->name : "", row.glyph);
    }
    EXPECT_EQ(afm.glyphOfCode(66)->width, 2);
    EXPECT_EQ(afm.glyphOfCode(67), nullptr);
    EXPECT_EQ(afm.glyphNamed("hyphen")->code, 45);
}

TEST(AfmMetricsReading, ReadsTheLineTypesAndRefusesDamage) {
    const AfmMetrics good = AfmMetrics::parse(
        "StartFontMetrics 2.0\r\nComment x\r\nFontName  My Font \r\nFontBBox -10.5 -200 900 800.25\r\n"
        "StartCharMetrics 2\r\nC 65 ; W0X 612.5 ; N A ; B 1 -2 3 4.5 ; L A AA ;\r\n"
        "CH <4B> ; W 500 0 ; N K ;\r\nEndCharMetrics\r\n",
        "good");
    EXPECT_EQ(good.fontName(), "My Font");
    EXPECT_EQ(good.fontBox().llx, -10.5);
    EXPECT_EQ(good.fontBox().ury, 800.25);
    ASSERT_EQ(good.glyphs().size(), 2u);
    EXPECT_EQ(good.glyphOfCode(65)->width, 612.5);
    EXPECT_EQ(good.glyphNamed("A")->box.lly, -2);
    EXPECT_EQ(good.glyphNamed("A")->box.ury, 4.5);
    EXPECT_EQ(good.glyphOfCode(0x4B)->name, "K");
    EXPECT_EQ(good.glyphNamed("K")->width, 500);

    const std::string damaged[] = {
        "",
        "FontName X\n",
        "StartFontMetrics 3.0\nFontBBox 0 0 1 1\n",
        "StartFontMetrics 3.0\nFontBBox 0 0 1 1\nStartCharMetrics 1\nC 1 ; WX 1 ; N a ;\n",
        "StartFontMetrics 3.0\nStartCharMetrics 0\nEndCharMetrics\n",
        "StartFontMetrics 3.0\nFontBBox 0 0 1\nStartCharMetrics 0\nEndCharMetrics\n",
        metricsText("C 1 ; WX 1 ; N a ;\n", 2),
        metricsText("C 1 ; WX 1 ; N a ;\n", -1),
        metricsText("C 1 ; N a ;\n", 1),
        metricsText("WX 1 ; N a ;\n", 1),
        metricsText("C x ; WX 1 ; N a ;\n", 1),
        metricsText("C -2 ; WX 1 ; N a ;\n", 1),
        metricsText("CH 4B ; WX 1 ; N a ;\n", 1),
        metricsText("C 1 ; WX 1 2 ; N a ;\n", 1),
        metricsText("C 1 ; WX 1 ; N a b ;\n", 1),
        metricsText("C 1 ; WX inf ; N a ;\n", 1),
        metricsText("C 1 ; WX 1 ; N a ; B 1 2 3 ;\n", 1),
        metricsText("C 99999999999 ; WX 1 ; N a ;\n", 1),
    };
    for (const std::string& text : damaged) {
        SCOPED_TRACE(text);
        EXPECT_EQ(hostErrorOf([&] { AfmMetrics::parse(text, "damaged"); }), kHostErrBadParameter);
    }
    EXPECT_EQ(hostErrorOf([] { AfmMetrics::read("/nonexistent/Nothing.afm"); }), kHostErrFileOpen);
}

TEST(GlyphNames, GiveTheirCharacters) {
    const struct {
        const char* name;
        char32_t character;
        bool variant;
    } rows[] = {
        {"space", 0x20, false},       {"Euro", 0x20AC, false},     {"nbspace", 0xA0, false},
        {"nonbreakingspace", 0xA0, false}, {"mu", 0xB5, false},    {"Zcaron.alt", 0x17D, true},
        {"uni00A0", 0xA0, false},     {"uni00A0.sc", 0xA0, true},  {"uni00a0", 0, false},
        {"uniE9", 0, false},          {"u00A0", 0xA0, false},      {"u1F600", 0x1F600, false},
        {"u10FFFF.x", 0x10FFFF, true}, {"u00A0x", 0, false},       {"u1234567", 0, false},
        {".notdef", 0, false},        {"zcaron", 0x17E, false},    {"A", 0x41, false},
        {"Asmall", 0, false},         {"", 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const qmhost::GlyphCharacter c = qmhost::characterOfGlyphName(row.name);
        EXPECT_EQ(c.character, row.character);
        if (row.character) {
            EXPECT_EQ(c.variant, row.variant);
        }
    }
}

}  // namespace
