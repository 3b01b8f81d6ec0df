// CJPEGASStream: a host procedure stream that delivers a started libjpeg
// decompression's scanlines, block by block, to whoever reads it (the host's
// new-stream pulls the image samples through it).
//
// A libjpeg failure while reading (its error exit) or a block that delivers no
// scanlines is reported to the host as a read error, so the host's new-stream
// fails instead of storing a short image; the libjpeg message is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/ImageReadProgress.h"
#include "support/cos/CASStream.h"

struct jpeg_decompress_struct;

class CJPEGASStream : public CASStream {
public:
    CJPEGASStream();
    // Attaches (AttachDecompressor).
    explicit CJPEGASStream(jpeg_decompress_struct* decompressor);
    ~CJPEGASStream();

    // decompressor: started (jpeg_start_decompress done), its error manager a
    // JpegErrorManager; not owned. Allocates the row block (the recommended
    // output height, at most four rows; kErrImageAllocation when it cannot),
    // reads the first block (kErrImageUnderflow when none comes, kErrImageRead
    // on a libjpeg error), starts the progress and opens itself as a host
    // procedure stream.
    void AttachDecompressor(jpeg_decompress_struct* decompressor);

    // Samples are delivered as 255 - b (inverted CMYK of the APP14 marker).
    void SetInvert(bool invert) { mInvert = invert; }

    // Copies up to size bytes of the image into buffer; answers the count,
    // fewer than size only at the end of the image, -1 on a failure.
    int32_t ReadBytes(char* buffer, int32_t size);

    // The bytes delivered so far.
    uint64_t GetDelivered() const { return mDelivered; }

private:
    static int32_t ReadProc(char* buffer, int32_t size, void* clientData);
    // Reads the next block; false on a libjpeg error or when no line came.
    bool ReadBlock();

    jpeg_decompress_struct* mDecompressor = nullptr;
    std::vector<unsigned char> mRows;
    size_t mRowBytes = 0;
    size_t mOffset = 0;
    size_t mLeft = 0;
    bool mInvert = false;
    unsigned char* mRowPointers[4] = {};
    ImageReadProgress mProgress;
    int32_t mBlocks = 0;
    uint64_t mDelivered = 0;
    bool mFailed = false;
};
