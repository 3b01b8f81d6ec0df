// "PDModel": documents, pages, annotations, actions, destinations and file
// specifications. Page numbers are 0-based.
#pragma once

#include "qmhost/QMBase.h"

// A link annotation's border: corner radii, width and up to ten dash values (16.16).
struct PDLinkBorder {
    ASFixed hCornerRadius;
    ASFixed vCornerRadius;
    ASFixed width;
    int32_t dashArrayLen;  // 0..10
    ASFixed dashArray[10];
};

// The permission request that asks whether page contents may be changed.
enum : int32_t {
    kPDPermObjPageContents = 4,
    kPDPermOpModify = 3,
};

// Bits of the permission word (docGetPermissions), as in an encryption
// dictionary's /P: printing, changing the document, adding or changing notes.
enum : uint32_t {
    kPDPermPrint = 4,
    kPDPermModify = 8,
    kPDPermAnnotate = 32,
};

// Positions of docInsertPages.
enum : int32_t {
    kPDInsertBeforeFirstPage = -1,
    kPDInsertAfterLastPage = -2,
};

// A zoom that keeps the viewer's current zoom ("null" in the destination); in
// destCreate and destGetAttr it also marks a coordinate that is not set.
constexpr ASFixed kPDViewDestNullZoom = static_cast<ASFixed>(0x80000000u);

struct PDModelTable {
    uint32_t size;  // sizeof(PDModelTable)

    // Opens a PDF file. A damaged file is repaired where possible; an encrypted
    // one opens when it needs no user password. Raises kHostErrFileNotFound,
    // kHostErrFileOpen, kHostErrBadPDF or kHostErrEncrypted, the message naming the file.
    // Close with docClose.
    PDDoc (*docOpen)(ASPathName path);
    // A new, untitled document without pages.
    PDDoc (*docCreate)(void);
    // Writes the document to path through a temporary file in the target folder
    // that is renamed over the target; on failure the target is left as it was and
    // kHostErrFileWrite is raised. Afterwards the document's path is `path`.
    void (*docSave)(PDDoc doc, ASPathName path);
    // Closes the document; its pages and objects become stale. Null is ignored.
    void (*docClose)(PDDoc doc);
    int32_t (*docGetNumPages)(PDDoc doc);
    CosDoc (*docGetCosDoc)(PDDoc doc);
    // The document's file path, or null for an untitled document (never raises
    // for that). Release with AppSupport releasePath.
    ASPathName (*docAcquirePath)(PDDoc doc);

    // A page with one reference taken; raises kHostErrBadIndex outside 0..count-1.
    PDPage (*docAcquirePage)(PDDoc doc, int32_t pageNumber);
    void (*pageAcquire)(PDPage page);  // takes one more reference
    void (*pageRelease)(PDPage page);  // gives one back; null and stale pages are ignored
    CosObj (*pageGetCosObj)(PDPage page);
    PDDoc (*pageGetDoc)(PDPage page);
    int32_t (*pageGetNumber)(PDPage page);  // its current 0-based number
    // The crop box, else the media box (both may be inherited), normalised.
    void (*pageGetBox)(PDPage page, ASFixedRect* box);
    // Maps user space to the page as displayed: /Rotate (0, 90, 180, 270, clockwise
    // on screen) applied, y pointing up, the displayed box's lower-left corner at
    // the origin.
    void (*pageGetDefaultMatrix)(PDPage page, ASFixedMatrix* matrix);

    // --- page creation, deletion and boxes
    // A new page with that media box after page afterPage (-1: the new first page);
    // answers it with one reference taken.
    PDPage (*docCreatePage)(PDDoc doc, int32_t afterPage, const ASFixedRect* mediaBox);
    // Deletes pages firstPage..lastPage (lastPage = firstPage - 1 deletes nothing);
    // raises kHostErrBadIndex outside the document.
    void (*docDeletePages)(PDDoc doc, int32_t firstPage, int32_t lastPage);
    // Sets the page's media box and crop box to box.
    void (*pageSetBox)(PDPage page, const ASFixedRect* box);
    // The number of the page whose dictionary is pageDict, or -1 when it is no page of doc.
    int32_t (*docGetPageNumberOfCosObj)(PDDoc doc, CosObj pageDict);
    // Tells the host that a page's content changed (its drawing is out of date).
    void (*pageNotifyContentsDidChange)(PDPage page);

