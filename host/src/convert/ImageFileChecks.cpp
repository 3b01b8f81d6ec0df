#include "convert/ImageFileChecks.h"

#include <cstdint>
#include <cstring>

#include "core/Raise.h"
#include "convert/ImagePixels.h"

namespace qmhost {
namespace {

[[noreturn]] void refuse(const std::string& name, const char* kind, const std::string& why) {
    raise(kHostErrBadImage, name + " is not a readable " + kind + " image: " + why);
}

// Readers of numbers at offsets the callers have checked against the size.
uint32_t byteAt(const std::string& bytes, size_t at) { return static_cast<uint8_t>(bytes[at]); }
uint32_t le16(const std::string& bytes, size_t at) { return byteAt(bytes, at) | byteAt(bytes, at + 1) << 8; }
uint32_t le32(const std::string& bytes, size_t at) { return le16(bytes, at) | le16(bytes, at + 2) << 16; }
uint32_t be32(const std::string& bytes, size_t at) {
    return byteAt(bytes, at) << 24 | byteAt(bytes, at + 1) << 16 | byteAt(bytes, at + 2) << 8 | byteAt(bytes, at + 3);
}

// --- GIF

constexpr const char* kGif = "GIF";

// Bytes of a colour table whose presence and size a flags byte gives.
size_t colorTableBytes(uint32_t flags) { return (flags & 0x80) ? 3u * (2u << (flags & 7)) : 0; }

// Skips a chain of data sub-blocks; answers the offset behind its terminator.
size_t skipSubBlocks(const std::string& bytes, size_t at, const std::string& name) {
    for (;;) {
        if (at >= bytes.size()) refuse(name, kGif, "the file is cut short inside its data");
        const size_t length = byteAt(bytes, at++);
        if (length == 0) return at;
        at += length;
    }
}

}  // namespace

void checkPngFile(const std::string& bytes, const std::string& name) {
    // Signature (8), the first chunk's length and type (8), width and height.
    if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        refuse(name, "PNG", "its header is cut short or missing");
    checkImageDimensions(be32(bytes, 16), be32(bytes, 20), name);
}

void checkGifFile(const std::string& bytes, const std::string& name) {
    if (bytes.size() < 13) refuse(name, kGif, "its header is cut short");
    const uint32_t screenWidth = le16(bytes, 6);
    const uint32_t screenHeight = le16(bytes, 8);
    if (screenWidth != 0 && screenHeight != 0) checkImageDimensions(screenWidth, screenHeight, name);
    size_t at = 13 + colorTableBytes(byteAt(bytes, 10));
    for (;;) {
        if (at >= bytes.size()) refuse(name, kGif, "the file is cut short before its first image");
        const uint32_t block = byteAt(bytes, at++);
        if (block == 0x21) {  // an extension: its label, then data sub-blocks
            at = skipSubBlocks(bytes, at + 1, name);
        } else if (block == 0x2C) {  // the first image: descriptor, colours, code size, data
            if (at + 9 > bytes.size()) refuse(name, kGif, "the file is cut short in its image descriptor");
            checkImageDimensions(le16(bytes, at + 4), le16(bytes, at + 6), name);
            at += 9 + colorTableBytes(byteAt(bytes, at + 8));
            skipSubBlocks(bytes, at + 1, name);
            return;
        } else if (block == 0x3B) {
            refuse(name, kGif, "it ends without an image");
        } else {
            refuse(name, kGif, "it holds an unknown block");
        }
    }
}

void checkBmpFile(const std::string& bytes, const std::string& name) {
    constexpr const char* kBmp = "BMP";
    if (bytes.size() < 26) refuse(name, kBmp, "its header is cut short");
    const uint64_t dataOffset = le32(bytes, 10);
    const uint32_t headerSize = le32(bytes, 14);
    int64_t width = 0, height = 0;
    uint32_t bits = 0, compression = 0, dataSize = 0;
    if (headerSize == 12) {  // the old core header: 16-bit sizes
        width = le16(bytes, 18);
        height = le16(bytes, 20);
        bits = le16(bytes, 24);
    } else if (headerSize >= 40) {
        if (bytes.size() < 54) refuse(name, kBmp, "its header is cut short");
        width = static_cast<int32_t>(le32(bytes, 18));
        height = static_cast<int32_t>(le32(bytes, 22));  // negative: rows top to bottom
        bits = le16(bytes, 28);
        compression = le32(bytes, 30);
        dataSize = le32(bytes, 34);
    } else {
        return;  // a header Qt may know; its reader decides
    }
    const int64_t rows = height < 0 ? -height : height;
    checkImageDimensions(width, rows, name);
    uint64_t needed = 0;
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (uncompressed && (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32))
        needed = dataOffset + (static_cast<uint64_t>(width) * bits + 31) / 32 * 4 * static_cast<uint64_t>(rows);
    else if ((compression == 1 || compression == 2) && dataSize != 0)  // run-length: the header's size
        needed = dataOffset + dataSize;
    if (needed > bytes.size())
        refuse(name, kBmp, "the file is cut short: its pixels need " + std::to_string(needed) + " bytes, it has " +
                               std::to_string(bytes.size()));
}

}  // namespace qmhost
