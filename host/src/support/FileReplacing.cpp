#include "support/FileReplacing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <stdexcept>

#include "core/ExceptionTrap.h"
#include "core/Raise.h"

namespace qmhost {
namespace {

bool gFailBeforeRename = false;

std::string errnoText(int error) { return std::strerror(error); }

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a write really replaces: a symbolic link's target, else path itself.
std::string resolvedTarget(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved)) return resolved;
    }
    return path;
}

// The mask of a status line "Umask:\t0022"; false when line is not one.
bool umaskOfLine(const std::string& line, mode_t& mask) {
    static const std::string kKey = "Umask:";
    if (line.compare(0, kKey.size(), kKey) != 0) return false;
    const size_t begin = line.find_first_not_of(" \t", kKey.size());
    if (begin == std::string::npos) return false;
    const size_t end = std::min(line.find_first_not_of("01234567", begin), line.size());
    if (end == begin || end - begin > 4 || line.find_first_not_of(" \t", end) != std::string::npos) return false;
    const unsigned long value = std::stoul(line.substr(begin, end - begin), nullptr, 8);
    if (value > 0777) return false;
    mask = static_cast<mode_t>(value);
    return true;
}

mode_t modeForNewFile(const std::string& target) {
    struct stat info;
    if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 07777;
    return 0666 & ~processUmask();
}

[[noreturn]] void writeFailed(const std::string& path, const std::string& why) {
    raise(kHostErrFileWrite, "cannot write " + path + ": " + why);
}

// The temporary files being written, for removeTemporaryFilesNow: a signal
// handler may only read these slots and unlink what they name.
constexpr size_t kTemporarySlots = 16;
std::atomic<char*> gTemporaries[kTemporarySlots];

// The temporary file: made from a mkostemp pattern, and removed unless the
// replacement went through. Its name is in a slot (when one is free) from
// before the file is made, mkostemp filling in the name there, so that an
// interrupted program finds every file it made.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& pattern) {
        mName = ::strdup(pattern.c_str());
        if (!mName) throw std::bad_alloc();
        for (std::atomic<char*>& slot : gTemporaries) {
            char* empty = nullptr;
            if (slot.compare_exchange_strong(empty, mName)) {
                mSlot = &slot;
                break;
            }
        }
        mFd = ::mkostemp(mName, O_CLOEXEC);
        if (mFd < 0) {
            const int error = errno;
            release();
            errno = error;
        }
    }
    ~TemporaryFile() {
        if (mFd >= 0 && mName) ::unlink(mName);
        release();
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    // The new file's descriptor (-1, errno set, when it could not be made);
    // whoever takes it closes it.
    int fd() const { return mFd; }
    const char* path() const { return mName; }
    // After the rename: the name is the target's now.
    void keep() { release(); }

private:
    // The slot is emptied before the name is freed, so a handler never reads freed memory.
    void release() {
        if (mSlot) mSlot->store(nullptr);
        mSlot = nullptr;
        std::free(mName);
        mName = nullptr;
    }

    char* mName = nullptr;
    std::atomic<char*>* mSlot = nullptr;
    int mFd = -1;
};

// Runs write on file, then flushes and syncs it; closes file in every case.
void writeAndClose(std::FILE* file, const std::string& path, const std::function<void(std::FILE*)>& write) {
    errno = 0;
    trapFailure([&] { write(file); },
                [&] {
                    std::fclose(file);
                    // Host errors and a lack of memory go on as they are; any
                    // other failure of the writer is a failed write.
                    bool passOn = false;
                    std::string why = "the writer failed";
                    trappedRun([&] {
                        try {
                            throw;
                        } catch (const HostError&) {
                            passOn = true;
                        } catch (const std::bad_alloc&) {
                            passOn = true;
                        } catch (const std::exception& e) {
                            why = e.what();
                        }
                    });
                    if (passOn) throw;
                    writeFailed(path, why);
                });
    // A writer that let a stream error pass (qpdf's own final flush does) leaves
    // the reason in errno: a full disk is reported as such, not as an I/O error.
    int error = 0;
    if (std::ferror(file)) error = errno != 0 ? errno : EIO;
    if (error == 0 && (std::fflush(file) != 0 || ::fsync(fileno(file)) != 0)) error = errno;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    if (error != 0) writeFailed(path, errnoText(error));
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename is done; a folder that cannot be synced is no failure
    ::fsync(fd);
    ::close(fd);
}

