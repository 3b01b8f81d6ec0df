#include "render/DrawPlacement.h"

#include <algorithm>
#include <cmath>

#include "pdmodel/PageGeometry.h"
#include "support/FixedMath.h"

namespace qmhost {
namespace {

// The rotation whose pattern the linear part follows, with its scale; -1 when none.
int rotationOf(double a, double b, double c, double d, double* scale) {
    // Fixed values carry a rounding error of half a unit in each entry.
    const double largest = std::max({std::fabs(a), std::fabs(b), std::fabs(c), std::fabs(d)});
    const double tolerance = std::max(3.0 / 65536.0, 1e-5 * largest);
    auto zero = [&](double x) { return std::fabs(x) <= tolerance; };
    auto same = [&](double x, double y) { return std::fabs(x - y) <= tolerance; };
    if (zero(b) && zero(c) && same(a, d) && a > 0) return *scale = (a + d) / 2, 0;
    if (zero(a) && zero(d) && same(c, -b) && c > 0) return *scale = (c - b) / 2, 90;
    if (zero(b) && zero(c) && same(a, d) && a < 0) return *scale = -(a + d) / 2, 180;
    if (zero(a) && zero(d) && same(b, -c) && b > 0) return *scale = (b - c) / 2, 270;
    return -1;
}

}  // namespace

bool placeDrawing(const ASFixedMatrix& matrix, const ASFixedRect& box, int imageHeight, DrawPlacement* out) {
    double scale = 0;
    const int rotation = rotationOf(fixedToDouble(matrix.a), fixedToDouble(matrix.b), fixedToDouble(matrix.c),
                                    fixedToDouble(matrix.d), &scale);
    if (rotation < 0 || !(scale > 0) || scale > 100) return false;
    // matrix = the upright page matrix for that rotation, then the scale, then a
    // translation (tx, ty): the page's displayed lower-left corner lands at (tx, ty).
    const ASFixedMatrix upright = defaultPageMatrix(box, rotation);
    const double tx = fixedToDouble(matrix.h) - scale * fixedToDouble(upright.h);
    const double ty = fixedToDouble(matrix.v) - scale * fixedToDouble(upright.v);
    const double boxWidth = fixedToDouble(box.right) - fixedToDouble(box.left);
    const double boxHeight = fixedToDouble(box.top) - fixedToDouble(box.bottom);
    const bool sideways = rotation == 90 || rotation == 270;
    out->scale = scale;
    out->rotation = rotation;
    out->width = scale * (sideways ? boxHeight : boxWidth);
    out->height = scale * (sideways ? boxWidth : boxHeight);
    out->left = tx;
    // The rendering's rows run downwards from the displayed box's top edge.
    out->top = imageHeight - ty - out->height;
    return true;
}

}  // namespace qmhost
