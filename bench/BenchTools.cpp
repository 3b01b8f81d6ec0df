// qm_bench_tools: writes the input files of scripts/bench.
//
//   qm_bench_tools jpeg OUT.jpg SIZE
//       a SIZE x SIZE RGB JPEG (quality 90) of a smooth pattern with a ring,
//       so that it compresses like a real logo, not like a flat colour.
//   qm_bench_tools pages OUT.pdf COUNT
//       a PDF of COUNT 612 x 792 pages, each with a few lines of its own text
//       and a resource dictionary of its own (one shared font object).
//   qm_bench_tools overlay OUT.pdf IMAGE.jpg X Y WIDTH HEIGHT
//       a one-page 612 x 792 PDF that shows the JPEG (kept as DCT data) in the
//       box X, Y (lower left, points) of WIDTH x HEIGHT points.
//
// Exit status 0 on success, 1 on failure (the reason on standard error), 2 on
// wrong usage.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace {

constexpr int kMaxJpegSide = 20000;
constexpr int kMaxPages = 1000000;

// A decimal argument within [low, high]; throws otherwise.
int Number(const char* text, int low, int high) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high)
        throw std::invalid_argument(std::string("not a number from ") + std::to_string(low) + " to " +
                                    std::to_string(high) + ": " + text);
    return static_cast<int>(value);
}

// A colour per pixel: a diagonal gradient with a darker ring in the middle.
void LogoRow(int size, int y, std::vector<JSAMPLE>& row) {
    const double centre = (size - 1) / 2.0;
    for (int x = 0; x < size; ++x) {
        const double distance = std::hypot(x - centre, y - centre) / centre;
        const bool ring = distance > 0.55 && distance < 0.75;
        const int shade = ring ? 60 : 0;
        JSAMPLE* pixel = row.data() + 3 * static_cast<size_t>(x);
        pixel[0] = static_cast<JSAMPLE>(std::max(0, 40 + 200 * x / size - shade));
        pixel[1] = static_cast<JSAMPLE>(std::max(0, 90 + 120 * y / size - shade));
        pixel[2] = static_cast<JSAMPLE>(std::max(0, 220 - 150 * (x + y) / (2 * size) - shade));
    }
}

// libjpeg's default error handler ends the process with its message, which
// is what a command-line helper wants.
void WriteJpeg(const std::string& path, int size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = static_cast<JDIMENSION>(size);
    compressor.image_height = static_cast<JDIMENSION>(size);
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 90, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(size) * 3);
    for (int y = 0; y < size; ++y) {
        LogoRow(size, y, row);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    if (std::fclose(file) != 0) throw std::runtime_error("cannot write " + path);
}

QPDFObjectHandle NewPage(QPDF& pdf, const std::string& content, QPDFObjectHandle resources) {
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>");
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", pdf.newStream(content));
    return pdf.makeIndirectObject(page);
}

void Write(QPDF& pdf, const std::string& path) {
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.setObjectStreamMode(qpdf_o_generate);
    writer.write();
}

void WritePages(const std::string& path, int count) {
    QPDF pdf;
    pdf.emptyPDF();
    // One font object, and on every page a resource dictionary of its own, as
    // most producers write them.
    QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding /WinAnsiEncoding >>"));
    QPDFPageDocumentHelper pages(pdf);
    for (int i = 1; i <= count; ++i) {
        QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /Font << >> >>");
        resources.getKey("/Font").replaceKey("/F1", font);
        std::string content = "BT /F1 12 Tf 72 720 Td 14 TL\n";
        for (int line = 0; line < 6; ++line)
            content += "(Benchmark page " + std::to_string(i) + ", line " + std::to_string(line + 1) +
                       ": the quick brown fox jumps over the lazy dog.) '\n";
        content += "ET\n";
        pages.addPage(QPDFPageObjectHelper(NewPage(pdf, content, resources)), false);
    }
    Write(pdf, path);
}

// The width and height of a baseline or progressive JPEG, from its frame header.
void JpegSize(const std::string& data, int& width, int& height) {
    for (size_t at = 2; at + 9 < data.size();) {
        if (static_cast<unsigned char>(data[at]) != 0xFF) break;
        const auto marker = static_cast<unsigned char>(data[at + 1]);
        const size_t length = (static_cast<unsigned char>(data[at + 2]) << 8) | static_cast<unsigned char>(data[at + 3]);
        if (marker >= 0xC0 && marker <= 0xC2) {
            height = (static_cast<unsigned char>(data[at + 5]) << 8) | static_cast<unsigned char>(data[at + 6]);
            width = (static_cast<unsigned char>(data[at + 7]) << 8) | static_cast<unsigned char>(data[at + 8]);
            return;
        }
        at += 2 + length;
    }
    throw std::runtime_error("no JPEG frame header found");
}

void WriteOverlay(const std::string& path, const std::string& jpegPath, int x, int y, int width, int height) {
    std::ifstream in(jpegPath, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) throw std::runtime_error("cannot read " + jpegPath);
    int pixelsWide = 0, pixelsHigh = 0;
    JpegSize(data, pixelsWide, pixelsHigh);
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle image = pdf.newStream();
    image.replaceStreamData(data, QPDFObjectHandle::newName("/DCTDecode"), QPDFObjectHandle::newNull());
    QPDFObjectHandle dict = image.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(pixelsWide));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(pixelsHigh));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /XObject << >> >>");
    resources.getKey("/XObject").replaceKey("/Im0", image);
    const std::string content = "q " + std::to_string(width) + " 0 0 " + std::to_string(height) + " " +
                                std::to_string(x) + " " + std::to_string(y) + " cm /Im0 Do Q\n";
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(NewPage(pdf, content, resources)), false);
    Write(pdf, path);
}

int Usage() {
    std::fputs("usage: qm_bench_tools jpeg OUT.jpg SIZE\n"
               "       qm_bench_tools pages OUT.pdf COUNT\n"
               "       qm_bench_tools overlay OUT.pdf IMAGE.jpg X Y WIDTH HEIGHT\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    try {
        if (command == "jpeg" && argc == 4) {
            WriteJpeg(argv[2], Number(argv[3], 1, kMaxJpegSide));
        } else if (command == "pages" && argc == 4) {
            WritePages(argv[2], Number(argv[3], 1, kMaxPages));
        } else if (command == "overlay" && argc == 8) {
            WriteOverlay(argv[2], argv[3], Number(argv[4], -10000, 10000), Number(argv[5], -10000, 10000),
                         Number(argv[6], 1, 10000), Number(argv[7], 1, 10000));
        } else {
            return Usage();
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qm_bench_tools %s: %s\n", command.c_str(), error.what());
        return 1;
    }
    return 0;
}
