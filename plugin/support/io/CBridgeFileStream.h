// A byte stream over a binary file named by a TFileSpecifier, opened with the
// POSIX file calls. Neither constructor opens the file; the destructor closes it.
//
// Failures: Open answers false; Read answers the bytes it did read (0 on an
// error or a closed stream); Write and SetLength throw kErrOpenFile (-3) when
// the file cannot be written (or is not open), since no other error code of
// the plug-in names an I/O failure.
#pragma once

#include "support/io/CBridgeStream.h"
#include "support/io/TFileSpecifier.h"

class CBridgeFileStream : public CBridgeStream {
public:
    CBridgeFileStream();
    explicit CBridgeFileStream(const TFileSpecifier& inFile);
    ~CBridgeFileStream() override;

    void SetFile(const TFileSpecifier& inFile) override;
    // Copies a path text into the stream's file; false (file left empty) when it
    // does not fit a TFileSpecifier.
    bool SetPathText(const char* inPath);
    const TFileSpecifier& GetFile() const { return mFile; }

    // Opens the file in binary mode (a file already open is closed first). The
    // access comes from kStreamRead/kStreamWrite; kStreamTruncate creates or
    // empties, kStreamCreate (without it) creates or keeps; with neither the file
    // must exist. A folder never opens.
    bool Open(uint32_t inFlags) override;
    void Close() override;
    void PlatformHook() override;
    const char* GetPathText() const override;
    // Names a new, empty file in the system's temporary folder (MakeTempFilePath).
    bool SetTempFile(const char* inPrefix, uint32_t inUnused) override;
    virtual bool SetTempFile(const char* inPrefix);
    int32_t GetHandle() const override;
    void PlatformHookWithValue(int32_t inValue) override;
    bool IsOpen() const override;
    const char* GetFilePath() const override;
    int64_t Seek(int32_t inOrigin, int64_t inOffset) override;
    uint64_t GetPosition() const override;
    void SetLength(uint64_t inLength) override;
    uint64_t GetLength() const override;
    size_t Read(void* outBuffer, size_t inCount) override;
    size_t Write(const void* inBuffer, size_t inCount) override;
    bool Delete() override;
    bool Exists() const override;

private:
    TFileSpecifier mFile;
    int mHandle = -1;
};
