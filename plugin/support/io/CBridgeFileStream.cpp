#include "support/io/CBridgeFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/ErrorCode.h"
#include "support/io/FileSystemHelpers.h"

namespace {

int OpenFlags(uint32_t inFlags) {
    int flags = O_CLOEXEC;
    const bool read = inFlags & kStreamRead;
    const bool write = inFlags & kStreamWrite;
    if (read && write)
        flags |= O_RDWR;
    else if (write)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (inFlags & kStreamTruncate)
        flags |= O_CREAT | O_TRUNC;
    else if (inFlags & kStreamCreate)
        flags |= O_CREAT;
    return flags;
}

}  // namespace

CBridgeFileStream::CBridgeFileStream() = default;

CBridgeFileStream::CBridgeFileStream(const TFileSpecifier& inFile) : mFile(inFile) {}

CBridgeFileStream::~CBridgeFileStream() { Close(); }

void CBridgeFileStream::SetFile(const TFileSpecifier& inFile) { mFile = inFile; }

bool CBridgeFileStream::SetPathText(const char* inPath) { return mFile.SetPath(inPath); }

bool CBridgeFileStream::Open(uint32_t inFlags) {
    Close();
    if (mFile.IsEmpty()) return false;
    int fd;
    do {
        fd = ::open(mFile.GetPath(), OpenFlags(inFlags), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    // A folder opens read-only on Linux; as a stream it is of no use.
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    mHandle = fd;
    return true;
}

void CBridgeFileStream::Close() {
    if (mHandle < 0) return;
    ::close(mHandle);
    mHandle = -1;
}

void CBridgeFileStream::PlatformHook() {}

const char* CBridgeFileStream::GetPathText() const { return mFile.GetPath(); }

bool CBridgeFileStream::SetTempFile(const char* inPrefix, uint32_t) {
    return SetTempFile(inPrefix);
}

bool CBridgeFileStream::SetTempFile(const char* inPrefix) {
    return MakeTempFileSpec(inPrefix, mFile, false);
}

int32_t CBridgeFileStream::GetHandle() const { return mHandle; }

void CBridgeFileStream::PlatformHookWithValue(int32_t) {}

bool CBridgeFileStream::IsOpen() const { return mHandle >= 0; }

const char* CBridgeFileStream::GetFilePath() const { return mFile.GetPath(); }

int64_t CBridgeFileStream::Seek(int32_t inOrigin, int64_t inOffset) {
    if (mHandle < 0) return -1;
    int whence = SEEK_CUR;  // origin 0 and unknown origins
    if (inOrigin == kSeekFromBeginning)
        whence = SEEK_SET;
    else if (inOrigin == kSeekFromEnd)
        whence = SEEK_END;
    return ::lseek(mHandle, static_cast<off_t>(inOffset), whence);
}

uint64_t CBridgeFileStream::GetPosition() const {
    if (mHandle < 0) return 0;
    const off_t position = ::lseek(mHandle, 0, SEEK_CUR);
    return position < 0 ? 0 : static_cast<uint64_t>(position);
}

void CBridgeFileStream::SetLength(uint64_t inLength) {
    if (mHandle < 0 || ::ftruncate(mHandle, static_cast<off_t>(inLength)) != 0)
        ThrowErrorCode(kErrOpenFile);
}

uint64_t CBridgeFileStream::GetLength() const {
    struct stat st;
    if (mHandle < 0 || ::fstat(mHandle, &st) != 0) return 0;
    return static_cast<uint64_t>(st.st_size);
}

size_t CBridgeFileStream::Read(void* outBuffer, size_t inCount) {
    if (mHandle < 0 || !outBuffer) return 0;
    char* out = static_cast<char*>(outBuffer);
    size_t done = 0;
    while (done < inCount) {
        const ssize_t n = ::read(mHandle, out + done, inCount - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // end of file, or an error after `done` good bytes
        done += static_cast<size_t>(n);
    }
    return done;
}

size_t CBridgeFileStream::Write(const void* inBuffer, size_t inCount) {
    if (inCount == 0) return 0;
    if (mHandle < 0 || !inBuffer) ThrowErrorCode(kErrOpenFile);
    const char* in = static_cast<const char*>(inBuffer);
    size_t done = 0;
    while (done < inCount) {
        const ssize_t n = ::write(mHandle, in + done, inCount - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ThrowErrorCode(kErrOpenFile);
        done += static_cast<size_t>(n);
    }
    return inCount;
}

bool CBridgeFileStream::Delete() { return !mFile.IsEmpty() && ::unlink(mFile.GetPath()) == 0; }

bool CBridgeFileStream::Exists() const { return PathExists(mFile.GetPath(), kPathExistsAny); }
