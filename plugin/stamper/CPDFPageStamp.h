// CPDFPageStamp: the PDF-page kind of stamp. Its element is a CPDFFormElement
// that places one page ("kPageNoS", from 1) of another PDF file
// ("kSelectFileE") at "kSizeS" percent onto the pages of the target document.
//
// Build checks the source in this order, each failure with its own message
// (logged unless no-log, put into the error buffer) and the stamp left not
// built: the file exists (201, path), it opens as a document (203, path), it
// allows changes to page contents (204), the page number lies within its
// pages (202, stamp name), the page's content can be read (205, stamp name),
// its resources can be copied into the target (206, stamp name). Any other
// failure reports 211 (or what a host error said).
//
// The image kind (CImageStamp) derives from it: from host version 6 on it
// opens its image file as a one-page source document and takes the same road.
#pragma once

#include <cstdint>
#include <string>

#include "stamper/CStamp.h"

class CPDFDocument;
class CPDFFormElement;

class CPDFPageStamp : public CStamp {
public:
    // A new owned cabinet of type 2.
    CPDFPageStamp();
    // Wraps inCab without owning it.
    explicit CPDFPageStamp(ASCab inCab);
    ~CPDFPageStamp() override;

    // Makes the form element, runs the base part, then opens and checks the
    // source and reads its page (see above). False and not built after any
    // failure of the source; the base part's non-throwing failure (a link
    // action that does not resolve) answers false with the stamp built.
    bool Build(PDDoc inDoc) override;
    void DeleteBuiltObjects() override;

    // The element, typed; null when not built.
    CPDFFormElement* GetFormElement() const { return mFormElement; }

protected:
    // For the image kind: a new owned cabinet of inType.
    explicit CPDFPageStamp(int32_t inType);

    // The PDF-page road from the kind's own Build: makes the form element,
    // runs the base part and places the source. inMissingMessage is the
    // string id for a source file that does not exist.
    bool BuildFromSource(PDDoc inDoc, uint32_t inMissingMessage);
    // Opens the file at inPath (UTF-8) into inSource, which then owns it.
    // False when it does not open: the message then says so (string 203 with
    // the path and, after ": ", the host's reason, unless the kind sets a
    // closer one). This kind opens PDF files.
    virtual bool OpenSource(CPDFDocument& inSource, const std::string& inPath);
    // The 1-based source page to place: "kPageNoS" (1 when missing).
    virtual int32_t SourcePageNumber() const;

private:
    // Throws Stop with the message set when the source does not serve.
    void PlaceSource(uint32_t inMissingMessage);

    CPDFFormElement* mFormElement = nullptr;  // the element, typed; not owned here
};
