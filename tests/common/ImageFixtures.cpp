#include "common/ImageFixtures.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include <jpeglib.h>
#include <tiffio.h>

namespace imagetest {
namespace {

// A smooth pattern (a triangle wave), so that JPEG coding stays close to it.
uint8_t PatternValue(int x, int y, int c) {
    const int t = (x * 9 + y * 4 + c * 50) % 510;
    return uint8_t(t < 256 ? t : 509 - t);
}

J_COLOR_SPACE JpegInputSpace(JpegColor color) {
    switch (color) {
        case JpegColor::Gray: return JCS_GRAYSCALE;
        case JpegColor::RGB: return JCS_RGB;
        default: return JCS_CMYK;
    }
}

}  // namespace

int JpegComponents(JpegColor color) {
    switch (color) {
        case JpegColor::Gray: return 1;
        case JpegColor::RGB: return 3;
        default: return 4;
    }
}

std::vector<uint8_t> ImageSamples(int width, int height, int components) {
    std::vector<uint8_t> samples;
    samples.reserve(size_t(width) * size_t(height) * size_t(components));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) samples.push_back(PatternValue(x, y, c));
    return samples;
}

std::vector<uint8_t> JpegBytes(JpegColor color, int width, int height) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    const int components = JpegComponents(color);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = JpegInputSpace(color);
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    if (color == JpegColor::CMYKPlain) cinfo.write_Adobe_marker = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> samples = ImageSamples(width, height, components);
    // Files with the APP14 marker hold inverted CMYK.
    if (color == JpegColor::CMYKApp14)
        for (uint8_t& s : samples) s = uint8_t(255 - s);
    const size_t rowBytes = size_t(width) * size_t(components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = samples.data() + cinfo.next_scanline * rowBytes;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

void WriteJpeg(const std::string& path, JpegColor color, int width, int height) {
    WriteBytes(path, JpegBytes(color, width, height));
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

TiffSpec TiffSpecFor(TiffColor color, int width, int height, int rowsPerStrip) {
    TiffSpec spec;
    spec.width = width;
    spec.height = height;
    spec.rowsPerStrip = rowsPerStrip;
    switch (color) {
        case TiffColor::Gray: spec.photometric = PHOTOMETRIC_MINISBLACK; break;
        case TiffColor::WhiteIsZero: spec.photometric = PHOTOMETRIC_MINISWHITE; break;
        case TiffColor::RGB:
            spec.photometric = PHOTOMETRIC_RGB;
            spec.samplesPerPixel = 3;
            break;
        case TiffColor::CMYK:
            spec.photometric = PHOTOMETRIC_SEPARATED;
            spec.samplesPerPixel = 4;
            break;
        case TiffColor::Palette: spec.photometric = PHOTOMETRIC_PALETTE; break;
    }
    return spec;
}

std::vector<uint16_t> PaletteMap(const TiffSpec& spec) {
    std::vector<uint16_t> map(768);
    for (int i = 0; i < 256; ++i) {
        if (spec.smallColorMap) {
            map[size_t(i)] = uint16_t(i);
            map[size_t(256 + i)] = uint16_t(255 - i);
            map[size_t(512 + i)] = uint16_t((i * 3) % 256);
        } else {
            map[size_t(i)] = uint16_t(i * 257);
            map[size_t(256 + i)] = uint16_t(65535 - i * 200);
            map[size_t(512 + i)] = uint16_t((i * 4099) % 65536);
        }
    }
    if (!spec.smallColorMap) map[512 + 1] = 32768;  // half way: truncation and rounding differ
    return map;
}

std::vector<uint8_t> TiffSamples(const TiffSpec& spec) {
    const int spp = spec.samplesPerPixel;
    const std::vector<uint8_t> pattern = ImageSamples(spec.width, spec.height, spp);
    const bool invert = spec.photometric == PHOTOMETRIC_MINISWHITE;
    const size_t rowBytes = (size_t(spec.width) * size_t(spp) * size_t(spec.bitsPerSample) + 7) / 8;
    std::vector<uint8_t> stored(rowBytes * size_t(spec.height), 0);
    for (int y = 0; y < spec.height; ++y) {
        uint8_t* row = stored.data() + size_t(y) * rowBytes;
        for (size_t i = 0; i < size_t(spec.width) * size_t(spp); ++i) {
            uint8_t value = pattern[size_t(y) * size_t(spec.width) * size_t(spp) + i];
            if (invert) value = uint8_t(255 - value);
            if (spec.bitsPerSample == 8) {
                row[i] = value;
            } else if (spec.bitsPerSample == 16) {
                row[2 * i] = value;  // written in the file's order by libtiff; here big-endian
                row[2 * i + 1] = value;
            } else {
                const int bits = spec.bitsPerSample;
                const size_t bit = i * size_t(bits);
                const int shift = 8 - bits - int(bit % 8);
                row[bit / 8] = uint8_t(row[bit / 8] | ((value >> (8 - bits)) << shift));
            }
        }
    }
    return stored;
}

namespace {

void Check(int ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("libtiff: ") + what);
}

void WriteTiffData(TIFF* tif, const TiffSpec& spec, std::vector<uint8_t>& stored) {
    const size_t rowBytes = stored.size() / size_t(spec.height);
    if (spec.tiled) {
        const int tile = 16;
        const size_t tileRow =
            (size_t(tile) * size_t(spec.samplesPerPixel) * size_t(spec.bitsPerSample) + 7) / 8;
        std::vector<uint8_t> buffer(tileRow * tile, 0);
        for (int ty = 0; ty < spec.height; ty += tile)
            for (int tx = 0; tx < spec.width; tx += tile) {
                std::fill(buffer.begin(), buffer.end(), 0);
                Check(TIFFWriteTile(tif, buffer.data(), uint32_t(tx), uint32_t(ty), 0, 0) >= 0,
                      "tile");
            }
        return;
    }
    if (spec.planar) {
        const size_t planeRow = size_t(spec.width) * size_t(spec.bitsPerSample) / 8;
        std::vector<uint8_t> row(planeRow);
        for (int s = 0; s < spec.samplesPerPixel; ++s)
            for (int y = 0; y < spec.height; ++y) {
                for (int x = 0; x < spec.width; ++x)
                    row[size_t(x)] =
                        stored[size_t(y) * rowBytes + size_t(x * spec.samplesPerPixel + s)];
                Check(TIFFWriteScanline(tif, row.data(), uint32_t(y), uint16_t(s)) >= 0,
                      "plane row");
            }
        return;
    }
    for (int y = 0; y < spec.height; ++y)
        Check(TIFFWriteScanline(tif, stored.data() + size_t(y) * rowBytes, uint32_t(y), 0) >= 0,
              "row");
}

}  // namespace

void WriteTiff(const std::string& path, const TiffSpec& spec) {
    TIFF* tif = TIFFOpen(path.c_str(), spec.bigEndian ? "wb" : "wl");
    if (!tif) throw std::runtime_error("cannot create " + path);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(spec.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(spec.height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(spec.bitsPerSample));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(spec.samplesPerPixel));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(spec.photometric));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(spec.compression));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG,
                 uint16_t(spec.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG));
    if (spec.photometric == PHOTOMETRIC_SEPARATED)
        TIFFSetField(tif, TIFFTAG_INKSET, uint16_t(INKSET_CMYK));
    if (spec.photometric == PHOTOMETRIC_YCBCR)
        TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, uint16_t(1), uint16_t(1));
    if (spec.extraSamples > 0) {
        uint16_t kinds[1] = {EXTRASAMPLE_ASSOCALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), kinds);
    }
    if (spec.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, uint32_t(16));
        TIFFSetField(tif, TIFFTAG_TILELENGTH, uint32_t(16));
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(spec.rowsPerStrip));
    }
    std::vector<uint16_t> map;
    if (spec.photometric == PHOTOMETRIC_PALETTE) {
        map = PaletteMap(spec);
        const size_t entries = size_t(1) << spec.bitsPerSample;
        std::vector<uint16_t> r(map.begin(), map.begin() + long(entries));
        std::vector<uint16_t> g(map.begin() + 256, map.begin() + 256 + long(entries));
        std::vector<uint16_t> b(map.begin() + 512, map.begin() + 512 + long(entries));
        TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
    std::vector<uint8_t> stored = TiffSamples(spec);
    const std::unique_ptr<TIFF, void (*)(TIFF*)> closed(tif, &TIFFClose);
    WriteTiffData(tif, spec, stored);
}

void WriteTiff(const std::string& path, TiffColor color, int width, int height, int rowsPerStrip) {
    WriteTiff(path, TiffSpecFor(color, width, height, rowsPerStrip));
}

std::vector<uint8_t> TiffBytes(const TiffSpec& spec) {
    char name[] = "/tmp/qm-tiff-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("no temporary file");
    close(fd);
    // Removed on every road out, after the bytes are read.
    struct Removal {
        const char* path;
        ~Removal() { unlink(path); }
    } removal{name};
    WriteTiff(name, spec);
    return ReadBytes(name);
}

}  // namespace imagetest
