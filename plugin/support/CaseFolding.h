// Names compared as the user reads them, regardless of letter case.
#pragma once

#include <string>
#include <string_view>

// The UTF-8 text with each code point replaced by its simple case folding (one
// code point for one: "Ä" and "ä" give "ä", "Σ" and the final "ς" give "σ",
// "ǅ" gives "ǆ"; "ß" stays, as do letters without case such as CJK). Two texts
// that differ only in letter case give the same result. Bytes that are not
// UTF-8 are kept as they are, so that names that differ in them stay apart.
std::string CaseFolded(std::string_view inUtf8);
