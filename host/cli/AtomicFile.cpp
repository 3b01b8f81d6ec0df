#include "cli/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/ScopeGuard.h"
#include "support/FileReplacing.h"

namespace qmcli {
namespace {

void writeBytes(std::FILE* file, std::string_view bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        throw std::runtime_error(std::strerror(errno));
}

// "64 MiB" for whole mebibytes, else the bytes.
std::string sizeText(uint64_t bytes) {
    constexpr uint64_t kMiB = uint64_t(1) << 20;
    if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

// Reads what fd holds into *bytes, at most limit bytes; false when there is
// more. Raises std::bad_alloc; a read error leaves errno set and answers true
// with *failed set.
bool readAll(int fd, uint64_t limit, std::string* bytes, bool* failed) {
    char piece[65536];
    for (;;) {
        const ssize_t got = ::read(fd, piece, sizeof piece);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            *failed = got < 0;
            return true;
        }
        if (static_cast<uint64_t>(got) > limit - bytes->size()) return false;
        bytes->append(piece, static_cast<size_t>(got));
    }
}

}  // namespace

bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error, int mode) {
    try {
        qmhost::replaceFile(path, [&](std::FILE* file) { writeBytes(file, bytes); }, mode);
        return true;
    } catch (const std::exception& e) {
        *error = e.what();
        return false;
    }
}

NewFile WriteNewFile(const std::string& path, std::string_view bytes, std::string* error) {
    try {
        return qmhost::createFile(path, [&](std::FILE* file) { writeBytes(file, bytes); }) ? NewFile::Written
                                                                                           : NewFile::Exists;
    } catch (const std::exception& e) {
        *error = e.what();
        return NewFile::Failed;
    }
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error, const ReadLimit& limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    const auto closeFile = qmhost::onScopeExit([fd] { ::close(fd); });
    const std::string tooLarge = path + " is larger than " + limit.kind + " may be (" + sizeText(limit.bytes) + ")";
    struct stat info;
    const bool measured = ::fstat(fd, &info) == 0;
    if (measured && S_ISDIR(info.st_mode)) {
        *error = path + " is a folder, not a file";
        return false;
    }
    const bool regular = measured && S_ISREG(info.st_mode);
    if (regular && static_cast<uint64_t>(info.st_size) > limit.bytes) {
        *error = tooLarge;
        return false;
    }
    try {
        std::string content;
        if (regular) content.reserve(static_cast<size_t>(info.st_size));
        bool failed = false;
        if (!readAll(fd, limit.bytes, &content, &failed)) {
            *error = tooLarge;
            return false;
        }
        if (failed) {
            *error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        *bytes = std::move(content);
        return true;
    } catch (const std::bad_alloc&) {
        *error = "cannot read " + path + ": not enough memory";
        return false;
    }
}

}  // namespace qmcli
