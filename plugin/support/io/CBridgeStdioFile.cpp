#include "support/io/CBridgeStdioFile.h"

#include "support/io/CBridgeFileStream.h"
#include "support/ErrorCode.h"
#include "support/io/TFileSpecifier.h"

CBridgeStdioFile::CBridgeStdioFile() = default;

CBridgeStdioFile::~CBridgeStdioFile() { Close(); }

FILE* CBridgeStdioFile::Open(const TFileSpecifier& inFile, const char* inMode, bool inThrow) {
    return OpenPath(inFile.GetPath(), inMode, inThrow);
}

FILE* CBridgeStdioFile::Open(const CBridgeFileStream& inStream, const char* inMode,
                             bool inThrow) {
    return OpenPath(inStream.GetFilePath(), inMode, inThrow);
}

bool CBridgeStdioFile::Close() {
    if (!mFile) return true;
    const bool closed = std::fclose(mFile) == 0;
    mFile = nullptr;
    return closed;
}

FILE* CBridgeStdioFile::OpenPath(const char* inPath, const char* inMode, bool inThrow) {
    Close();  // a second Open must not leak the first FILE
    if (inPath && inPath[0] && inMode) mFile = std::fopen(inPath, inMode);
    if (!mFile && inThrow) ThrowErrorCode(kErrOpenFile);
    return mFile;
}
