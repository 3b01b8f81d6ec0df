#include "sysfont/FontsLibrary.h"

#include "core/LazyLibrary.h"

namespace qmhost {

const FontsLibrary& fontsLibrary() {
    // A refusal leaves the static unset, so the next call tries again.
    static const FontsLibrary& library = lazyTable<FontsLibrary>(kFontsLibraryFile, kFontsLibrarySymbol);
    return library;
}

}  // namespace qmhost
