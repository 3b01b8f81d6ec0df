// Turning UTF-8 text into characters and characters into WinAnsi codes.
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

}  // namespace qmhost
