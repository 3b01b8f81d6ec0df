// CJPEGImageType: the image type for JPEG files, read with libjpeg (6b
// interface) from a CBridgeStream through a source manager of its own.
//
// libjpeg's fatal errors leave the library by longjmp into this type's own
// code (no C++ exception crosses libjpeg's frames) and become a thrown
// kErrImageRead there; the library's message is shown as an alert. The first
// warning of a decompression (a truncated file, for instance) is shown too and
// decoding goes on: a truncated file still gives its full height.
//
// CMYK: files with an APP14 marker store inverted CMYK; their samples
// are inverted back on delivery, so the XObject carries ordinary DeviceCMYK.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/CImageType.h"

struct jpeg_decompress_struct;
struct JpegErrorManager;

class CJPEGImageType : public CImageType {
public:
    CJPEGImageType();
    explicit CJPEGImageType(CBridgeStream* stream);
    ~CJPEGImageType() override;

    // Each reads the header with Open on first use, then answers its field.
    int32_t GetWidth() override;
    int32_t GetHeight() override;
    int32_t GetBitsPerComponent() override;  // 8
    int32_t GetColorSpace() override;        // kImageColorGray, RGB or CMYK

    // Reads the header: dimensions, colour space and the APP14 marker. The
    // stream is opened for reading and closed again. Throws kErrImageRead (a
    // file libjpeg refuses, an empty file), kErrImageColorSpace (an output
    // colour space other than gray, RGB or CMYK, after the alert "Color Space:
    // %d") or kErrImageTooLarge (CheckImageSize).
    void Open();
    bool IsOpened() const { return mOpened; }
    // Whether delivered samples are inverted (CMYK under an APP14 marker); valid once read.
    bool GetInvert() const { return mInvert; }
    // Warnings libjpeg reported during the last read of the file (header or
    // samples); only the first of each read is shown.
    int32_t GetWarningCount() const;

    // See CImageType. Decodes the whole image while the host stores it.
    CosObj MakeImageXObject(PDDoc doc, int32_t filterCode, ASAtom* outColorSpace) override;
    // Writes the samples of an image XObject of the view's document (see CImageType).
    void WriteImageFile(AVDoc view, int32_t pageNumber, CPDEImage& image) override;

    // Installs this type's source manager on a decompressor: bytes come from
    // stream (open for reading; not owned) 4096 at a time. An empty stream is
    // libjpeg's input-empty error; an early end gives the premature-end warning
    // and an end-of-image marker.
    static void SetJPEGStreamSource(jpeg_decompress_struct* decompressor, CBridgeStream* stream);

private:
    // Makes the decompressor, reads the header and starts decompression; fills
    // the fields. On failure everything made is released and the code thrown.
    void StartDecompression();
    void ReleaseDecompression();

    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mBitsPerComponent = 0;
    int32_t mColorSpace = 0;
    bool mInvert = false;
    bool mOpened = false;
    std::unique_ptr<JpegErrorManager> mErrors;
    std::unique_ptr<jpeg_decompress_struct> mDecompressor;  // only inside one operation
    bool mDecompressorMade = false;
};
