// The installed faces as fontconfig finds them (FontsLibrary's listFaces and
// filesNamed), inside libqmhostfonts.
#pragma once

#include <string>
#include <vector>

#include "sysfont/FontsLibrary.h"

namespace qmhost {

bool listFontConfigFaces(std::vector<FoundFace>* faces, std::string* why);
bool fontConfigFilesNamed(const char* postscriptName, std::vector<FoundFontFile>* files, std::string* why);

}  // namespace qmhost
