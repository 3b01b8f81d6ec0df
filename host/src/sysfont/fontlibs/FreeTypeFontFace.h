// Font faces read with FreeType (FontsLibrary's openFace and
// openFaceInMemory), inside libqmhostfonts.
#pragma once

#include <cstddef>

#include "sysfont/FontFace.h"

namespace qmhost {

FontFace* openFreeTypeFace(const char* path, long faceIndex, FaceOpenError* error);
FontFace* openFreeTypeFaceInMemory(const char* bytes, size_t size, FaceOpenError* error);

}  // namespace qmhost
