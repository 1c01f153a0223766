#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace isotri {
namespace {

struct ParseCase {
    char separator;
    const char* text;
    bool ok;
    double value;
};

class ParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, FollowsTheLocaleSeparator) {
    const ParseCase& c = GetParam();
    const auto value = NumberText(c.separator).Parse(c.text);
    ASSERT_EQ(value.has_value(), c.ok) << c.text;
    if (c.ok) {
        EXPECT_DOUBLE_EQ(*value, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseTest,
    testing::Values(ParseCase{',', "0,95", true, 0.95}, ParseCase{',', "0.95", false, 0},
                    ParseCase{'.', "0.95", true, 0.95}, ParseCase{'.', "0,95", false, 0},
                    ParseCase{',', "  -1,5e2 ", true, -150}, ParseCase{',', "+20", true, 20},
                    ParseCase{',', ",5", true, 0.5}, ParseCase{',', "5,", true, 5},
                    ParseCase{',', "1E-3", true, 0.001}, ParseCase{',', "", false, 0},
                    ParseCase{',', "  ", false, 0}, ParseCase{',', ",", false, 0},
                    ParseCase{',', "1e", false, 0}, ParseCase{',', "1,2,3", false, 0},
                    ParseCase{',', "abc", false, 0}, ParseCase{',', "1 2", false, 0},
                    ParseCase{',', "inf", false, 0}, ParseCase{',', "nan", false, 0},
                    ParseCase{',', "1e999", false, 0}, ParseCase{',', "--1", false, 0},
                    ParseCase{'.', "0x10", false, 0}));

TEST(NumberTextParse, LenientAcceptsAFullStopToo) {
    const NumberText comma(',');
    EXPECT_DOUBLE_EQ(*comma.ParseLenient("0.125"), 0.125);
    EXPECT_DOUBLE_EQ(*comma.ParseLenient("0,125"), 0.125);
    EXPECT_FALSE(comma.ParseLenient("0.1,2").has_value());
}

struct FormatCase {
    const char* format;
    double value;
    const char* expected;  // with a comma separator
};

class FormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, WritesTheValue) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(NumberText(',').Format(c.format, c.value), c.expected) << c.format << " " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, FormatTest,
    testing::Values(
        // Scale values and level values with the default formats.
        FormatCase{"%1.1f", 0.8, "0,8"}, FormatCase{"%1.1f", 0.2, "0,2"},
        FormatCase{"%1.1f", 0.25, "0,2"},  // round half to even on the binary value
        FormatCase{"%2.3g", 0.125, "0,125"}, FormatCase{"%2.3g", 12.345, "12,3"},
        FormatCase{"%2.3g", 1234.5, "1,23e+03"}, FormatCase{"%2.3g", 5, " 5"},
        FormatCase{"%2.3g", 100, "100"}, FormatCase{"%2.3g", 0.5, "0,5"},
        // "g" stays fixed down to 1e-5, where C's %g would switch to exponents already.
        FormatCase{"%.3g", 0.00005, "0,00005"}, FormatCase{"%.3g", 0.00000123, "1,23e-06"},
        FormatCase{"%.3g", 0.000012345, "0,0000123"}, FormatCase{"%.3g", 0, "0"},
        FormatCase{"%.3g", 999.7, "1e+03"}, FormatCase{"%.1g", 0.96, "1"},
        FormatCase{"%3.5g", 0.84089641525, "0,8409"}, FormatCase{"%3.5g", 1, "  1"},
        // Fixed, exponent, width, flags, signs.
        FormatCase{"%.0f", 2.5, "2"}, FormatCase{"%5.2f", -1.005, "-1,00"},
        FormatCase{"%8.2f", 3.14159, "    3,14"}, FormatCase{"%-6.1fx", 2, "2,0   x"},
        FormatCase{"%06.1f", -2, "-002,0"}, FormatCase{"%+.1f", 2, "+2,0"},
        FormatCase{"%.2e", 12345, "1,23e+04"}, FormatCase{"%.1E", 0.000123, "1,2E-04"},
        FormatCase{"%1.1f", -0.04, "0,0"}, FormatCase{"%f", 1.5, "1,50"},
        // Literal text and percent signs around the one conversion.
        FormatCase{"x=%1.1f%%", 0.5, "x=0,5%"},
        // Not exactly one float conversion: the value as %g would show it.
        FormatCase{"%s", 0.5, "0,5"}, FormatCase{"%d", 2, "2"}, FormatCase{"%n", 2, "2"},
        FormatCase{"%5", 2, "2"}, FormatCase{"abc", 0.25, "0,25"}, FormatCase{"%f %f", 1, "1"},
        FormatCase{"%", 1, "1"},
        // Non-finite values.
        FormatCase{"%1.1f", NAN, "nan"}, FormatCase{"%5.1f", -INFINITY, " -inf"}));

TEST(NumberTextFormat, BoundsHugeWidthsAndPrecisions) {
    const NumberText comma(',');
    const std::string wide = comma.Format("%999999f", 1);
    EXPECT_EQ(wide.size(), static_cast<std::size_t>(NumberText::kMaxWidth));
    const std::string precise = comma.Format("%.999999f", 1);
    EXPECT_EQ(precise.size(), static_cast<std::size_t>(2 + NumberText::kMaxPrecision));
    EXPECT_FALSE(comma.Format("%f", 1e300).empty());
}

TEST(NumberTextFormat, UsesThePointSeparatorToo) {
    const NumberText point('.');
    EXPECT_EQ(point.Format("%1.1f", 0.8), "0.8");
    EXPECT_EQ(point.FormatDefault(1.5), "1.5");
    EXPECT_EQ(NumberText(',').FormatDefault(1.5), "1,5");
}

TEST(NumberTextFormat, DefaultConversionReadsBack) {
    const NumberText comma(',');
    for (const double v : {0.1, 1.0 / 3, 123456.789, 1e-7, 2.0}) {
        EXPECT_EQ(*comma.Parse(comma.FormatDefault(v)), v);
    }
}

}  // namespace
}  // namespace isotri
