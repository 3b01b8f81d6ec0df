// Fonts over installed faces that are not embedded, written so that any reader
// draws the right glyphs with a font of its own (a composite font with
// Identity-H codes would be glyph ids that mean nothing without the program):
//   - a face of a CJK script (by its OS/2 code pages, else by the characters it
//     has) becomes a Type0 font over the script's character collection with its
//     predefined Unicode CMap: UniGB-UCS2-H over Adobe-GB1 for Simplified
//     Chinese, UniCNS-UCS2-H over Adobe-CNS1, UniJIS-UCS2-H over Adobe-Japan1,
//     UniKS-UCS2-H over Adobe-Korea1. Codes are the characters' UCS-2 values
//     (two bytes); characters the face or the CMap lacks become "?". /W is by
//     CID, from the face's advances; a ToUnicode map is written as well.
//   - any other face a simple font: /TrueType (/Type1 for CFF outlines) with
//     /WinAnsiEncoding, /FirstChar 32 /LastChar 255 and /Widths of the face;
//     characters outside WinAnsi become "?", as with the standard fonts.
#pragma once

#include <qpdf/QPDF.hh>

#include "pde/HostFont.h"
#include "sysfont/SystemFontList.h"

namespace qmhost {

// Makes the font with its dictionaries in fontDoc. Raises kHostErrFileOpen when
// the face cannot be read, kHostErrUnsupported for a face that is not an sfnt
// and kHostErrNotFound when the CMap of its collection is not installed.
HostFont makeNamedFont(const SystemFont& font, QPDF& fontDoc);

}  // namespace qmhost
