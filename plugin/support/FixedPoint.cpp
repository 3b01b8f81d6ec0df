#include "support/FixedPoint.h"

#include <cmath>
#include <limits>

namespace {
constexpr int64_t kFixedMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kFixedMax = std::numeric_limits<int32_t>::max();

ASFixed Clamp(int64_t raw) {
    if (raw < kFixedMin) return static_cast<ASFixed>(kFixedMin);
    if (raw > kFixedMax) return static_cast<ASFixed>(kFixedMax);
    return static_cast<ASFixed>(raw);
}
}  // namespace

ASFixed FixedFromDouble(double v) {
    if (std::isnan(v)) return 0;
    // Adding one half and truncating toward zero would move every negative
    // value one unit toward zero; std::round is symmetric.
    const double raw = std::round(v * 65536.0);
    if (raw <= static_cast<double>(kFixedMin)) return static_cast<ASFixed>(kFixedMin);
    if (raw >= static_cast<double>(kFixedMax)) return static_cast<ASFixed>(kFixedMax);
    return static_cast<ASFixed>(raw);
}

int32_t FixedToInt(ASFixed f) {
    // 64-bit so that values near INT32_MAX do not overflow when the half is added.
    const int64_t value = f;
    const int64_t magnitude = ((value < 0 ? -value : value) + 0x8000) >> 16;
    return static_cast<int32_t>(value < 0 ? -magnitude : magnitude);
}

double FixedToDouble(ASFixed f) { return f / 65536.0; }

ASFixed FixedFromInt(int32_t i) { return Clamp(static_cast<int64_t>(i) * 65536); }
