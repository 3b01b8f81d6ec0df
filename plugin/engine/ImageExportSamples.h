// What an image writer needs of a page-content image XObject: its size, depth,
// colour-space family and decoded samples, checked against each other.
#pragma once

#include <cstdint>
#include <string>

class CPDEImage;

struct ImageExportSamples {
    int32_t width = 0, height = 0, bitsPerComponent = 0, family = 0;
    std::string samples;  // decoded, rows packed as stored (16-bit samples big-endian)
};

// Reads them from the image's Cos stream ("Width", "Height", "BitsPerComponent"
// and the colour-space family) and its decoded data. An inline image has no
// stream: refused with "Bad PDF Color Space" like a space not written. The
// samples come out as the page draws them: a "Decode" array is applied, and an
// image mask is a 1-bit gray image whose painted samples are black.
ImageExportSamples ReadImageExportSamples(CPDEImage& image);

// Puts "Error Writing Image Underflow" into the error-message buffer and throws
// kErrImageUnderflow unless samples holds rows x rowBytes bytes.
void CheckImageExportRows(const ImageExportSamples& image, int64_t rowBytes);

// Puts "Bad PDF Color Space" into the error-message buffer and throws kErrImageColorSpace.
[[noreturn]] void RefuseExportColorSpace();
