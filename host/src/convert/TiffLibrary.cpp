#include "convert/TiffLibrary.h"

#include <dlfcn.h>

#include <string>

#include "core/Raise.h"

namespace qmhost {

const char* const kTiffLibraryFile = QM_LIBTIFF_SONAME;

TiffLibrary openTiffLibrary(const char* fileName) {
    dlerror();
    // Never closed: libtiff keeps process-wide state (its codecs, the
    // plug-in's handlers) that must outlive every handle it gave.
    void* handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        raise(kHostErrUnsupported, std::string("the host cannot read TIFF images: the TIFF library ") + fileName +
                                       " cannot be loaded (" + (why ? why : "no reason given") + ")");
    }
    TiffLibrary library;
    const char* missing = nullptr;
#define QMHOST_TIFF_RESOLVE(name)                                                   \
    library.name = reinterpret_cast<decltype(library.name)>(dlsym(handle, #name)); \
    if (!library.name && !missing) missing = #name;
    QMHOST_TIFF_FUNCTIONS(QMHOST_TIFF_RESOLVE)
#undef QMHOST_TIFF_RESOLVE
    if (missing) {
        dlclose(handle);
        raise(kHostErrUnsupported, std::string("the host cannot read TIFF images: the TIFF library ") + fileName +
                                       " has no function " + missing);
    }
    return library;
}

const TiffLibrary& tiffLibrary() {
    // A static whose initialisation throws is initialised again by the next call.
    static const TiffLibrary library = openTiffLibrary(kTiffLibraryFile);
    return library;
}

}  // namespace qmhost
