// CStrippedTIFFASStream: a host procedure stream that delivers a TIFF's
// decoded strips in order (the host's new-stream pulls the image samples
// through it). Any strip count and any read size work; a read may straddle
// strips.
//
// A strip that cannot be decoded, or decodes to another size than its rows
// need, is a read error reported to the host, so the host's new-stream fails
// instead of storing a short image.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/ImageReadProgress.h"
#include "support/cos/CASStream.h"

struct tiff;

class CStrippedTIFFASStream : public CASStream {
public:
    CStrippedTIFFASStream();
    // Attaches (AttachTIFF).
    explicit CStrippedTIFFASStream(struct tiff* handle);
    ~CStrippedTIFFASStream();

    // handle: open, its tags checked by CTIFFImageType; not owned. Allocates
    // the strip buffer (kErrImageAllocation when it cannot), starts the
    // progress and opens itself as a host procedure stream.
    void AttachTIFF(struct tiff* handle);

    // Copies the palette (three arrays of 256 16-bit values, none null) and
    // scales the copy: when any entry is above 255 every entry becomes
    // value * 255 / 65535 (truncated); a map within 0..255 stays as it is.
    void SetColorMap(const uint16_t* red, const uint16_t* green, const uint16_t* blue);
    // Samples are delivered as 255 - b (white-is-zero gray).
    void SetInvert();

    // The scaled palette: 768 values, red 0..255, then green, then blue;
    // null before SetColorMap.
    const uint16_t* GetColorMap() const { return mHasColorMap ? mColorMap.data() : nullptr; }

    // Copies up to size bytes of the image into buffer; answers the count,
    // fewer than size only at the end of the image, -1 on a failure.
    int32_t ReadBytes(char* buffer, int32_t size);

    uint64_t GetDelivered() const { return mDelivered; }

private:
    static int32_t ReadProc(char* buffer, int32_t size, void* clientData);
    bool DecodeStrip();
    void FreeBuffer() noexcept;

    struct tiff* mTiff = nullptr;
    uint32_t mStrip = 0;
    uint32_t mStripCount = 0;
    size_t mOffset = 0;
    size_t mDecodedSize = 0;
    unsigned char* mBuffer = nullptr;
    size_t mBufferSize = 0;
    bool mNeedRead = true;
    bool mInvert = false;
    std::array<uint16_t, 768> mColorMap = {};
    bool mHasColorMap = false;
    ImageReadProgress mProgress;
    uint64_t mDelivered = 0;
    bool mFailed = false;
};
