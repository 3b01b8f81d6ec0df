// Font faces read through the fonts library: what they answer is checked
// against the installed files' own tables (read here byte by byte) and against
// fontconfig's fc-query; unreadable fonts are refused with the codes and
// messages the callers show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/HostErrorOf.h"
#include "common/PdfFixtures.h"
#include "core/LazyLibrary.h"
#include "sysfont/FontsLibrary.h"
#include "sysfont/FreeTypeFace.h"

namespace {

using qmhost::FreeTypeFace;

unsigned u16(const std::string& b, size_t at) {
    return static_cast<unsigned>(static_cast<uint8_t>(b.at(at))) << 8 | static_cast<uint8_t>(b.at(at + 1));
}
long s16(const std::string& b, size_t at) { return static_cast<int16_t>(u16(b, at)); }
uint32_t u32(const std::string& b, size_t at) { return static_cast<uint32_t>(u16(b, at)) << 16 | u16(b, at + 2); }

// The tables of an sfnt file (tag, bytes) in directory order.
std::vector<std::pair<uint32_t, std::string>> sfntDirectory(const std::string& file) {
    std::vector<std::pair<uint32_t, std::string>> tables;
    const unsigned count = u16(file, 4);
    for (unsigned i = 0; i < count; ++i) {
        const size_t record = 12 + 16 * i;
        tables.emplace_back(u32(file, record), file.substr(u32(file, record + 8), u32(file, record + 12)));
    }
    return tables;
}

std::string tableOf(const std::vector<std::pair<uint32_t, std::string>>& tables, const char* tag) {
    const uint32_t wanted = u32(tag, 0);
    for (const auto& [t, bytes] : tables)
        if (t == wanted) return bytes;
    ADD_FAILURE() << "no table " << tag;
    return std::string(64, '\0');
}

// fc-query's values for the file: postscriptname, fontformat, spacing, slant, weight.
std::vector<std::string> fcQuery(const std::string& path) {
    const auto run = qmtest::runCommand("fc-query -f '%{postscriptname}|%{fontformat}|%{spacing}|%{slant}|%{weight}' " +
                                        qmtest::shellQuote(path));
    EXPECT_EQ(run.status, 0) << run.output;
    std::vector<std::string> fields;
    std::istringstream in(run.output);
    for (std::string field; std::getline(in, field, '|');) fields.push_back(field);
    fields.resize(5);
    return fields;
}

TEST(FreeTypeFace, AnswersWhatTheFontFilesHold) {
    const char* rows[] = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",         // fixed width
        "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",       // bold
        "/usr/share/fonts/opentype/urw-base35/NimbusSans-Italic.otf",  // CFF, italic
        "/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1",     // no sfnt
    };
    for (const char* path : rows) {
        SCOPED_TRACE(path);
        const std::vector<std::string> fc = fcQuery(path);
        FreeTypeFace face(path, 0);
        EXPECT_TRUE(qmhost::isLibraryLoaded(qmhost::kFontsLibraryFile));
        EXPECT_EQ(face.path(), path);
        EXPECT_EQ(face.postscriptName(), fc[0]);
        EXPECT_EQ(face.format(), fc[1]);
        EXPECT_EQ(face.isFixedWidth(), fc[2] == "100");
        EXPECT_EQ(face.isItalic(), fc[3] == "100" || fc[3] == "110");
        EXPECT_EQ(face.isBold(), std::stoi(fc[4]) >= 200);
        const std::string file = qmtest::readBytes(path);
        ASSERT_FALSE(file.empty());
        // The same bytes in memory read as the file does.
        FreeTypeFace inMemory(std::make_shared<const std::string>(file), "the font in memory");
        EXPECT_EQ(inMemory.path(), "the font in memory");
        EXPECT_EQ(inMemory.postscriptName(), fc[0]);
        EXPECT_EQ(inMemory.glyphCount(), face.glyphCount());
        EXPECT_EQ(inMemory.sfntTables(), face.sfntTables());
        EXPECT_FALSE(face.characterGlyphs().empty());
        EXPECT_EQ(inMemory.characterGlyphs(), face.characterGlyphs());
        const bool sfnt = fc[1] != "Type 1";
        EXPECT_EQ(face.isSfnt(), sfnt);
        if (!sfnt) {
            EXPECT_TRUE(face.sfntTables().empty());
            EXPECT_NE(face.glyphOfName("d"), 0u);
            continue;
        }
        const auto tables = sfntDirectory(file);
        EXPECT_EQ(face.sfntTables(), tables);
        const std::string head = tableOf(tables, "head"), hhea = tableOf(tables, "hhea");
        EXPECT_EQ(face.unitsPerEm(), u16(head, 18));
        const qmhost::GlyphBox box = face.bbox();
        EXPECT_EQ(std::vector<long>({box.xMin, box.yMin, box.xMax, box.yMax}),
                  std::vector<long>({s16(head, 36), s16(head, 38), s16(head, 40), s16(head, 42)}));
        EXPECT_EQ(face.ascender(), s16(hhea, 4));
        EXPECT_EQ(face.descender(), s16(hhea, 6));
        const unsigned glyphs = u16(tableOf(tables, "maxp"), 4);
        ASSERT_EQ(face.glyphCount(), glyphs);
        // Advances from hmtx: the last long metric's width repeats for the rest.
        const std::string hmtx = tableOf(tables, "hmtx");
        const unsigned longMetrics = u16(hhea, 34);
        std::vector<long> advances;
        for (unsigned g = 0; g < glyphs; ++g) advances.push_back(u16(hmtx, 4 * std::min(g, longMetrics - 1)));
        EXPECT_EQ(face.advances(), advances);
        EXPECT_EQ(face.advance(glyphs - 1), advances.back());
        EXPECT_EQ(face.toThousandths(static_cast<long>(face.unitsPerEm())), 1000);
    }
}

TEST(FreeTypeFace, RefusesUnreadableFontsNamingThem) {
    const std::string folder = ::testing::TempDir();
    const std::string text = folder + "freetype-face-not-a-font.ttf";
    std::ofstream(text) << "not a font at all\n";
    const std::string dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    const struct {
        const char* label;
        std::function<void()> open;
        int32_t code;
        std::string named;  // what the message must say
    } rows[] = {
        {"missing file", [&] { FreeTypeFace(folder + "no-such-font.ttf", 0); }, kHostErrFileOpen,
         folder + "no-such-font.ttf (face 0)"},
        {"not a font", [&] { FreeTypeFace(text, 0); }, kHostErrFileOpen, text},
        {"face past the file's faces", [&] { FreeTypeFace(dejaVu, 3); }, kHostErrFileOpen, dejaVu + " (face 3)"},
        {"bytes not a font",
         [] { FreeTypeFace(std::make_shared<const std::string>("not a font at all"), "the pasted font"); },
         kHostErrBadParameter, "the pasted font"},
        {"no bytes", [] { FreeTypeFace(std::make_shared<const std::string>(), "the empty font"); },
         kHostErrBadParameter, "the empty font"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const qmtest::Raised raised = qmtest::raisedBy(row.open);
        EXPECT_EQ(raised.code, row.code) << raised.message;
        EXPECT_NE(raised.message.find(row.named), std::string::npos) << raised.message;
    }
}

}  // namespace
