#include "engine/CImageType.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "support/Alerts.h"
#include "support/io/CBridgeStream.h"
#include "support/ErrorMessage.h"
#include "support/cos/PDFAtoms.h"
#include "support/ScopeGuard.h"

void RefuseImage(const char* text, ErrorCode code) {
    ShowAlert(text);
    SetErrorMessage(text);
    ThrowErrorCode(code);
}

void CheckImageSize(int64_t width, int64_t height, int64_t components, const char* what) {
    char text[256];
    if (width < 1 || height < 1 || components < 1) {
        std::snprintf(text, sizeof text,
                      "%s: the image is empty (%" PRId64 " x %" PRId64 " pixels)", what, width,
                      height);
        RefuseImage(text, kErrImageRead);
    }
    // Compared step by step so that no product can overflow.
    const bool tooLarge = width > kMaxImageSide || height > kMaxImageSide || components > 4 ||
                          width * height > kMaxImageSamples / components;
    if (tooLarge) {
        std::snprintf(text, sizeof text,
                      "%s: the image is %" PRId64 " x %" PRId64
                      " pixels, more than this reader accepts (%" PRId64 " samples at most)",
                      what, width, height, kMaxImageSamples);
        RefuseImage(text, kErrImageTooLarge);
    }
}

CImageType::CImageType() = default;

CImageType::CImageType(CBridgeStream* stream) : mStream(stream) {}

CImageType::~CImageType() = default;

void CImageType::SetStream(CBridgeStream* stream) {
    mStream = stream;
}

ASFixedMatrix* CImageType::GetImageMatrix(const ASFixedRect& rect, ASFixedMatrix* out) const {
    out->a = rect.right - rect.left;
    out->b = 0;
    out->c = 0;
    out->d = rect.top - rect.bottom;
    out->h = rect.left;
    out->v = rect.bottom;
    return out;
}

ASAtom CImageType::GetFilterAtom(int32_t filterCode) {
    switch (filterCode) {
        case kImageFilterFlate: return gAtomFlateDecode;
        case kImageFilterDCT: return gAtomDCTDecode;
        case kImageFilterLZW: return gAtomLZWDecode;
        case kImageFilterRunLength: return gAtomRunLengthDecode;
        default: return 0;
    }
}

namespace {

[[noreturn]] void FailImageType() {
    SetErrorMessage("Error Reading Image Type");
    ThrowErrorCode(kErrImageRead);
}

// Reads up to four bytes, going on after short reads until the end.
size_t ReadHead(CBridgeStream& stream, unsigned char (&head)[4]) {
    size_t got = 0;
    while (got < sizeof head) {
        const size_t n = stream.Read(head + got, sizeof head - got);
        if (n == 0) break;
        got += n;
    }
    return got;
}

}  // namespace

uint32_t GetImageFileType(CBridgeStream* stream) {
    if (stream == nullptr) FailImageType();
    const bool wasOpen = stream->IsOpen();
    if (!wasOpen && !stream->Open(kStreamRead)) FailImageType();
    unsigned char head[4] = {};
    const size_t got = WithCleanUp([&] { return ReadHead(*stream, head); },
                                   [&] {
                                       if (!wasOpen) stream->Close();
                                   });
    if (got < sizeof head) FailImageType();

    // TIFF in either byte order; JPEG by its start marker and the marker of
    // whatever segment comes first (APP0, Exif's APP1, a table, a frame).
    static const unsigned char kTiffLittle[4] = {0x49, 0x49, 0x2A, 0x00};
    static const unsigned char kTiffBig[4] = {0x4D, 0x4D, 0x00, 0x2A};
    if (std::memcmp(head, kTiffLittle, 4) == 0 || std::memcmp(head, kTiffBig, 4) == 0) return kImageFileTIFF;
    if (head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return kImageFileJPEG;
    return kImageFileUnknown;
}

void AlertOfFormatForNewerHosts(CBridgeStream* stream) {
    if (stream == nullptr || stream->GetPathText() == nullptr) return;
    std::FILE* file = std::fopen(stream->GetPathText(), "rb");
    if (file == nullptr) return;
    unsigned char head[8] = {};
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    const auto startsWith = [&](const char* magic, size_t length) {
        return got >= length && std::memcmp(head, magic, length) == 0;
    };
    const char* format = nullptr;
    if (startsWith("\x89PNG\r\n\x1A\n", 8))
        format = "PNG";
    else if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6))
        format = "GIF";
    else if (startsWith("BM", 2))
        format = "BMP";
    if (format == nullptr) return;
    // From version 6 on the host converts image files (CImageStamp::kFirstImageDocumentVersion).
    char text[160];
    std::snprintf(text, sizeof text,
                  "%s images are read by hosts of version 6 and later; this host reads JPEG and TIFF images only",
                  format);
    ShowAlert(text);
}

bool IsEPSFile(CBridgeStream* stream) {
    static const size_t kPrefixLength = std::strlen("%!PS-Adobe-");
    static const size_t kEPSFLength = std::strlen("EPSF-");
    if (stream == nullptr || stream->GetPathText() == nullptr) return false;
    std::FILE* file = std::fopen(stream->GetPathText(), "r");
    if (file == nullptr) return false;
    char line[80] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    if (!read || std::strncmp(line, "%!PS-Adobe-", kPrefixLength) != 0) return false;
    const char* blank = std::strchr(line + kPrefixLength, ' ');
    return blank != nullptr && std::strncmp(blank + 1, "EPSF-", kEPSFLength) == 0;
}
