#include "support/FolderItems.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

#include "core/Raise.h"

namespace qmhost {
namespace {

struct Iteration {
    std::string folder;
    std::vector<std::string> names;
    size_t next = 0;
};

struct IterationRegistry {
    std::map<uintptr_t, Iteration> live;
    uintptr_t next = 1;
};

IterationRegistry& registry() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static IterationRegistry* r = new IterationRegistry;
    return *r;
}

std::string childPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

}  // namespace

void itemProperties(const std::string& path, ASFileSysItemProps* props) {
    if (!props || props->size != sizeof(ASFileSysItemProps))
        raise(kHostErrBadParameter, "item properties: a record of " +
                                        std::to_string(sizeof(ASFileSysItemProps)) + " bytes is needed");
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) raise(kHostErrFileNotFound, "no such file or folder: " + path);
    std::memset(props, 0, sizeof(*props));
    props->size = sizeof(ASFileSysItemProps);
    props->isThere = 1;
    props->type = S_ISREG(info.st_mode) ? kASFileSysFile
                  : S_ISDIR(info.st_mode) ? kASFileSysFolder
                                          : kASFileSysOther;
    if (props->type == kASFileSysFile) {
        const uint64_t bytes = static_cast<uint64_t>(info.st_size);
        props->fileSize = static_cast<uint32_t>(bytes & 0xFFFFFFFFu);
        props->fileSizeHigh = static_cast<uint32_t>(bytes >> 32);
    }
    props->readOnly = ::access(path.c_str(), W_OK) == 0 ? 0 : 1;
    const std::string name = std::filesystem::path(path).filename().string();
    props->hidden = !name.empty() && name[0] == '.' ? 1 : 0;
    const uint64_t modified = static_cast<uint64_t>(std::max<int64_t>(info.st_mtime, 0));
    props->modifiedLow = static_cast<uint32_t>(modified & 0xFFFFFFFFu);
    props->modifiedHigh = static_cast<uint32_t>(modified >> 32);
}

ASFolderIterator beginFolderIteration(const std::string& folder, std::string* outFirst) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        raise(kHostErrFileNotFound, "no such folder: " + folder);
    Iteration iteration;
    iteration.folder = folder;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        iteration.names.push_back(it->path().filename().string());
    if (error) raise(kHostErrFileRead, "cannot read the folder " + folder + ": " + error.message());
    if (iteration.names.empty()) return nullptr;
    // Byte order, so that the order is the same on every run and file system.
    std::sort(iteration.names.begin(), iteration.names.end());
    if (outFirst) *outFirst = childPath(folder, iteration.names[0]);
    iteration.next = 1;
    IterationRegistry& r = registry();
    const uintptr_t id = r.next++;
    r.live.emplace(id, std::move(iteration));
    return reinterpret_cast<ASFolderIterator>(id);
}

bool nextFolderItem(ASFolderIterator iterator, std::string* outItem) {
    auto& live = registry().live;
    auto it = live.find(reinterpret_cast<uintptr_t>(iterator));
    if (it == live.end()) raise(kHostErrBadHandle, "a folder iteration that was not begun");
    Iteration& iteration = it->second;
    if (iteration.next >= iteration.names.size()) return false;
    if (outItem) *outItem = childPath(iteration.folder, iteration.names[iteration.next]);
    ++iteration.next;
    return true;
}

void endFolderIteration(ASFolderIterator iterator) {
    registry().live.erase(reinterpret_cast<uintptr_t>(iterator));
}

size_t liveFolderIterations() { return registry().live.size(); }

}  // namespace qmhost
