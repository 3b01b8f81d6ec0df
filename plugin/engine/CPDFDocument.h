// CPDFDocument: the plug-in's handle on one host PDF document, either one the
// host already has open (not owned) or one this wrapper opened or created
// (owned, closed by the destructor). It gives page count, document
// information, page drawing, the permission test, and the page services a
// stamping run needs: appending a blank page, deleting every page and
// wrapping every page's content in a save/restore pair.
//
// No operation throws: host errors end an operation with the failure result
// named below and leave the fields as they were at that point (the host's
// text is then in the one-message error buffer).
#pragma once

#include <cstdint>
#include <string>

#include "qmhost/QMBase.h"

class QImage;

class CPDFDocument {
public:
    // The size of the information buffer: values are cut to 249 bytes (on a
    // UTF-8 character boundary).
    static constexpr int32_t kInfoCapacity = 250;
    // The blank page's box, 612 x 792 points.
    static constexpr ASFixedRect kBlankPageBox{0, 792 * kASFixedOne, 612 * kASFixedOne, 0};

    // No document, no view, not owning.
    CPDFDocument();
    // Wraps doc (not owned), no view.
    explicit CPDFDocument(PDDoc doc);
    // Closes the document (or its view) when owning.
    ~CPDFDocument();
    CPDFDocument(const CPDFDocument&) = delete;
    CPDFDocument& operator=(const CPDFDocument&) = delete;

    // Holds doc; owns it (closes it at destruction) when owns is set. True.
    bool Attach(PDDoc doc, bool owns);

    PDDoc GetPDDoc() const { return mPDDoc; }
    // The document's Cos document; null when no document is held or the host raised.
    CosDoc GetCosDoc() const;
    // The view (window) of the document: the elements record undo through it,
    // so a document without a view records nothing. Null when none is known.
    AVDoc GetAVDoc() const { return mAVDoc; }
    // Sets the view the host gives for the held document (the stamp does so
    // for an interactive run).
    void SetAVDoc(AVDoc view) { mAVDoc = view; }
    bool GetOwns() const { return mOwns; }

    // Only when no document is held: a new document with one blank 612 x 792
    // page, owned. False when a document is held or the host raised.
    bool CreateNew();
    // Only when no document is held: opens the PDF file at path (UTF-8), owned.
    // True when a document is now held.
    bool Open(const char* path);
    // True at once when no document is held; else closes the view when one is
    // known (which closes its document, without saving), otherwise the
    // document; then forgets both. False when the host raised.
    bool Close();
    // Opens a view (window) on the held document; the view then owns the
    // document. False when no document is held, a view is known already or the
    // host raised.
    bool OpenView();

    // The information value for key ("Title", "Author", ...) as UTF-8; empty
    // when absent, when no document is held or when the host raised.
    std::string GetInfo(const char* key) const;
    // The number of pages; 0 when no document is held or the host raised.
    int32_t GetPageCount() const;

    // Draws page pageIndex, as displayed (with its /Rotate), into target (a
    // QImage of Format_ARGB32 or RGB32) at zoom percent (100: one point is one
    // pixel), the page's displayed lower-left corner at (-xOffset, -yOffset)
    // pixels from the image's lower-left corner. False when no document or
    // target is given or the host raised.
    bool DrawPage(int32_t pageIndex, QImage* target, float zoom, int32_t xOffset, int32_t yOffset);

    // -1 when no document is held or the host raised; 1 when the document is
    // encrypted with the standard security handler and refuses changes to
    // page contents; else 0 (a PDF-page stamp needs 0).
    int32_t CheckPermission() const;

    // A new first page with the 612 x 792 media and crop box. False when no
    // document is held or the host raised.
    bool AppendBlankPage();
    // Deletes every page in one host call. True when there was nothing to
    // delete or the pages are gone; false when no document is held or the
    // host raised.
    bool DeleteAllPages();
    // Puts a save before and a restore after the existing content of every
    // page, so that what follows is drawn in the page's initial state: " q "
    // and " Q ", shared by the pages, or on a page whose content leaves
    // operators open or restores below its start, pieces that close and
    // balance them (CWrapPieces); with recordUndo, on the undo stack of the
    // document's view (see CPDFElement::WrapPageContent). A page that fails
    // does not stop the others; true only when every page was wrapped.
    bool WrapAllPageContents(bool recordUndo = false);

private:
    PDDoc mPDDoc = nullptr;
    AVDoc mAVDoc = nullptr;
    bool mOwns = false;
};
