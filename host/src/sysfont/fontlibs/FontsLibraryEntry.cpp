// The entry of libqmhostfonts: its table, answered to the sysfont layer.
#include "sysfont/FontsLibrary.h"
#include "sysfont/fontlibs/FontConfigFaces.h"
#include "sysfont/fontlibs/FreeTypeFontFace.h"
#include "sysfont/fontlibs/HarfBuzzSubsetter.h"

namespace qmhost {
namespace {

const FontsLibrary kLibrary = {listFontConfigFaces, fontConfigFilesNamed, harfBuzzSubset, openFreeTypeFace,
                               openFreeTypeFaceInMemory};

}  // namespace
}  // namespace qmhost

extern "C" __attribute__((visibility("default"))) const qmhost::FontsLibrary* qmhostFontsLibrary() {
    return &qmhost::kLibrary;
}
