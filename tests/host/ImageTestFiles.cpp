#include "ImageTestFiles.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <jpeglib.h>
#include <tiffio.h>

#include "common/PdfFixtures.h"

namespace imagetest {
namespace {

// A width, height or count held as int, as a size; a negative one is a fault of
// the test or of the file read.
size_t countOf(int value) {
    if (value < 0) throw std::invalid_argument("a negative count: " + std::to_string(value));
    return static_cast<size_t>(value);
}

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void failJpeg(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1); }
void quietJpeg(j_common_ptr, int) {}

bool compress(jpeg_compress_struct* info, JpegFailure* failure, const Samples* in, int quality, bool progressive,
              unsigned char** out, unsigned long* size) {
    info->err = jpeg_std_error(&failure->manager);
    failure->manager.error_exit = failJpeg;
    failure->manager.emit_message = quietJpeg;
    if (setjmp(failure->jump)) {
        jpeg_destroy_compress(info);
        return false;
    }
    jpeg_create_compress(info);
    jpeg_mem_dest(info, out, size);
    info->image_width = static_cast<JDIMENSION>(in->width);
    info->image_height = static_cast<JDIMENSION>(in->height);
    info->input_components = in->components;
    info->in_color_space = in->components == 1 ? JCS_GRAYSCALE : in->components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, quality, TRUE);
    if (progressive) jpeg_simple_progression(info);
    jpeg_start_compress(info, TRUE);
    while (info->next_scanline < info->image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<char*>(in->bytes.data())) +
                       static_cast<size_t>(info->next_scanline) * countOf(in->width) * countOf(in->components);
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    jpeg_destroy_compress(info);
    return true;
}

bool decompress(jpeg_decompress_struct* info, JpegFailure* failure, const std::string* in, Samples* out) {
    info->err = jpeg_std_error(&failure->manager);
    failure->manager.error_exit = failJpeg;
    failure->manager.emit_message = quietJpeg;
    if (setjmp(failure->jump)) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(in->data()), static_cast<unsigned long>(in->size()));
    jpeg_read_header(info, TRUE);
    jpeg_start_decompress(info);
    out->width = static_cast<int>(info->output_width);
    out->height = static_cast<int>(info->output_height);
    out->components = info->output_components;
    out->bytes.resize(countOf(out->width) * countOf(out->height) * countOf(out->components));
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(out->bytes.data()) +
                       static_cast<size_t>(info->output_scanline) * countOf(out->width) * countOf(out->components);
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

// GIF codes are written least significant bit first.
class GifBits {
public:
    void put(unsigned code) {
        mBits |= code << mCount;
        mCount += 9;
        while (mCount >= 8) {
            mOut.push_back(static_cast<char>(mBits & 0xFF));
            mBits >>= 8;
            mCount -= 8;
        }
    }
    std::string finish() {
        if (mCount > 0) mOut.push_back(static_cast<char>(mBits & 0xFF));
        return mOut;
    }

private:
    std::string mOut;
    unsigned mBits = 0;
    int mCount = 0;
};

void putLe16(std::string& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

size_t packedRowBytes(int width, int samples, int bits) {
    return (countOf(width) * countOf(samples) * countOf(bits) + 7) / 8;
}

}  // namespace

Samples gradient(int width, int height, int components) {
    Samples s{width, height, components, std::string()};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) {
                // Ramps of 0..150 across and 0..60 down, mirrored for odd components: no wrap, no edge.
                const int across = (c % 2 ? width - 1 - x : x) * 150 / (width > 1 ? width - 1 : 1);
                const int down = y * 60 / (height > 1 ? height - 1 : 1);
                s.bytes.push_back(static_cast<char>(across + down + c * 15));
            }
    return s;
}

Samples solid(int width, int height, const std::vector<uint8_t>& values) {
    Samples s{width, height, static_cast<int>(values.size()), std::string()};
    for (int i = 0; i < width * height; ++i)
        for (uint8_t v : values) s.bytes.push_back(static_cast<char>(v));
    return s;
}

std::string encodeJpeg(const Samples& samples, int quality, bool progressive) {
    jpeg_compress_struct info;
    JpegFailure failure;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool done = compress(&info, &failure, &samples, quality, progressive, &out, &size);
    std::string jpeg = done ? std::string(reinterpret_cast<char*>(out), size) : std::string();
    std::free(out);
    if (!done) throw std::runtime_error("libjpeg cannot encode the test image");
    return jpeg;
}

Samples decodeJpeg(const std::string& jpeg) {
    jpeg_decompress_struct info;
    JpegFailure failure;
    Samples out;
    if (!decompress(&info, &failure, &jpeg, &out)) throw std::runtime_error("libjpeg cannot decode the data");
    return out;
}

