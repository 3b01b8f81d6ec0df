// CASStream holds one host byte stream (AppSupport ASStm) and closes it when
// it goes. Openers throw kErrStream (8002) when the host gives no stream.
#pragma once

#include <cstdint>

#include "qmhost/AppSupportTable.h"

class CASStream {
public:
    CASStream() = default;
    // Takes ownership of an open stream (null: closed).
    explicit CASStream(ASStm stream) : mStream(stream) {}
    // A stream on a file: mode kASStmRead or kASStmWrite.
    CASStream(ASPathName path, int16_t mode);
    // A read stream over a copy of size bytes of data.
    CASStream(const char* data, int64_t size);
    // Closes the stream it holds; a close the host refuses is dropped.
    ~CASStream();
    CASStream(const CASStream&) = delete;
    CASStream& operator=(const CASStream&) = delete;
    CASStream(CASStream&& other) noexcept;
    CASStream& operator=(CASStream&& other) noexcept;

    // Openers: close the current stream first, then open; 8002 on failure (the
    // host's text is in the error-message buffer).
    void OpenFileStream(ASPathName path, int16_t mode);
    void OpenMemStream(const char* data, int64_t size);
    // A read stream that the host fills by calling readProc(buffer, size,
    // clientData). readProc must not throw: it runs inside the host.
    void OpenProcStream(ASStmReadProc readProc, void* clientData);

    // Closes the current stream, then holds the given one.
    void Attach(ASStm stream);
    // Gives the stream up without closing it.
    ASStm Detach();

    // Items read / written (host stmRead / stmWrite). Assert "mStream != NULL";
    // host errors leave as their 16-bit codes.
    int32_t Read(void* buffer, int32_t itemSize, int32_t count);
    int32_t Write(const void* buffer, int32_t itemSize, int32_t count);

    // Closes through the host and forgets the handle (even when the host's
    // close raises, which is then thrown on as its code). Nothing when closed.
    void Close();

    bool IsOpen() const { return mStream != nullptr; }
    ASStm Get() const { return mStream; }
    operator ASStm() const { return mStream; }

private:
    ASStm mStream = nullptr;
};