    // --- resources, in the page's effective resource dictionary: its own
    // /Resources, else the nearest one inherited through /Parent (created on the
    // page when there is none)
    // Puts value under /Resources/<type>/<name>; type is e.g. "Font", "XObject".
    void (*pageAddResource)(PDPage page, const char* type, const char* name, CosObj value);
    // Removes /Resources/<type>/<name>; nothing when absent.
    void (*pageRemoveResource)(PDPage page, const char* type, const char* name);

    // --- document information and permissions
    // The value of the information entry key ("Title", "Author", ...) as UTF-8
    // into buffer (NUL-terminated, cut at capacity on a character boundary);
    // answers the full length, 0 when absent.
    int32_t (*docGetInfo)(PDDoc doc, const char* key, char* buffer, int32_t capacity);
    // Sets an information entry from UTF-8 text (written as PDF text).
    void (*docSetInfo)(PDDoc doc, const char* key, const char* value);
    // Non-null when the document is encrypted.
    const void* (*docGetSecurityData)(PDDoc doc);
    // The atom of the security handler's name ("Standard"), kASAtomNull when none.
    ASAtom (*docGetSecurityHandlerName)(PDDoc doc);
    // 0 when the operation on the object is allowed, non-zero when refused.
    int32_t (*docPermRequest)(PDDoc doc, int32_t object, int32_t operation, void* reserved);

    // --- annotations
    // A new annotation of that subtype over rect (user space) on page; it is not
    // yet in the page's /Annots.
    PDAnnot (*pageCreateAnnot)(PDPage page, ASAtom subtype, const ASFixedRect* rect);
    int32_t (*pageGetNumAnnots)(PDPage page);
    PDAnnot (*pageGetAnnot)(PDPage page, int32_t index);  // raises kHostErrBadIndex
    // Puts annot into /Annots after index addAfter (-1: first; count-1 or more:
    // last), creating /Annots when missing, and sets its /P.
    void (*pageAddAnnot)(PDPage page, int32_t addAfter, PDAnnot annot);
    int32_t (*pageGetAnnotIndex)(PDPage page, PDAnnot annot);  // -1 when absent
    void (*pageRemoveAnnot)(PDPage page, int32_t index);       // raises kHostErrBadIndex
    bool (*annotIsValid)(PDAnnot annot);
    ASAtom (*annotGetSubtype)(PDAnnot annot);
    // Writes /Border [h v width [dashes]] on a link annotation.
    void (*linkAnnotSetBorder)(PDAnnot annot, const PDLinkBorder* border);
    void (*linkAnnotSetAction)(PDAnnot annot, PDAction action);  // its /A

    // --- actions
    // An action dictionary of that subtype ("GoTo", "GoToR", "Launch", "URI").
    PDAction (*actionNew)(PDDoc doc, ASAtom subtype);
    // A "GoTo" action to dest when destDoc is doc, else a "GoToR" action whose /F
    // names destDoc's file and whose /D holds the page number.
    PDAction (*actionNewFromDest)(PDDoc doc, PDViewDestination dest, PDDoc destDoc);
    // An action of that subtype ("Launch", "GoToR") with /F = fileSpec.
    PDAction (*actionNewFromFileSpec)(PDDoc doc, ASAtom subtype, PDFileSpec fileSpec);
    bool (*actionIsValid)(PDAction action);  // a dictionary with /S
    ASAtom (*actionGetSubtype)(PDAction action);
    // The destination of a GoTo/GoToR action (its /D), the null object when none.
    PDViewDestination (*actionGetDest)(PDAction action);
    void (*actionDestroy)(PDAction action);  // removes an indirect action's object

