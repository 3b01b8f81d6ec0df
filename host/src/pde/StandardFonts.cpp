#include "pde/StandardFonts.h"

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include "core/Raise.h"
#include "qmhost/HostError.h"
#include "pde/TextCodes.h"
#include "sysfont/AfmMetrics.h"
#include "sysfont/FreeTypeFace.h"
#include "sysfont/SystemFontList.h"

namespace qmhost {
namespace {

struct StandIn {
    const char* name;
    const char* urw;
};

constexpr StandIn kStandIns[] = {
    {"Courier", "NimbusMonoPS-Regular"},       {"Courier-Bold", "NimbusMonoPS-Bold"},
    {"Courier-Oblique", "NimbusMonoPS-Italic"}, {"Courier-BoldOblique", "NimbusMonoPS-BoldItalic"},
    {"Helvetica", "NimbusSans-Regular"},        {"Helvetica-Bold", "NimbusSans-Bold"},
    {"Helvetica-Oblique", "NimbusSans-Italic"}, {"Helvetica-BoldOblique", "NimbusSans-BoldItalic"},
    {"Times-Roman", "NimbusRoman-Regular"},     {"Times-Bold", "NimbusRoman-Bold"},
    {"Times-Italic", "NimbusRoman-Italic"},     {"Times-BoldItalic", "NimbusRoman-BoldItalic"},
    {"Symbol", "StandardSymbolsPS"},            {"ZapfDingbats", "D050000L"},
};

// A WinAnsi code's glyph: by its character, and for the two codes that share a
// glyph with another character (no-break space, soft hyphen) by that glyph.
unsigned winAnsiGlyph(FreeTypeFace& face, int code) {
    const char32_t c = winAnsiCharOf(static_cast<uint8_t>(code));
    if (c == 0) return 0;
    unsigned glyph = face.glyphOfCode(c);
    if (glyph == 0 && c == 0xA0) glyph = face.glyphOfCode(0x20);
    if (glyph == 0 && c == 0xAD) glyph = face.glyphOfCode(0x2D);
    return glyph;
}

std::array<int, 256> codeWidths(FreeTypeFace& face, bool symbolic) {
    // Type 1 faces carry their built-in encoding as FreeType's custom encoding
    // charmap; text fonts are read through the Unicode charmap.
    const bool ok = symbolic ? (face.selectCharmap(FT_ENCODING_ADOBE_CUSTOM) ||
                                face.selectCharmap(FT_ENCODING_ADOBE_STANDARD))
                             : face.selectCharmap(FT_ENCODING_UNICODE);
    if (!ok) raise(kHostErrNotFound, "the font " + face.path() + " has no usable encoding");
    std::array<int, 256> widths{};
    for (size_t code = 0; code < widths.size(); ++code) {
        const unsigned glyph = symbolic ? face.glyphOfCode(code) : winAnsiGlyph(face, static_cast<int>(code));
        // Codes without a glyph measure nothing; the encoder never produces them
        // for text fonts.
        widths[code] = glyph ? face.toThousandths(face.advance(glyph)) : 0;
    }
    return widths;
}

// Ascent and descent as a font's metrics file defines them: the top of "d" and
// the bottom of "p"; the font box when the font has neither glyph.
std::pair<int, int> verticalMetrics(FreeTypeFace& face) {
    GlyphBox d, p;
    const unsigned dGlyph = face.glyphOfName("d"), pGlyph = face.glyphOfName("p");
    if (dGlyph && pGlyph && face.glyphBox(dGlyph, &d) && face.glyphBox(pGlyph, &p))
        return {face.toThousandths(d.yMax), face.toThousandths(p.yMin)};
    const GlyphBox box = face.bbox();
    return {face.toThousandths(box.yMax), face.toThousandths(box.yMin)};
}

QPDFObjectHandle standardFontDictionary(QPDF& fontDoc, const std::string& name, bool symbolic) {
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/Font"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Type1"));
    dict.replaceKey("/BaseFont", QPDFObjectHandle::newName("/" + name));
    if (!symbolic) dict.replaceKey("/Encoding", QPDFObjectHandle::newName("/WinAnsiEncoding"));
    return fontDoc.makeIndirectObject(dict);
}

}  // namespace

std::string urwStandIn(const std::string& name) {
    for (const auto& standIn : kStandIns)
        if (name == standIn.name) return standIn.urw;
    return "";
}

bool isStandardFontName(const std::string& name) { return !urwStandIn(name).empty(); }

bool isSymbolicStandardFont(const std::string& name) { return name == "Symbol" || name == "ZapfDingbats"; }

