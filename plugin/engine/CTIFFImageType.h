// CTIFFImageType: the image type for TIFF files, read with libtiff on a
// duplicate of the stream's file descriptor (libtiff closes what it is given;
// the stream keeps its own).
//
// Handled: one image of 8-bit palette, 1/2/4/8-bit gray (black- or
// white-is-zero; white-is-zero samples are inverted on delivery), 8-bit RGB
// and 8-bit CMYK, in strips, one plane, unsigned samples, no extra samples.
// Tiled, planar, alpha (extra samples) and 16-bit layouts, other photometric
// values, unknown compressions and strips that lie past the end of the file
// are refused with a message and a thrown code. The Orientation tag is not
// applied.
//
// libtiff's error messages are shown as alerts as they occur; its warnings
// are dropped. libtiff is opened (engine/TIFFLibrary.h) and the handlers are
// installed by the first construction, which throws kErrImageRead after
// showing why when libtiff cannot be loaded; the plug-in's unload removes them.
#pragma once

#include <cstdint>

#include "engine/CImageType.h"

struct tiff;

class CTIFFImageType : public CImageType {
public:
    CTIFFImageType();
    // stream: a CBridgeStream whose GetHandle gives the file's descriptor.
    explicit CTIFFImageType(CBridgeStream* stream);
    ~CTIFFImageType() override;

    // Each runs Open first when the tags were not read yet.
    int32_t GetWidth() override;
    int32_t GetHeight() override;
    int32_t GetBitsPerComponent() override;  // bits per sample
    int32_t GetColorSpace() override;        // kImageColorGray/RGB/CMYK/Indexed

    // Reads and checks the tags; leaves the stream open for reading at its
    // start. Throws kErrImageRead (no TIFF), kErrImageColorSpace (photometric
    // value, palette not 8-bit), kErrImageLayout (layouts above) or
    // kErrImageTooLarge.
    void Open();
    bool IsOpened() const { return mOpened; }
    // The photometric interpretation read (tag 262); valid once read.
    int32_t GetPhotometric() const { return mPhotometric; }

    // See CImageType. A palette image gets [/Indexed /DeviceRGB 255 lookup]
    // and *outColorSpace DeviceRGB. The error-message buffer holds
    // "kErrorStr_TIFFNot8BitPalette" or "Bad TIFF Color Space" for the two
    // colour refusals.
    CosObj MakeImageXObject(PDDoc doc, int32_t filterCode, ASAtom* outColorSpace) override;
    // Writes the samples of an image XObject of the view's document (see CImageType).
    void WriteImageFile(AVDoc view, int32_t pageNumber, CPDEImage& image) override;

    // Installs libtiff's error and warning handlers, once until they are
    // removed; throws as GetTIFFLibrary does.
    static void InstallHandlers();
    // Gives libtiff back the handlers it had before InstallHandlers (unless
    // another was set since), so that libtiff, which stays loaded, keeps no
    // pointer into an unloaded plug-in. Does nothing when none are installed.
    static void RemoveHandlers() noexcept;

private:
    // Opens libtiff on a dup() of the stream's descriptor and reads and
    // checks the tags; mTiff is open afterwards. Throws after closing it.
    void OpenTIFF();
    void CloseTIFF() noexcept;
    void ReadTags();
    void CheckStrips();
    // Closes libtiff and puts the stream back at its start, open for reading.
    void Finish() noexcept;

    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    int32_t mBitsPerComponent = 0;
    int32_t mColorSpace = kImageColorUnread;
    int32_t mPhotometric = -1;
    bool mOpened = false;
    struct tiff* mTiff = nullptr;
};
