// CPDFImageElement: the element of an image stamp. LoadImage turns a JPEG or
// TIFF file into one image XObject of the target document (one pixel is one
// point at scale 1: an image of w x h pixels covers w x h points before the
// placement's scale); Write then places that one XObject on a page with its
// own "XObject" entry (NxI<n>), its own graphics state (NxGS<n>) for the
// opacity, an optional border drawn over the image and an optional link.
//
// Everything added is recorded for undo when recording is on: the image (kind
// 6, page -1) and per page the entry (2), the graphics state (3), the content
// pieces (0) and the link (4).
#pragma once

#include <cstdint>
#include <map>

#include "engine/CPDFElement.h"
#include "qmhost/QMBase.h"
#include "support/io/TFileSpecifier.h"

class CPDFImageElement : public CPDFElement {
public:
    static constexpr const char* kCreateError = "Error in creating the image";

    CPDFImageElement();
    // The image XObject stays in its document.
    ~CPDFImageElement() override;

    // Places the image on page pageIndex. False without a document or
    // placement, when the image was not made, or on a host error (the host's
    // text then in the error text and the error buffer); pieces added before a
    // failure stay (and stay recorded). Written into another document than the
    // one the image was loaded for, the image is made there once first.
    bool Write(int32_t pageIndex) override;

    // Copies the path of file.
    void SetImageFile(TFileSpecifier file);
    const TFileSpecifier& GetImageFile() const { return mImageFile; }

    // Makes the image XObject in the element's document (CreateImageXObject);
    // true when it was made. Records it (kind 6) when recording.
    bool LoadImage();
    // The image XObject of the file in the element's document, read with the
    // image type the file's first bytes call for, its samples stored with
    // /FlateDecode; sets the image size and the placement's element box
    // (the pixel size in points). The null object for a file of another type
    // (no message), or after a failure to read it ("Error in creating the
    // image" in the error buffer). Never throws.
    CosObj CreateImageXObject();

    // The image made by the last LoadImage; the null object when none.
    CosObj GetImage() const { return mImage; }
    int32_t GetImageWidth() const { return mImageWidth; }
    int32_t GetImageHeight() const { return mImageHeight; }

private:
    // The image for cosDoc: the loaded one, or one made there on first use;
    // the null object when the load failed.
    CosObj ImageFor(CosDoc cosDoc);
    // Host-raising part of Write.
    bool WritePage(int32_t pageIndex, PDPage page);

    int32_t mImageWidth = 0;
    int32_t mImageHeight = 0;
    TFileSpecifier mImageFile;
    CosObj mImage{};
    // Images made per target document.
    std::map<CosDoc, CosObj> mImages;
};
