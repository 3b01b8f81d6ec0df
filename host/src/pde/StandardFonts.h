// The 14 standard fonts: named in documents, never embedded, measured with the
// metric-compatible URW base-35 fonts installed on the system.
#pragma once

#include <string>

#include <qpdf/QPDF.hh>

#include "pde/HostFont.h"

namespace qmhost {

// True for the 14 names ("Helvetica", "Times-Roman", "Symbol", ...).
bool isStandardFontName(const std::string& name);
// True for "Symbol" and "ZapfDingbats", which have their own built-in encodings.
bool isSymbolicStandardFont(const std::string& name);
// The PostScript name of the URW font whose metrics stand in for a standard
// font ("NimbusSans-Regular" for "Helvetica"); "" for another name.
std::string urwStandIn(const std::string& name);

// Makes the standard font `name` with its dictionary in fontDoc:
// /Type /Font /Subtype /Type1 /BaseFont /name, and /Encoding /WinAnsiEncoding
// for the 12 text fonts. Widths: per WinAnsi code for the text fonts, per
// built-in code for the symbolic ones. Ascent and descent: the top of "d" and
// the bottom of "p" (the symbolic fonts: their font box). Raises
// kHostErrNotFound for another name or when the URW font is not installed.
HostFont makeStandardFont(const std::string& name, QPDF& fontDoc);

}  // namespace qmhost
