// The interface of libqmhostimages.so, the part of the convert layer that
// reads PNG, GIF and BMP files with Qt's image readers (Qt Gui). The convert
// layer opens it on the first such file (core/LazyLibrary.h), so that a
// program that converts none loads no Qt Gui.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qmhost {

// Why a reading ended without pixels.
struct ImageReadFailure {
    bool sizeRefused = false;  // the size failed sizeAllowed: width and height say it
    int64_t width = 0;
    int64_t height = 0;
    std::string why;  // otherwise Qt's reason
};

// Takes the pixels of a read image: straight RGBA in sRGB, 4 bytes a pixel,
// rows top to bottom rowStride bytes apart, valid during the call.
using RgbaConsumer = void (*)(int32_t width, int32_t height, const uint8_t* rgba, size_t rowStride, void* context);

struct ImageReaderLibrary {
    // Reads bytes as an image of format (Qt's name: "png", "gif", "bmp"),
    // asking sizeAllowed about the size from the header before any pixel
    // memory is taken and about the size read; hands the pixels to consume and
    // answers true, or fills failure and answers false.
    bool (*read)(const std::string& bytes, const char* format, bool (*sizeAllowed)(int64_t width, int64_t height),
                 RgbaConsumer consume, void* context, ImageReadFailure* failure);
};

// The library's one exported symbol: extern "C" const ImageReaderLibrary* qmhostImageReaderLibrary().
constexpr const char* kImageReaderLibraryFile = "libqmhostimages.so";
constexpr const char* kImageReaderLibrarySymbol = "qmhostImageReaderLibrary";

}  // namespace qmhost
