// The 14 standard fonts: named in documents, never embedded, measured with the
// metric-compatible URW base-35 fonts installed on the system.
#pragma once

#include <array>
#include <optional>
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

// Where fonts-urw-base35 installs the URW fonts' metrics files (.afm), named
// after their PostScript names.
inline constexpr const char* kUrwAfmFolder = "/usr/share/fonts/type1/urw-base35/";

// What a standard font is measured with, in thousandths of an em: the widths
// per code (WinAnsi codes for the text fonts, built-in codes for the symbolic
// ones; 0 for a code without a glyph), the top of "d" and the bottom of "p"
// (the font box's top and bottom for a font without them).
struct StandardFontMetrics {
    std::array<int, 256> widths{};
    int ascent = 0;
    int descent = 0;
    bool operator==(const StandardFontMetrics&) const = default;
};

// The metrics from the stand-in's metrics file in afmFolder, read without
// FreeType; nullopt for another name and when the file is missing, cannot be
// read, is damaged or names another font. Never raises.
std::optional<StandardFontMetrics> standardFontMetricsFromAfm(const std::string& name, const std::string& afmFolder);
// The same metrics read through FreeType from the stand-in's font program.
// Raises kHostErrNotFound for another name or when the URW font is not
// installed.
StandardFontMetrics standardFontMetricsFromFontProgram(const std::string& name);
// From the metrics file when it can be read, else from the font program.
// Raises as standardFontMetricsFromFontProgram.
StandardFontMetrics standardFontMetrics(const std::string& name, const std::string& afmFolder = kUrwAfmFolder);

// Makes the standard font `name` with its dictionary in fontDoc:
// /Type /Font /Subtype /Type1 /BaseFont /name, and /Encoding /WinAnsiEncoding
// for the 12 text fonts. Widths: per WinAnsi code for the text fonts, per
// built-in code for the symbolic ones, which encode text by their own codes
// (Greek in Symbol, dingbats in ZapfDingbats; see TextCodes.h) and draw a
// character they lack as "?" (Symbol) or a blank (ZapfDingbats). Ascent and
// descent: the top of "d" and the bottom of "p" (the symbolic fonts: their font
// box), from the metrics file when installed, else through FreeType. Raises
// kHostErrNotFound for another name or when the URW font is not installed.
HostFont makeStandardFont(const std::string& name, QPDF& fontDoc);

}  // namespace qmhost
