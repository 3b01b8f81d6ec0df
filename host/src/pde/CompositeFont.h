// Composite fonts over installed TrueType and OpenType faces: Identity-H codes
// (the glyph id, or the CID of a CID-keyed CFF face), widths of every glyph, a
// ToUnicode map, and the font program when embedded.
#pragma once

#include <qpdf/QPDF.hh>

#include "pde/HostFont.h"
#include "sysfont/SystemFontList.h"

namespace qmhost {

// Makes the font with its dictionaries in fontDoc:
//   /Type0 /Encoding /Identity-H /ToUnicode <stream> /DescendantFonts [<CIDFont>]
//   CIDFontType2 (TrueType outlines, /CIDToGIDMap /Identity) or CIDFontType0
//   (CFF outlines), /W, /DW, /CIDSystemInfo (Adobe, Identity, 0), /FontDescriptor
//   with /Flags /FontBBox /ItalicAngle /Ascent /Descent /CapHeight /StemV and,
//   when embedded, /FontFile2 (TrueType) or /FontFile3 /Subtype /OpenType (CFF),
//   an indirect stream; a face of a collection is written out as a font of its own.
//   An embedded font carries kSubsetOnSaveKey (FontSubsets.h): saves write a subset.
// Raises kHostErrFileOpen when the face cannot be read and kHostErrUnsupported
// for a face that is not an sfnt.
HostFont makeCompositeFont(const SystemFont& font, bool embedded, QPDF& fontDoc);

}  // namespace qmhost
