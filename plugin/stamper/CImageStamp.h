// CImageStamp: the image kind of stamp. It places the image file
// "kSelectFileE" at "kSizeS" percent (one pixel is one point at 100) onto the
// pages of the target document. The road depends on the host's major version:
//
// - from 6 on, the host converts the image file (JPEG, TIFF, PNG, GIF, BMP,
//   transparency kept) into a one-page document, which is placed exactly as
//   the PDF-page kind places a page, with that kind's checks and messages
//   (201 missing file, ...); a file the host cannot convert reports 218 (path)
//   followed by the host's reason (too large, cut, no image). The image's
//   one page is placed whatever "kPageNoS" holds: the image design dialog
//   hides the page number, and the same stamp places the same picture on
//   every host.
// - below 6, a CPDFImageElement reads the file itself (JPEG and TIFF): a
//   missing file reports 200 (path), an image that cannot be read 218 (path).
//
// Failures are reported and leave the stamp as the PDF-page kind's do.
#pragma once

#include <cstdint>
#include <string>

#include "stamper/CPDFPageStamp.h"

class CPDFImageElement;

class CImageStamp : public CPDFPageStamp {
public:
    // The first host major version that opens image files as documents.
    static constexpr int16_t kFirstImageDocumentVersion = 6;

    // A new owned cabinet of type 1.
    CImageStamp();
    // Wraps inCab without owning it.
    explicit CImageStamp(ASCab inCab);
    ~CImageStamp() override;

    // Takes the road of the host's version (GetHostVersion) and builds the
    // element of that road.
    bool Build(PDDoc inDoc) override;
    void DeleteBuiltObjects() override;

    // The image element on the road below version 6; null otherwise and when
    // not built.
    CPDFImageElement* GetImageElement() const { return mImageElement; }

protected:
    // Opens the image file as a one-page document through the host.
    bool OpenSource(CPDFDocument& inSource, const std::string& inPath) override;
    // Always 1: an image document has one page.
    int32_t SourcePageNumber() const override;

private:
    bool BuildImageElement(PDDoc inDoc);
    // Throws Stop with the message set when the image cannot be placed.
    void LoadImageFile();

    CPDFImageElement* mImageElement = nullptr;  // the element, typed; not owned here
};
