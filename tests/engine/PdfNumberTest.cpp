// PdfReal and friends: the numbers of content strings, independent of the locale.
#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cstdint>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "engine/PdfNumber.h"

namespace {

struct RealCase {
    const char* name;
    double value;
    int decimals;
    const char* fixed;     // PdfReal: exactly that many decimals
    const char* shortest;  // PdfShortReal: no spare zeros
};

class PdfRealFormat : public testing::TestWithParam<RealCase> {};

TEST_P(PdfRealFormat, WritesWhatPrintfWritesInTheCLocaleAndTheShortFormDropsSpareZeros) {
    const RealCase& c = GetParam();
    EXPECT_EQ(PdfReal(c.value, c.decimals), c.fixed);
    EXPECT_EQ(PdfShortReal(c.value, c.decimals), c.shortest);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PdfRealFormat,
    testing::Values(RealCase{"SixDecimals", 72.0, 6, "72.000000", "72"},
                    RealCase{"ZerosBeforeThePointStay", 100.0, 2, "100.00", "100"},
                    RealCase{"TrailingZerosGo", 10.5, 6, "10.500000", "10.5"},
                    RealCase{"TwoDecimalsRoundsUp", 0.4999, 2, "0.50", "0.5"},
                    RealCase{"RoundsUpToAWholeNumber", 0.999, 2, "1.00", "1"},
                    RealCase{"ColourOfOneThird", 85 / 255.0, 2, "0.33", "0.33"},
                    RealCase{"Negative", -12.3456789, 6, "-12.345679", "-12.345679"},
                    RealCase{"NegativeHalf", -0.5, 2, "-0.50", "-0.5"},
                    RealCase{"TinyNegativeHasNoSign", -0.0000001, 6, "0.000000", "0"},
                    RealCase{"RoundedAwayIsZero", 0.001, 2, "0.00", "0"},
                    RealCase{"NegativeZeroHasNoSign", -0.0, 2, "0.00", "0"},
                    RealCase{"NotANumberIsZero", std::numeric_limits<double>::quiet_NaN(), 2, "0.00", "0"},
                    RealCase{"InfinityIsZero", std::numeric_limits<double>::infinity(), 6, "0.000000", "0"},
                    RealCase{"NoDecimals", 2.5, 0, "2", "2"},
                    RealCase{"LargeValue", 7200000.25, 2, "7200000.25", "7200000.25"}),
    [](const testing::TestParamInfo<RealCase>& row) { return row.param.name; });

struct FixedCase {
    const char* name;
    int32_t fixed;
    const char* expected;
};

class PdfFixedFormat : public testing::TestWithParam<FixedCase> {};

TEST_P(PdfFixedFormat, WritesTheShortestTextOfTheSameFixedValue) {
    const FixedCase& c = GetParam();
    std::string out;
    AppendPdfFixed(out, c.fixed);
    EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PdfFixedFormat,
    testing::Values(FixedCase{"Zero", 0, "0 "}, FixedCase{"Half", 0x8000, "0.5 "},
                    FixedCase{"MinusOne", -0x10000, "-1 "},
                    // 517.92 is stored as 517.919998...; "517.92" reads back to it.
                    FixedCase{"TwoDecimalsOfAPlacement", 33942405, "517.92 "},
                    FixedCase{"SmallestStepNeedsFiveDecimals", 1, "0.00002 "},
                    FixedCase{"Lowest", INT32_MIN, "-32768 "},
                    FixedCase{"Highest", INT32_MAX, "32767.99998 "}),
    [](const testing::TestParamInfo<FixedCase>& row) { return row.param.name; });

// Every written value must read back (as a double rounded to the nearest
// 1/65536) as the fixed value it came from. The fixed writer works in
// integers; what it writes must be, byte for byte, what the plain definition
// writes: the fewest decimals (up to five) whose
// rounded value reads back as the fixed value, printed as "%.<d>f" in the C
// locale (an exact half of the fifth decimal to the even digit), spare zeros
// and a lone minus sign dropped.
std::string FixedByDefinition(int32_t fixedValue) {
    const double points = fixedValue / 65536.0;
    double scale = 1.0;
    int decimals = 0;
    for (; decimals < 5; ++decimals, scale *= 10.0) {
        const double written = std::round(points * scale) / scale;
        if (std::llround(written * 65536.0) == fixedValue) break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, points);
    std::string out = text;
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out + " ";
}

TEST(PdfNumber, FixedTextIsWhatTheDefinitionGives) {
    std::vector<int32_t> values = {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1};
    // Every value of the first points either side of 0, where the decimals vary most.
    for (int32_t v = -2 * 65536; v <= 2 * 65536; ++v) values.push_back(v);
    // Down from the highest value in large steps.
    for (int32_t v = 0; v < 4000; ++v) values.push_back(INT32_MAX - v * 536870);
    // Exact halves of the fifth decimal (odd multiples of 1024) across the range.
    for (int64_t v = -2147482624; v <= 2147482624; v += 2048 * 99991) values.push_back(static_cast<int32_t>(v));
    uint32_t state = 2463534242u;  // xorshift: the same spread every run
    for (int i = 0; i < 30000; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        values.push_back(static_cast<int32_t>(state));
    }
    for (const int32_t value : values) {
        std::string text;
        AppendPdfFixed(text, value);
        ASSERT_EQ(text, FixedByDefinition(value)) << value;
        double read = 0;
        std::from_chars(text.data(), text.data() + text.size() - 1, read);
        ASSERT_EQ(std::llround(read * 65536.0), value) << text;
    }
}

TEST(PdfNumber, AppendAddsTheSuffix) {
    std::string out = "x ";
    AppendPdfReal(out, 1.5, 2, " w ");
    AppendPdfShortReal(out, 2.50, 2, " w ");
    AppendPdfInt(out, -42, " Tr ");
    AppendPdfFixed(out, 0x8000);
    EXPECT_EQ(out, "x 1.50 w 2.5 w -42 Tr 0.5 ");
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
