// The fonts installed on the system, as the host lists them: how many there
// are and the name at a position of the host's list (for the text stamp
// dialog's font picker). CPDFTextElement::SetSystemFont makes an element's
// font from such a name.
#pragma once

#include <cstdint>
#include <string>

// The number of installed fonts; 0 when the host raised.
int32_t CountSystemFonts();

// The unique name of the font at position (from 0) of the host's list; a
// negative position gives the first font's name; empty at or past the end or
// when the host raised.
std::string GetSystemFontName(int32_t position);
