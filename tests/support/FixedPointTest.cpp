// The one fixed-point conversion: half away from zero, clamped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "support/FixedPoint.h"

namespace {

struct FromDoubleRow {
    const char* name;
    double value;
    ASFixed expected;
};

class FixedFromDoubleTest : public testing::TestWithParam<FromDoubleRow> {};

TEST_P(FixedFromDoubleTest, RoundsHalfAwayFromZeroAndClamps) {
    EXPECT_EQ(FixedFromDouble(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FixedFromDoubleTest,
    testing::Values(FromDoubleRow{"Zero", 0.0, 0}, FromDoubleRow{"One", 1.0, 0x10000},
                    // "+ 0.5 then truncate" would give -65535 here.
                    FromDoubleRow{"MinusOneIsExact", -1.0, -0x10000},
                    FromDoubleRow{"MinusHalf", -0.5, -0x8000},
                    FromDoubleRow{"PositiveHalfUnitRoundsUp", 0.5 / 65536.0, 1},
                    FromDoubleRow{"NegativeHalfUnitRoundsDown", -0.5 / 65536.0, -1},
                    FromDoubleRow{"JustBelowHalfUnit", 0.49 / 65536.0, 0},
                    FromDoubleRow{"LargeClampsToMax", 40000.0, std::numeric_limits<int32_t>::max()},
                    FromDoubleRow{"SmallClampsToMin", -40000.0, std::numeric_limits<int32_t>::min()},
                    FromDoubleRow{"NotANumberIsZero", std::nan(""), 0}),
    [](const testing::TestParamInfo<FromDoubleRow>& row) { return row.param.name; });

struct ToIntRow {
    const char* name;
    ASFixed value;
    int32_t expected;
};

class FixedToIntTest : public testing::TestWithParam<ToIntRow> {};

TEST_P(FixedToIntTest, RoundsHalfAwayFromZero) {
    EXPECT_EQ(FixedToInt(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FixedToIntTest,
    testing::Values(ToIntRow{"TwoAndAHalf", 0x28000, 3},
                    // Adding one half and shifting would give -2: not symmetric.
                    ToIntRow{"MinusTwoAndAHalf", -0x28000, -3},
                    ToIntRow{"MinusTwoPointFour", -0x26666, -2},
                    ToIntRow{"TwoPointFour", 0x26666, 2},
                    ToIntRow{"NearMaxDoesNotOverflow", std::numeric_limits<int32_t>::max(), 32768},
                    ToIntRow{"Min", std::numeric_limits<int32_t>::min(), -32768}),
    [](const testing::TestParamInfo<ToIntRow>& row) { return row.param.name; });

TEST(FixedPoint, IntegerConversionClampsBeyondTheFixedRange) {
    EXPECT_EQ(FixedFromInt(3), 3 * 0x10000);
    EXPECT_EQ(FixedFromInt(-3), -3 * 0x10000);
    EXPECT_EQ(FixedFromInt(40000), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(FixedFromInt(-40000), std::numeric_limits<int32_t>::min());
}

TEST(FixedPoint, DoubleRoundTripIsExactForRepresentableValues) {
    for (double v : {0.25, -0.25, 612.0, -792.5, 1.0 / 65536.0})
        EXPECT_DOUBLE_EQ(FixedToDouble(FixedFromDouble(v)), v) << v;
}

}  // namespace
