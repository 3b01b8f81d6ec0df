#include "cos/ImageEncoders.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/Raise.h"
#include "cos/JpegErrorTrap.h"

namespace qmhost {
namespace {

// --- DCT

struct DctJob {
    const unsigned char* samples;
    JDIMENSION width;
    JDIMENSION height;
    int components;
    int quality;
    unsigned char* out;     // malloc'ed by libjpeg's memory destination
    unsigned long outSize;
};

J_COLOR_SPACE colorSpaceFor(int components) {
    return components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
}

// Drives libjpeg; see JpegErrorTrap.h for why nothing here has a destructor.
bool compressInto(jpeg_compress_struct* info, JpegErrorTrap* trap, DctJob* job) {
    installJpegErrorTrap(reinterpret_cast<j_common_ptr>(info), trap);
    if (setjmp(trap->jump)) {
        jpeg_destroy_compress(info);
        return false;
    }
    jpeg_create_compress(info);
    jpeg_mem_dest(info, &job->out, &job->outSize);
    info->image_width = job->width;
    info->image_height = job->height;
    info->input_components = job->components;
    info->in_color_space = colorSpaceFor(job->components);
    jpeg_set_defaults(info);
    jpeg_set_quality(info, job->quality, TRUE);
    jpeg_start_compress(info, TRUE);
    const size_t rowBytes = static_cast<size_t>(job->width) * static_cast<size_t>(job->components);
    while (info->next_scanline < info->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(job->samples + rowBytes * info->next_scanline);
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    jpeg_destroy_compress(info);
    return true;
}

// --- LZW

constexpr uint32_t kClearCode = 256;
constexpr uint32_t kEndCode = 257;
constexpr uint32_t kFirstCode = 258;
// The table is started again before its last codes, as common writers do, so
// that no reader's table overflows.
constexpr uint32_t kClearAt = 4094;

class BitWriter {
public:
    void put(uint32_t code, int width) {
        mBits = (mBits << width) | code;
        mCount += width;
        while (mCount >= 8) {
            mCount -= 8;
            mOut.push_back(static_cast<char>((mBits >> mCount) & 0xFF));
        }
        mBits &= (1u << mCount) - 1;
    }
    std::string finish() {
        if (mCount > 0) mOut.push_back(static_cast<char>((mBits << (8 - mCount)) & 0xFF));
        mCount = 0;
        return std::move(mOut);
    }

private:
    std::string mOut;
    uint32_t mBits = 0;
    int mCount = 0;
};

// Strings of the table as (prefix code, next byte) -> code, in an open-addressing
// hash that is cheap to clear.
class CodeTable {
public:
    CodeTable() : mKeys(kSlots, 0), mCodes(kSlots, 0) {}
    void clear() { std::fill(mKeys.begin(), mKeys.end(), 0); }
    // The code of the string, or -1 when it is not in the table.
    int32_t find(uint32_t prefix, unsigned char byte) const {
        const uint32_t key = keyOf(prefix, byte);
        for (uint32_t slot = slotOf(key);; slot = (slot + 1) & (kSlots - 1)) {
            if (mKeys[slot] == 0) return -1;
            if (mKeys[slot] == key) return mCodes[slot];
        }
    }
    void add(uint32_t prefix, unsigned char byte, uint32_t code) {
        const uint32_t key = keyOf(prefix, byte);
        uint32_t slot = slotOf(key);
        while (mKeys[slot] != 0) slot = (slot + 1) & (kSlots - 1);
        mKeys[slot] = key;
        mCodes[slot] = static_cast<uint16_t>(code);
    }

private:
    static constexpr uint32_t kSlots = 8192;  // at most 3836 entries: under half full
    static uint32_t keyOf(uint32_t prefix, unsigned char byte) { return ((prefix << 8) | byte) + 1; }
    static uint32_t slotOf(uint32_t key) { return (key * 2654435761u) >> 19; }
    std::vector<uint32_t> mKeys;  // 0: empty
    std::vector<uint16_t> mCodes;
};

// The width of a code written while `next` is the table entry that the code
// makes: the reader, one entry behind, widens its codes when its table reaches
// 511, 1023 and 2047 entries (one entry later without early change).
int codeWidth(uint32_t next, uint32_t early) {
    if (next + early <= 512) return 9;
    if (next + early <= 1024) return 10;
    if (next + early <= 2048) return 11;
    return 12;
}

}  // namespace

std::string dctEncode(const std::string& samples, int32_t width, int32_t height, int32_t components,
                      int quality) {
    if (components != 1 && components != 3 && components != 4)
        raise(kHostErrFilter, "DCTDecode cannot encode images of " + std::to_string(components) +
                                  " components (only 1, 3 or 4)");
    if (width <= 0 || height <= 0)
        raise(kHostErrFilter, "DCTDecode cannot encode an image of " + std::to_string(width) + " x " +
                                  std::to_string(height) + " samples");
    const uint64_t expected =
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * static_cast<uint64_t>(components);
    if (samples.size() != expected)
        raise(kHostErrFilter, "DCTDecode needs exactly " + std::to_string(expected) + " bytes for " +
                                  std::to_string(width) + " x " + std::to_string(height) + " x " +
                                  std::to_string(components) + " samples, but got " +
                                  std::to_string(samples.size()));
    jpeg_compress_struct info;
    JpegErrorTrap trap;
    DctJob job{reinterpret_cast<const unsigned char*>(samples.data()),
               static_cast<JDIMENSION>(width),
               static_cast<JDIMENSION>(height),
               components,
               quality,
               nullptr,
               0};
    const bool done = compressInto(&info, &trap, &job);
    std::string out;
    if (done && job.out) out.assign(reinterpret_cast<const char*>(job.out), job.outSize);
    std::free(job.out);
    if (!done) raise(kHostErrFilter, std::string("DCTDecode encoding failed: ") + trap.message);
    return out;
}

std::string lzwEncode(const std::string& data, bool earlyChange) {
    const uint32_t early = earlyChange ? 1 : 0;
    BitWriter out;
    out.put(kClearCode, 9);
    if (data.empty()) {
        out.put(kEndCode, 9);
        return out.finish();
    }
    CodeTable table;
    uint32_t next = kFirstCode;
    uint32_t prefix = static_cast<unsigned char>(data[0]);
    for (size_t i = 1; i < data.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(data[i]);
        const int32_t known = table.find(prefix, byte);
        if (known >= 0) {
            prefix = static_cast<uint32_t>(known);
            continue;
        }
        out.put(prefix, codeWidth(next, early));
        table.add(prefix, byte, next++);
        if (next == kClearAt) {
            out.put(kClearCode, codeWidth(next, early));
            table.clear();
            next = kFirstCode;
        }
        prefix = byte;
    }
    out.put(prefix, codeWidth(next, early));
    // The reader makes one more entry on reading that last code.
    out.put(kEndCode, codeWidth(next + 1, early));
    return out.finish();
}

}  // namespace qmhost
