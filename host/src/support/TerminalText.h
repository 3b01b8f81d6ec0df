// Text from outside (file names, profiles, documents) made safe to print on a
// terminal: a control character in it could otherwise clear the screen, set
// the window's title or hide what a message says.
#pragma once

#include <string>
#include <string_view>

namespace qmhost {

enum class LineBreaks { Escape, Keep };

// The text with its control characters written out: the C0 characters as
// "\a", "\b", "\t", "\n", "\v", "\f", "\r", "\e" or "\xHH", DEL as "\x7f", the
// C1 characters (U+0080 to U+009F) as "\u0080" to "\u009f", and a byte 0x80
// to 0x9F that is no part of a UTF-8 character as "\xHH". Everything else,
// backslashes included, is kept as it is. With LineBreaks::Keep a "\n" stays
// a line break.
std::string EscapeControlCharacters(std::string_view text, LineBreaks lineBreaks = LineBreaks::Escape);

}  // namespace qmhost
