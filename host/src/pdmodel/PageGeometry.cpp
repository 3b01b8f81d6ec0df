#include "pdmodel/PageGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <utility>

#include "support/FixedMath.h"

namespace qmhost {

namespace {

// Page trees are a handful of levels deep; a /Parent chain longer than this is
// a loop in a damaged file, and the walk stops.
constexpr int kMaxTreeDepth = 256;

// The inheritable entries that the page's geometry reads.
enum Wanted : unsigned { kWantCropBox = 1, kWantMediaBox = 2, kWantRotate = 4 };

struct InheritedEntries {
    QPDFObjectHandle cropBox, mediaBox, rotate;  // uninitialised: no node has it
};

// Reads the wanted entries of the page, each from the page itself or else from
// its nearest ancestor that has it (a null value counts as absent), in one walk
// up the /Parent chain that stops once all are found. Written out rather than
// through qpdf's page helper, whose general form (a set of visited nodes, a
// fallback function, copies of names) cost a twentieth of a whole Bates
// stamping run; hasKey first because qpdf makes a new null object for every
// absent key that getKey is asked for, and the keys here are mostly absent.
InheritedEntries inheritedEntries(QPDFObjectHandle node, unsigned wanted) {
    static const std::string kCropBox = "/CropBox", kMediaBox = "/MediaBox", kRotate = "/Rotate",
                             kParent = "/Parent";
    InheritedEntries found;
    const auto take = [&](Wanted which, const std::string& key, QPDFObjectHandle& into) {
        if ((wanted & which) && node.hasKey(key)) {
            into = node.getKey(key);
            wanted &= ~unsigned{which};
        }
    };
    for (int depth = 0; depth < kMaxTreeDepth && wanted && node.isDictionary(); ++depth) {
        take(kWantCropBox, kCropBox, found.cropBox);
        take(kWantMediaBox, kMediaBox, found.mediaBox);
        take(kWantRotate, kRotate, found.rotate);
        if (!wanted || !node.hasKey(kParent)) break;
        node = node.getKey(kParent);
    }
    return found;
}

// An array of four numbers as a rectangle; false for anything else.
bool readRectangle(QPDFObjectHandle& box, double out[4]) {
    if (!box.isInitialized() || !box.isArray() || box.getArrayNItems() != 4) return false;
    for (int i = 0; i < 4; ++i)
        if (!box.getArrayItem(i).getValueAsNumber(out[i])) return false;
    return true;
}

ASFixedRect boxOf(InheritedEntries& entries) {
    double r[4] = {0, 0, 612, 792};
    if (!readRectangle(entries.cropBox, r)) {
        if (!readRectangle(entries.mediaBox, r)) {
            r[0] = 0, r[1] = 0, r[2] = 612, r[3] = 792;
        }
    }
    return ASFixedRect{fixedFromDouble(std::min(r[0], r[2])), fixedFromDouble(std::max(r[1], r[3])),
                       fixedFromDouble(std::max(r[0], r[2])), fixedFromDouble(std::min(r[1], r[3]))};
}

int rotationOf(QPDFObjectHandle& rotate) {
    double value = 0;
    if (!rotate.isInitialized() || !rotate.getValueAsNumber(value)) return 0;
    const double quarters = std::round(value / 90.0);
    if (!std::isfinite(quarters)) return 0;
    const long turns = static_cast<long>(std::fmod(quarters, 4.0));
    return static_cast<int>(((turns % 4) + 4) % 4) * 90;
}

}  // namespace

ASFixedRect displayedPageBox(QPDFObjectHandle page) {
    InheritedEntries entries = inheritedEntries(std::move(page), kWantCropBox | kWantMediaBox);
    return boxOf(entries);
}

int pageRotation(QPDFObjectHandle page) {
    InheritedEntries entries = inheritedEntries(std::move(page), kWantRotate);
    return rotationOf(entries.rotate);
}

PageGeometry pageGeometry(QPDFObjectHandle page) {
    InheritedEntries entries = inheritedEntries(std::move(page), kWantCropBox | kWantMediaBox | kWantRotate);
    return PageGeometry{boxOf(entries), rotationOf(entries.rotate)};
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
