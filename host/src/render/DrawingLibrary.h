// The interface of libqmhostdraw.so, the part of the render layer that draws
// with poppler into Qt images. The render layer opens it on the first drawing
// (core/LazyLibrary.h), so that a program that draws no page loads neither
// poppler nor Qt Gui. Documents are known by their serial and change count;
// the library keeps one poppler document per serial.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qmhost {

// How a drawing of a slice ended.
enum class DrawOutcome : int32_t { Drawn, NoPage, NotDrawn };

struct DrawingLibrary {
    // The size in pixels of the QImage at image; false for a null image.
    bool (*imageSize)(const void* image, int* width, int* height);
    // Whether the document with serial is loaded at changeCount.
    bool (*holds)(uint32_t serial, uint64_t changeCount);
    // Loads a copy of the document's size bytes at bytes (as bytesForDrawing
    // gives them) for serial at changeCount, replacing what was loaded for it;
    // false when poppler cannot read them (or they need a password), and then
    // nothing is kept.
    bool (*load)(uint32_t serial, uint64_t changeCount, const unsigned char* bytes, size_t size);
    // Draws page pageIndex of the loaded document serial at dpi, turned
    // clockwise by rotation degrees as displayed (a multiple of 90), the
    // rendering's pixels x, y, width x height only, onto the QImage at image
    // with the slice's top-left corner at (left, top).
    DrawOutcome (*draw)(uint32_t serial, int pageIndex, double dpi, int rotation, int x, int y, int width,
                        int height, void* image, int left, int top);
    // Forgets the documents whose serial isOpen denies; answers how many stay.
    size_t (*keepOpen)(bool (*isOpen)(uint32_t serial));
};

// The library's one exported symbol: extern "C" const DrawingLibrary* qmhostDrawingLibrary().
constexpr const char* kDrawingLibraryFile = "libqmhostdraw.so";
constexpr const char* kDrawingLibrarySymbol = "qmhostDrawingLibrary";

}  // namespace qmhost
