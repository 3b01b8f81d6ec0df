#include "core/LazyLibrary.h"

#include <dlfcn.h>

#include <string>
#include <typeinfo>

#include "HostBuildStamp.h"
#include "core/Raise.h"

namespace qmhost {
namespace {

// The folder of libqmhostabi, found through HostError's type information,
// which lives there; "" when the loader cannot say (then the name alone is
// searched as dlopen does).
std::string hostLibraryFolder() {
    Dl_info info{};
    if (dladdr(static_cast<const void*>(&typeid(HostError)), &info) == 0 || !info.dli_fname) return "";
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// Raises unless the library at path was built with the host's own stamp.
void requireSameBuild(void* library, const std::string& path) {
    using Stamp = const char* (*)();
    const auto stamp = reinterpret_cast<Stamp>(dlsym(library, kLazyLibraryStampSymbol));
    const std::string found = stamp ? stamp() : "";
    if (found == hostBuildStamp()) return;
    raise(kHostErrUnsupported, "the host library " + path + " belongs to another build of Quillmark (" +
                                   (stamp ? "built as " + found : std::string("it has no build stamp")) +
                                   ", the host as " + hostBuildStamp() + "); reinstall Quillmark");
}

}  // namespace

const char* hostBuildStamp() { return QM_HOST_BUILD_STAMP; }

void* lazySymbol(const char* fileName, const char* symbol) {
    const std::string path = hostLibraryFolder() + fileName;
    dlerror();
    // Kept open for good: Qt and poppler keep global state that must outlive
    // every object they made, and the handle is never closed.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!library) {
        const char* why = dlerror();
        // The loader's reason names the path it tried.
        raise(kHostErrUnsupported, std::string("the host cannot load ") + fileName + ": " + (why ? why : path));
    }
    requireSameBuild(library, path);
    void* entry = dlsym(library, symbol);
    if (!entry) raise(kHostErrUnsupported, std::string("the host library ") + path + " has no " + symbol);
    return entry;
}

void raiseNoLazyTable(const char* fileName, const char* symbol) {
    raise(kHostErrUnsupported, std::string("the host library ") + hostLibraryFolder() + fileName + " gave no table from " +
                                   symbol);
}

bool isLibraryLoaded(const char* fileName) {
    const std::string path = hostLibraryFolder() + fileName;
    void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return false;
    dlclose(library);  // RTLD_NOLOAD took a reference
    return true;
}

}  // namespace qmhost
