#include "support/cos/CASStream.h"

#include <map>
#include <utility>

#include "support/Assertion.h"
#include "support/CallbackGuard.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {
// Host callbacks are made once per procedure and kept while the extension is
// loaded; a new extension identifier (the plug-in loaded again) makes new ones.
ASCallback CallbackFor(ASStmReadProc readProc) {
    static std::map<std::pair<ExtensionID, ASStmReadProc>, ASCallback> made;
    const auto key = std::make_pair(gExtensionID, readProc);
    auto found = made.find(key);
    if (found != made.end()) return found->second;
    const ASCallback callback = CallHostOr(kErrStream, [&] {
        return gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(readProc));
    });
    if (!callback) ThrowErrorCode(kErrStream);
    made.emplace(key, callback);
    return callback;
}

ASStm Opened(ASStm stream) {
    if (!stream) ThrowErrorCode(kErrStream);
    return stream;
}
}  // namespace

CASStream::CASStream(ASPathName path, int16_t mode) { OpenFileStream(path, mode); }

CASStream::CASStream(const char* data, int64_t size) { OpenMemStream(data, size); }

CASStream::~CASStream() {
    // Closing here keeps a stream from leaking on every path that throws
    // between open and close.
    TrapRun([this] { Close(); });
}

CASStream::CASStream(CASStream&& other) noexcept : mStream(std::exchange(other.mStream, nullptr)) {}

CASStream& CASStream::operator=(CASStream&& other) noexcept {
    if (this != &other) {
        TrapRun([this] { Close(); });
        mStream = std::exchange(other.mStream, nullptr);
    }
    return *this;
}

void CASStream::OpenFileStream(ASPathName path, int16_t mode) {
    Close();
    mStream = Opened(CallHostOr(kErrStream, [&] { return gAppSupportHFT->fileStmOpen(path, mode); }));
}

void CASStream::OpenMemStream(const char* data, int64_t size) {
    Close();
    mStream = Opened(CallHostOr(kErrStream, [&] { return gAppSupportHFT->memStmOpen(data, size); }));
}

void CASStream::OpenProcStream(ASStmReadProc readProc, void* clientData) {
    Close();
    const ASCallback callback = CallbackFor(readProc);
    mStream = Opened(
        CallHostOr(kErrStream, [&] { return gAppSupportHFT->procStmOpen(callback, clientData); }));
}

void CASStream::Attach(ASStm stream) {
    if (stream == mStream) return;
    Close();
    mStream = stream;
}

ASStm CASStream::Detach() { return std::exchange(mStream, nullptr); }

int32_t CASStream::Read(void* buffer, int32_t itemSize, int32_t count) {
    QM_ASSERT_TEXT(mStream != nullptr, "mStream != NULL");
    return CallHost([&] {
        return gAppSupportHFT->stmRead(static_cast<char*>(buffer), itemSize, count, mStream);
    });
}

int32_t CASStream::Write(const void* buffer, int32_t itemSize, int32_t count) {
    QM_ASSERT_TEXT(mStream != nullptr, "mStream != NULL");
    return CallHost([&] {
        return gAppSupportHFT->stmWrite(static_cast<const char*>(buffer), itemSize, count, mStream);
    });
}

void CASStream::Close() {
    if (!mStream) return;
    const ASStm stream = std::exchange(mStream, nullptr);
    CallHost([&] { gAppSupportHFT->stmClose(stream); });
}
