// Turning UTF-8 text into characters and characters into the codes of the
// standard fonts: WinAnsi for the text fonts, the built-in encodings of Symbol
// and ZapfDingbats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qmhost {

// The characters of UTF-8 text. Every byte that is not part of a well-formed
// sequence (stray continuation bytes, truncated or overlong sequences,
// surrogates, values above U+10FFFF) becomes one "?".
std::u32string decodeUtf8Lenient(std::string_view utf8);

// The WinAnsi (Windows-1252) code of a character, or -1 when WinAnsi has no
// glyph for it (control characters included). U+00A0 and U+00AD have their
// own codes.
int winAnsiCodeOf(char32_t c);
// The character of a WinAnsi code; 0 for the codes WinAnsi leaves unused and
// for the control codes below 0x20 and 0x7F.
char32_t winAnsiCharOf(uint8_t code);

// The code of a character in the built-in encoding of Symbol (Greek, maths,
// arrows, the ASCII digits and punctuation it shares) or of ZapfDingbats (the
// dingbats), or -1 when the font has no glyph for it. Codes that some readers'
// copies of the fonts lack (the euro of Symbol, the bracket ornaments of
// ZapfDingbats) and private-use characters are not given.
int symbolCodeOf(char32_t c);
int dingbatsCodeOf(char32_t c);

}  // namespace qmhost
