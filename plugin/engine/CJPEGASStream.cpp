#include "engine/CJPEGASStream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/CImageType.h"
#include "engine/JpegErrors.h"
#include "support/CallbackGuard.h"
#include "support/ErrorMessage.h"

namespace {

struct ScanlineRead {
    JSAMPARRAY rows;
    JDIMENSION maximum;
    JDIMENSION read;
};

void ReadStep(j_common_ptr cinfo, void* argument) {
    auto* read = static_cast<ScanlineRead*>(argument);
    read->read =
        jpeg_read_scanlines(reinterpret_cast<j_decompress_ptr>(cinfo), read->rows, read->maximum);
}

}  // namespace

CJPEGASStream::CJPEGASStream() = default;

CJPEGASStream::CJPEGASStream(jpeg_decompress_struct* decompressor) {
    AttachDecompressor(decompressor);
}

CJPEGASStream::~CJPEGASStream() {
    // The host's stream first: it must not call back into freed rows.
    // A close the host refuses leaves nothing of ours behind.
    TrapRun([this] { Close(); });
    mProgress.End();
}

void CJPEGASStream::AttachDecompressor(jpeg_decompress_struct* decompressor) {
    mDecompressor = decompressor;
    mRowBytes = size_t(decompressor->output_width) * size_t(decompressor->output_components);
    const size_t rows = size_t(std::clamp(decompressor->rec_outbuf_height, 1, 4));
    try {
        mRows.assign(mRowBytes * rows, 0);
    } catch (const std::bad_alloc&) {
        ThrowErrorCode(kErrImageAllocation);
    }
    for (size_t i = 0; i < rows; ++i) mRowPointers[i] = mRows.data() + i * mRowBytes;
    for (size_t i = rows; i < 4; ++i) mRowPointers[i] = nullptr;
    mOffset = 0;
    mLeft = 0;
    mDelivered = 0;
    mFailed = false;
    if (!ReadBlock()) {
        if (mFailed) ThrowErrorCode(kErrImageRead);
        SetErrorMessage("Buffer Underflow");
        ThrowErrorCode(kErrImageUnderflow);
    }
    mProgress.Begin(decompressor->output_height);
    mBlocks = 0;
    OpenProcStream(ReadProc, this);
}

bool CJPEGASStream::ReadBlock() {
    const JDIMENSION rows = JDIMENSION(std::clamp(mDecompressor->rec_outbuf_height, 1, 4));
    ScanlineRead read{mRowPointers, rows, 0};
    if (!JpegProtected(reinterpret_cast<j_common_ptr>(mDecompressor), ReadStep, &read)) {
        mFailed = true;
        return false;
    }
    if (read.read == 0) return false;
    mOffset = 0;
    mLeft = size_t(read.read) * mRowBytes;
    return true;
}

int32_t CJPEGASStream::ReadBytes(char* buffer, int32_t size) {
    if (mFailed || mDecompressor == nullptr) return -1;
    size_t wanted = size > 0 ? size_t(size) : 0;
    size_t delivered = 0;
    while (wanted > 0) {
        if (mLeft == 0) {
            if (mDecompressor->output_scanline >= mDecompressor->output_height) break;
            if (!ReadBlock()) {
                // No scanline from a decompression that still owes some is a
                // failure, never the end of a shorter image.
                mFailed = true;
                return -1;
            }
            ++mBlocks;
            mProgress.SetValue(mDecompressor->output_scanline);
        }
        const size_t n = std::min(mLeft, wanted);
        const unsigned char* from = mRows.data() + mOffset;
        auto* to = reinterpret_cast<unsigned char*>(buffer) + delivered;
        if (mInvert) {
            for (size_t i = 0; i < n; ++i) to[i] = static_cast<unsigned char>(255 - from[i]);
        } else {
            std::memcpy(to, from, n);
        }
        mOffset += n;
        mLeft -= n;
        delivered += n;
        wanted -= n;
    }
    mDelivered += delivered;
    return int32_t(delivered);
}

int32_t CJPEGASStream::ReadProc(char* buffer, int32_t size, void* clientData) {
    return GuardCallback("JPEG sample stream", int32_t(-1), [&] {
        return static_cast<CJPEGASStream*>(clientData)->ReadBytes(buffer, size);
    });
}
