// What the font dictionaries of every installed face share: its PostScript
// name, its /FontDescriptor, PDF numbers written the same under every locale.
#pragma once

#include <string>

#include <qpdf/QPDFObjectHandle.hh>

#include "sysfont/FreeTypeFace.h"

namespace qmhost {

// The face's PostScript name, or fontName without its blanks when it has none.
std::string postscriptNameOf(const FreeTypeFace& face, const std::string& fontName);

// A direct /FontDescriptor without a font program: /FontName, /Flags (symbolic
// (4) or not (32) as asked, plus fixed pitch and italic from the face),
// /FontBBox, /ItalicAngle, /Ascent, /Descent, /CapHeight (the OS/2 value, else
// the top of "H", else the ascent) and /StemV (guessed from the weight), in
// thousandths of an em.
QPDFObjectHandle fontDescriptor(FreeTypeFace& face, const std::string& postscriptName, bool symbolic);

// A PDF name object of text (without the slash).
QPDFObjectHandle pdfName(const std::string& text);

}  // namespace qmhost
