// CDevicePolygon: a closed polygon in a page view's device space (whole
// pixels), and which pixels it covers under the non-zero winding rule.
#pragma once

#include <vector>

#include "pagecontent/CPDEMatrix.h"

class CDevicePolygon {
public:
    CDevicePolygon() = default;
    explicit CDevicePolygon(std::vector<Point16> corners) : mCorners(std::move(corners)) {}

    void Add(const Point16& corner) { mCorners.push_back(corner); }
    const std::vector<Point16>& Corners() const { return mCorners; }

    // Whether the pixel (x, y) is covered: the point lies inside under the
    // non-zero winding rule, a point on a left or top edge counting as inside
    // and one on a right or bottom edge as outside, so that the pixels covered
    // are those of the polygon's rasterised region. The polygon closes itself
    // (the last corner joins the first); fewer than three corners cover nothing.
    bool Contains(int x, int y) const;

private:
    std::vector<Point16> mCorners;
};
