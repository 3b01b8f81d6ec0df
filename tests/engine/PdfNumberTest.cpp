// PdfReal and friends: the numbers of content strings, independent of the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "EngineFixture.h"
#include "engine/PdfNumber.h"

namespace {

struct RealCase {
    const char* name;
    double value;
    int decimals;
    const char* expected;
};

class PdfRealFormat : public testing::TestWithParam<RealCase> {};

TEST_P(PdfRealFormat, WritesWhatPrintfWritesInTheCLocale) {
    const RealCase& c = GetParam();
    EXPECT_EQ(PdfReal(c.value, c.decimals), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PdfRealFormat,
    testing::Values(RealCase{"SixDecimals", 72.0, 6, "72.000000"},
                    RealCase{"TwoDecimalsRoundsUp", 0.4999, 2, "0.50"},
                    RealCase{"ColourOfOneThird", 85 / 255.0, 2, "0.33"},
                    RealCase{"Negative", -12.3456789, 6, "-12.345679"},
                    RealCase{"TinyNegativeHasNoSign", -0.0000001, 6, "0.000000"},
                    RealCase{"NegativeZeroHasNoSign", -0.0, 2, "0.00"},
                    RealCase{"NotANumberIsZero", std::numeric_limits<double>::quiet_NaN(), 2, "0.00"},
                    RealCase{"InfinityIsZero", std::numeric_limits<double>::infinity(), 6, "0.000000"},
                    RealCase{"NoDecimals", 2.5, 0, "2"},
                    RealCase{"LargeValue", 7200000.25, 2, "7200000.25"}),
    [](const testing::TestParamInfo<RealCase>& info) { return info.param.name; });

TEST(PdfNumber, AppendAddsTheSuffix) {
    std::string out = "x ";
    AppendPdfReal(out, 1.5, 2, " w ");
    AppendPdfInt(out, -42, " Tr ");
    AppendPdfFixed(out, 0x8000);
    EXPECT_EQ(out, "x 1.50 w -42 Tr 0.500000 ");
}

TEST(PdfNumber, CommaDecimalLocaleChangesNothing) {
    const std::string before = PdfReal(1234.5, 6);
    if (!enginetest::SetCommaDecimalLocale()) GTEST_SKIP() << "no comma-decimal locale can be had";
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.1f", 1.5);
    const std::string during = PdfReal(1234.5, 6);
    enginetest::RestoreCLocale();
    ASSERT_STREQ(printed, "1,5");  // the locale is really in force
    EXPECT_EQ(during, before);
    EXPECT_EQ(during, "1234.500000");
}

}  // namespace
