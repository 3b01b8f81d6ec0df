// Host byte streams behind ASStm handles: over memory, over files, and over a
// plug-in's read procedure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "qmhost/QMBase.h"

namespace qmhost {

class HostStream {
public:
    virtual ~HostStream();
    // Bytes read (0 at the end). Raises kHostErrStream / kHostErrFileRead on error.
    virtual int64_t read(char* buffer, int64_t size) = 0;
    // Raises kHostErrStream for a read-only stream, kHostErrFileWrite on failure.
    virtual void write(const char* buffer, int64_t size);
    // Moves to an absolute offset; false when the stream cannot seek there.
    virtual bool seek(int64_t offset);
    // Flushes and releases what the stream holds; raises on a failed flush.
    virtual void close();
};

// Registers a stream and answers its handle.
ASStm registerStream(std::unique_ptr<HostStream> stream);
// The stream of a handle; raises kHostErrBadHandle for an unknown or closed one.
HostStream& streamOf(ASStm handle);
// Closes and forgets the stream; unknown handles are ignored.
void closeStream(ASStm handle);
// Reads a stream from where it stands to its end (at most `limit` bytes when
// limit >= 0).
std::string readAll(HostStream& stream, int64_t limit = -1);

ASStm openMemoryStream(std::string data);
// mode: kASStmRead or kASStmWrite.
ASStm openFileStream(const std::string& path, int16_t mode);
ASStm openProcStream(ASCallback readProc, void* clientData);

// Number of streams open now (tests check that nothing leaks).
size_t openStreamCount();

}  // namespace qmhost
