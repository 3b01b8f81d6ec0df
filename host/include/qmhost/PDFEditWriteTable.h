// "PDFEditWrite": making page-content fonts and text objects.
#pragma once

#include "qmhost/QMBase.h"

// What names a font to make. Fields not used are zero (kASAtomNull for atoms).
struct PDEFontAttrs {
    ASAtom name;      // the BaseFont name, e.g. "Helvetica-Bold"
    ASAtom type;      // "Type1" for the standard fonts
    ASAtom encoding;  // "WinAnsiEncoding", or kASAtomNull for a font's own encoding
};

// Flags of fontCreateFromSysFont.
enum : uint32_t {
    kPDEFontCreateEmbedded = 1,     // the font program goes into the document
    kPDEFontCreateNotEmbedded = 4,  // only the font's name and metrics
};

struct PDFEditWriteTable {
    uint32_t size;  // sizeof(PDFEditWriteTable)

    // One of the 14 standard fonts, never embedded, measured with metric-compatible
    // metrics. firstChar..lastChar is the code range (0..255); widths and
    // encoding must be null; baseEncoding is "WinAnsiEncoding" or kASAtomNull (the
    // symbolic fonts); fontFile must be null. Raises kHostErrNotFound for another
    // name. Needs no document. Release with fontRelease.
    PDEFont (*fontCreate)(const PDEFontAttrs* attrs, int32_t firstChar, int32_t lastChar,
                          const int16_t* widths, const char* const* encoding, ASAtom baseEncoding,
                          ASStm fontFile);
    // A composite font (Identity-H, with a ToUnicode map) over an installed font;
    // flags kPDEFontCreateEmbedded or kPDEFontCreateNotEmbedded. Release with fontRelease.
    PDEFont (*fontCreateFromSysFont)(PDSysFont sysFont, uint32_t flags);
    void (*fontRelease)(PDEFont font);  // null is ignored

    // Encodes UTF-8 text into the font's codes: one WinAnsi byte per character for
    // a simple font (a character outside WinAnsi becomes "?"), two bytes (big-endian
    // glyph id) for a composite font (a character without a glyph becomes the
    // glyph of "?"). Writes at most capacity bytes; answers the full length.
    int32_t (*fontEncodeText)(PDEFont font, const char* utf8, int32_t length, char* codes,
                              int32_t capacity);
    int32_t (*fontGetBytesPerCode)(PDEFont font);  // 1 or 2

    // A text object holding no runs. Release with textRelease.
    PDEText (*textCreate)(void);
    // Adds a run of encoded codes in font, placed by textMatrix (e.g. size 0 0
    // size 0 0), before run `index` (count: at the end).
    void (*textAddRun)(PDEText text, int32_t index, const char* codes, int32_t length, PDEFont font,
                       const ASFixedMatrix* textMatrix);
    void (*textRelease)(PDEText text);  // null is ignored
};
