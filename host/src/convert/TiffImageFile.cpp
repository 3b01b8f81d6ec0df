// TIFF files through libtiff, opened on the first one (convert/TiffLibrary.h),
// from memory. libtiff's RGBA reader handles every layout (strips or tiles,
// planes, 1 to 16 bits, palettes, alpha, orientation; CMYK of 8 bits only);
// 8-bit CMYK in strips is read as it is, so that it stays CMYK. Errors and
// warnings go to handlers of this handle only: the plug-in may have installed
// process-wide ones of its own.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>

#include "core/ExceptionTrap.h"
#include "core/Raise.h"
#include "convert/ImagePixels.h"
#include "convert/TiffLibrary.h"

namespace qmhost {
namespace {

struct MemoryFile {
    const std::string* bytes;
    toff_t position = 0;
    std::string error;  // libtiff's first error message
};

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size) {
    MemoryFile* file = static_cast<MemoryFile*>(handle);
    const toff_t left = file->position < file->bytes->size() ? file->bytes->size() - file->position : 0;
    const toff_t n = size < 0 ? 0 : (static_cast<toff_t>(size) < left ? static_cast<toff_t>(size) : left);
    if (n == 0) return 0;
    std::memcpy(buffer, file->bytes->data() + file->position, n);
    file->position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeMemory(thandle_t, void*, tmsize_t) { return 0; }

toff_t seekMemory(thandle_t handle, toff_t offset, int whence) {
    MemoryFile* file = static_cast<MemoryFile*>(handle);
    const toff_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? file->bytes->size() : 0;
    file->position = base + offset;  // reads past the end give nothing
    return file->position;
}

int closeMemory(thandle_t) { return 0; }

// The bytes are handed to libtiff as a mapped file: it reads them in place (and
// libtiff 4.5 misreads tiled files through its unmapped path).
int mapMemory(thandle_t handle, void** base, toff_t* size) {
    MemoryFile* file = static_cast<MemoryFile*>(handle);
    *base = const_cast<char*>(file->bytes->data());
    *size = file->bytes->size();
    return 1;
}

void unmapMemory(thandle_t, void*, toff_t) {}
toff_t sizeOfMemory(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes->size(); }

int keepFirstError(TIFF*, void* userData, const char* module, const char* format, va_list args) {
    MemoryFile* file = static_cast<MemoryFile*>(userData);
    if (file->error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        // No exception may cross libtiff's frames; without memory the message is lost.
        trappedRun([&] { file->error = module ? std::string(module) + ": " + text : std::string(text); });
    }
    return 1;  // handled: libtiff's process-wide handler stays out of it
}

int dropWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tiff) const { tiffLibrary().TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

[[noreturn]] void refuse(const std::string& name, const std::string& why, const MemoryFile& file) {
    raise(kHostErrBadImage, name + " is not a readable TIFF image: " + why +
                                (file.error.empty() ? std::string() : " (" + file.error + ")"));
}

TiffHandle openTiff(MemoryFile& file, const std::string& name) {
    const TiffLibrary& libtiff = tiffLibrary();
    TIFFOpenOptions* options = libtiff.TIFFOpenOptionsAlloc();
    if (!options) raise(kHostErrNoMemory, "no memory to open " + name);
    libtiff.TIFFOpenOptionsSetErrorHandlerExtR(options, keepFirstError, &file);
    libtiff.TIFFOpenOptionsSetWarningHandlerExtR(options, dropWarning, &file);
    // No single allocation beyond what the largest image allowed needs.
    libtiff.TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kMaxImagePixels * 8));
    TIFF* tiff = libtiff.TIFFClientOpenExt(name.c_str(), "r", &file, readMemory, writeMemory, seekMemory,
                                           closeMemory, sizeOfMemory, mapMemory, unmapMemory, options);
    libtiff.TIFFOpenOptionsFree(options);
    if (!tiff) refuse(name, "libtiff cannot open it", file);
    return TiffHandle(tiff);
}

bool isStrippedCmyk8(TIFF* tiff) {
    const TiffLibrary& libtiff = tiffLibrary();
    uint16_t photometric = 0, samples = 1, bits = 1, planar = PLANARCONFIG_CONTIG, inkSet = INKSET_CMYK;
    libtiff.TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    libtiff.TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    libtiff.TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    libtiff.TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    libtiff.TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inkSet);
    return photometric == PHOTOMETRIC_SEPARATED && inkSet == INKSET_CMYK && samples == 4 && bits == 8 &&
           planar == PLANARCONFIG_CONTIG && !libtiff.TIFFIsTiled(tiff);
}

