// "PDFEditWrite": making page-content fonts and text objects.
#pragma once

#include "qmhost/PDETypes.h"
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

    // --- the page-content model (errors as in PDFEditRead)
    // A value kept on the object for the plug-in under key; another value under
    // the same key replaces it.
    void (*objectSetTag)(PDEObject object, ExtensionID extension, ASAtom key, void* value);
    void (*objectRemoveTag)(PDEObject object, ExtensionID extension, ASAtom key);
    void* (*objectGetTag)(PDEObject object, ExtensionID extension, ASAtom key);  // null when none

    // A deep copy of the element that no content holds yet. Release with objectRelease.
    PDEElement (*elementCopy)(PDEElement element, uint32_t flags);
    void (*elementSetClip)(PDEElement element, PDEClip clip);  // null: nothing clips it
    void (*elementSetGState)(PDEElement element, const PDEGraphicState* state, uint32_t size);
    // Sets the matrix as elementGetMatrix answers it; raises kHostErrBadParameter
    // for a form whose /Matrix cannot be inverted.
    void (*elementSetMatrix)(PDEElement element, const ASFixedMatrix* matrix);

    PDEClip (*clipCreate)(void);          // empty; release with objectRelease
    PDEClip (*clipCopy)(PDEClip clip);    // deep; release with objectRelease
    void (*clipAddElem)(PDEClip clip, int32_t index, PDEElement element);  // after index (see kPDEAfterLast)
    void (*clipRemoveElems)(PDEClip clip, int32_t index, int32_t count);

    PDEContent (*contentCreate)(void);  // empty; release with objectRelease
    // Adds the element after index (kPDEBeforeFirst: first; kPDEAfterLast: last);
    // the content takes its own reference. Raises kHostErrBadParameter for an
    // element that would hold the content itself.
    void (*contentAddElem)(PDEContent content, int32_t index, PDEElement element);
    void (*contentRemoveElem)(PDEContent content, int32_t index);  // kHostErrBadIndex
    // Writes the content into doc as new objects: with kPDEContentToForm a form
    // XObject stream (attrs give BBox, Matrix, FormType; attrsSize
    // sizeof(PDEContentAttrs)), with kPDEContentToPage a content stream; and a
    // new resource dictionary naming everything it draws. filters must be null
    // (the stream is written Flate-compressed).
    void (*contentToCosObj)(PDEContent content, uint32_t flags, const PDEContentAttrs* attrs,
                            uint32_t attrsSize, CosDoc doc, const void* filters, CosObj* contents,
                            CosObj* resources);

    // A new inline image from decoded samples (length must match the attributes),
    // placed by matrix. colorSpace is ignored for a stencil mask.
    PDEImage (*imageCreate)(const PDEImageAttrs* attrs, uint32_t attrsSize, const ASFixedMatrix* matrix,
                            uint32_t flags, PDEColorSpace colorSpace, const void* colorValue,
                            const void* filters, ASStm dataStm, const uint8_t* data, uint32_t length);
    // A new image element over an image XObject, placed by matrix.
    PDEImage (*imageCreateFromCosObj)(CosObj image, const ASFixedMatrix* matrix, PDEColorSpace colorSpace,
                                      const void* colorValue);
    // Replaces the samples (decoded, of the image's size); flags must be 0.
    void (*imageSetData)(PDEImage image, uint32_t flags, const uint8_t* data, uint32_t length);
    // The same from a host stream read to its end.
    void (*imageSetDataStm)(PDEImage image, uint32_t flags, const void* filters, ASStm stream);

    // A new form element over a form XObject; resources, when not null, become its
    // /Resources. Placed by matrix (the CTM at the Do).
    PDEForm (*formCreateFromCosObj)(const CosObj* form, const CosObj* resources, const ASFixedMatrix* matrix);
    PDEContent (*formGetContent)(PDEForm form);  // lent; read from the form on first use

    PDEColorSpace (*colorSpaceCreateFromName)(ASAtom family);  // DeviceGray, DeviceRGB, DeviceCMYK, Pattern
    // family Indexed: data is a PDEIndexedColorData.
    PDEColorSpace (*colorSpaceCreate)(ASAtom family, const void* data);
    PDEColorSpace (*colorSpaceCreateFromCosObj)(const CosObj* space);

    // Marked content with tag and properties (dict may be null; isInline: written
    // in the content, else named in /Properties).
    PDEContainer (*containerCreate)(ASAtom tag, const CosObj* dict, bool isInline);
    void (*containerSetContent)(PDEContainer container, PDEContent content);
    void (*containerSetDict)(PDEContainer container, const CosObj* dict, bool isInline);
    void (*containerSetMCTag)(PDEContainer container, ASAtom tag);

    // --- Later members: test size before use.
    // The characters of UTF-8 text that the font has no code for, which
    // fontEncodeText writes as "?" (simple fonts: outside WinAnsi) or as the
    // fallback glyph (composite fonts: no glyph). Answers how many characters
    // of the text are so (every occurrence counts; 0: the font shows it all)
    // and writes the distinct ones, in order of first appearance, as UTF-8
    // into missing: at most capacity - 1 bytes, never cut inside a character,
    // NUL-terminated. missing may be null when capacity is 0.
    int32_t (*fontGetMissingChars)(PDEFont font, const char* utf8, int32_t length, char* missing,
                                   int32_t capacity);
};

// Data of colorSpaceCreate for an Indexed space.
struct PDEIndexedColorData {
    ASAtom base;            // DeviceGray, DeviceRGB or DeviceCMYK
    int32_t hiVal;          // 0..255
    const uint8_t* lookup;  // (hiVal + 1) x the base's components bytes
    int32_t lookupLength;
};
