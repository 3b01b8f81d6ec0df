// Checks of PNG, GIF and BMP files before Qt's readers see them. Qt reads a cut
// GIF or BMP without complaint (the missing part comes out blank) and learns
// some sizes only while decoding; these checks read the size each file
// declares, so that a too large image is refused before any pixel memory is
// taken, and make sure that the file holds all the data of its first image.
// Each raises kHostErrBadImage naming `name`; none reads past the bytes.
#pragma once

#include <string>

namespace qmhost {

// The size in the IHDR chunk (libpng itself refuses cut data).
void checkPngFile(const std::string& bytes, const std::string& name);
// The logical screen's size (or the first image's, when the screen has none),
// and the blocks of the file up to the end of the first image's data.
void checkGifFile(const std::string& bytes, const std::string& name);
// The size in the bitmap header, and the pixel data that the header asks for
// (for compressed bitmaps the size the header gives, when it gives one).
void checkBmpFile(const std::string& bytes, const std::string& name);

}  // namespace qmhost
