// Writing a page-content image as a TIFF file through libtiff: PackBits
// strips, a colour map for a palette image.
#include "engine/CTIFFImageType.h"

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "engine/ImageColorSpaces.h"
#include "engine/ImageExportSamples.h"
#include "engine/ImageFileOutput.h"
#include "engine/ImageReadProgress.h"
#include "engine/TIFFLibrary.h"
#include "pagecontent/CPDEColorSpace.h"
#include "pagecontent/CPDEImage.h"
#include "support/CPDPageHolder.h"
#include "support/ErrorMessage.h"
#include "support/io/CBridgeStream.h"

namespace {

struct TiffLayout {
    uint16_t photometric;
    uint16_t samplesPerPixel;
};

TiffLayout layoutOf(int32_t family) {
    switch (family) {
    case kFamilyDeviceGray: case kFamilyCalGray: case kFamilyICC1: return {PHOTOMETRIC_MINISBLACK, 1};
    case kFamilyDeviceRGB: case kFamilyCalRGB: case kFamilyICC3: return {PHOTOMETRIC_RGB, 3};
    case kFamilyDeviceCMYK: case kFamilyICC4: return {PHOTOMETRIC_SEPARATED, 4};
    case kFamilyIndexedRGB: case kFamilyIndexedCalRGB: case kFamilyIndexedICC3: return {PHOTOMETRIC_PALETTE, 1};
    default: RefuseExportColorSpace();
    }
}

struct TiffCloser {
    TIFF* tiff;
    ~TiffCloser() {
        if (tiff) GetTIFFLibrary().TIFFClose(tiff);
    }
};

[[noreturn]] void failWrite(const char* what) {
    SetErrorMessage(std::string("Error Writing Image: ") + what);
    ThrowErrorCode(kErrOpenFile);
}

// The palette as three 256-entry 16-bit arrays, from the image's Indexed
// space; entries past the palette's real length stay black.
void setColorMap(TIFF* tiff, CPDEImage& image) {
    PDEColorSpace handle = image.GetColorSpace();
    if (!handle) RefuseExportColorSpace();
    CPDEColorSpace space(handle);
    std::vector<uint8_t> lookup(static_cast<size_t>(std::max(space.GetLookup(nullptr, 0), 0)));
    if (!lookup.empty()) space.GetLookup(lookup.data(), static_cast<int32_t>(lookup.size()));
    std::vector<uint16_t> red(256), green(256), blue(256);
    const size_t entries = std::min<size_t>(256, lookup.size() / 3);
    for (size_t i = 0; i < entries; ++i) {
        red[i] = static_cast<uint16_t>(lookup[i * 3] * 65535 / 255);
        green[i] = static_cast<uint16_t>(lookup[i * 3 + 1] * 65535 / 255);
        blue[i] = static_cast<uint16_t>(lookup[i * 3 + 2] * 65535 / 255);
    }
    if (!GetTIFFLibrary().TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data()))
        failWrite("the colour map");
}

// PDF holds 16-bit samples big-endian; libtiff takes a strip in the byte
// order of the machine and writes the order its file declares.
std::string machineOrderSamples(const ImageExportSamples& samples) {
    std::string data = samples.samples;
    if (samples.bitsPerComponent == 16 && std::endian::native == std::endian::little)
        for (size_t i = 0; i + 1 < data.size(); i += 2) std::swap(data[i], data[i + 1]);
    return data;
}

void writeTiff(const char* path, CPDEImage& image, const ImageExportSamples& samples, const TiffLayout& layout,
               int64_t rowBytes) {
    const TIFFLibrary& libtiff = GetTIFFLibrary();
    TiffCloser closer{libtiff.TIFFOpen(path, "w")};
    TIFF* tiff = closer.tiff;
    if (!tiff) failWrite("libtiff cannot open the file");
    libtiff.TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(samples.width));
    libtiff.TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(samples.height));
    libtiff.TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(samples.bitsPerComponent));
    libtiff.TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel);
    libtiff.TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
    libtiff.TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    libtiff.TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
    if (layout.photometric == PHOTOMETRIC_PALETTE) setColorMap(tiff, image);
    const uint32_t estimate = rowBytes < 16384 ? static_cast<uint32_t>(16384 / rowBytes) : 1;
    const uint32_t rowsPerStrip = std::max<uint32_t>(1, libtiff.TIFFDefaultStripSize(tiff, estimate));
    libtiff.TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    ImageReadProgress progress;
    progress.Begin(uint64_t(samples.height));
    std::string data = machineOrderSamples(samples);
    for (uint32_t row = 0, strip = 0; row < static_cast<uint32_t>(samples.height); row += rowsPerStrip, ++strip) {
        // The last strip holds only the rows that are left.
        const uint32_t rows = std::min<uint32_t>(rowsPerStrip, static_cast<uint32_t>(samples.height) - row);
        const tmsize_t size = static_cast<tmsize_t>(rows * rowBytes);
        if (libtiff.TIFFWriteEncodedStrip(tiff, strip, data.data() + row * rowBytes, size) < 0) failWrite("a strip");
        progress.SetValue(row + rows);
    }
    if (!libtiff.TIFFWriteDirectory(tiff)) failWrite("the directory");
    libtiff.TIFFClose(tiff);
    closer.tiff = nullptr;
}

}  // namespace

void CTIFFImageType::WriteImageFile(AVDoc view, int32_t pageNumber, CPDEImage& image) {
    CPDPageHolder page(view, pageNumber);  // the page stays while its image is written
    const ImageExportSamples samples = ReadImageExportSamples(image);
    const TiffLayout layout = layoutOf(samples.family);
    const int bits = samples.bitsPerComponent;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16) RefuseExportColorSpace();
    const int64_t rowBytes = (int64_t(samples.width) * layout.samplesPerPixel * bits + 7) / 8;
    CheckImageExportRows(samples, rowBytes);
    if (!mStream || !mStream->GetPathText() || !*mStream->GetPathText()) failWrite("no file named");
    // libtiff writes the new file itself, by its name.
    WriteImageFileWhole(mStream->GetPathText(), [&](const char* path) {
        writeTiff(path, image, samples, layout, rowBytes);
    });
}
