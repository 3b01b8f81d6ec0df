#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <cmath>

#include "support/UUnitConverter.h"

namespace {

using U = UUnitConverter;

struct ConversionRow {
    const char* name;
    double (*convert)(int32_t, double);
    int32_t unit;
    double in;
    double expected;
};
void PrintTo(const ConversionRow& row, std::ostream* os) { *os << row.name; }

class UUnitConverterRows : public ::testing::TestWithParam<ConversionRow> {};

TEST_P(UUnitConverterRows, ConvertsWithinRounding) {
    const ConversionRow& row = GetParam();
    EXPECT_NEAR(row.convert(row.unit, row.in), row.expected, 1e-12 * std::fabs(row.expected) + 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UUnitConverterRows,
    ::testing::Values(ConversionRow{"OneInchIs72Points", U::ToPoints, U::kInch, 1, 72},
                      ConversionRow{"Centimetres254Are72Points", U::ToPoints, U::kCentimetre, 2.54, 72},
                      ConversionRow{"Millimetres254Are72Points", U::ToPoints, U::kMillimetre, 25.4, 72},
                      ConversionRow{"Points72AreOneInch", U::FromPoints, U::kInch, 72, 1},
                      ConversionRow{"Points72Are254Centimetres", U::FromPoints, U::kCentimetre, 72, 2.54},
                      ConversionRow{"Points72Are254Millimetres", U::FromPoints, U::kMillimetre, 72, 25.4},
                      ConversionRow{"Centimetres254AreOneInch", U::ToInches, U::kCentimetre, 2.54, 1},
                      ConversionRow{"Millimetres254AreOneInch", U::ToInches, U::kMillimetre, 25.4, 1},
                      ConversionRow{"Points72AreOneInchToInches", U::ToInches, U::kPoint, 72, 1},
                      ConversionRow{"OneInchIs254Centimetres", U::FromInches, U::kCentimetre, 1, 2.54},
                      ConversionRow{"OneInchIs254Millimetres", U::FromInches, U::kMillimetre, 1, 25.4},
                      ConversionRow{"OneInchIs72PointsFromInches", U::FromInches, U::kPoint, 1, 72},
                      ConversionRow{"NegativeCentimetres", U::ToPoints, U::kCentimetre, -5.08, -144}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(UUnitConverter, PointsAndInchesPassThroughExactly) {
    for (double v : {0.0, -0.0, 1.0 / 3.0, -123.456, 1e300, 5e-324}) {
        EXPECT_EQ(U::ToPoints(U::kPoint, v), v);
        EXPECT_EQ(U::FromPoints(U::kPoint, v), v);
        EXPECT_EQ(U::ToInches(U::kInch, v), v);
        EXPECT_EQ(U::FromInches(U::kInch, v), v);
    }
}

// Stored positions were computed with these products in this order; a
// different order can differ in the last bit and move a stamp.
TEST(UUnitConverter, ProductsAreEvaluatedLeftToRightWithStoredFactors) {
    const double perCm = 1.0 / 2.54;
    const double perPoint = 1.0 / 72.0;
    for (double v : {1.0, 12.7, 33.3, 210.0, 0.1}) {
        EXPECT_EQ(U::ToPoints(U::kMillimetre, v), v * 0.1 * perCm * 72.0) << v;
        EXPECT_EQ(U::ToPoints(U::kCentimetre, v), v * perCm * 72.0) << v;
        EXPECT_EQ(U::FromPoints(U::kMillimetre, v), v * perPoint * 2.54 * 10.0) << v;
        EXPECT_EQ(U::ToInches(U::kMillimetre, v), v * perCm * 0.1) << v;
        EXPECT_EQ(U::FromInches(U::kMillimetre, v), v * 10.0 * 2.54) << v;
    }
}

struct IndexRow {
    const char* name;
    int32_t index;
    U::EUnit unit;
};
void PrintTo(const IndexRow& row, std::ostream* os) { *os << row.name; }

class UUnitConverterIndex : public ::testing::TestWithParam<IndexRow> {};

TEST_P(UUnitConverterIndex, MapsStoredIndexes) {
    EXPECT_EQ(U::UnitFromIndex(GetParam().index), GetParam().unit);
}

INSTANTIATE_TEST_SUITE_P(Rows, UUnitConverterIndex,
                         ::testing::Values(IndexRow{"ZeroIsInch", 0, U::kInch},
                                           IndexRow{"OneIsCentimetre", 1, U::kCentimetre},
                                           IndexRow{"TwoIsMillimetre", 2, U::kMillimetre},
                                           IndexRow{"ThreeIsPoint", 3, U::kPoint},
                                           IndexRow{"FourFallsBackToInch", 4, U::kInch},
                                           IndexRow{"MinusOneFallsBackToInch", -1, U::kInch},
                                           IndexRow{"MinimumFallsBackToInch", INT_MIN, U::kInch},
                                           IndexRow{"MaximumFallsBackToInch", INT_MAX, U::kInch}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(UUnitConverterDeathTest, UnitOutsideTheTableIsAnAssertionAndKeepsTheValue) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
#ifdef NDEBUG
    EXPECT_EQ(U::ToPoints(7, 3.5), 3.5);
    EXPECT_EQ(U::FromInches(-1, 3.5), 3.5);
#else
    EXPECT_DEATH(U::ToPoints(7, 3.5), "unit index outside");
    EXPECT_DEATH(U::FromInches(-1, 3.5), "unit index outside");
#endif
}

}  // namespace
