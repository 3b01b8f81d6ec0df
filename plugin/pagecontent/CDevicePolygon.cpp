#include "pagecontent/CDevicePolygon.h"

#include <cstddef>
#include <cstdint>

bool CDevicePolygon::Contains(int x, int y) const {
    const size_t count = mCorners.size();
    if (count < 3) return false;
    // Whole numbers throughout, so a pixel on an edge is decided by the exact
    // sign of a cross product. Edges span [lower y, upper y) and one through
    // the pixel itself is not counted: a pixel on a left or top edge is
    // covered, one on a right or bottom edge is not, as a scan conversion does.
    const int64_t px = x;
    const int64_t py = y;
    int winding = 0;
    for (size_t i = 0; i < count; ++i) {
        const Point16& a = mCorners[i];
        const Point16& b = mCorners[(i + 1) % count];
        const int64_t ax = a.h, ay = a.v;
        const int64_t bx = b.h, by = b.v;
        // Which side of the edge a→b the centre lies on (positive: left).
        const int64_t side = (bx - ax) * (py - ay) - (px - ax) * (by - ay);
        if (ay <= py && by > py && side > 0) ++winding;       // upward crossing
        else if (ay > py && by <= py && side < 0) --winding;  // downward crossing
    }
    return winding != 0;
}