void writeTiff(const std::string& path, int width, int height, const TiffLayout& layout, const std::string& data) {
    TIFF* tiff = TIFFOpen(path.c_str(), layout.bigEndian ? "wb" : "wl");
    if (!tiff) throw std::runtime_error("libtiff cannot write " + path);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(layout.samplesPerPixel));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(layout.bitsPerSample));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, static_cast<uint16_t>(layout.photometric));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, static_cast<uint16_t>(layout.compression));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG,
                 static_cast<uint16_t>(layout.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG));
    if (layout.alpha) {
        const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(1), extra);
    }
    if (!layout.colorMap.empty()) {
        const size_t n = layout.colorMap.size() / 3;
        TIFFSetField(tiff, TIFFTAG_COLORMAP, layout.colorMap.data(), layout.colorMap.data() + n,
                     layout.colorMap.data() + 2 * n);
    }
    bool ok = true;
    if (layout.tiled) {
        // 8-bit contiguous samples only.
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, static_cast<uint32_t>(16));
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, static_cast<uint32_t>(16));
        const int spp = layout.samplesPerPixel;
        for (int ty = 0; ty < height && ok; ty += 16)
            for (int tx = 0; tx < width && ok; tx += 16) {
                std::string tile(static_cast<size_t>(16 * 16 * spp), '\0');
                for (int y = ty; y < ty + 16 && y < height; ++y)
                    for (int x = tx; x < tx + 16 && x < width; ++x)
                        for (int c = 0; c < spp; ++c)
                            tile[static_cast<size_t>(((y - ty) * 16 + (x - tx)) * spp + c)] =
                                data[static_cast<size_t>((y * width + x) * spp + c)];
                ok = TIFFWriteTile(tiff, tile.data(), static_cast<uint32_t>(tx), static_cast<uint32_t>(ty), 0, 0) > 0;
            }
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(4));
        const int planes = layout.planar ? layout.samplesPerPixel : 1;
        const size_t rowBytes = packedRowBytes(width, layout.planar ? 1 : layout.samplesPerPixel, layout.bitsPerSample);
        std::string row;
        for (int plane = 0; plane < planes && ok; ++plane)
            for (int y = 0; y < height && ok; ++y) {
                row = data.substr((countOf(plane) * countOf(height) + countOf(y)) * rowBytes, rowBytes);
                ok = TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), static_cast<uint16_t>(plane)) == 1;
            }
    }
    TIFFClose(tiff);
    if (!ok) throw std::runtime_error("libtiff cannot write the samples of " + path);
}

std::string encodeGif(int width, int height, const std::vector<uint8_t>& palette, const std::string& indices,
                      int transparent) {
    std::string out = "GIF89a";
    putLe16(out, width);
    putLe16(out, height);
    out += std::string("\xF7\x00\x00", 3);  // a global table of 256 entries
    std::string table(768, '\0');
    for (size_t i = 0; i < palette.size() && i < 768; ++i) table[i] = static_cast<char>(palette[i]);
    out += table;
    if (transparent >= 0) {
        out += std::string("\x21\xF9\x04\x01\x00\x00", 6);
        out.push_back(static_cast<char>(transparent));
        out.push_back('\0');
    }
    out.push_back('\x2C');
    putLe16(out, 0);
    putLe16(out, 0);
    putLe16(out, width);
    putLe16(out, height);
    out.push_back('\0');
    out.push_back('\x08');  // minimum code size 8: 9-bit codes
    // Literal codes only, the table cleared before it would need 10-bit codes.
    GifBits bits;
    bits.put(256);
    int sinceClear = 0;
    for (char index : indices) {
        if (sinceClear == 250) {
            bits.put(256);
            sinceClear = 0;
        }
        bits.put(static_cast<unsigned char>(index));
        ++sinceClear;
    }
    bits.put(257);
    const std::string codes = bits.finish();
    for (size_t at = 0; at < codes.size(); at += 255) {
        const std::string block = codes.substr(at, 255);
        out.push_back(static_cast<char>(block.size()));
        out += block;
    }
    out.push_back('\0');
    out.push_back('\x3B');
    return out;
}

std::string encodeWithQt(int width, int height, const std::string& rgba, const char* format, bool gray) {
    QImage image(reinterpret_cast<const uchar*>(rgba.data()), width, height, width * 4, QImage::Format_RGBA8888);
    QImage copy = gray ? image.convertToFormat(QImage::Format_Grayscale8) : image.copy();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(copy)) throw std::runtime_error("Qt cannot write the test image: " + writer.errorString().toStdString());
    return bytes.toStdString();
}

std::vector<ListedImage> listImages(const std::string& pdfPath) {
    const qmtest::CommandResult result = qmtest::runCommand("pdfimages -list " + qmtest::shellQuote(pdfPath));
    if (result.status != 0) throw std::runtime_error("pdfimages failed: " + result.output);
    std::istringstream lines(result.output);
    std::string line;
    std::vector<ListedImage> images;
    int skipped = 0;
    while (std::getline(lines, line)) {
        if (skipped < 2) {  // the heading and its rule
            ++skipped;
            continue;
        }
        std::istringstream row(line);
        ListedImage image;
        int number = 0;
        if (row >> image.page >> number >> image.type >> image.width >> image.height >> image.color >>
            image.components >> image.bits >> image.encoding)
            images.push_back(image);
    }
    return images;
}

}  // namespace imagetest
