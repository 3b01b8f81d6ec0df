#include "pdmodel/PageGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <qpdf/QPDFPageObjectHelper.hh>

#include "support/FixedMath.h"

namespace qmhost {

ASFixedRect displayedPageBox(QPDFObjectHandle page) {
    QPDFPageObjectHelper helper(page);
    QPDFObjectHandle box = helper.getCropBox(false, false);  // falls back to the media box
    if (!box.isRectangle()) box = helper.getMediaBox(false);
    QPDFObjectHandle::Rectangle r(0, 0, 612, 792);
    if (box.isRectangle()) r = box.getArrayAsRectangle();  // normalised by qpdf
    return ASFixedRect{fixedFromDouble(std::min(r.llx, r.urx)), fixedFromDouble(std::max(r.lly, r.ury)),
                       fixedFromDouble(std::max(r.llx, r.urx)), fixedFromDouble(std::min(r.lly, r.ury))};
}

int pageRotation(QPDFObjectHandle page) {
    QPDFObjectHandle rotate = QPDFPageObjectHelper(page).getAttribute("/Rotate", false);
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
