// CImageType: reads one image file through a byte stream and turns it into an
// image XObject of a PDF document. CJPEGImageType and CTIFFImageType implement
// it; GetImageFileType tells from a file's first bytes which one to make.
//
// Failures are thrown as in-house 16-bit codes (ErrorCode.h). Files from
// outside are trusted in nothing: a size that does not fit the limits below,
// a layout the reader does not handle or a damaged file is refused with a
// message (an alert and the error-message buffer) and a thrown code, never an
// over-read or a huge allocation.
#pragma once

#include <cstdint>

#include "qmhost/CosTable.h"
#include "qmhost/QMBase.h"
#include "support/ErrorCode.h"

class CBridgeStream;
class CPDEImage;
class CPDEImageXObject;

// Colour-space codes answered by GetColorSpace.
enum : int32_t {
    kImageColorGray = 0,     // DeviceGray
    kImageColorRGB = 1,      // DeviceRGB
    kImageColorCMYK = 2,     // DeviceCMYK
    kImageColorIndexed = 3,  // an 8-bit palette over DeviceRGB
    kImageColorUnread = 22,  // the TIFF type before it has read its file
};

// Filter codes for MakeImageXObject (GetFilterAtom turns them into names).
enum : int32_t {
    kImageFilterFlate = 1,
    kImageFilterDCT = 2,
    kImageFilterLZW = 3,
    kImageFilterRunLength = 4,
    kImageFilterNone = 5,  // write no "Filter" key: the samples are stored as they are
};

// File-type codes answered by GetImageFileType: four characters, the first in
// the highest byte ('JPEG' == 0x4A504547).
constexpr uint32_t MakeImageFileCode(const char (&text)[5]) {
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
           (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}
constexpr uint32_t kImageFileJPEG = MakeImageFileCode("JPEG");
constexpr uint32_t kImageFileTIFF = MakeImageFileCode("TIFF");
constexpr uint32_t kImageFileUnknown = MakeImageFileCode("Unkn");

// Error codes thrown by the image types.
enum : ErrorCode {
    kErrImageRead = kErrOpenFile,          // a file that cannot be read or is damaged
    kErrImageColorSpace = kErrColorSpace,  // a colour space or photometric value not handled
    kErrImageLayout = kErrColorSpace,  // a TIFF layout not handled (tiled, planar, alpha, 16-bit)
    kErrImageTooLarge = kErrNoMemory,  // dimensions beyond the limits below
    kErrImageUnderflow = kErrStream,   // a block of sample data could not be read
    kErrImageAllocation = kErrCosObject,  // a sample buffer could not be had (-1)
};

// Size limits of every image reader, checked before anything is allocated for
// the samples: each side 1..65535 pixels (the largest a JPEG can state) and at
// most 2^28 samples (width x height x components; 256 MB of 8-bit data). A
// 60000 x 60000 header is refused by the second limit.
constexpr int64_t kMaxImageSide = 65535;
constexpr int64_t kMaxImageSamples = int64_t(1) << 28;

// Checks width, height and components against the limits; a refusal shows
// "<what>: the image is <w> x <h> pixels, more than this reader accepts" (or a
// text for an empty image) and throws kErrImageTooLarge.
void CheckImageSize(int64_t width, int64_t height, int64_t components, const char* what);

// Shows text as an alert, puts it into the error-message buffer and throws
// code. For refusals of a file's content.
[[noreturn]] void RefuseImage(const char* text, ErrorCode code);

class CImageType {
public:
    CImageType();
    // stream: not owned; must outlive the type.
    explicit CImageType(CBridgeStream* stream);
    virtual ~CImageType();
    CImageType(const CImageType&) = delete;
    CImageType& operator=(const CImageType&) = delete;

    void SetStream(CBridgeStream* stream);
    CBridgeStream* GetStream() const { return mStream; }

    // The image's facts; the types read the file on first use (and throw when
    // it cannot be read). Width and height in pixels.
    virtual int32_t GetWidth() = 0;
    virtual int32_t GetHeight() = 0;
    virtual int32_t GetBitsPerComponent() = 0;
    virtual int32_t GetColorSpace() = 0;  // kImageColor...

    // Makes an indirect image XObject in doc's Cos document whose samples are
    // the file's decoded pixels, stored encoded with the filter of filterCode
    // (kImageFilter...; kImageFilterNone writes no "Filter"). Writes the name
    // atom of the colour space (its base for a palette) into *outColorSpace
    // when that is not null. Throws on every failure (nothing half-made is
    // returned). The stream is closed afterwards (the TIFF type leaves it
    // open for reading at its start).
    virtual CosObj MakeImageXObject(PDDoc doc, int32_t filterCode, ASAtom* outColorSpace) = 0;

    // out = (right - left, 0, 0, top - bottom, left, bottom): the matrix that
    // maps the unit square onto rect (16.16 fixed). Answers out.
    virtual ASFixedMatrix* GetImageMatrix(const ASFixedRect& rect, ASFixedMatrix* out) const;

    // The name atom of a filter code: 1 FlateDecode, 2 DCTDecode, 3 LZWDecode,
    // 4 RunLengthDecode; 0 for any other code. Needs the filter atoms made.
    static ASAtom GetFilterAtom(int32_t filterCode);

    // --- Export: the image behind a page-content element written as a file of
    // this type at the path of the type's stream (through a new file renamed
    // over it, so a failed export leaves the path as it was).
    // Writes the image FindElementImage finds; false when there is none.
    virtual bool ExportElementImage(CPDEImageXObject& element);
    // A form: FindFormImage of it; an image XObject: itself; otherwise null.
    virtual PDEImage FindElementImage(CPDEImageXObject& element);
    // The first image XObject in the form's content, depth first; null when none.
    virtual PDEImage FindFormImage(PDEForm form);
    // Writes the image's samples. Throws with "Bad PDF Color Space" for a colour
    // space the type does not write, "Error Writing Image Underflow" when the
    // samples are short, and kErrOpenFile when the file cannot be written.
    virtual void WriteImageFile(AVDoc view, int32_t pageNumber, CPDEImage& image) = 0;

protected:
    CBridgeStream* mStream = nullptr;
};

// The file type from the first four bytes of stream (not null):
// 49 49 2A 00 or 4D 4D 00 2A (a TIFF header in either byte order) is
// kImageFileTIFF; FF D8 FF (the start marker and the next segment's marker,
// whichever it is) is kImageFileJPEG; anything else kImageFileUnknown. A closed
// stream is opened for reading and closed again; an open one is read from
// where it stands and left after the four bytes. Fewer than four bytes (or a
// stream that does not open) throws kErrImageRead with "Error Reading Image
// Type" in the error-message buffer.
uint32_t GetImageFileType(CBridgeStream* stream);

// For a file of no type GetImageFileType knows: when the file named by the
// stream's path is a PNG, GIF or BMP image, which newer hosts convert, shows
// an alert saying so. Never throws.
void AlertOfFormatForNewerHosts(CBridgeStream* stream);

// Whether the file named by the stream's path begins with an EPS first line:
// "%!PS-Adobe-" and, after the first blank behind it, "EPSF-". False when the
// file cannot be opened.
bool IsEPSFile(CBridgeStream* stream);
