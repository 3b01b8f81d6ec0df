// PNG, GIF and BMP files through Qt's image readers, which the image reader
// library holds (convert/ImageReaderLibrary.h): it is opened on the first such
// file, so that Qt Gui is loaded only by a program that reads one.
#include <cstring>

#include "convert/ImageFileChecks.h"
#include "convert/ImagePixels.h"
#include "convert/ImageReaderLibrary.h"
#include "core/LazyLibrary.h"
#include "core/Raise.h"

namespace qmhost {
namespace {

std::string kindName(const char* format) {
    std::string name = format;
    for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return name;
}

const ImageReaderLibrary& imageReaderLibrary() {
    static const ImageReaderLibrary& library =
        lazyTable<ImageReaderLibrary>(kImageReaderLibraryFile, kImageReaderLibrarySymbol);
    return library;
}

void keepPixels(int32_t width, int32_t height, const uint8_t* rgba, size_t rowStride, void* context) {
    *static_cast<ImagePixels*>(context) = pixelsFromRgba(width, height, rgba, rowStride);
}

}  // namespace

ImagePixels readQtImage(const std::string& bytes, const char* format, const std::string& name) {
    if (std::strcmp(format, "png") == 0) checkPngFile(bytes, name);
    if (std::strcmp(format, "gif") == 0) checkGifFile(bytes, name);
    if (std::strcmp(format, "bmp") == 0) checkBmpFile(bytes, name);
    ImagePixels pixels;
    ImageReadFailure failure;
    if (imageReaderLibrary().read(bytes, format, imageDimensionsAllowed, keepPixels, &pixels, &failure))
        return pixels;
    if (failure.sizeRefused) checkImageDimensions(failure.width, failure.height, name);
    raise(kHostErrBadImage, name + " is not a readable " + kindName(format) + " image: " + failure.why);
}

}  // namespace qmhost
