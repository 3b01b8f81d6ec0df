#include "pdmodel/DocumentFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFWriter.hh>

#include "core/Raise.h"

namespace qmhost {
namespace {

bool gFailBeforeRename = false;

std::string errnoText(int error) { return std::strerror(error); }

// A regular file that can be read; anything else is refused before qpdf sees it
// (a FIFO would block the open forever).
FILE* openForReading(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) raise(kHostErrFileNotFound, "no such file: " + path);
        raise(kHostErrFileOpen, "cannot open " + path + ": " + errnoText(error));
    }
    if (S_ISDIR(info.st_mode)) raise(kHostErrFileOpen, "cannot open " + path + ": it is a folder");
    if (!S_ISREG(info.st_mode)) raise(kHostErrFileOpen, "cannot open " + path + ": not a regular file");
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) raise(kHostErrFileOpen, "cannot open " + path + ": " + errnoText(errno));
    return file;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save really replaces: a symbolic link's target, else path itself.
std::string resolvedTarget(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved)) return resolved;
    }
    return path;
}

mode_t modeForNewFile(const std::string& target) {
    struct stat info;
    if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Removes the temporary file unless the save went through.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : mPath(std::move(path)) {}
    ~TemporaryFile() {
        if (!mPath.empty()) ::unlink(mPath.c_str());
    }
    const std::string& path() const { return mPath; }
    void keep() { mPath.clear(); }

private:
    std::string mPath;
};

[[noreturn]] void writeFailed(const std::string& path, const std::string& why) {
    raise(kHostErrFileWrite, "cannot write " + path + ": " + why);
}

// Writes qpdf through file, then flushes and syncs it; closes file in every case.
void writeAndClose(QPDF& qpdf, FILE* file, const std::string& path) {
    try {
        QPDFWriter writer(qpdf);
        writer.setOutputFile(path.c_str(), file, false);
        writer.write();
    } catch (const HostError&) {
        std::fclose(file);
        throw;
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        raise(kHostErrNoMemory, "out of memory while writing " + path);
    } catch (const std::exception& e) {
        std::fclose(file);
        writeFailed(path, e.what());
    }
    int error = 0;
    if (std::fflush(file) != 0 || ::fsync(fileno(file)) != 0) error = errno;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    if (error != 0) writeFailed(path, errnoText(error));
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;  // the rename is done; a folder that cannot be synced is no failure
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::unique_ptr<QPDF> openPdfFile(const std::string& path) {
    FILE* file = openForReading(path);
    auto qpdf = std::make_unique<QPDF>();
    try {
        qpdf->setSuppressWarnings(true);
        qpdf->setAttemptRecovery(true);
        qpdf->processFile(path.c_str(), file, true);  // the input source owns file from here
        // A file without a catalog or a readable page tree is no document.
        qpdf->getRoot();
        qpdf->getAllPages();
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password)
            raise(kHostErrEncrypted, path + " is encrypted and needs a password");
        raise(kHostErrBadPDF, path + " is not a PDF file or is damaged beyond repair: " + e.what());
    } catch (const std::bad_alloc&) {
        raise(kHostErrNoMemory, "out of memory while reading " + path);
    } catch (const std::exception& e) {
        raise(kHostErrBadPDF, path + " is not a PDF file or is damaged beyond repair: " + e.what());
    }
    return qpdf;
}

void writePdfFile(QPDF& qpdf, const std::string& path) {
    if (path.empty()) raise(kHostErrBadParameter, "cannot save to an empty path");
    const std::string target = resolvedTarget(path);
    struct stat info;
    if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        writeFailed(path, "it is a folder");
    // A hidden name beside the target; the base is cut so that a long file name
    // still leaves room for the suffix within the file system's name limit.
    std::string pattern = folderOf(target) + "/." + baseNameOf(target).substr(0, 64) + ".XXXXXX";
    if (pattern.size() >= PATH_MAX) writeFailed(path, "the path is too long");
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) writeFailed(path, errnoText(errno));
    TemporaryFile temporary(pattern);
    if (::fchmod(fd, modeForNewFile(target)) != 0) {
        const int error = errno;
        ::close(fd);
        writeFailed(path, errnoText(error));
    }
    FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        writeFailed(path, errnoText(error));
    }
    writeAndClose(qpdf, file, path);
    if (gFailBeforeRename) {
        gFailBeforeRename = false;
        writeFailed(path, "failure injected by a test");
    }
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) writeFailed(path, errnoText(errno));
    temporary.keep();
    syncFolder(folderOf(target));
}

void failNextWriteBeforeRenameForTesting() { gFailBeforeRename = true; }

}  // namespace qmhost
