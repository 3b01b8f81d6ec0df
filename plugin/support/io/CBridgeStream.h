// An abstract byte stream. CBridgeFileStream is its implementation over a file.
//
// Positions and lengths are in bytes. Seek origins are kSeekFromCurrent (0),
// kSeekFromBeginning (1) and kSeekFromEnd (2); any other origin counts from the
// current position. Note the order: 0 is the current position, not the start.
#pragma once

#include <cstddef>
#include <cstdint>

class TFileSpecifier;

// Open flags (bits).
enum : uint32_t {
    kStreamRead = 1,      // with kStreamWrite: read and write
    kStreamWrite = 2,     // alone: write only (neither bit: read only)
    kStreamCreate = 4,    // create a missing file, keep an existing one's contents
    kStreamTruncate = 8,  // create a missing file, empty an existing one
};

// Seek origins.
enum : int32_t {
    kSeekFromCurrent = 0,
    kSeekFromBeginning = 1,
    kSeekFromEnd = 2,
};

class CBridgeStream {
public:
    CBridgeStream();
    // inValue: a value that the owner may store; the stream never reads it.
    explicit CBridgeStream(uint32_t inValue);
    virtual ~CBridgeStream();

    CBridgeStream(const CBridgeStream&) = delete;
    CBridgeStream& operator=(const CBridgeStream&) = delete;

    // Names the file of the stream (copies the path).
    virtual void SetFile(const TFileSpecifier& inFile) = 0;
    // Stores the owner's value.
    virtual void SetStreamValue(uint32_t inValue);
    // Opens with the flag bits above; answers whether it opened. Never throws.
    virtual bool Open(uint32_t inFlags) = 0;
    virtual void Close() = 0;
    virtual void PlatformHook() = 0;
    virtual const char* GetPathText() const = 0;
    // Names a new, empty temporary file whose name begins with (at most three
    // characters of) inPrefix; the caller deletes it. False when none was made.
    virtual bool SetTempFile(const char* inPrefix, uint32_t inUnused) = 0;
    // The operating-system handle of the open file (-1 when closed). It stays
    // owned by the stream: a library that closes what it is given gets a dup().
    virtual int32_t GetHandle() const = 0;
    virtual void PlatformHookWithValue(int32_t inValue) = 0;
    virtual bool IsOpen() const = 0;
    virtual const char* GetFilePath() const = 0;
    // Moves the position by inOffset from inOrigin; answers the new position, or
    // -1 (position unchanged) when the stream is closed or the position would be
    // negative.
    virtual int64_t Seek(int32_t inOrigin, int64_t inOffset) = 0;
    virtual uint64_t GetPosition() const = 0;
    virtual void SetLength(uint64_t inLength) = 0;
    virtual uint64_t GetLength() const = 0;
    // Reads up to inCount bytes; fewer at the end of the stream.
    virtual size_t Read(void* outBuffer, size_t inCount) = 0;
    // Writes inCount bytes and answers inCount.
    virtual size_t Write(const void* inBuffer, size_t inCount) = 0;
    // Reads one line into outBuffer (inMaximum + 1 bytes): at most inMaximum
    // bytes, ended by the first CR, LF or CR LF (kept in the line), then a NUL.
    // The position is left right after the line. Answers the line's length in
    // bytes with its ending; 0 (nothing read or stored) for inMaximum < 1.
    virtual int32_t ReadLine(char* outBuffer, int32_t inMaximum);
    // Write of the text's bytes without its terminating NUL.
    virtual size_t WriteString(const char* inText);
    // Deletes the file by its path; the stream keeps the path.
    virtual bool Delete() = 0;
    // Whether the path names an existing entry.
    virtual bool Exists() const = 0;

    uint32_t GetStreamValue() const { return mValue; }

private:
    uint32_t mValue = 0;
};
