#include "engine/TIFFLibrary.h"

#include <dlfcn.h>

#include <string>

#include "engine/CImageType.h"

const char* const kTIFFLibraryFile = QM_LIBTIFF_SONAME;

TIFFLibrary OpenTIFFLibrary(const char* fileName) {
    dlerror();
    // Never closed: the handlers installed into libtiff stay for the process.
    void* handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        const std::string text = std::string("TIFF images cannot be handled: the TIFF library ") + fileName +
                                 " cannot be loaded (" + (why ? why : "no reason given") + ")";
        RefuseImage(text.c_str(), kErrImageRead);
    }
    TIFFLibrary library;
    const char* missing = nullptr;
#define QM_TIFF_RESOLVE(name)                                                               \
    library.name = reinterpret_cast<decltype(library.name)>(dlsym(handle, #name));         \
    if (!library.name && !missing) missing = #name;
    QM_TIFF_FUNCTIONS(QM_TIFF_RESOLVE)
#undef QM_TIFF_RESOLVE
    if (missing) {
        dlclose(handle);
        const std::string text = std::string("TIFF images cannot be handled: the TIFF library ") + fileName +
                                 " has no function " + missing;
        RefuseImage(text.c_str(), kErrImageRead);
    }
    return library;
}

const TIFFLibrary& GetTIFFLibrary() {
    // A static whose initialisation throws is initialised again by the next call.
    static const TIFFLibrary library = OpenTIFFLibrary(kTIFFLibraryFile);
    return library;
}
