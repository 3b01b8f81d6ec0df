// Composite fonts over installed fonts: dictionaries, two-byte codes, widths,
// ToUnicode maps and embedded programs.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>

#include "FontTestSupport.h"

namespace {

using namespace fonttest;

const char* const kCjk = "WenQuanYi Micro Hei";
const char* const kZhongWen = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

PDEFont makeSystemFont(const std::string& name, uint32_t flags) {
    PDSysFont sysFont = findSysFont(name);
    EXPECT_NE(sysFont, nullptr) << name << " is not installed";
    return pdeWrite().fontCreateFromSysFont(sysFont, flags);
}

CosObj descendantOf(CosObj type0) { return cos().arrayGet(entry(type0, "DescendantFonts"), 0); }
CosObj descriptorOf(CosObj type0) { return entry(descendantOf(type0), "FontDescriptor"); }

std::vector<uint16_t> codesOf(const std::string& bytes) {
    std::vector<uint16_t> codes;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        codes.push_back(static_cast<uint16_t>((uint8_t(bytes[i]) << 8) | uint8_t(bytes[i + 1])));
    return codes;
}

// Reads the single entries and ranges of a ToUnicode map (BMP destinations).
std::map<uint16_t, char32_t> readToUnicode(const std::string& cmap) {
    std::map<uint16_t, char32_t> map;
    static const std::regex range("<([0-9A-F]{4})> <([0-9A-F]{4})> <([0-9A-F]{4})>");
    static const std::regex single("^<([0-9A-F]{4})> <([0-9A-F]{4,8})>$");
    std::istringstream lines(cmap);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_match(line, m, range)) {
            // Four hex digits each: within 16 bits.
            const auto first = static_cast<uint16_t>(std::stoul(m[1], nullptr, 16));
            const auto last = static_cast<uint16_t>(std::stoul(m[2], nullptr, 16));
            const auto c = static_cast<char32_t>(std::stoul(m[3], nullptr, 16));
            for (unsigned code = first; code <= last; ++code) map[static_cast<uint16_t>(code)] = c + (code - first);
        } else if (std::regex_match(line, m, single) && m[2].length() == 4) {
            map[static_cast<uint16_t>(std::stoul(m[1], nullptr, 16))] = static_cast<char32_t>(std::stoul(m[2], nullptr, 16));
        }
    }
    return map;
}

uint32_t word(const std::string& bytes, size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SysFontComposite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sCjkEmbedded = makeSystemFont(kCjk, kPDEFontCreateEmbedded);
        sCjkNamed = makeSystemFont(kCjk, kPDEFontCreateNotEmbedded);
    }
    static void TearDownTestSuite() {
        pdeWrite().fontRelease(sCjkEmbedded);
        pdeWrite().fontRelease(sCjkNamed);
    }
    static PDEFont sCjkEmbedded, sCjkNamed;
};
PDEFont SysFontComposite::sCjkEmbedded = nullptr;
PDEFont SysFontComposite::sCjkNamed = nullptr;

TEST_F(SysFontComposite, IsAType0FontOverATrueTypeCIDFont) {
    const CosObj dict = pdeRead().fontGetCosObj(sCjkEmbedded);
    EXPECT_TRUE(cos().objIsIndirect(dict));
    EXPECT_EQ(nameValue(entry(dict, "Type")), "Font");
    EXPECT_EQ(nameValue(entry(dict, "Subtype")), "Type0");
    EXPECT_EQ(nameValue(entry(dict, "Encoding")), "Identity-H");
    EXPECT_EQ(nameValue(entry(dict, "BaseFont")), "WenQuanYiMicroHei");
    EXPECT_EQ(cos().objGetType(entry(dict, "ToUnicode")), CosStream);
    const CosObj cid = descendantOf(dict);
    EXPECT_EQ(nameValue(entry(cid, "Subtype")), "CIDFontType2");
    EXPECT_EQ(nameValue(entry(cid, "CIDToGIDMap")), "Identity");
    EXPECT_EQ(cos().objGetType(entry(cid, "W")), CosArray);
    const CosObj descriptor = descriptorOf(dict);
    for (const char* key : {"Flags", "FontBBox", "ItalicAngle", "Ascent", "Descent", "CapHeight", "StemV"})
        EXPECT_TRUE(cos().dictKnown(descriptor, qmtest::nameAtom(key))) << key;
    EXPECT_EQ(pdeWrite().fontGetBytesPerCode(sCjkEmbedded), 2);
}

