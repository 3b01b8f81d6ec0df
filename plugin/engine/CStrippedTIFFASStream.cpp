#include "engine/CStrippedTIFFASStream.h"

#include <algorithm>
#include <cstring>

#include "engine/CImageType.h"
#include "engine/TIFFLibrary.h"
#include "support/Assertion.h"
#include "support/CallbackGuard.h"

CStrippedTIFFASStream::CStrippedTIFFASStream() = default;

CStrippedTIFFASStream::CStrippedTIFFASStream(struct tiff* handle) {
    AttachTIFF(handle);
}

CStrippedTIFFASStream::~CStrippedTIFFASStream() {
    // The host's stream first: it must not call back into a freed buffer.
    // A close the host refuses leaves nothing of ours behind.
    TrapRun([this] { Close(); });
    FreeBuffer();
    mProgress.End();
}

void CStrippedTIFFASStream::FreeBuffer() noexcept {
    if (mBuffer) GetTIFFLibrary()._TIFFfree(mBuffer);
    mBuffer = nullptr;
    mBufferSize = 0;
}

void CStrippedTIFFASStream::AttachTIFF(struct tiff* handle) {
    const TIFFLibrary& libtiff = GetTIFFLibrary();
    mTiff = handle;
    mStrip = 0;
    mStripCount = libtiff.TIFFNumberOfStrips(handle);
    const tmsize_t stripSize = libtiff.TIFFStripSize(handle);
    FreeBuffer();
    if (stripSize > 0) mBuffer = static_cast<unsigned char*>(libtiff._TIFFmalloc(stripSize));
    if (mBuffer == nullptr) ThrowErrorCode(kErrImageAllocation);
    mBufferSize = size_t(stripSize);
    mNeedRead = true;
    mOffset = 0;
    mDecodedSize = 0;
    mDelivered = 0;
    mFailed = false;
    mProgress.Begin(uint64_t(mStripCount) * mBufferSize);
    OpenProcStream(ReadProc, this);
}

void CStrippedTIFFASStream::SetColorMap(const uint16_t* red, const uint16_t* green,
                                        const uint16_t* blue) {
    QM_ASSERT_TEXT(red != nullptr && green != nullptr && blue != nullptr, "mColorMap");
    std::copy(red, red + 256, mColorMap.begin());
    std::copy(green, green + 256, mColorMap.begin() + 256);
    std::copy(blue, blue + 256, mColorMap.begin() + 512);
    mHasColorMap = true;
    const bool wide =
        std::any_of(mColorMap.begin(), mColorMap.end(), [](uint16_t v) { return v > 255; });
    if (!wide) return;
    for (uint16_t& value : mColorMap) value = uint16_t(uint32_t(value) * 255 / 65535);
}

void CStrippedTIFFASStream::SetInvert() {
    mInvert = true;
}

// Decodes the current strip whole. The size it gives must be what its rows
// need: a strip that fails or comes out short is an error, not less data.
bool CStrippedTIFFASStream::DecodeStrip() {
    const TIFFLibrary& libtiff = GetTIFFLibrary();
    uint32_t rowsPerStrip = 0;
    uint32_t height = 0;
    libtiff.TIFFGetFieldDefaulted(mTiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    libtiff.TIFFGetField(mTiff, TIFFTAG_IMAGELENGTH, &height);
    rowsPerStrip = std::clamp<uint32_t>(rowsPerStrip, 1, std::max<uint32_t>(height, 1));
    const uint64_t firstRow = uint64_t(mStrip) * rowsPerStrip;
    const uint32_t rows =
        uint32_t(std::min<uint64_t>(rowsPerStrip, height - std::min<uint64_t>(firstRow, height)));
    const tmsize_t expected = libtiff.TIFFVStripSize(mTiff, rows);
    const tmsize_t decoded = libtiff.TIFFReadEncodedStrip(mTiff, mStrip, mBuffer, tmsize_t(-1));
    if (decoded < 0 || decoded != expected || size_t(decoded) > mBufferSize) return false;
    mDecodedSize = size_t(decoded);
    mNeedRead = false;
    return true;
}

int32_t CStrippedTIFFASStream::ReadBytes(char* buffer, int32_t size) {
    if (mFailed || mTiff == nullptr) return -1;
    size_t wanted = size > 0 ? size_t(size) : 0;
    size_t delivered = 0;
    while (mStrip < mStripCount && wanted > 0) {
        if (mNeedRead && !DecodeStrip()) {
            mFailed = true;
            return -1;
        }
        const size_t n = std::min(mDecodedSize - mOffset, wanted);
        const unsigned char* from = mBuffer + mOffset;
        auto* to = reinterpret_cast<unsigned char*>(buffer) + delivered;
        if (mInvert) {
            for (size_t i = 0; i < n; ++i) to[i] = static_cast<unsigned char>(255 - from[i]);
        } else {
            std::memcpy(to, from, n);
        }
        mOffset += n;
        delivered += n;
        wanted -= n;
        if (mOffset == mDecodedSize) {
            ++mStrip;
            mOffset = 0;
            mNeedRead = true;
        }
    }
    mDelivered += delivered;
    mProgress.SetValue(mDelivered);
    return int32_t(delivered);
}

int32_t CStrippedTIFFASStream::ReadProc(char* buffer, int32_t size, void* clientData) {
    return GuardCallback("TIFF sample stream", int32_t(-1), [&] {
        return static_cast<CStrippedTIFFASStream*>(clientData)->ReadBytes(buffer, size);
    });
}
