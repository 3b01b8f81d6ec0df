#include "cli/ProfileStore.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <utility>

#include "cabinet/CabinetStream.h"
#include "cli/AtomicFile.h"
#include "qmhost/HostError.h"

namespace fs = std::filesystem;

namespace qmcli {
namespace {

constexpr const char kExtension[] = ".nxp";
constexpr size_t kMaxFileName = 255;

std::function<void()> gBeforeNextCreate;  // for tests

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

ProfileStore::ProfileStore(std::string pluginFolder)
    : mFolder((fs::path(pluginFolder) / "Profiles").string()) {}

bool ProfileStore::ValidName(const std::string& name, std::string* why, const std::string& kind) {
    if (name.empty()) {
        *why = "a " + kind + " needs a name";
        return false;
    }
    if (name == "." || name == "..") {
        *why = "\"" + name + "\" is not a " + kind + " name";
        return false;
    }
    for (char c : name) {
        if (c == '/' || c == '\\') {
            *why = "a " + kind + " name may not hold \"/\" or \"\\\": " + name;
            return false;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            *why = "a " + kind + " name may not hold control characters";
            return false;
        }
    }
    if (name.size() + std::strlen(kExtension) > kMaxFileName) {
        *why = "the " + kind + " name is too long (at most " +
               std::to_string(kMaxFileName - std::strlen(kExtension)) + " bytes)";
        return false;
    }
    return true;
}

std::vector<ProfileStore::Entry> ProfileStore::entries() const {
    std::vector<Entry> found;
    std::error_code ec;
    for (fs::directory_iterator it(mFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string leaf = it->path().filename().string();
        std::error_code kind;
        if (leaf.find(kExtension) == std::string::npos || !it->is_regular_file(kind)) continue;
        const size_t dot = leaf.rfind('.');
        found.push_back({it->path().string(), leaf.substr(0, dot)});
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.path < b.path; });
    return found;
}

std::vector<std::string> ProfileStore::names() const {
    std::vector<std::string> titles;
    for (const Entry& entry : entries()) titles.push_back(entry.title);
    return titles;
}

std::string ProfileStore::find(const std::string& name) const {
    std::string why;
    if (!ValidName(name, &why)) return "";
    std::error_code ec;
    const fs::path exact = fs::path(mFolder) / (name + kExtension);
    if (fs::is_regular_file(exact, ec)) return exact.string();
    const std::vector<Entry> all = entries();
    for (const Entry& entry : all)
        if (entry.title == name) return entry.path;
    for (const Entry& entry : all)
        if (SameName(entry.title, name)) return entry.path;
    return "";
}

bool ProfileStore::SameName(const std::string& a, const std::string& b) { return lowerAscii(a) == lowerAscii(b); }

std::string ProfileStore::FoldedName(const std::string& name) { return lowerAscii(name); }

std::string ProfileStore::caseClash(const std::string& name) const {
    const std::string folded = lowerAscii(name);
    for (const std::string& existing : names())
        if (existing != name && lowerAscii(existing) == folded) return existing;
    return "";
}

std::unique_ptr<qmhost::Cabinet> ProfileStore::read(const std::string& name, std::string* error) const {
    if (!ValidName(name, error)) return nullptr;
    const std::string path = find(name);
    if (path.empty()) {
        *error = "no profile named \"" + name + "\" in " + mFolder;
        return nullptr;
    }
    // No profile file is larger than the cabinet format holds.
    const ReadLimit limit{qmhost::kCabinetStreamHeaderSize + qmhost::kCabinetStreamMaxBody, "a profile file"};
    std::string bytes;
    if (!ReadWholeFile(path, &bytes, error, limit)) return nullptr;
    try {
        return qmhost::decodeCabinet(bytes);
    } catch (const HostError& failure) {
        *error = "the profile " + path + " cannot be read: " + failure.what();
    } catch (const std::bad_alloc&) {
        *error = "the profile " + path + " cannot be read: not enough memory";
    }
    return nullptr;
}

bool ProfileStore::write(const std::string& name, const qmhost::Cabinet& profile, bool replace,
                         std::string* error) const {
    if (!ValidName(name, error)) return false;
    const std::string exists =
        "a profile named \"" + name + "\" exists; delete it first (quillmark profile delete " + name + ")";
    if (!replace) {
        // The clash first: find() would also find the profile of the other case.
        if (const std::string other = caseClash(name); !other.empty()) {
            *error = "the profile name \"" + name + "\" clashes with the profile \"" + other +
                     "\" (names may not differ only in letter case)";
            return false;
        }
        if (!find(name).empty()) {
            *error = exists;
            return false;
        }
    }
    std::error_code ec;
    fs::create_directories(mFolder, ec);
    if (ec) {
        *error = "cannot make the folder " + mFolder + ": " + ec.message();
        return false;
    }
    std::string bytes;
    try {
        bytes = qmhost::encodeCabinet(profile);
    } catch (const HostError& failure) {
        *error = std::string("the profile cannot be written: ") + failure.what();
        return false;
    }
    const std::string path = (fs::path(mFolder) / (name + kExtension)).string();
    if (replace) return WriteFileReplacing(path, bytes, error);
    if (gBeforeNextCreate) std::exchange(gBeforeNextCreate, nullptr)();
    // Made only when no file has the name by then: of two imports of one name
    // at the same time the second is refused, as it is when it comes after.
    switch (WriteNewFile(path, bytes, error)) {
        case NewFile::Written:
            return true;
        case NewFile::Exists:
            *error = exists;
            return false;
        case NewFile::Failed:
            break;
    }
    return false;
}

void ProfileStore::BeforeNextCreateForTesting(std::function<void()> hook) { gBeforeNextCreate = std::move(hook); }

bool ProfileStore::remove(const std::string& name, std::string* error) const {
    if (!ValidName(name, error)) return false;
    const std::string path = find(name);
    if (path.empty()) {
        *error = "no profile named \"" + name + "\" in " + mFolder;
        return false;
    }
    std::error_code ec;
    if (!fs::remove(path, ec) || ec) {
        *error = "cannot delete " + path + (ec ? ": " + ec.message() : std::string());
        return false;
    }
    return true;
}

}  // namespace qmcli
