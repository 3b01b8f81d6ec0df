#include "support/io/FileSystemHelpers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "support/io/FileReplacing.h"

namespace {

int16_t ToResult(int error) { return static_cast<int16_t>(error); }

bool IsEmptyText(const char* text) { return !text || text[0] == '\0'; }

bool StatPath(const char* path, struct stat& out) {
    return !IsEmptyText(path) && ::stat(path, &out) == 0;
}

// The folder part of a path ("." when it has no "/", "/" for a file at the root).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// At most three characters of the prefix (whole UTF-8 sequences), "/" made "_"
// so that the name stays in its folder.
std::string ShortPrefix(const char* prefix) {
    std::string out;
    if (!prefix) return out;
    int characters = 0;
    for (const char* p = prefix; *p; ++p) {
        const bool continuation = (static_cast<unsigned char>(*p) & 0xC0) == 0x80;
        if (!continuation && ++characters > 3) break;
        out += *p == '/' ? '_' : *p;
    }
    return out;
}

// Makes a new empty file "<folder>/<prefix>XXXXXX" and answers its descriptor
// (-1 with errno set on failure); the path goes into outPath.
int MakeTempFileIn(const std::string& folder, const char* prefix, std::string& outPath) {
    std::string name = folder;
    if (name.empty() || name.back() != '/') name += '/';
    name += ShortPrefix(prefix);
    name += "XXXXXX";
    if (name.size() >= kFileSpecCapacity) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) outPath = name;
    return fd;
}

// $TMPDIR (created when missing), else /tmp.
std::string SystemTempFolder() {
    const char* env = std::getenv("TMPDIR");
    if (!IsEmptyText(env)) {
        std::string folder = env;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        ::mkdir(folder.c_str(), 0777);  // fails harmlessly when it exists
        struct stat st;
        if (StatPath(folder.c_str(), st) && S_ISDIR(st.st_mode)) return folder;
    }
    return "/tmp";
}

bool CopyOut(const std::string& text, char* out, size_t capacity) {
    if (!out || capacity == 0) return false;
    if (text.size() >= capacity) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

// Copies a regular file to a new temporary file in the folder of `target`;
// answers 0 and the temporary path, or an errno value (nothing left behind).
int CopyToTempBeside(const char* source, const char* target, std::string& outTemp) {
    struct stat st;
    errno = 0;
    if (!StatPath(source, st)) return errno ? errno : ENOENT;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    const int fd = MakeTempFileIn(FolderOf(target), ".qm", outTemp);
    if (fd < 0) return errno;
    ::close(fd);
    std::error_code error;
    std::filesystem::copy_file(source, outTemp, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) {
        ::unlink(outTemp.c_str());
        return error.value() ? error.value() : EIO;
    }
    return 0;
}

// A regular file moved to another file system: copied beside the target, linked
// to the target name (which fails when the target exists), then the source goes.
int MoveAcrossFileSystems(const char* source, const char* target) {
    std::string temp;
    if (const int error = CopyToTempBeside(source, target, temp)) return error;
    const int linked = ::link(temp.c_str(), target);
    const int error = linked == 0 ? 0 : errno;
    ::unlink(temp.c_str());
    if (error) return error;
    if (::unlink(source) != 0) return errno;  // both names exist; the caller hears why
    return 0;
}

// Copies what is left of inFrom into inTo: false with errno set on a failure.
bool CopyBytes(int inFrom, int inTo) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(inFrom, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t n = ::write(inTo, buffer + done, static_cast<size_t>(got - done));
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += n;
        }
    }
}

}  // namespace

TFileSpecifier& AssignFileSpec(TFileSpecifier& outDest, const TFileSpecifier& inSource) {
    outDest = inSource;
    return outDest;
}

void DeleteFileSpec(const TFileSpecifier& inSpec) { TryDeleteFileSpec(inSpec); }

int32_t TryDeleteFileSpec(const TFileSpecifier& inSpec) {
    if (inSpec.IsEmpty()) return ENOENT;
    return ::unlink(inSpec.GetPath()) == 0 ? 0 : errno;
}

int16_t CopyFileSpec(const TFileSpecifier& inSource, const TFileSpecifier& inDest) {
    return TryCopyFileSpec(inSource, inDest);
}

int16_t TryCopyFileSpec(const TFileSpecifier& inSource, const TFileSpecifier& inDest) {
    if (inSource.IsEmpty() || inDest.IsEmpty()) return ToResult(ENOENT);
    struct stat st;
    errno = 0;
    if (!StatPath(inSource.GetPath(), st)) return ToResult(errno ? errno : ENOENT);
    if (S_ISDIR(st.st_mode)) return ToResult(EISDIR);
    const int source = ::open(inSource.GetPath(), O_RDONLY | O_CLOEXEC);
    if (source < 0) return ToResult(errno);
    const int error = ReplaceFileWhole(
        inDest.GetPath(), [&](const char*, int inFd) { return CopyBytes(source, inFd); }, "qm",
        static_cast<int>(st.st_mode & 07777));
    ::close(source);
    return ToResult(error);
}

int16_t MoveFileSpec(const TFileSpecifier& inSource, const TFileSpecifier& inDest) {
    return TryMoveFileSpec(inSource, inDest);
}