namespace {

// Where fonts-urw-base35 installs the URW fonts' Type 1 programs, named after
// their PostScript names: the copies fontconfig answers first (it prefers
// Type 1 here, whose symbolic fonts keep their built-in codes).
constexpr const char* kUrwType1Folder = "/usr/share/fonts/X11/Type1/";

// The face of the URW stand-in: from its installed Type 1 file when that is
// the font it should be, else as fontconfig finds it. Looking there first
// spares loading fontconfig's configuration and caches, which cost 28 million
// instructions, a fortieth of a 2,000-page Bates run, when only standard fonts
// are used.
std::unique_ptr<FreeTypeFace> standInFace(const std::string& name, const std::string& urw) {
    const std::string installed = kUrwType1Folder + urw + ".pfb";
    if (::access(installed.c_str(), R_OK) == 0) {
        try {
            auto face = std::make_unique<FreeTypeFace>(installed, 0);
            if (urw == face->postscriptName()) return face;
        } catch (const HostError&) {
            // Not readable after all: fontconfig may know another copy.
        }
    }
    const std::string file = fontFileForPostscriptName(urw);
    if (file.empty())
        raise(kHostErrNotFound, "the metrics of " + name + " (the URW font " + urw + ") are not installed");
    return std::make_unique<FreeTypeFace>(file, 0);
}

// The metrics through the stand-in's AFM file, the way the font program
// gives them through FreeType (below): widths by the glyph a code's character
// maps to (text fonts) or by built-in code (symbolic fonts), advances rounded
// as FreeType rounds them; ascent and descent from the boxes of "d" and "p",
// else from the font box, widened outward to whole units as FreeType does.
StandardFontMetrics metricsOfAfm(const AfmMetrics& afm, bool symbolic) {
    StandardFontMetrics metrics;
    for (size_t code = 0; code < metrics.widths.size(); ++code) {
        const AfmGlyph* glyph = nullptr;
        if (symbolic) {
            glyph = afm.glyphOfCode(static_cast<int>(code));
        } else if (const char32_t c = winAnsiCharOf(static_cast<uint8_t>(code))) {
            glyph = afm.glyphOfCharacter(c);
        }
        metrics.widths[code] = glyph ? static_cast<int>(std::lround(glyph->width)) : 0;
    }
    const AfmGlyph* d = afm.glyphNamed("d");
    const AfmGlyph* p = afm.glyphNamed("p");
    if (d && p) {
        metrics.ascent = static_cast<int>(std::lround(d->box.ury));
        metrics.descent = static_cast<int>(std::lround(p->box.lly));
    } else {
        metrics.ascent = static_cast<int>(std::ceil(afm.fontBox().ury));
        metrics.descent = static_cast<int>(std::floor(afm.fontBox().lly));
    }
    return metrics;
}

// Symbol and ZapfDingbats write characters with their built-in codes. A
// character Symbol lacks is drawn as its question mark; ZapfDingbats has none,
// so such a character is left blank (a space) instead of drawing a dingbat.
HostFont symbolicFont(const std::string& name, const StandardFontMetrics& metrics) {
    if (name == "Symbol")
        return HostFont::simple(name, metrics.widths, metrics.ascent, metrics.descent, symbolCodeOf, '?');
    return HostFont::simple(name, metrics.widths, metrics.ascent, metrics.descent, dingbatsCodeOf, ' ');
}

}  // namespace

std::optional<StandardFontMetrics> standardFontMetricsFromAfm(const std::string& name, const std::string& afmFolder) {
    const std::string urw = urwStandIn(name);
    if (urw.empty()) return std::nullopt;
    try {
        const AfmMetrics afm = AfmMetrics::read(afmFolder + urw + ".afm");
        // Another font's metrics under the stand-in's file name are not its own.
        if (afm.fontName() != urw) return std::nullopt;
        return metricsOfAfm(afm, isSymbolicStandardFont(name));
    } catch (const HostError&) {
        // Missing or damaged: the font program answers instead.
        return std::nullopt;
    }
}

StandardFontMetrics standardFontMetricsFromFontProgram(const std::string& name) {
    const std::string urw = urwStandIn(name);
    if (urw.empty()) raise(kHostErrNotFound, "\"" + name + "\" is not one of the 14 standard fonts");
    const std::unique_ptr<FreeTypeFace> standIn = standInFace(name, urw);
    FreeTypeFace& face = *standIn;
    StandardFontMetrics metrics;
    metrics.widths = codeWidths(face, isSymbolicStandardFont(name));
    std::tie(metrics.ascent, metrics.descent) = verticalMetrics(face);
    return metrics;
}

StandardFontMetrics standardFontMetrics(const std::string& name, const std::string& afmFolder) {
    if (auto metrics = standardFontMetricsFromAfm(name, afmFolder)) return *metrics;
    return standardFontMetricsFromFontProgram(name);
}

HostFont makeStandardFont(const std::string& name, QPDF& fontDoc) {
    const std::string urw = urwStandIn(name);
    if (urw.empty()) raise(kHostErrNotFound, "\"" + name + "\" is not one of the 14 standard fonts");
    const bool symbolic = isSymbolicStandardFont(name);
    const StandardFontMetrics metrics = standardFontMetrics(name);
    HostFont font = symbolic ? symbolicFont(name, metrics) : HostFont::simple(name, metrics.widths, metrics.ascent,
                                                                              metrics.descent);
    font.setDictionary(standardFontDictionary(fontDoc, name, symbolic));
    return font;
}

}  // namespace qmhost
