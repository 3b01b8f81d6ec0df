#include "support/io/FileReplacing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool gFailBeforeRename = false;

std::string FolderOf(const std::string& inPath) {
    const size_t slash = inPath.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : inPath.substr(0, slash);
}

// The file the path finally names, so that writing through a symbolic link
// replaces the linked file and keeps the link.
std::string ResolvedTarget(const char* inPath) {
    struct stat st;
    if (::lstat(inPath, &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(inPath, nullptr)) {
            std::string resolved = real;
            std::free(real);
            return resolved;
        }
    }
    return inPath;
}

// The process's umask, read from its status without changing it: umask(0) and
// back would give the files another thread makes meanwhile the mask 0. Asked of
// umask() only where the status has no Umask line.
mode_t ProcessUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1 && mask <= 0777;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

mode_t ModeFor(const std::string& inTarget, int inMode) {
    if (inMode >= 0) return static_cast<mode_t>(inMode & 07777);
    struct stat st;
    if (::stat(inTarget.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    return 0666 & ~ProcessUmask();
}

// The temporary file: closed, and removed unless the replacement went through.
class TempFile {
public:
    TempFile(std::string inPath, int inFd) : mPath(std::move(inPath)), mFd(inFd) {}
    ~TempFile() {
        if (mFd >= 0) ::close(mFd);
        if (!mPath.empty()) ::unlink(mPath.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return mPath; }
    int Fd() const { return mFd; }
    // Closes the file: 0 or an errno value.
    int Close() {
        const int result = ::close(mFd);
        mFd = -1;
        return result == 0 ? 0 : errno;
    }
    void Keep() { mPath.clear(); }

private:
    std::string mPath;
    int mFd;
};

int ErrnoOr(int inFallback) { return errno ? errno : inFallback; }

void SyncFolder(const std::string& inFolder) {
    const int fd = ::open(inFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename is done; a folder that cannot be synced is no failure
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

int ReplaceFileWhole(const char* inPath, const std::function<bool(const char* inTempPath, int inFd)>& inWrite,
                     const char* inPrefix, int inMode) {
    if (!inPath || !*inPath) return ENOENT;
    const std::string target = ResolvedTarget(inPath);
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        // A device, pipe or socket would be replaced by a regular file.
        if (!S_ISREG(st.st_mode)) return kNotRegularFile;
    }
    std::string name = FolderOf(target) + "/." + (inPrefix ? inPrefix : "") + "XXXXXX";
    if (name.size() >= PATH_MAX) return ENAMETOOLONG;
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return ErrnoOr(EIO);
    TempFile temp(name, fd);
    if (::fchmod(fd, ModeFor(target, inMode)) != 0) return ErrnoOr(EIO);
    errno = 0;
    if (!inWrite(temp.Path().c_str(), temp.Fd())) return ErrnoOr(EIO);
    if (::fsync(temp.Fd()) != 0) return ErrnoOr(EIO);
    if (const int error = temp.Close()) return error;
    if (gFailBeforeRename) {
        gFailBeforeRename = false;
        return EIO;
    }
    if (::rename(temp.Path().c_str(), target.c_str()) != 0) return ErrnoOr(EIO);
    temp.Keep();
    SyncFolder(FolderOf(target));
    return 0;
}

std::string ReplaceFileErrorText(int inError) {
    return inError == kNotRegularFile ? "it exists and is not a regular file" : std::strerror(inError);
}

void FailNextReplaceBeforeRenameForTesting() { gFailBeforeRename = true; }