    // --- destinations: [page /Fit...] arrays
    // A destination to page (or, for a page of another document, pageNumber) with
    // fitType ("XYZ", "Fit", "FitH", "FitV", "FitR", "FitB", "FitBH", "FitBV"),
    // rect (left, top, right, bottom as the fit type needs) and zoom
    // (kPDViewDestNullZoom: none).
    PDViewDestination (*destCreate)(PDDoc doc, PDPage page, ASAtom fitType, const ASFixedRect* rect,
                                    ASFixed zoom, int32_t pageNumber);
    // dest made usable in doc: a named destination is looked up (/Dests, /Names),
    // an integer page is turned into that page of doc, a page of doc is kept;
    // a page of another document stands for the page with the same number in doc;
    // anything else gives the null object.
    PDViewDestination (*destResolve)(PDViewDestination dest, PDDoc doc);
    bool (*destIsValid)(PDViewDestination dest);  // an array whose first element is a page or integer
    // The page number (or -1 for a page of no document), fit type, rectangle and
    // zoom; every output is filled: values the fit type does not use read 0, a
    // missing or unknown fit type reads as "XYZ" with nothing set.
    void (*destGetAttr)(PDViewDestination dest, PDDoc doc, int32_t* pageNumber, ASAtom* fitType,
                        ASFixedRect* rect, ASFixed* zoom);

    // --- file specs
    // A file spec naming path, relative to the folder of relativeTo when
    // given (a path in the same folder or below becomes relative).
    PDFileSpec (*fileSpecNewFromPath)(PDDoc doc, ASPathName path, ASPathName relativeTo);
    bool (*fileSpecIsValid)(PDFileSpec fileSpec);
    // The spec's file name as UTF-8 into buffer; answers the full length.
    int32_t (*fileSpecGetText)(PDFileSpec fileSpec, char* buffer, int32_t capacity);

    // --- drawing
    // Draws the page into image (a QImage*, Format_ARGB32 or RGB32), mapping user
    // space by matrix into image coordinates with y up from the image's bottom
    // edge (the host flips); only updateRect (user space) need be drawn.
    void (*pageDrawContents)(PDPage page, void* image, const ASFixedMatrix* matrix,
                             const ASFixedRect* updateRect);

    // --- copying pages between documents
    // Inserts copies of count pages of source, from firstPage on, into dest after
    // page afterPage (kPDInsertBeforeFirstPage: in front; kPDInsertAfterLastPage:
    // at the end). Each copy takes the page's inherited attributes (resources,
    // boxes, rotation) along, with its content, resources and annotations; a
    // link between two of the copied pages leads to the copy. source is not
    // changed. Raises kHostErrBadParameter when dest and source are the same
    // document or count is negative, kHostErrBadIndex for a range outside source
    // or a position outside dest; count 0 does nothing.
    void (*docInsertPages)(PDDoc dest, int32_t afterPage, PDDoc source, int32_t firstPage,
                           int32_t count);

    // --- image files as documents (host version 6 and later)
    // A new untitled one-page document whose page (media box width x height points) is the image
    // at one pixel per point: JPEG kept as DCT data, TIFF, PNG, GIF, BMP (their first image),
    // transparency as a soft mask; the kind is told by content. Raises kHostErrUnsupported below
    // host version 6, kHostErrFileNotFound / kHostErrFileOpen / kHostErrFileRead, and
    // kHostErrBadImage for a file that is empty, no such image, damaged, cut or over 2^28 pixels.
    PDDoc (*docOpenImage)(ASPathName path);
    // The number of kinds of image file docOpenImage converts (the same at every host version).
    int32_t (*getImageConversionCount)(void);
    // Kind index's description ("JPEG", "TIFF", "PNG", "GIF", "BMP", static text) and, when extensions
    // is given, its file extensions ("jpg;jpeg;jpe;jfif": lower case, no dots, ';' between); null
    // (and *extensions null) for an index outside 0..count-1.
    const char* (*getImageConversionDescription)(int32_t index, const char** extensions);

    // --- permissions (a later member: test size before use)
    // The document's permission word (kPDPerm... bits, as its /P); every bit set when it is not
    // encrypted or was opened with its owner password. Raises kHostErrBadHandle for an unknown doc.
    uint32_t (*docGetPermissions)(PDDoc doc);
};
