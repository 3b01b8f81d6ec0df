#include "resources/ResourceBitmaps.h"

#include <array>
#include <cstddef>

#include "qmhost/AVIconData.h"

namespace {

constexpr int kSide = 20;

// Bitmap 110, the Manage Stamps button: a rubber stamp over its red imprint.
// One letter per pixel: '.' clear, 'k' outline, 'l' and 'w' the wooden
// handle's light and shade, 'g' the metal plate, 'r' the red rubber and ink.
constexpr const char* kStampArt[kSide] = {
    "....................",
    "........kkkk........",
    ".......kllwwk.......",
    "......klllwwwk......",
    "......kllwwwwk......",
    "......kwwwwwwk......",
    ".......kwwwwk.......",
    "........kwwk........",
    "........kwwk........",
    "........kwwk........",
    "...kkkkkkwwkkkkkk...",
    "..kggggggggggggggk..",
    "..kggggggggggggggk..",
    "..kkkkkkkkkkkkkkkk..",
    "..krrrrrrrrrrrrrrk..",
    "..kkkkkkkkkkkkkkkk..",
    "....................",
    ".rrrrrrrrrrrrrrrrrr.",
    ".rrrrrrrrrrrrrrrrrr.",
    "....................",
};

uint32_t Colour(char inLetter) {
    switch (inLetter) {
        case 'k': return 0xFF3A2A1Au;
        case 'l': return 0xFFE0B070u;
        case 'w': return 0xFFA86C34u;
        case 'g': return 0xFF8C949Cu;
        case 'r': return 0xFFC81E28u;
        default: return 0x00000000u;
    }
}

struct Bitmap {
    std::array<uint32_t, kSide * kSide> pixels{};
    AVIconData icon{};

    explicit Bitmap(const char* const (&inArt)[kSide]) {
        for (int row = 0; row < kSide; ++row)
            for (int column = 0; column < kSide; ++column)
                pixels[static_cast<size_t>(row * kSide + column)] = Colour(inArt[row][column]);
        icon = AVIconData{kSide, kSide, pixels.data()};
    }
};

}  // namespace

AVIcon FindResourceBitmap(uint16_t inId) {
    if (inId != 110) return nullptr;
    static const Bitmap stamp(kStampArt);
    return reinterpret_cast<AVIcon>(const_cast<AVIconData*>(&stamp.icon));
}
