// Encoding UTF-8 text into a standard font's WinAnsi codes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "FontTestSupport.h"

namespace {

using namespace fonttest;

struct EncodingRow {
    const char* name;
    std::string utf8;
    std::string codes;
};

class StandardFontEncoding : public ::testing::TestWithParam<EncodingRow> {
protected:
    static void SetUpTestSuite() { sFont = makeStandardFont("Helvetica"); }
    static void TearDownTestSuite() { pdeWrite().fontRelease(sFont); }
    static PDEFont sFont;
};
PDEFont StandardFontEncoding::sFont = nullptr;

TEST_P(StandardFontEncoding, GivesTheWinAnsiBytes) {
    EXPECT_EQ(encode(sFont, GetParam().utf8), GetParam().codes);
}

const EncodingRow kRows[] = {
    {"AsciiStaysAsItIs", "Quillmark 1.0 (x)", "Quillmark 1.0 (x)"},
    {"EAcuteIsE9", "caf\xC3\xA9", "caf\xE9"},
    {"EuroIs80", "\xE2\x82\xAC" "5", "\x80" "5"},
    {"CurlyQuotesAndDashes", "\xE2\x80\x9C\xE2\x80\x94\xE2\x80\x9D", "\x93\x97\x94"},
    {"ZCaronIs8E", "\xC5\xBD", "\x8E"},
    {"NoBreakSpaceIsA0", "\xC2\xA0", "\xA0"},
    {"YDiaeresisIsFF", "\xC3\xBF", "\xFF"},
    {"ChineseBecomesQuestionMarks", "\xE4\xB8\xAD\xE6\x96\x87", "??"},
    {"FourByteCharacterIsOneQuestionMark", "a\xF0\x9F\x98\x80" "b", "a?b"},
    {"TabIsNotInWinAnsi", "a\tb", "a?b"},
    {"StrayContinuationByteIsQuestionMark", "a\x80" "b", "a?b"},
    {"TruncatedSequenceGivesOneMarkPerByte", "a\xE4\xB8", "a??"},
    {"OverlongSlashIsNotASlash", "\xC0\xAF", "??"},
    {"EncodedSurrogateIsRefused", "\xED\xA0\x80", "???"},
    {"LatinOneByteIsNotUtf8", "caf\xE9", "caf?"},
    {"EmptyTextGivesNoCodes", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, StandardFontEncoding, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(StandardFontEncodingBuffer, WritesAtMostCapacityAndAnswersTheFullLength) {
    FontHolder font(makeStandardFont("Times-Roman"));
    char codes[8];
    std::memset(codes, '#', sizeof codes);
    const char* text = "caf\xC3\xA9 au lait";
    EXPECT_EQ(pdeWrite().fontEncodeText(font.get(), text, static_cast<int32_t>(std::strlen(text)), codes, 4), 12);
    EXPECT_EQ(std::string(codes, 8), std::string("caf\xE9####"));
    EXPECT_EQ(pdeWrite().fontEncodeText(font.get(), text, static_cast<int32_t>(std::strlen(text)), nullptr, 0), 12);
}

TEST(StandardFontEncodingBuffer, LengthCountsBytesNotCharacters) {
    FontHolder font(makeStandardFont("Helvetica"));
    const char* text = "\xC3\xA9xyz";
    char codes[4] = {};
    // Only the first two bytes (the e-acute) are taken.
    EXPECT_EQ(pdeWrite().fontEncodeText(font.get(), text, 2, codes, 4), 1);
    EXPECT_EQ(codes[0], '\xE9');
}

TEST(StandardFontEncodingBuffer, MissingBuffersAreBadParameters) {
    FontHolder font(makeStandardFont("Helvetica"));
    char codes[4];
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontEncodeText(font.get(), nullptr, 3, codes, 4); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontEncodeText(font.get(), "abc", 3, nullptr, 4); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontEncodeText(font.get(), "abc", -1, codes, 4); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontEncodeText(font.get(), "abc", 3, codes, -1); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().fontEncodeText(nullptr, "abc", 3, codes, 4); }), kHostErrBadParameter);
}

// Symbol and ZapfDingbats: the characters they hold by their own codes, the
// rest as what each draws for a character it lacks (and reported missing).
TEST(StandardFontEncodingSymbolic, WritesTheCharactersTheFontHoldsByItsOwnCodes) {
    const struct {
        const char* font;
        std::string utf8;
        std::string codes;
        std::string missing;
    } rows[] = {
        {"Symbol", "\u03B1\u03B2\u03B3 \u03A3", "abg S", ""},
        {"Symbol", "\u0394\u2206\u03A9\u2126\u03BC\u00B5", "DDWWmm", ""},
        {"Symbol", "x \u2264 2\u03C0, \u221E!", "? \xA3 2p, \xA5!", "x"},
        {"Symbol", "abc", "???", "abc"},
        {"ZapfDingbats", "\u2708\u2714 \u2776\u2460\u2192", "(4 \xB6\xAC\xD5", ""},
        {"ZapfDingbats", "\u2605\u25CF", "Hl", ""},
        {"ZapfDingbats", "A?\u03B1", "   ", "A?\u03B1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.font) + " " + row.utf8);
        FontHolder font(makeStandardFont(row.font));
        EXPECT_EQ(encode(font.get(), row.utf8), row.codes);
        char missing[64] = "";
        pdeWrite().fontGetMissingChars(font.get(), row.utf8.data(), static_cast<int32_t>(row.utf8.size()), missing,
                                       sizeof missing);
        EXPECT_EQ(std::string(missing), row.missing);
        EXPECT_EQ(pdeWrite().fontGetBytesPerCode(font.get()), 1);
    }
}

}  // namespace
