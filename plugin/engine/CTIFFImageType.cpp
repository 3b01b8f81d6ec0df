#include "engine/CTIFFImageType.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "engine/TIFFLibrary.h"
#include "support/Alerts.h"
#include "support/io/CBridgeStream.h"
#include "support/ErrorMessage.h"
#include "support/ScopeGuard.h"

namespace {

// libtiff's messages come with libtiff's own formats; bounded formatting.
void ErrorHandler(const char*, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    // Called from inside libtiff: nothing may be thrown into it.
    TrapRun([&] { ShowAlert(text); });
}

void WarningHandler(const char*, const char*, va_list) {}

[[noreturn]] void Refuse(const char* bufferText, ErrorCode code, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Shows the formatted explanation; the error-message buffer gets bufferText.
void Refuse(const char* bufferText, ErrorCode code, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    ShowAlert(text);
    SetErrorMessage(bufferText);
    ThrowErrorCode(code);
}

struct PhotometricEntry {
    uint16_t photometric;
    int32_t colorSpace;
    uint16_t samples;
};

constexpr PhotometricEntry kPhotometrics[] = {
    {PHOTOMETRIC_MINISWHITE, kImageColorGray, 1}, {PHOTOMETRIC_MINISBLACK, kImageColorGray, 1},
    {PHOTOMETRIC_RGB, kImageColorRGB, 3},         {PHOTOMETRIC_PALETTE, kImageColorIndexed, 1},
    {PHOTOMETRIC_SEPARATED, kImageColorCMYK, 4},
};

const PhotometricEntry* FindPhotometric(uint16_t photometric) {
    for (const auto& entry : kPhotometrics)
        if (entry.photometric == photometric) return &entry;
    return nullptr;
}

// The handlers libtiff had before ours, given back when the plug-in unloads:
// libtiff stays loaded after the module, and must not keep pointers into it.
struct InstalledHandlers {
    std::mutex mutex;
    bool installed = false;
    TIFFErrorHandler previousError = nullptr;
    TIFFErrorHandler previousWarning = nullptr;
};

InstalledHandlers& Handlers() {
    static InstalledHandlers handlers;
    return handlers;
}

// Puts `previous` back as the handler unless someone replaced ours meanwhile.
void PutBack(TIFFErrorHandler (*set)(TIFFErrorHandler), TIFFErrorHandler ours, TIFFErrorHandler previous) {
    const TIFFErrorHandler current = set(previous);
    if (current != ours) set(current);
}

}  // namespace

void CTIFFImageType::InstallHandlers() {
    InstalledHandlers& handlers = Handlers();
    const std::lock_guard lock(handlers.mutex);
    if (handlers.installed) return;
    // A throw (libtiff cannot be loaded) installs nothing: the next call tries again.
    const TIFFLibrary& libtiff = GetTIFFLibrary();
    handlers.previousError = libtiff.TIFFSetErrorHandler(ErrorHandler);
    handlers.previousWarning = libtiff.TIFFSetWarningHandler(WarningHandler);
    handlers.installed = true;
}

void CTIFFImageType::RemoveHandlers() noexcept {
    InstalledHandlers& handlers = Handlers();
    const std::lock_guard lock(handlers.mutex);
    if (!handlers.installed) return;
    const TIFFLibrary& libtiff = GetTIFFLibrary();  // opened: it took our handlers
    PutBack(libtiff.TIFFSetErrorHandler, ErrorHandler, handlers.previousError);
    PutBack(libtiff.TIFFSetWarningHandler, WarningHandler, handlers.previousWarning);
    handlers.installed = false;
}

CTIFFImageType::CTIFFImageType() : CTIFFImageType(nullptr) {}

CTIFFImageType::CTIFFImageType(CBridgeStream* stream) : CImageType(stream) {
    InstallHandlers();
}

CTIFFImageType::~CTIFFImageType() {
    CloseTIFF();
}

int32_t CTIFFImageType::GetWidth() {
    if (!mOpened) Open();
    return int32_t(mWidth);
}

int32_t CTIFFImageType::GetHeight() {
    if (!mOpened) Open();
    return int32_t(mHeight);
}

int32_t CTIFFImageType::GetBitsPerComponent() {
    if (!mOpened) Open();
    return mBitsPerComponent;
}

int32_t CTIFFImageType::GetColorSpace() {
    if (!mOpened) Open();
    return mColorSpace;
}

void CTIFFImageType::CloseTIFF() noexcept {
    if (mTiff) GetTIFFLibrary().TIFFClose(mTiff);  // closes libtiff's duplicate descriptor only
    mTiff = nullptr;
}

void CTIFFImageType::Finish() noexcept {
    CloseTIFF();
    if (mStream) mStream->Open(kStreamRead);
}

void CTIFFImageType::OpenTIFF() {
    CloseTIFF();
    if (mStream == nullptr || !mStream->Open(kStreamRead))
        Refuse("Failed to open image", kErrImageRead, "The TIFF file cannot be opened");
    // libtiff closes the descriptor it is given; the stream keeps its own.
    const int fd = mStream->GetHandle();
    const int duplicate = fd >= 0 ? fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1;
    const char* path = mStream->GetPathText() ? mStream->GetPathText() : "";
    if (duplicate >= 0) {
        lseek(duplicate, 0, SEEK_SET);
        mTiff = GetTIFFLibrary().TIFFFdOpen(duplicate, path, "rC");
        // A failed open leaves the descriptor to its caller.
        if (mTiff == nullptr) close(duplicate);
    }
    if (mTiff == nullptr) {
        mStream->Close();
        Refuse("Failed to open image", kErrImageRead,
               "The file is not a TIFF file libtiff can read");
    }
    const auto closeOnFailure = OnFailure([this] { CloseTIFF(); });
    ReadTags();
    CheckStrips();
}

void CTIFFImageType::ReadTags() {
    const TIFFLibrary& libtiff = GetTIFFLibrary();
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, photometric = 0, samples = 1, planar = PLANARCONFIG_CONTIG;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT, compression = COMPRESSION_NONE, extraCount = 0;
    uint16_t* extraTypes = nullptr;
    if (!libtiff.TIFFGetField(mTiff, TIFFTAG_IMAGEWIDTH, &width) ||
        !libtiff.TIFFGetField(mTiff, TIFFTAG_IMAGELENGTH, &height))
        Refuse("Failed To Open Image", kErrImageRead, "The TIFF file gives no image size");
    libtiff.TIFFGetFieldDefaulted(mTiff, TIFFTAG_BITSPERSAMPLE, &bits);
    const bool hasPhotometric = libtiff.TIFFGetField(mTiff, TIFFTAG_PHOTOMETRIC, &photometric) != 0;
    libtiff.TIFFGetFieldDefaulted(mTiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    libtiff.TIFFGetFieldDefaulted(mTiff, TIFFTAG_PLANARCONFIG, &planar);
    libtiff.TIFFGetFieldDefaulted(mTiff, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    libtiff.TIFFGetFieldDefaulted(mTiff, TIFFTAG_COMPRESSION, &compression);
    libtiff.TIFFGetFieldDefaulted(mTiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);

    const PhotometricEntry* entry = hasPhotometric ? FindPhotometric(photometric) : nullptr;
    if (entry == nullptr)
        Refuse("Bad TIFF Color Space", kErrImageColorSpace,
               "TIFF photometric interpretation %d is not read", hasPhotometric ? photometric : -1);
    if (entry->colorSpace == kImageColorIndexed && bits != 8)
        Refuse("kErrorStr_TIFFNot8BitPalette", kErrImageColorSpace,
               "The TIFF palette image has %d bits per sample; only 8-bit palettes are read", bits);
    if (libtiff.TIFFIsTiled(mTiff))
        Refuse("Failed To Open Image", kErrImageLayout, "Tiled TIFF images are not read");
    if (extraCount > 0)
        Refuse("Failed To Open Image", kErrImageLayout,
               "TIFF images with extra (alpha) samples are not read");
    if (bits > 8)
        Refuse("Failed To Open Image", kErrImageLayout,
               "TIFF images with %d bits per sample are not read", bits);
    if (planar != PLANARCONFIG_CONTIG && samples > 1)
        Refuse("Failed To Open Image", kErrImageLayout,
               "TIFF images stored in separate planes are not read");
    if (sampleFormat != SAMPLEFORMAT_UINT && sampleFormat != SAMPLEFORMAT_VOID)
        Refuse("Failed To Open Image", kErrImageLayout,
               "TIFF images with signed or floating-point samples are not read");
    if (samples != entry->samples)
        Refuse("Failed To Open Image", kErrImageLayout,
               "The TIFF image has %d samples per pixel where its colour space needs %d", samples,
               entry->samples);
    const bool grayDepth = bits == 1 || bits == 2 || bits == 4 || bits == 8;
    if (entry->colorSpace == kImageColorGray ? !grayDepth : bits != 8)
        Refuse("Failed To Open Image", kErrImageLayout,
               "TIFF images of this colour space with %d bits per sample are not read", bits);
    if (!libtiff.TIFFIsCODECConfigured(compression))
        Refuse("Failed To Open Image", kErrImageRead,
               "The TIFF image uses compression %d, which cannot be decoded", compression);
    CheckImageSize(width, height, samples, "TIFF");

    mWidth = width;
    mHeight = height;
    mBitsPerComponent = bits;
    mColorSpace = entry->colorSpace;
    mPhotometric = photometric;
}

void CTIFFImageType::CheckStrips() {
    const TIFFLibrary& libtiff = GetTIFFLibrary();
    const uint32_t strips = libtiff.TIFFNumberOfStrips(mTiff);
    uint64_t* offsets = nullptr;
    uint64_t* counts = nullptr;
    if (strips == 0 || !libtiff.TIFFGetField(mTiff, TIFFTAG_STRIPOFFSETS, &offsets) ||
        !libtiff.TIFFGetField(mTiff, TIFFTAG_STRIPBYTECOUNTS, &counts) || !offsets || !counts ||
        libtiff.TIFFStripSize(mTiff) <= 0)
        Refuse("Failed To Open Image", kErrImageRead, "The TIFF file gives no usable strips");
    // No strip is trusted to lie inside the file: each is checked against
    // the file's real length before anything is read.
    const uint64_t length = mStream->GetLength();
    for (uint32_t i = 0; i < strips; ++i) {
        if (offsets[i] > length || counts[i] > length - offsets[i])
            Refuse("Failed To Open Image", kErrImageRead,
                   "Strip %u of the TIFF file lies past the end of the file", i);
    }
}

void CTIFFImageType::Open() {
    OpenTIFF();
    mOpened = true;
    Finish();
}
