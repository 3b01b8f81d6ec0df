// libtiff's functions as the TIFF reader uses them, resolved by name from the
// shared library on the first TIFF file read. libtiff is not linked into the
// host: a program that reads no TIFF file maps neither it nor its codecs'
// libraries. The declarations, and so the types, are libtiff's own headers'.
#pragma once

#include <tiffio.h>

namespace qmhost {

// Every function of libtiff the reader calls.
#define QMHOST_TIFF_FUNCTIONS(X)                                                                         \
    X(TIFFClientOpenExt) X(TIFFClose) X(TIFFGetField) X(TIFFGetFieldDefaulted) X(TIFFIsTiled)            \
    X(TIFFOpenOptionsAlloc) X(TIFFOpenOptionsFree) X(TIFFOpenOptionsSetErrorHandlerExtR)                 \
    X(TIFFOpenOptionsSetMaxSingleMemAlloc) X(TIFFOpenOptionsSetWarningHandlerExtR) X(TIFFRGBAImageOK)    \
    X(TIFFReadRGBAImageOriented) X(TIFFReadScanline) X(TIFFScanlineSize)

// One member per function, named and typed as libtiff declares it; none is
// null in a table that tiffLibrary or openTiffLibrary answered.
struct TiffLibrary {
#define QMHOST_TIFF_MEMBER(name) decltype(&::name) name = nullptr;
    QMHOST_TIFF_FUNCTIONS(QMHOST_TIFF_MEMBER)
#undef QMHOST_TIFF_MEMBER
};

// The file opened: the soname of the libtiff whose headers the build used
// ("libtiff.so.6").
extern const char* const kTiffLibraryFile;

// The functions of the library fileName, opened (and kept open) with the
// loader's search. Raises kHostErrUnsupported, naming the file and the reason,
// when it cannot be opened or lacks one of the functions.
TiffLibrary openTiffLibrary(const char* fileName);

// The functions of kTiffLibraryFile, opened on the first call and kept for the
// process. Raises as openTiffLibrary does; a later call tries again.
// Thread-safe.
const TiffLibrary& tiffLibrary();

}  // namespace qmhost
