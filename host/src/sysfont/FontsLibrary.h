// The interface of libqmhostfonts.so, the part of the sysfont layer that reads
// font files with FreeType, finds installed fonts with fontconfig and subsets
// font programs with HarfBuzz. The layer opens it on first use
// (core/LazyLibrary.h), so that a run whose stamps measure no font file loads
// none of them, and the host's programs link none of them.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sysfont/FontFace.h"

namespace qmhost {

// What fontconfig reports for one face, before names are made.
struct FoundFace {
    std::string family, style, file;
    long faceIndex = 0;
};

// An installed file of a face found by its PostScript name.
struct FoundFontFile {
    std::string file;
    bool type1 = false;  // fontconfig's format is "Type 1"
};

struct FontSubset {
    std::string program;                      // the subset font file (sfnt)
    std::map<unsigned, unsigned> newGlyphOf;  // glyph 0 and each glyph asked for -> its id in the subset
};

struct FontsLibrary {
    // Fills *faces with the installed scalable faces whose program can go into
    // a PDF as an sfnt (TrueType, or CFF in an OpenType wrapper; no variable
    // fonts or named instances), in fontconfig's order; faces without a family
    // or file are left out. False with *why when fontconfig cannot load its
    // configuration.
    bool (*listFaces)(std::vector<FoundFace>* faces, std::string* why);
    // Fills *files with the installed files of the faces whose PostScript name
    // is postscriptName (none when there is none). False with *why as listFaces.
    bool (*filesNamed)(const char* postscriptName, std::vector<FoundFontFile>* files, std::string* why);
    // The program of an sfnt font (face 0) cut down to glyphs, glyph 0 and the
    // components of composite glyphs, as FontSubsetter.h tells; false with *why
    // when HarfBuzz cannot read or subset it.
    bool (*subset)(std::string_view program, const std::set<unsigned>& glyphs, bool retainGlyphIds, FontSubset* result,
                   std::string* why);
    // Face faceIndex of the font file at path, or face 0 of the font file in
    // bytes[0..size) (which the caller keeps alive as long as the face), for the
    // caller to delete; null with *error when FreeType cannot start or read it.
    FontFace* (*openFace)(const char* path, long faceIndex, FaceOpenError* error);
    FontFace* (*openFaceInMemory)(const char* bytes, size_t size, FaceOpenError* error);
};

// The library's one exported symbol: extern "C" const FontsLibrary* qmhostFontsLibrary().
constexpr const char* kFontsLibraryFile = "libqmhostfonts.so";
constexpr const char* kFontsLibrarySymbol = "qmhostFontsLibrary";

// The host's side: the library's table, opened on the first call and kept.
// Raises kHostErrUnsupported, naming the file and why, when it cannot be opened.
const FontsLibrary& fontsLibrary();

}  // namespace qmhost
