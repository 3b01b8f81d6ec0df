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

    const uint32_t v = uint32_t(head[0]) | (uint32_t(head[1]) << 8) | (uint32_t(head[2]) << 16) |
                       (uint32_t(head[3]) << 24);
    if (v == 0x002A4949u) return kImageFileTIFF;
    const uint32_t marker = v & 0xFFFF0000u;
    if (marker == 0xE0FF0000u || marker == 0xEEFF0000u) return kImageFileJPEG;
    return kImageFileUnknown;
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