TEST_F(SysFontComposite, EmbeddedFontCarriesItsProgramAsAnIndirectStream) {
    const CosObj program = entry(descriptorOf(pdeRead().fontGetCosObj(sCjkEmbedded)), "FontFile2");
    ASSERT_EQ(cos().objGetType(program), CosStream);
    EXPECT_TRUE(cos().objIsIndirect(program));
    EXPECT_FALSE(cos().dictKnown(descriptorOf(pdeRead().fontGetCosObj(sCjkNamed)), qmtest::nameAtom("FontFile2")));
}

TEST_F(SysFontComposite, FaceOfACollectionIsEmbeddedAsAFontOfItsOwn) {
    const CosObj program = entry(descriptorOf(pdeRead().fontGetCosObj(sCjkEmbedded)), "FontFile2");
    const std::string bytes = streamData(program);
    ASSERT_GT(bytes.size(), 12u);
    EXPECT_EQ(word(bytes, 0), 0x00010000u);  // a TrueType font, not a "ttcf" collection
    EXPECT_EQ(cos().integerValue(entry(cos().streamDict(program), "Length1")), static_cast<int32_t>(bytes.size()));
    const uint32_t tables = (uint32_t{uint8_t(bytes[4])} << 8) | uint8_t(bytes[5]);
    ASSERT_GT(tables, 0u);
    uint32_t previousTag = 0, sum = 0;
    for (uint32_t i = 0; i < tables; ++i) {
        const size_t record = 12 + 16 * i;
        const uint32_t tag = word(bytes, record), offset = word(bytes, record + 8), length = word(bytes, record + 12);
        EXPECT_GT(tag, previousTag);
        EXPECT_EQ(offset % 4, 0u);
        EXPECT_LE(uint64_t(offset) + length, bytes.size());
        previousTag = tag;
    }
    ASSERT_EQ(bytes.size() % 4, 0u);
    for (size_t at = 0; at < bytes.size(); at += 4) sum += word(bytes, at);
    EXPECT_EQ(sum, 0xB1B0AFBAu);  // what head.checkSumAdjustment makes the whole file add up to
}

TEST_F(SysFontComposite, ChineseTextEncodesIntoTwoByteCodesThatMapBack) {
    const std::string codes = encode(sCjkEmbedded, kZhongWen);
    ASSERT_EQ(codes.size(), 4u);
    const auto glyphs = codesOf(codes);
    EXPECT_NE(glyphs[0], 0);
    EXPECT_NE(glyphs[1], 0);
    EXPECT_NE(glyphs[0], glyphs[1]);
    const auto toUnicode = readToUnicode(streamData(entry(pdeRead().fontGetCosObj(sCjkEmbedded), "ToUnicode")));
    EXPECT_EQ(toUnicode.at(glyphs[0]), U'\u4E2D');
    EXPECT_EQ(toUnicode.at(glyphs[1]), U'\u6587');
}

TEST_F(SysFontComposite, CharacterWithoutAGlyphBecomesTheQuestionMarksGlyph) {
    const auto question = codesOf(encode(sCjkEmbedded, "?"));
    ASSERT_EQ(question.size(), 1u);
    EXPECT_NE(question[0], 0);
    // A private-use character and an invalid byte: neither has a glyph.
    EXPECT_EQ(codesOf(encode(sCjkEmbedded, "\xEE\x80\x80")), question);
    EXPECT_EQ(codesOf(encode(sCjkEmbedded, "\xFF")), question);
}

