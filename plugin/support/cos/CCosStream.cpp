#include "support/cos/CCosStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "support/Alerts.h"
#include "support/Assertion.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"
#include "support/io/FileReplacing.h"

namespace {
constexpr int32_t kPieceSize = 4096;
constexpr int kDumpBytesPerLine = 22;

void DumpLine(FILE* file, const unsigned char* bytes, int count) {
    for (int group = 0; group < kDumpBytesPerLine / 2; ++group) {
        const int first = group * 2;
        if (first + 1 < count)
            std::fprintf(file, "%02X%02X ", bytes[first], bytes[first + 1]);
        else if (first < count)
            std::fprintf(file, "%02X   ", bytes[first]);  // an odd last byte
        else
            std::fputs("     ", file);
    }
    for (int i = 0; i < count; ++i) std::fputc(bytes[i] >= 0x20 && bytes[i] < 0x7F ? bytes[i] : '.', file);
    std::fputc('\n', file);
}
// Writes all of inBytes to inFd; false with errno set when it cannot.
bool WriteAll(int inFd, const char* inBytes, size_t inSize) {
    while (inSize > 0) {
        const ssize_t n = ::write(inFd, inBytes, inSize);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        inBytes += n;
        inSize -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

CCosStream::CCosStream() = default;

CCosStream::CCosStream(CosDoc doc, ASStm source, int64_t offset, int16_t encodeSource,
                       CosObj attributes, CosObj encodeParms, int64_t length) {
    CreateStream(doc, source, offset, encodeSource, attributes, encodeParms, length);
}

CCosStream::CCosStream(CosDoc doc, CosObj stream) : CCosObj(doc, stream) {
    QM_ASSERT_TEXT(GetType() == CosStream, "CosObjGetType(inStream) == CosStream");
    SetAttributesDict(CallHost([&] { return gCosHFT->streamDict(mCosObj); }));
}

CCosStream::~CCosStream() = default;  // mStream closes an open read

void CCosStream::CreateStream(CosDoc doc, ASStm source, int64_t offset, int16_t encodeSource,
                              CosObj attributes, CosObj encodeParms, int64_t length) {
    mCosDoc = doc;
    try {
        mCosObj = gCosHFT->newStream(doc, true, source, offset, encodeSource, attributes,
                                     encodeParms, length);
    } catch (const HostError& error) {
        char text[512];
        gAppSupportHFT->getErrorString(error.code(), text, sizeof text);
        TakeHostError(error);
        ShowAlert(text);
        ThrowErrorCode(kErrStream);
    }
    SetAttributesDict(CallHost([&] { return gCosHFT->streamDict(mCosObj); }));
}

void CCosStream::Attach(CosObj stream) {
    mStream.Close();
    CCosObj::Attach(stream);
    mAttributes.reset();
    if (!IsNull()) SetAttributesDict(CallHost([&] { return gCosHFT->streamDict(mCosObj); }));
}

CCosDict& CCosStream::Attributes() {
    if (!mAttributes) SetAttributesDict(CallHost([&] { return gCosHFT->streamDict(mCosObj); }));
    return *mAttributes;
}

void CCosStream::SetAttributesDict(CosObj dict) {
    try {
        mAttributes = std::make_unique<CCosDict>(mCosDoc, dict);
    } catch (const std::bad_alloc&) {
        ThrowErrorCode(kErrCosObject);
    }
}

void CCosStream::OpenStream(int16_t mode) {
    QM_ASSERT_TEXT(!mStream.IsOpen(), "(ASStm)mStream == NULL");
    mStream.Attach(CallHost([&] { return gCosHFT->streamOpen(mCosObj, mode); }));
}

int64_t CCosStream::GetLength() const {
    return CallHost([&] { return gCosHFT->streamLength(mCosObj); });
}

int64_t CCosStream::CountDataBytes() {
    OpenStream(kCosStreamDecoded);
    char piece[kPieceSize];
    int64_t total = 0;
    for (int32_t got; (got = mStream.Read(piece, 1, kPieceSize)) > 0;) total += got;
    mStream.Close();
    return total;
}

void CCosStream::WriteDataToFile(const char* path) {
    const std::string target = path ? path : "";
    const int error = ReplaceFileWhole(
        target.c_str(),
        [&](const char*, int inFd) {
            OpenStream(kCosStreamDecoded);
            char piece[kPieceSize];
            bool written = true;
            for (int32_t got; written && (got = mStream.Read(piece, 1, kPieceSize)) > 0;)
                written = WriteAll(inFd, piece, static_cast<size_t>(got));
            mStream.Close();
            return written;
        },
        "qm");
    if (error != 0) {
        SetErrorMessage("Cannot write the file " + target);
        ThrowErrorCode(kErrOpenFile);
    }
}

CosObj CCosStream::Copy(bool share) {
    CCosCopyMemo memo;
    return Copy(share, memo);
}

CosObj CCosStream::Copy(bool share, CCosCopyMemo& memo) {
    // The new stream is made first, from the stored bytes (mode 1, stored as
    // given), and known to the memo before the dictionary is copied into it:
    // a dictionary entry that leads back to this stream then ends on the copy.
    OpenStream(kCosStreamStored);
    CCosStream copy;
    WithCleanUp([&] { copy.CreateStream(mCosDoc, mStream, -1, 0, CosNullObj(), CosNullObj(), -1); },
                [&] { mStream.Close(); });
    memo.Add(mCosObj, copy.GetCosObj());
    // The copy's own dictionary receives the entries; "Length" stays the host's.
    Attributes().CopyEntriesInto(copy.Attributes().GetCosObj(), share, memo, true);
    return copy.GetCosObj();
}

void CCosStream::Dump(FILE* file) {
    std::fputs("CosStream\nAttributes Dict\n", file);
    Attributes().Dump(file);
    std::fputs("---BEGIN DATA---\n", file);
    OpenStream(kCosStreamDecoded);
    unsigned char line[kDumpBytesPerLine];
    int filled = 0;
    char piece[kPieceSize];
    for (int32_t got; (got = mStream.Read(piece, 1, kPieceSize)) > 0;) {
        for (int32_t i = 0; i < got; ++i) {
            line[filled++] = static_cast<unsigned char>(piece[i]);
            if (filled == kDumpBytesPerLine) DumpLine(file, line, filled), filled = 0;
        }
    }
    if (filled > 0) DumpLine(file, line, filled);
    mStream.Close();
}
