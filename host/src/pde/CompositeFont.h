// Embedded fonts over installed TrueType and OpenType faces: composite fonts
// with Identity-H codes (the glyph id, or the CID of a CID-keyed CFF face),
// widths of every glyph, a ToUnicode map and the font program. Fonts that are
// not embedded are made by NamedFonts.h: Identity-H needs the program.
#pragma once

#include <qpdf/QPDF.hh>

#include "pde/HostFont.h"
#include "sysfont/SystemFontList.h"

namespace qmhost {

// Makes the font with its dictionaries in fontDoc:
//   /Type0 /Encoding /Identity-H /ToUnicode <stream> /DescendantFonts [<CIDFont>]
//   CIDFontType2 (TrueType outlines, /CIDToGIDMap /Identity) or CIDFontType0
//   (CFF outlines), /W, /DW, /CIDSystemInfo (Adobe, Identity, 0), /FontDescriptor
//   (FontDescriptor.h) with /FontFile2 (TrueType) or /FontFile3 /Subtype
//   /OpenType (CFF), an indirect stream; a face of a collection is written out
//   as a font of its own. The Type0 dictionary carries kSubsetOnSaveKey
//   (FontSubsets.h): saves write a subset.
// Raises kHostErrFileOpen when the face cannot be read and kHostErrUnsupported
// for a face that is not an sfnt.
HostFont makeCompositeFont(const SystemFont& font, QPDF& fontDoc);

}  // namespace qmhost
