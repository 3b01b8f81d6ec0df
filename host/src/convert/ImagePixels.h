// An image file read for placing on a page, and the readers of the kinds of
// image file the host converts into documents. Each reader works on the file's
// bytes in memory, trusts no length in them, and raises kHostErrBadImage with
// a message naming the file (`name`) for data that is no image of its kind,
// damaged, cut short or larger than kMaxImagePixels.
#pragma once

#include <cstdint>
#include <cstddef>
#include <string>

namespace qmhost {

// The most pixels (width x height) an image file may have.
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 28;

struct ImagePixels {
    int32_t width = 0;        // pixels
    int32_t height = 0;
    int32_t components = 0;   // 1 gray, 3 RGB, 4 CMYK
    // 8-bit samples, rows top to bottom, components interleaved; when dct is
    // set, the whole JPEG file instead.
    std::string samples;
    bool dct = false;
    bool invertedCmyk = false;  // a CMYK JPEG written with inverted samples (APP14 marker)
    std::string alpha;          // 8-bit opacity per pixel; empty when the image is opaque
};

// Whether 0 < width, height and width x height <= kMaxImagePixels.
bool imageDimensionsAllowed(int64_t width, int64_t height);
// Raises kHostErrBadImage unless imageDimensionsAllowed(width, height).
void checkImageDimensions(int64_t width, int64_t height, const std::string& name);

// Pixels from straight (not premultiplied) RGBA, 4 bytes a pixel, rows top to
// bottom rowStride bytes apart: gray when every pixel is, RGB otherwise; alpha
// kept only when some pixel is not opaque.
ImagePixels pixelsFromRgba(int32_t width, int32_t height, const uint8_t* rgba, size_t rowStride);

// JpegImageFile.cpp: a JPEG kept as it is (dct set). Its entropy-coded data is
// read through once, so that a cut or damaged file is refused here.
ImagePixels readJpegImage(const std::string& bytes, const std::string& name);
// TiffImageFile.cpp: the first image of a TIFF file, in any layout libtiff
// reads; 8-bit CMYK kept as CMYK, other kinds as gray or RGB with alpha.
ImagePixels readTiffImage(const std::string& bytes, const std::string& name);
// QtImageFile.cpp: a PNG, GIF (its first frame) or BMP through Qt's readers
// (loaded on first use); format is Qt's name of the kind ("png", "gif", "bmp").
ImagePixels readQtImage(const std::string& bytes, const char* format, const std::string& name);

}  // namespace qmhost
