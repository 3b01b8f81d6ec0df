// TIFFLibrary: libtiff's functions as the image types use them, resolved by
// name from the shared library on the first TIFF file read or written. libtiff
// is not linked into the module: a run that handles no TIFF file maps neither
// it nor its codecs' libraries. The declarations, and so the types, are
// libtiff's own headers'.
#pragma once

#include <tiffio.h>

// Every function of libtiff the image types call.
#define QM_TIFF_FUNCTIONS(X)                                                                              \
    X(TIFFClose) X(TIFFDefaultStripSize) X(TIFFFdOpen) X(TIFFGetField) X(TIFFGetFieldDefaulted)           \
    X(TIFFIsCODECConfigured) X(TIFFIsTiled) X(TIFFNumberOfStrips) X(TIFFOpen) X(TIFFReadEncodedStrip)     \
    X(TIFFScanlineSize64) X(TIFFSetErrorHandler) X(TIFFSetField) X(TIFFSetWarningHandler) X(TIFFStripSize) \
    X(TIFFVStripSize) X(TIFFWriteDirectory) X(TIFFWriteEncodedStrip) X(_TIFFfree) X(_TIFFmalloc)

// One member per function, named and typed as libtiff declares it; none is
// null in a table that GetTIFFLibrary or OpenTIFFLibrary answered.
struct TIFFLibrary {
#define QM_TIFF_MEMBER(name) decltype(&::name) name = nullptr;
    QM_TIFF_FUNCTIONS(QM_TIFF_MEMBER)
#undef QM_TIFF_MEMBER
};

// The file opened: the soname of the libtiff whose headers the build used
// ("libtiff.so.6").
extern const char* const kTIFFLibraryFile;

// The functions of the library fileName, opened (and kept open) with the
// loader's search. When it cannot be opened or lacks one of the functions,
// shows a message naming the file and the reason, puts it into the
// error-message buffer and throws kErrImageRead.
TIFFLibrary OpenTIFFLibrary(const char* fileName);

// The functions of kTIFFLibraryFile, opened on the first call and kept for the
// process. Throws as OpenTIFFLibrary does; a later call tries again.
const TIFFLibrary& GetTIFFLibrary();
