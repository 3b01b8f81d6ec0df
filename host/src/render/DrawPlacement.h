// How a drawing matrix (user space -> image, y up from the image's bottom edge)
// maps onto a page rendered upright: a scale, a rotation by a multiple of 90
// degrees and a translation.
#pragma once

#include "qmhost/QMBase.h"

namespace qmhost {

struct DrawPlacement {
    double scale;     // image pixels per point (a rendering at 72 x scale dpi)
    int rotation;     // 0, 90, 180 or 270: the page turned clockwise as displayed
    double left;      // where the rendering's top-left corner lands in the image,
    double top;       // in pixels from the image's left and top edges
    double width;     // the rendering's size in pixels: the box turned by rotation,
    double height;    // times scale
};

// Decomposes matrix for a page whose displayed box is box (normalised, user space)
// into an image imageHeight pixels high. False for a matrix that mirrors, skews,
// turns by other angles or scales unevenly, or whose scale is not in (0, 100].
bool placeDrawing(const ASFixedMatrix& matrix, const ASFixedRect& box, int imageHeight, DrawPlacement* out);

}  // namespace qmhost
