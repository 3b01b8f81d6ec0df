// Image files for tests, written with libjpeg and libtiff: JPEGs in gray,
// RGB and CMYK, TIFFs in gray, white-is-zero gray, RGB, CMYK and palette
// colour over several strips, plus TIFF layouts the reader refuses. The
// samples follow one deterministic pattern (ImageSamples), so a test can
// compare what a reader delivers with what was written. Writers throw
// std::runtime_error on failure. Paths are files in a folder the caller owns
// (qmtest::FixtureFolder).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imagetest {

// --- JPEG
enum class JpegColor {
    Gray,       // 1 component, JFIF (APP0)
    RGB,        // stored as YCbCr, JFIF (APP0)
    CMYKApp14,  // 4 components with an APP14 marker, stored inverted
                // the way desktop-publishing programs store CMYK
    CMYKPlain,  // 4 components, no APP0 and no APP14: stored as given
};
int JpegComponents(JpegColor color);

// Writes a baseline JPEG (quality 100, no chroma subsampling) of the pattern.
// For CMYKApp14 the file holds 255 - sample, so a reader that honours the
// APP14 marker gets ImageSamples back (up to JPEG's rounding).
void WriteJpeg(const std::string& path, JpegColor color, int width, int height);
// The file's bytes (for mutation tests).
std::vector<uint8_t> JpegBytes(JpegColor color, int width, int height);

// --- TIFF
enum class TiffColor {
    Gray,         // photometric 1 (black is zero), 8 bits
    WhiteIsZero,  // photometric 0, 8 bits, holding 255 - the gray pattern
    RGB,          // photometric 2, 8 bits, 3 samples
    CMYK,         // photometric 5, 8 bits, 4 samples
    Palette,      // photometric 3, 8 bits, map with full 16-bit values
};

// Layout and coding of a TIFF; the defaults give a little-endian,
// uncompressed, contiguous, stripped 8-bit file.
struct TiffSpec {
    int width = 16;
    int height = 10;
    int photometric = 1;
    int bitsPerSample = 8;
    int samplesPerPixel = 1;
    int rowsPerStrip = 3;        // several strips, the last one shorter
    int compression = 1;         // 1 none, 5 LZW, 8 Deflate, 32773 PackBits
    int extraSamples = 0;        // 1: the last sample is associated alpha
    bool planar = false;         // PlanarConfiguration 2
    bool tiled = false;          // 16 x 16 tiles instead of strips
    bool bigEndian = false;      // "MM" byte order
    bool smallColorMap = false;  // a palette map already within 0..255
};
TiffSpec TiffSpecFor(TiffColor color, int width, int height, int rowsPerStrip = 3);

// Writes a TIFF of spec; its samples are TiffSamples(spec) (a palette map is
// PaletteMap(spec)). Layouts with more than 8 bits write the pattern widened.
void WriteTiff(const std::string& path, const TiffSpec& spec);
void WriteTiff(const std::string& path, TiffColor color, int width, int height,
               int rowsPerStrip = 3);
std::vector<uint8_t> TiffBytes(const TiffSpec& spec);

// --- expected samples
// The pattern: w x h pixels of `components` 8-bit samples, rows top first.
std::vector<uint8_t> ImageSamples(int width, int height, int components);
// What a TIFF of spec stores, row-padded to whole bytes (the pattern, packed
// for fewer bits; inverted for white-is-zero).
std::vector<uint8_t> TiffSamples(const TiffSpec& spec);
// The palette of spec: 3 x 256 16-bit values (red, green, blue).
std::vector<uint16_t> PaletteMap(const TiffSpec& spec);

// Writes bytes to path (binary).
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

}  // namespace imagetest
