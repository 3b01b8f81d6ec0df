// A C runtime FILE for text files (the log appends through it). The destructor
// closes an open file.
#pragma once

#include <cstdio>

class TFileSpecifier;
class CBridgeFileStream;

class CBridgeStdioFile {
public:
    CBridgeStdioFile();
    virtual ~CBridgeStdioFile();

    CBridgeStdioFile(const CBridgeStdioFile&) = delete;
    CBridgeStdioFile& operator=(const CBridgeStdioFile&) = delete;

    // Opens the path with a C runtime mode ("a", "w", "r", ...) after closing a
    // file already open, keeps and answers the FILE (owned by this object). On
    // failure answers null, or throws kErrOpenFile (-3) when inThrow is set.
    FILE* Open(const TFileSpecifier& inFile, const char* inMode, bool inThrow);
    // Open on the path that the stream's GetFilePath gives.
    FILE* Open(const CBridgeFileStream& inStream, const char* inMode, bool inThrow);
    // Closes the open FILE, if any, and forgets it; false when flushing or
    // closing failed (buffered output may be lost).
    bool Close();
    // The open FILE, or null.
    FILE* GetFile() const { return mFile; }

private:
    FILE* OpenPath(const char* inPath, const char* inMode, bool inThrow);

    FILE* mFile = nullptr;
};
