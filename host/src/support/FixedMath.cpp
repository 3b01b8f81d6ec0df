#include "support/FixedMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qmhost {
namespace {

// raw rounded half away from zero and clamped to the 32-bit range. What
// std::round gives, without its library call (every matrix entry of every
// placement goes through here): inside the range the whole part is exact in
// 64 bits and the fraction left over is exact in a double.
ASFixed clampToFixed(double raw) {
    if (std::isnan(raw)) return 0;
    if (raw >= 2147483646.5) return INT32_MAX;
    if (raw <= -2147483647.5) return INT32_MIN;
    auto whole = static_cast<int64_t>(raw);  // toward zero
    const double fraction = raw - static_cast<double>(whole);
    if (fraction >= 0.5)
        ++whole;
    else if (fraction <= -0.5)
        --whole;
    return static_cast<ASFixed>(whole);
}

}  // namespace

ASFixed fixedFromDouble(double value) { return clampToFixed(value * 65536.0); }
double fixedToDouble(ASFixed value) { return value / 65536.0; }

ASFixed fixedMul(ASFixed a, ASFixed b) {
    return clampToFixed(static_cast<double>(a) * static_cast<double>(b) / 65536.0);
}

ASFixed fixedDiv(ASFixed a, ASFixed b) {
    return clampToFixed(static_cast<double>(a) * 65536.0 / static_cast<double>(b));
}

// Computed in doubles from the fixed values: exact for products of 32-bit
// numbers and rounded once at the end.
ASFixedMatrix concat(const ASFixedMatrix& first, const ASFixedMatrix& second) {
    const double a1 = first.a, b1 = first.b, c1 = first.c, d1 = first.d, h1 = first.h, v1 = first.v;
    const double a2 = second.a, b2 = second.b, c2 = second.c, d2 = second.d, h2 = second.h,
                 v2 = second.v;
    const double k = 65536.0;
    ASFixedMatrix r;
    r.a = clampToFixed((a2 * a1 + b2 * c1) / k);
    r.b = clampToFixed((a2 * b1 + b2 * d1) / k);
    r.c = clampToFixed((c2 * a1 + d2 * c1) / k);
    r.d = clampToFixed((c2 * b1 + d2 * d1) / k);
    r.h = clampToFixed((h2 * a1 + v2 * c1) / k + h1);
    r.v = clampToFixed((h2 * b1 + v2 * d1) / k + v1);
    return r;
}

bool invert(const ASFixedMatrix& m, ASFixedMatrix* out) {
    const double a = fixedToDouble(m.a), b = fixedToDouble(m.b), c = fixedToDouble(m.c),
                 d = fixedToDouble(m.d), h = fixedToDouble(m.h), v = fixedToDouble(m.v);
    const double det = a * d - b * c;
    if (std::fabs(det) < 1e-12) return false;
    ASFixedMatrix r;
    r.a = fixedFromDouble(d / det);
    r.b = fixedFromDouble(-b / det);
    r.c = fixedFromDouble(-c / det);
    r.d = fixedFromDouble(a / det);
    r.h = fixedFromDouble((c * v - d * h) / det);
    r.v = fixedFromDouble((b * h - a * v) / det);
    *out = r;
    return true;
}

ASFixedPoint transform(const ASFixedMatrix& m, const ASFixedPoint& p) {
    const double x = p.h, y = p.v;
    return {clampToFixed((m.a * x + m.c * y) / 65536.0 + m.h),
            clampToFixed((m.b * x + m.d * y) / 65536.0 + m.v)};
}

ASFixedRect transformRect(const ASFixedMatrix& m, const ASFixedRect& r) {
    const ASFixedPoint corners[4] = {
        transform(m, {r.left, r.bottom}), transform(m, {r.right, r.bottom}),
        transform(m, {r.right, r.top}), transform(m, {r.left, r.top})};
    ASFixedRect out{corners[0].h, corners[0].v, corners[0].h, corners[0].v};
    for (const ASFixedPoint& p : corners) {
        out.left = std::min(out.left, p.h);
        out.right = std::max(out.right, p.h);
        out.bottom = std::min(out.bottom, p.v);
        out.top = std::max(out.top, p.v);
    }
    return out;
}

}  // namespace qmhost
