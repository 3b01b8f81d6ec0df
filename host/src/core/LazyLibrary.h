// Parts of the host that need a large library (poppler and Qt Gui to draw
// pages, Qt's image readers) are built as shared objects of their own and
// opened on first use, so that a program that never draws or reads such an
// image never loads them. They lie beside libqmhostabi, the host's shared
// library, and stay loaded until the process ends (RTLD_NODELETE). Their
// entries hand out tables whose layout is this build's and take no version, so
// each library also exports the host's build stamp, and one of another build
// is refused before any entry of it is used.
#pragma once

namespace qmhost {

// The entry point `symbol` of the host's shared object `fileName` (for example
// "libqmhostdraw.so"), opened beside libqmhostabi on first use and kept open.
// Raises kHostErrUnsupported, naming the file and the reason, when it cannot be
// opened, belongs to another build (its stamp differs from the host's or it has
// none) or lacks the symbol. Thread-compatible, not thread-safe.
void* lazySymbol(const char* fileName, const char* symbol);

// lazyTable's refusal of an entry that answered null.
[[noreturn]] void raiseNoLazyTable(const char* fileName, const char* symbol);

// The table that the entry `symbol` of `fileName` answers (an extern "C"
// function that takes nothing and answers a const Table* it keeps), the
// library opened as lazySymbol does. Raises as lazySymbol does, and
// kHostErrUnsupported naming the file when the entry answers no table.
template <typename Table>
const Table& lazyTable(const char* fileName, const char* symbol) {
    using Entry = const Table* (*)();
    const Table* table = reinterpret_cast<Entry>(lazySymbol(fileName, symbol))();
    if (!table) raiseNoLazyTable(fileName, symbol);
    return *table;
}

// The export of every such library: extern "C" const char* qmhostLibraryStamp(),
// the build stamp it was built with ("<version>+<hash>").
constexpr const char* kLazyLibraryStampSymbol = "qmhostLibraryStamp";

// The host's own build stamp, which a library's must equal.
const char* hostBuildStamp();

// Whether `fileName` is mapped into this process now (for tests).
bool isLibraryLoaded(const char* fileName);

}  // namespace qmhost
