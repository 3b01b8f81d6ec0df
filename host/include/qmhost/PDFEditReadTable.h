// "PDFEditRead": reading page-content fonts and text objects, and reading the
// page-content model (contents, elements, clips, colour spaces). Every operation
// raises kHostErrBadHandle for an unknown or released handle and
// kHostErrBadType for an object of another type, unless it says otherwise.
#pragma once

#include "qmhost/PDETypes.h"
#include "qmhost/QMBase.h"

struct PDFEditReadTable {
    uint32_t size;  // sizeof(PDFEditReadTable)

    // The font's dictionary, in a Cos document of the host's own that stays open
    // while the font lives; copy it into a document with Cos objCopy (a font
    // program is an indirect stream and is copied with it).
    CosObj (*fontGetCosObj)(PDEFont font);
    // The bounding box of run `index` in text space after its text matrix: left
    // 0 at the start of the baseline, right the sum of the advances, bottom the
    // font's descent and top its ascent, all scaled by the matrix.
    void (*textGetRunBBox)(PDEText text, int32_t index, ASFixedRect* box);
    int32_t (*textGetNumRuns)(PDEText text);

    // --- the page-content model
    void (*objectAcquire)(PDEObject object);  // one more reference
    void (*objectRelease)(PDEObject object);  // gives one back; null is ignored
    int32_t (*objectGetType)(PDEObject object);  // kPDEContent, kPDEText, ...
    // Describes the object (and what it holds, to `level` levels) line by line.
    void (*objectDump)(PDEObject object, int32_t level, PDEDumpProc proc, void* clientData);

    // The element's bounding box in the space of the content that holds it.
    void (*elementGetBBox)(PDEElement element, ASFixedRect* box);
    PDEClip (*elementGetClip)(PDEElement element);  // lent; null when nothing clips it
    // Fills the record; size must be sizeof(PDEGraphicState).
    void (*elementGetGState)(PDEElement element, PDEGraphicState* state, uint32_t size);
    // The element's matrix: the CTM at a path, text or shading; the CTM after the
    // placement of an image (its unit square) and of a form (with its /Matrix).
    void (*elementGetMatrix)(PDEElement element, ASFixedMatrix* matrix);
    // Whether the point (content space) lies on the element: inside the placed
    // unit square of an image or the placed /BBox of a form, else in the box.
    bool (*elementIsAtPoint)(PDEElement element, ASFixed x, ASFixed y);
    // Whether the element's box meets the rectangle.
    bool (*elementIsAtRect)(PDEElement element, ASFixed left, ASFixed top, ASFixed right,
                            ASFixed bottom);

    // A new content read from a content stream (or an array of them, or a form
    // XObject) with its resource dictionary (may be null). Damaged content is read
    // as far as it goes (see contentQuery). Release with objectRelease.
    PDEContent (*contentCreateFromCosObj)(CosObj contents, CosObj resources);
    int32_t (*contentGetNumElems)(PDEContent content);
    // Lent element at index; raises kHostErrBadIndex outside 0..count-1.
    PDEElement (*contentGetElem)(PDEContent content, int32_t index);
    int32_t (*contentQuery)(PDEContent content, int32_t question, void* reserved);
    void (*contentGetAttrs)(PDEContent content, PDEContentAttrs* attrs, uint32_t size);

    CosObj (*imageGetCosObj)(PDEImage image);  // the null object for an inline image
    bool (*imageIsCosObj)(PDEImage image);
    void (*imageGetAttrs)(PDEImage image, PDEImageAttrs* attrs, uint32_t size);
    PDEColorSpace (*imageGetColorSpace)(PDEImage image);  // lent; null for a stencil mask
    int32_t (*imageQuery)(PDEImage image, int32_t question);
    // The decoded samples; flags must be 0; buffer holds imageGetDataLen bytes.
    void (*imageGetData)(PDEImage image, uint32_t flags, uint8_t* buffer);
    int32_t (*imageGetDataLen)(PDEImage image);
    // The samples as a host stream (decoded when decode is true, else as stored).
    // The caller closes it.
    ASStm (*imageGetDataStm)(PDEImage image, bool decode);
    // The filter names as stored, at most capacity of them; answers how many there are.
    int32_t (*imageGetFilters)(PDEImage image, ASAtom* filters, int32_t capacity);

    CosObj (*formGetCosObj)(PDEForm form);

    ASAtom (*colorSpaceGetName)(PDEColorSpace space);  // the family: DeviceRGB, Indexed, ...
    CosObj (*colorSpaceGetCosObj)(PDEColorSpace space, CosDoc doc);  // made in doc for a name
    int32_t (*colorSpaceGetNumComps)(PDEColorSpace space);
    ASAtom (*colorSpaceGetBase)(PDEColorSpace space);  // Indexed: the base family; else kASAtomNull
    int32_t (*colorSpaceGetHiVal)(PDEColorSpace space);  // Indexed: the highest index; else -1
    // Indexed: copies the palette (at most capacity bytes); answers its full length.
    int32_t (*colorSpaceGetLookup)(PDEColorSpace space, uint8_t* buffer, int32_t capacity);
    int32_t (*colorSpaceGetBaseNumComps)(PDEColorSpace space);  // Indexed: the base's; else own

    int32_t (*clipGetNumElems)(PDEClip clip);
    PDEElement (*clipGetElem)(PDEClip clip, int32_t index);  // lent; kHostErrBadIndex

    PDEContent (*containerGetContent)(PDEContainer container);  // lent
    // The properties dictionary (null object when none); isInline tells whether it
    // is written in the content rather than named in /Properties. Answers whether
    // there is one.
    bool (*containerGetDict)(PDEContainer container, CosObj* dict, bool* isInline);
    ASAtom (*containerGetMCTag)(PDEContainer container);
};
