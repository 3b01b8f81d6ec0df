// Which device pixels an element's outline covers (non-zero winding, pixel
// centres): hand-worked shapes, and every pixel around each shape checked
// against Qt's own rasterised region of the same polygon.
#include <gtest/gtest.h>

#include <QPolygon>
#include <QRegion>

#include <string>
#include <vector>

#include "pagecontent/CDevicePolygon.h"

namespace {

struct Shape {
    const char* name;
    std::vector<Point16> corners;  // (v, h): vertical first
};

CDevicePolygon PolygonOf(const Shape& shape) { return CDevicePolygon(shape.corners); }

QRegion RegionOf(const Shape& shape) {
    QPolygon polygon;
    for (const Point16& p : shape.corners) polygon << QPoint(p.h, p.v);
    return QRegion(polygon, Qt::WindingFill);
}

Point16 P(int h, int v) { return Point16{static_cast<int16_t>(v), static_cast<int16_t>(h)}; }

const std::vector<Shape>& Shapes() {
    static const std::vector<Shape> shapes = {
        {"an upright square", {P(10, 10), P(20, 10), P(20, 20), P(10, 20)}},
        {"the same square drawn the other way round", {P(10, 10), P(10, 20), P(20, 20), P(20, 10)}},
        {"a square turned 45 degrees", {P(30, 10), P(50, 30), P(30, 50), P(10, 30)}},
        {"a thin sheared quadrilateral", {P(5, 40), P(60, 44), P(70, 47), P(15, 43)}},
        {"a five-pointed star, its middle covered twice", {P(30, 0), P(48, 57), P(0, 21), P(60, 21), P(12, 57)}},
        {"a bow tie crossing itself", {P(0, 0), P(40, 30), P(40, 0), P(0, 30)}},
        {"a square at negative device coordinates", {P(-20, -20), P(-5, -20), P(-5, -5), P(-20, -5)}},
    };
    return shapes;
}

TEST(CDevicePolygon, HandWorkedPixels) {
    const Shape square = Shapes()[0];
    const Shape star = Shapes()[4];
    const Shape none{"no corners", {}};
    const Shape line{"two corners", {P(0, 0), P(10, 10)}};  // fewer than three cover nothing
    struct Row {
        const char* what;
        const Shape& shape;
        int x, y;
        bool covered;
    };
    const Row rows[] = {
        {"the first pixel of the square", square, 10, 10, true},
        {"the last pixel of the square", square, 19, 19, true},
        {"the pixel right of the square's right edge", square, 20, 15, false},
        {"the pixel below the square's bottom edge", square, 15, 20, false},
        {"the pixel left of the square", square, 9, 15, false},
        {"the star's middle, where the winding is two", star, 30, 30, true},
        {"a point of the star", star, 30, 5, true},
        {"between two points of the star", star, 45, 12, false},
        {"no corners", none, 0, 0, false},
        {"two corners", line, 5, 5, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PolygonOf(row.shape).Contains(row.x, row.y), row.covered) << row.what;
}

TEST(CDevicePolygon, CoversThePixelsOfQtsRasterisedRegion) {
    for (const Shape& shape : Shapes()) {
        const CDevicePolygon polygon = PolygonOf(shape);
        const QRegion region = RegionOf(shape);
        int covered = 0;
        for (int y = -25; y < 75; ++y) {
            for (int x = -25; x < 75; ++x) {
                const bool ours = polygon.Contains(x, y);
                covered += ours ? 1 : 0;
                ASSERT_EQ(ours, region.contains(QPoint(x, y))) << shape.name << " at (" << x << ", " << y << ")";
            }
        }
        EXPECT_GT(covered, 0) << shape.name;
    }
}

}  // namespace