int16_t TryMoveFileSpec(const TFileSpecifier& inSource, const TFileSpecifier& inDest) {
    if (inSource.IsEmpty() || inDest.IsEmpty()) return ToResult(ENOENT);
    const char* source = inSource.GetPath();
    const char* target = inDest.GetPath();
    // rename() would silently replace an existing target.
    if (::renameat2(AT_FDCWD, source, AT_FDCWD, target, RENAME_NOREPLACE) == 0) return 0;
    const int error = errno;
    struct stat st;
    const bool isFile = ::lstat(source, &st) == 0 && !S_ISDIR(st.st_mode);
    if (error == EXDEV && isFile) return ToResult(MoveAcrossFileSystems(source, target));
    if ((error == EINVAL || error == ENOSYS || error == ENOTSUP) && isFile) {
        // A file system without RENAME_NOREPLACE: link() refuses an existing target.
        if (::link(source, target) != 0) return ToResult(errno);
        if (::unlink(source) != 0) return ToResult(errno);
        return 0;
    }
    return ToResult(error);
}

bool FileSpecExists(const TFileSpecifier& inSpec) { return CheckFileExists(inSpec, false); }

bool CheckFileExists(const TFileSpecifier& inSpec, bool) {
    return PathExists(inSpec.GetPath(), kPathExistsAny);
}

bool IsFileSpecFile(const TFileSpecifier& inSpec, bool) {
    struct stat st;
    return StatPath(inSpec.GetPath(), st) && !S_ISDIR(st.st_mode);
}

bool IsFileSpecFolder(const TFileSpecifier& inSpec, bool) {
    struct stat st;
    return StatPath(inSpec.GetPath(), st) && S_ISDIR(st.st_mode);
}

bool IsFileSpecEmpty(const TFileSpecifier& inSpec) { return inSpec.IsEmpty(); }

bool CompareFileSpecs(const TFileSpecifier& inA, const TFileSpecifier& inB) {
    return std::strcmp(inA.GetPath(), inB.GetPath()) == 0;
}

void GetDefaultFileSpec(TFileSpecifier& outSpec) { outSpec.SetPath(""); }

uint64_t GetFileSpecLength(const TFileSpecifier& inSpec) {
    struct stat st;
    if (!StatPath(inSpec.GetPath(), st) || !S_ISREG(st.st_mode)) return 0;
    return static_cast<uint64_t>(st.st_size);
}

bool PathExists(const char* inPath, int32_t inMode) {
    struct stat st;
    if (!StatPath(inPath, st)) return false;
    return !(inMode == kPathExistsNoFolder && S_ISDIR(st.st_mode));
}

bool FolderHasEntries(const char* inFolder) {
    if (IsEmptyText(inFolder)) return false;
    DIR* folder = ::opendir(inFolder);
    if (!folder) return false;
    bool found = false;
    // "." and ".." are in every folder; they are no entries of it.
    while (const dirent* entry = ::readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            found = true;
            break;
        }
    }
    ::closedir(folder);
    return found;
}

bool MakeTempFilePath(const char* inPrefix, char* outPath, size_t inCapacity) {
    if (!outPath || inCapacity == 0) return false;
    outPath[0] = '\0';
    std::string path;
    const int fd = MakeTempFileIn(SystemTempFolder(), inPrefix, path);
    if (fd < 0) return false;
    ::close(fd);
    if (!CopyOut(path, outPath, inCapacity)) {
        ::unlink(path.c_str());  // a name the caller never hears of is no use
        return false;
    }
    return true;
}

bool MakeTempFileSpec(const char* inPrefix, TFileSpecifier& ioSpec, bool inOwnFolder) {
    std::string path;
    if (inOwnFolder) {
        if (ioSpec.IsEmpty()) return false;
        const std::string folder =
            IsFileSpecFolder(ioSpec) ? std::string(ioSpec.GetPath()) : FolderOf(ioSpec.GetPath());
        const int fd = MakeTempFileIn(folder, inPrefix, path);
        if (fd < 0) return false;
        ::close(fd);
    } else {
        char buffer[kFileSpecCapacity];
        if (!MakeTempFilePath(inPrefix, buffer, sizeof buffer)) return false;
        path = buffer;
    }
    return ioSpec.SetPath(path.c_str());  // fits: MakeTempFileIn keeps within the capacity
}

int16_t MakeUniqueFileSpec(TFileSpecifier& ioSpec) {
    const std::string path = ioSpec.GetPath();
    if (!PathExists(path.c_str(), kPathExistsAny)) return 0;
    // The extension is looked for in the file name only: a "." in a folder name
    // would put the number into the folder's name.
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    const size_t split = dot != std::string::npos && dot >= nameStart ? dot + 1 : path.size();
    const std::string stem = path.substr(0, split);
    const std::string extension = split < path.size() ? path.substr(dot) : std::string();
    for (int32_t n = 1; n < INT32_MAX; ++n) {
        const std::string candidate = stem + std::to_string(n) + extension;
        if (candidate.size() >= kFileSpecCapacity) return ToResult(ENAMETOOLONG);
        if (!PathExists(candidate.c_str(), kPathExistsAny)) {
            ioSpec.SetPath(candidate.c_str());
            return 0;
        }
    }
    return ToResult(EEXIST);
}