enum class Placed { Renamed, Linked, Exists };

// Puts the complete temporary file in place of target: renamed over it, or
// (replace false) given target's name only when no file has that name, so
// that of two writers of one new file the second finds the first's.
Placed placeTemporary(const char* temporary, const std::string& target, bool replace, const std::string& path) {
    if (replace) {
        if (::rename(temporary, target.c_str()) != 0) writeFailed(path, errnoText(errno));
        return Placed::Renamed;
    }
    if (::renameat2(AT_FDCWD, temporary, AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return Placed::Renamed;
    // File systems without that rename (NFS) make a link, which fails as well
    // when the name is taken.
    if ((errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) && ::link(temporary, target.c_str()) == 0)
        return Placed::Linked;
    if (errno == EEXIST) return Placed::Exists;
    writeFailed(path, errnoText(errno));
}

bool writeWhole(const std::string& path, const std::function<void(std::FILE* file)>& write, int mode,
                bool replace) {
    if (path.empty()) raise(kHostErrBadParameter, "cannot write to an empty path");
    struct stat info;
    if (!replace && ::lstat(path.c_str(), &info) == 0) return false;
    const std::string target = resolvedTarget(path);
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) writeFailed(path, "it is a folder");
        // A device, pipe or socket would be replaced by a regular file.
        if (!S_ISREG(info.st_mode)) writeFailed(path, "it is not a regular file");
    }
    // A hidden name beside the target; the base is cut so that a long file name
    // still leaves room for the suffix within the file system's name limit.
    std::string pattern = folderOf(target) + "/." + baseNameOf(target).substr(0, 64) + ".XXXXXX";
    if (pattern.size() >= PATH_MAX) writeFailed(path, "the path is too long");
    TemporaryFile temporary(pattern);
    const int fd = temporary.fd();
    if (fd < 0) writeFailed(path, errnoText(errno));
    if (::fchmod(fd, mode >= 0 ? static_cast<mode_t>(mode & 07777) : modeForNewFile(target)) != 0) {
        const int error = errno;
        ::close(fd);
        writeFailed(path, errnoText(error));
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        writeFailed(path, errnoText(error));
    }
    writeAndClose(file, path, write);
    if (gFailBeforeRename) {
        gFailBeforeRename = false;
        writeFailed(path, "failure injected by a test");
    }
    const Placed placed = placeTemporary(temporary.path(), target, replace, path);
    if (placed == Placed::Exists) return false;
    // A rename took the temporary's name; after a link it is removed with the temporary.
    if (placed == Placed::Renamed) temporary.keep();
    syncFolder(folderOf(target));
    return true;
}

}  // namespace

void replaceFile(const std::string& path, const std::function<void(std::FILE* file)>& write, int mode) {
    writeWhole(path, write, mode, true);
}

bool createFile(const std::string& path, const std::function<void(std::FILE* file)>& write, int mode) {
    return writeWhole(path, write, mode, false);
}

mode_t processUmask(const char* statusFile) {
    // The viewer draws pages on another thread while a save runs; umask(0) and
    // back would hand that thread's new files the mask 0 in between.
    std::ifstream status(statusFile);
    std::string line;
    mode_t mask = 0;
    while (std::getline(status, line))
        if (umaskOfLine(line, mask)) return mask;
    mask = ::umask(0);
    ::umask(mask);
    return mask;
}

void removeTemporaryFilesNow() noexcept {
    for (std::atomic<char*>& slot : gTemporaries)
        if (const char* name = slot.load()) ::unlink(name);
}

void failNextReplaceBeforeRenameForTesting() { gFailBeforeRename = true; }

}  // namespace qmhost
