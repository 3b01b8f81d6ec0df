#include "convert/ImagePixels.h"

#include "core/Raise.h"

namespace qmhost {

bool imageDimensionsAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX &&
           static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= kMaxImagePixels;
}

void checkImageDimensions(int64_t width, int64_t height, const std::string& name) {
    if (width <= 0 || height <= 0)
        raise(kHostErrBadImage, name + " has no pixels (" + std::to_string(width) + " x " +
                                    std::to_string(height) + ")");
    if (width > INT32_MAX || height > INT32_MAX ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxImagePixels)
        raise(kHostErrBadImage, name + " is too large: " + std::to_string(width) + " x " + std::to_string(height) +
                                    " pixels, more than the " + std::to_string(kMaxImagePixels) +
                                    " the host reads");
}

ImagePixels pixelsFromRgba(int32_t width, int32_t height, const uint8_t* rgba, size_t rowStride) {
    const size_t columns = static_cast<size_t>(width);
    const size_t rows = static_cast<size_t>(height);
    bool gray = true;
    bool opaque = true;
    for (size_t y = 0; y < rows && (gray || opaque); ++y)
        for (const uint8_t* p = rgba + y * rowStride; p < rgba + y * rowStride + columns * 4; p += 4) {
            gray = gray && p[0] == p[1] && p[1] == p[2];
            opaque = opaque && p[3] == 255;
        }
    ImagePixels image;
    image.width = width;
    image.height = height;
    image.components = gray ? 1 : 3;
    image.samples.resize(columns * rows * static_cast<size_t>(image.components));
    if (!opaque) image.alpha.resize(columns * rows);
    char* out = image.samples.data();
    char* alpha = image.alpha.data();
    for (size_t y = 0; y < rows; ++y)
        for (const uint8_t* p = rgba + y * rowStride; p < rgba + y * rowStride + columns * 4; p += 4) {
            *out++ = static_cast<char>(p[0]);
            if (!gray) {
                *out++ = static_cast<char>(p[1]);
                *out++ = static_cast<char>(p[2]);
            }
            if (!opaque) *alpha++ = static_cast<char>(p[3]);
        }
    return image;
}

}  // namespace qmhost
