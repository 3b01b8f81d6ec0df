#include "stamper/CProfileFile.h"

#include <dirent.h>
#include <sys/stat.h>

#include <set>

#include "stamper/HostServices.h"
#include "support/CaseFolding.h"
#include "support/io/FileSystemHelpers.h"

namespace {

constexpr size_t kMaxFileNameBytes = 255;  // NAME_MAX

// The folded names of the folder's entries, leaving out the entry that is
// inExcept (the same file); empty for a missing folder.
std::set<std::string> TakenNames(const std::string& inFolder, const struct stat* inExcept) {
    std::set<std::string> names;
    DIR* dir = ::opendir(inFolder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        const std::string path = inFolder + "/" + std::string(name);
        if (inExcept && ::stat(path.c_str(), &st) == 0 && st.st_dev == inExcept->st_dev &&
            st.st_ino == inExcept->st_ino)
            continue;
        names.insert(CaseFolded(name));
    }
    ::closedir(dir);
    return names;
}

// "<folder>/<leaf>" when it fits a file specifier.
bool PathInFolder(const std::string& inLeaf, TFileSpecifier& outSpec) {
    const std::string folder = GetProfilesFolderPath();
    if (folder.empty()) return false;
    return outSpec.SetPath((folder + "/" + inLeaf).c_str());
}

}  // namespace

std::string GetLeafName(const TFileSpecifier& inSpec) {
    const std::string_view path = inSpec.GetPath();
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(slash + 1));
}

bool IsSafeProfileName(std::string_view inName) {
    if (inName.empty() || inName == "." || inName == "..") return false;
    if (inName.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return false;
    return inName.size() + sizeof kProfileFileExtension - 1 <= kMaxFileNameBytes;
}

CProfileFile::CProfileFile(const char* inPath) : TFileSpecifier(inPath) {}

bool CProfileFile::MakeProfilePath(const char* inName, TFileSpecifier& outSpec) {
    outSpec.SetPath("");
    if (!inName || !IsSafeProfileName(inName)) return false;
    return PathInFolder(std::string(inName) + kProfileFileExtension, outSpec);
}

const char* CProfileFile::GetProfileName() {
    mName = GetLeafName(*this);
    const size_t dot = mName.rfind('.');
    if (dot != std::string::npos) mName.erase(dot);
    return mName.c_str();
}

void CProfileFile::Delete() {
    if (FileSpecExists(*this)) DeleteFileSpec(*this);
}

bool CProfileFile::Rename(const char* inNewName) {
    TFileSpecifier target;
    if (!MakeProfilePath(inNewName, target)) return false;
    struct stat self;
    if (::stat(GetPath(), &self) != 0) return false;
    const std::string leaf = std::string(inNewName) + kProfileFileExtension;
    // This file itself does not count: "a" may become "A".
    if (TakenNames(GetProfilesFolderPath(), &self).count(CaseFolded(leaf))) return false;
    if (MoveFileSpec(*this, target) != 0 || !FileSpecExists(target)) return false;
    SetPath(target.GetPath());
    return true;
}

bool CProfileFile::MakeUniqueName(const char* inPrefix) {
    if (!FileSpecExists(*this)) return false;
    const std::string stem = std::string(inPrefix ? inPrefix : "") + GetProfileName();
    const std::set<std::string> taken = TakenNames(GetProfilesFolderPath(), nullptr);
    std::string name = stem;
    // Each number is tried once and the folder's names are finite, so this ends.
    for (long n = 1; taken.count(CaseFolded(name + kProfileFileExtension)); ++n)
        name = stem + std::to_string(n);
    TFileSpecifier candidate;
    if (!MakeProfilePath(name.c_str(), candidate)) return false;
    SetPath(candidate.GetPath());
    return true;
}
