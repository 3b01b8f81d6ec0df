// Parts of the host that need a large library (poppler and Qt Gui to draw
// pages, Qt's image readers) are built as shared objects of their own and
// opened on first use, so that a program that never draws or reads such an
// image never loads them. They lie beside libqmhostabi, the host's shared
// library, and stay loaded until the process ends (RTLD_NODELETE).
#pragma once

namespace qmhost {

// The entry point `symbol` of the host's shared object `fileName` (for example
// "libqmhostdraw.so"), opened beside libqmhostabi on first use and kept open.
// Raises kHostErrUnsupported, naming the file and the loader's reason, when it
// cannot be opened or lacks the symbol. Thread-compatible, not thread-safe.
void* lazySymbol(const char* fileName, const char* symbol);

// Whether `fileName` is mapped into this process now (for tests).
bool isLibraryLoaded(const char* fileName);

}  // namespace qmhost
