#include "support/Paths.h"

#include <climits>
#include <cstdint>
#include <unordered_map>

#include "core/Raise.h"

namespace qmhost {
namespace {

struct PathRegistry {
    std::unordered_map<uintptr_t, std::string> paths;
    uintptr_t next = 1;
};

PathRegistry& registry() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static PathRegistry* r = new PathRegistry;
    return *r;
}

}  // namespace

ASPathName makePath(const std::string& text) {
    if (text.empty()) raise(kHostErrBadParameter, "empty path");
    if (text.size() >= PATH_MAX)
        raise(kHostErrPathTooLong, "path longer than " + std::to_string(PATH_MAX - 1) +
                                       " bytes: " + text.substr(0, 80) + "...");
    if (text.find('\0') != std::string::npos) raise(kHostErrBadParameter, "path holds a NUL byte");
    PathRegistry& r = registry();
    const uintptr_t id = r.next++;
    r.paths.emplace(id, text);
    return reinterpret_cast<ASPathName>(id);
}

const std::string& pathOf(ASPathName path) {
    auto& paths = registry().paths;
    auto it = paths.find(reinterpret_cast<uintptr_t>(path));
    if (it == paths.end()) raise(kHostErrBadHandle, "unknown path object");
    return it->second;
}

void releasePathHandle(ASPathName path) {
    registry().paths.erase(reinterpret_cast<uintptr_t>(path));
}

size_t livePathCount() { return registry().paths.size(); }

}  // namespace qmhost