TEST_F(SysFontComposite, FullWidthCharactersMeasureOneEmEach) {
    const ASFixedRect box = runBox(sCjkEmbedded, kZhongWen, 10.0);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, fixed(20.0));
    EXPECT_LT(box.bottom, 0);
    EXPECT_GT(box.top, 0);
}

TEST_F(SysFontComposite, EmbeddedAndNamedFontsDifferAndRequestsShare) {
    FontHolder again(makeSystemFont(kCjk, kPDEFontCreateEmbedded));
    EXPECT_TRUE(cos().objEqual(pdeRead().fontGetCosObj(again.get()), pdeRead().fontGetCosObj(sCjkEmbedded)));
    EXPECT_FALSE(cos().objEqual(pdeRead().fontGetCosObj(sCjkNamed), pdeRead().fontGetCosObj(sCjkEmbedded)));
}

TEST(SysFontCompositeFlags, FlagsMustAskForOneOfTheTwoModes) {
    PDSysFont font = findSysFont("DejaVu Sans");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreateFromSysFont(font, 0); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreateFromSysFont(font, 5); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontCreateFromSysFont(nullptr, 1); }), kHostErrBadParameter);
}

TEST(SysFontCompositeTrueType, SingleFontFileIsEmbeddedAsItIs) {
    FontHolder font(makeSystemFont("DejaVu Sans", kPDEFontCreateEmbedded));
    const CosObj program = entry(descriptorOf(pdeRead().fontGetCosObj(font.get())), "FontFile2");
    EXPECT_EQ(streamData(program), fileBytes("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
}

TEST(SysFontCompositeTrueType, LatinTextMeasuresWithTheFontsAdvances) {
    FontHolder mono(makeSystemFont("DejaVu Sans Mono", kPDEFontCreateEmbedded));
    FontHolder sans(makeSystemFont("DejaVu Sans", kPDEFontCreateEmbedded));
    // A monospaced font: every glyph as wide as any other.
    EXPECT_EQ(runBox(mono.get(), "iiii", 10.0).right, runBox(mono.get(), "MMMM", 10.0).right);
    EXPECT_LT(runBox(sans.get(), "iiii", 10.0).right, runBox(sans.get(), "MMMM", 10.0).right);
    EXPECT_EQ(codesOf(encode(sans.get(), "Gr\xC3\xBC\xC3\x9F" "e")).size(), 5u);
}

TEST(SysFontCompositeTrueType, ObliqueFontHasANegativeItalicAngle) {
    FontHolder font(makeSystemFont("DejaVu Sans Oblique", kPDEFontCreateEmbedded));
    const CosObj descriptor = descriptorOf(pdeRead().fontGetCosObj(font.get()));
    EXPECT_LT(cos().fixedValue(entry(descriptor, "ItalicAngle")), 0);
    EXPECT_NE(cos().integerValue(entry(descriptor, "Flags")) & 64, 0);  // italic
}

TEST(SysFontCompositeCff, OpenTypeCffFontIsACIDFontType0WithAnOpenTypeProgram) {
    FontHolder font(makeSystemFont("Nimbus Sans", kPDEFontCreateEmbedded));
    const CosObj dict = pdeRead().fontGetCosObj(font.get());
    EXPECT_EQ(nameValue(entry(dict, "BaseFont")), "NimbusSans-Regular-Identity-H");
    const CosObj cid = descendantOf(dict);
    EXPECT_EQ(nameValue(entry(cid, "Subtype")), "CIDFontType0");
    EXPECT_FALSE(cos().dictKnown(cid, qmtest::nameAtom("CIDToGIDMap")));
    const CosObj program = entry(descriptorOf(dict), "FontFile3");
    ASSERT_EQ(cos().objGetType(program), CosStream);
    EXPECT_EQ(nameValue(entry(cos().streamDict(program), "Subtype")), "OpenType");
    EXPECT_EQ(streamData(program).substr(0, 4), "OTTO");
    // Nimbus Sans is metric-compatible with Helvetica: "H" is 722 thousandths.
    EXPECT_EQ(runBox(font.get(), "H", 1000.0).right, fixed(722));
}

}  // namespace
