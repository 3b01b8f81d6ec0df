#include "common/Netpbm.h"

#include <gtest/gtest.h>

#include <fstream>
#include <istream>
#include <stdexcept>

#include "common/PdfFixtures.h"

namespace qmtest {
namespace {

void skipSpaceAndComments(std::istream& in) {
    for (;;) {
        const int c = in.peek();
        if (c == '#') {
            std::string ignored;
            std::getline(in, ignored);
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            in.get();
        } else {
            return;
        }
    }
}

}  // namespace

int Netpbm::sample(int x, int y, int c) const {
    if (x < 0 || y < 0 || c < 0 || x >= width || y >= height || c >= components) return -1;
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) *
                          static_cast<size_t>(components) + static_cast<size_t>(c);
    return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : -1;
}

std::string Netpbm::plane(int c) const {
    std::string out;
    if (components <= 0 || c < 0 || c >= components) return out;
    for (size_t i = static_cast<size_t>(c); i < bytes.size(); i += static_cast<size_t>(components)) out += bytes[i];
    return out;
}

size_t Netpbm::darkPixels(int threshold) const {
    size_t dark = 0;
    for (const char sampleByte : plane(0)) dark += static_cast<unsigned char>(sampleByte) < threshold;
    return dark;
}

Netpbm readNetpbm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic;
    Netpbm image;
    int maxValue = 1;
    skipSpaceAndComments(in);
    in >> image.width;
    skipSpaceAndComments(in);
    in >> image.height;
    if (magic != "P4") {
        skipSpaceAndComments(in);
        in >> maxValue;
    }
    in.get();
    if (!in || (magic != "P4" && magic != "P5" && magic != "P6") || maxValue != (magic == "P4" ? 1 : 255) ||
        image.width < 0 || image.height < 0)
        throw std::runtime_error("not a netpbm file of 8-bit samples: " + path);
    image.components = magic == "P6" ? 3 : 1;
    const auto width = static_cast<size_t>(image.width), height = static_cast<size_t>(image.height);
    if (magic == "P4") {
        const size_t rowBytes = (width + 7) / 8;
        std::string packed(rowBytes * height, '\0');
        in.read(packed.data(), static_cast<std::streamsize>(packed.size()));
        for (size_t y = 0; y < height; ++y)
            for (size_t x = 0; x < width; ++x) {
                const bool black = (packed[y * rowBytes + x / 8] >> (7 - x % 8)) & 1;
                image.bytes.push_back(black ? '\0' : '\xFF');
            }
    } else {
        image.bytes.resize(width * height * static_cast<size_t>(image.components));
        in.read(image.bytes.data(), static_cast<std::streamsize>(image.bytes.size()));
    }
    if (!in) throw std::runtime_error("netpbm file cut short: " + path);
    return image;
}

Netpbm drawPage(const std::string& pdf, const std::string& stem, int dpi, bool gray, int page,
                const std::string& options) {
    const std::string n = std::to_string(page);
    const CommandResult result = runCommand("pdftoppm -r " + std::to_string(dpi) + " -f " + n + " -l " + n +
                                            (gray ? " -gray " : " ") + options + " -singlefile " + shellQuote(pdf) +
                                            " " + shellQuote(stem));
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output.find("rror"), std::string::npos) << result.output;
    if (result.status != 0) return {};
    return readNetpbm(stem + (gray ? ".pgm" : ".ppm"));
}

}  // namespace qmtest
