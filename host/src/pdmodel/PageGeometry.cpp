#include "pdmodel/PageGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "cos/CosAccess.h"
#include "support/FixedMath.h"

namespace qmhost {

namespace {

// Page trees are a handful of levels deep; a /Parent chain longer than this is
// a loop in a damaged file, and the walk stops.
constexpr int kMaxTreeDepth = 256;

// The page's own entry for key, else the nearest ancestor's; null when none
// has it. Written out rather than through qpdf's page helper: the helper's
// general form (a set of visited nodes, a fallback function, copies of names)
// cost a twentieth of a whole Bates stamping run, for two look-ups a page.
QPDFObjectHandle inheritedEntry(QPDFObjectHandle node, const std::string& key) {
    static const std::string kParent = "/Parent";
    for (int depth = 0; depth < kMaxTreeDepth && node.isDictionary(); ++depth) {
        QPDFObjectHandle value = entryOf(node, key);
        if (!value.isNull()) return value;
        node = entryOf(node, kParent);
    }
    return QPDFObjectHandle::newNull();
}

// An array of four numbers as a rectangle; false for anything else.
bool readRectangle(QPDFObjectHandle box, double out[4]) {
    if (!box.isArray() || box.getArrayNItems() != 4) return false;
    for (int i = 0; i < 4; ++i) {
        QPDFObjectHandle item = box.getArrayItem(i);
        if (!item.isNumber()) return false;
        out[i] = item.getNumericValue();
    }
    return true;
}

}  // namespace

ASFixedRect displayedPageBox(QPDFObjectHandle page) {
    static const std::string kCropBox = "/CropBox", kMediaBox = "/MediaBox";
    double r[4] = {0, 0, 612, 792};
    if (!readRectangle(inheritedEntry(page, kCropBox), r)) {
        if (!readRectangle(inheritedEntry(page, kMediaBox), r)) {
            r[0] = 0, r[1] = 0, r[2] = 612, r[3] = 792;
        }
    }
    return ASFixedRect{fixedFromDouble(std::min(r[0], r[2])), fixedFromDouble(std::max(r[1], r[3])),
                       fixedFromDouble(std::max(r[0], r[2])), fixedFromDouble(std::min(r[1], r[3]))};
}

int pageRotation(QPDFObjectHandle page) {
    static const std::string kRotate = "/Rotate";
    QPDFObjectHandle rotate = inheritedEntry(page, kRotate);
    if (!rotate.isNumber()) return 0;
    const double quarters = std::round(rotate.getNumericValue() / 90.0);
    if (!std::isfinite(quarters)) return 0;
    const long turns = static_cast<long>(std::fmod(quarters, 4.0));
    return static_cast<int>(((turns % 4) + 4) % 4) * 90;
}

namespace {

// -value, clamped: the most negative fixed number has no negation.
ASFixed negated(ASFixed value) { return value == INT32_MIN ? INT32_MAX : -value; }

}  // namespace

ASFixedMatrix defaultPageMatrix(const ASFixedRect& box, int rotation) {
    const ASFixed one = kASFixedOne;
    const ASFixed l = box.left, b = box.bottom, r = box.right, t = box.top;
    switch (rotation) {
        case 90: return ASFixedMatrix{0, -one, one, 0, negated(b), r};   // x' = y - B, y' = R - x
        case 180: return ASFixedMatrix{-one, 0, 0, -one, r, t};          // x' = R - x, y' = T - y
        case 270: return ASFixedMatrix{0, one, -one, 0, t, negated(l)};  // x' = T - y, y' = x - L
        default: return ASFixedMatrix{one, 0, 0, one, negated(l), negated(b)};  // x' = x - L, y' = y - B
    }
}

}  // namespace qmhost
