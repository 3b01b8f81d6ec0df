// Image files and image data for the host's image tests: writers of JPEG
// (libjpeg), TIFF (libtiff), GIF (a small writer of our own) and PNG/BMP (Qt),
// a JPEG decoder, and `pdfimages -list` parsed. Writers throw std::runtime_error on failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imagetest {

// 8-bit samples of an image, rows top to bottom, components interleaved.
struct Samples {
    int width = 0;
    int height = 0;
    int components = 0;
    std::string bytes;
};

// A smooth pattern (so that JPEG keeps it closely) with a different ramp per component.
Samples gradient(int width, int height, int components);
// Every sample the same value per component (values.size() components).
Samples solid(int width, int height, const std::vector<uint8_t>& values);

// JPEG of samples (1, 3 or 4 components; libjpeg adds the APP14 marker to CMYK).
std::string encodeJpeg(const Samples& samples, int quality = 90, bool progressive = false);
// JPEG data decoded by libjpeg (CMYK as stored, not inverted).
Samples decodeJpeg(const std::string& jpeg);

struct TiffLayout {
    int photometric = 2;        // PHOTOMETRIC_*
    int samplesPerPixel = 3;
    int bitsPerSample = 8;
    bool planar = false;        // PLANARCONFIG_SEPARATE
    bool tiled = false;         // 16 x 16 tiles
    bool alpha = false;         // the last sample is unassociated alpha
    int compression = 1;        // COMPRESSION_*
    std::vector<uint16_t> colorMap;  // 3 x 2^bits entries for a palette
    bool bigEndian = false;     // "MM" byte order
};
// A TIFF of the layout whose sample bytes are `data` (packed as the layout
// says, rows top to bottom; for planar files plane after plane).
void writeTiff(const std::string& path, int width, int height, const TiffLayout& layout, const std::string& data);

// A GIF of palette indices (8 bits each) with up to 256 RGB palette entries;
// transparent >= 0 names the transparent index.
std::string encodeGif(int width, int height, const std::vector<uint8_t>& palette, const std::string& indices,
                      int transparent = -1);

// Qt's writers: format "png" or "bmp"; rgba holds 4 bytes a pixel (straight alpha).
std::string encodeWithQt(int width, int height, const std::string& rgba, const char* format, bool gray = false);

// One row of `pdfimages -list`.
struct ListedImage {
    int page = 0;
    std::string type;   // "image", "smask"
    int width = 0;
    int height = 0;
    std::string color;  // "gray", "rgb", "cmyk", "index"
    int components = 0;
    int bits = 0;
    std::string encoding;  // "image" (Flate/LZW), "jpeg"
};
std::vector<ListedImage> listImages(const std::string& pdfPath);

}  // namespace imagetest