// libtiff's RGBA reader passes CMYK of other depths than 8 bits as fine and
// then fails to read it: such a file is refused for its layout, not taken for
// a damaged one.
void refuseUnrenderedCmyk(TIFF* tiff, const MemoryFile& file, const std::string& name) {
    const TiffLibrary& libtiff = tiffLibrary();
    uint16_t photometric = 0, bits = 1;
    libtiff.TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    libtiff.TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    if (photometric == PHOTOMETRIC_SEPARATED && bits != 8)
        refuse(name, "CMYK TIFF images with " + std::to_string(bits) + " bits per sample are not read (8 bits are)",
               file);
}

ImagePixels readCmyk(TIFF* tiff, MemoryFile& file, uint32_t width, uint32_t height, const std::string& name) {
    const TiffLibrary& libtiff = tiffLibrary();
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (static_cast<size_t>(libtiff.TIFFScanlineSize(tiff)) != rowBytes)
        refuse(name, "its rows have a bad size", file);
    ImagePixels image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.components = 4;
    image.samples.resize(rowBytes * height);
    for (uint32_t row = 0; row < height; ++row)
        if (libtiff.TIFFReadScanline(tiff, image.samples.data() + rowBytes * row, row, 0) < 0)
            refuse(name, "row " + std::to_string(row) + " cannot be read; the file is cut or damaged", file);
    return image;
}

// RGBA from libtiff is premultiplied; PDF wants the colour as it is.
uint8_t unpremultiplied(uint32_t value, uint32_t alpha) {
    if (alpha == 0) return 0;
    const uint32_t straight = (value * 255 + alpha / 2) / alpha;
    return static_cast<uint8_t>(straight > 255 ? 255 : straight);
}

ImagePixels readRgba(TIFF* tiff, MemoryFile& file, uint32_t width, uint32_t height, const std::string& name) {
    const TiffLibrary& libtiff = tiffLibrary();
    char why[1024] = "";
    if (!libtiff.TIFFRGBAImageOK(tiff, why)) refuse(name, why, file);
    const size_t pixels = static_cast<size_t>(width) * height;
    // Not cleared first: a file that only claims a large size costs no more than
    // the pages libtiff writes before it fails.
    const std::unique_ptr<uint32_t[]> raster = std::make_unique_for_overwrite<uint32_t[]>(pixels);
    if (!libtiff.TIFFReadRGBAImageOriented(tiff, width, height, raster.get(), ORIENTATION_TOPLEFT, 1))
        refuse(name, "its image data cannot be read; the file is cut or damaged", file);
    // Each packed pixel becomes straight R, G, B, A bytes in its own place.
    for (uint32_t& pixel : std::span(raster.get(), pixels)) {
        const uint32_t a = TIFFGetA(pixel);
        const uint8_t bytes[4] = {unpremultiplied(TIFFGetR(pixel), a), unpremultiplied(TIFFGetG(pixel), a),
                                  unpremultiplied(TIFFGetB(pixel), a), static_cast<uint8_t>(a)};
        std::memcpy(&pixel, bytes, sizeof bytes);
    }
    return pixelsFromRgba(static_cast<int32_t>(width), static_cast<int32_t>(height),
                          reinterpret_cast<const uint8_t*>(raster.get()), static_cast<size_t>(width) * 4);
}

}  // namespace

ImagePixels readTiffImage(const std::string& bytes, const std::string& name) {
    const TiffLibrary& libtiff = tiffLibrary();
    MemoryFile file{&bytes, 0, std::string()};
    TiffHandle tiff = openTiff(file, name);
    uint32_t width = 0, height = 0;
    if (!libtiff.TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !libtiff.TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height))
        refuse(name, "it gives no image size", file);
    checkImageDimensions(width, height, name);
    if (isStrippedCmyk8(tiff.get())) return readCmyk(tiff.get(), file, width, height, name);
    refuseUnrenderedCmyk(tiff.get(), file, name);
    return readRgba(tiff.get(), file, width, height, name);
}

}  // namespace qmhost
