// The installed fonts that the host offers as system fonts: scalable TrueType
// and OpenType faces found by fontconfig (collections by face index), each under
// a unique name, in a stable order (sorted by name, bytewise).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "qmhost/QMBase.h"
#include "sysfont/FontsLibrary.h"

namespace qmhost {

struct SystemFont {
    std::string name;    // unique: "DejaVu Sans Bold", "WenQuanYi Micro Hei"
    std::string family;  // fontconfig's first family name
    std::string style;   // fontconfig's first style name
    std::string file;
    long faceIndex = 0;
};

// "Family Style", or just the family for a regular style (Regular, Book,
// Normal, Roman, Plain, Standard or none).
std::string systemFontName(const std::string& family, const std::string& style);

// Names the faces, sorts them by (name, file, face index) and makes repeated
// names unique by appending " (2)", " (3)", ... in that order.
std::vector<SystemFont> nameSystemFonts(std::vector<FoundFace> faces);

// The list, read from fontconfig (FontsLibrary.h) on first use and kept for the
// process, so that handles and positions stay valid. Raises kHostErrGeneric
// when fontconfig cannot load its configuration, and as fontsLibrary() when its
// library cannot be opened; the next call tries again.
const std::vector<SystemFont>& systemFonts();

// Handles: position + 1, never null for a font.
PDSysFont systemFontHandle(size_t position);
// The font of a handle; raises kHostErrBadParameter for null and
// kHostErrBadHandle for an unknown handle, naming op.
const SystemFont& systemFontOf(PDSysFont font, const char* op);
// The font with exactly that unique name, or null.
PDSysFont findSystemFont(const std::string& name);

// The file of the installed face with that PostScript name: Type 1 files
// first, then others, each group by path; "" when none is installed. Raises as
// systemFonts() does.
std::string fontFileForPostscriptName(const std::string& postscriptName);

}  // namespace qmhost
