#include "render/Readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <variant>

namespace isotri {
namespace {

const CornerNames kLetters{"A", "B", "C"};

struct TextCase {
    const char* name;
    char separator;
    CornerNames names;
    Mixture shares;
    PointValue value;
    const char* text;
};

class ReadoutLine : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReadoutLine, IsWrittenInTheLocalesForm) {
    const TextCase& c = GetParam();
    EXPECT_EQ(ReadoutText(NumberText(c.separator), c.names, c.shares, c.value), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadoutLine,
    ::testing::Values(
        TextCase{"Comma",
                 ',',
                 kLetters,
                 {0.312, 0.455, 0.233},
                 {2.71344, {}},
                 "A = 0,312  B = 0,455  C = 0,233   y = 2,7134"},
        TextCase{"Point",
                 '.',
                 kLetters,
                 {0.312, 0.455, 0.233},
                 {2.71344, {}},
                 "A = 0.312  B = 0.455  C = 0.233   y = 2.7134"},
        TextCase{"SharesRounded",
                 ',',
                 kLetters,
                 {0.33333, 0.33333, 0.33334},
                 {-1234567.0, {}},
                 "A = 0,333  B = 0,333  C = 0,333   y = -1,2346e+06"},
        // Rounding noise on an edge must not show as "-0,000".
        TextCase{"NoNegativeZero",
                 '.',
                 kLetters,
                 {-1e-12, 0.5, 0.5},
                 {0.5, {}},
                 "A = 0.000  B = 0.500  C = 0.500   y = 0.5"},
        TextCase{"NamesOfTheFormat",
                 ',',
                 {"Вода", "Спирт", "Сахар"},
                 {1, 0, 0},
                 {0.0001234567, {}},
                 "Вода = 1,000  Спирт = 0,000  Сахар = 0,000   y = 0,00012346"},
        TextCase{"BatchComma",
                 ',',
                 kLetters,
                 {0.2, 0.3, 0.5},
                 {0.8408964, {0.5, 1}},
                 "A = 0,200  B = 0,300  C = 0,500   D = 0,8409  d1 = 0,5  d2 = 1"},
        TextCase{"BatchPoint",
                 '.',
                 kLetters,
                 {0.2, 0.3, 0.5},
                 {0.25, {0.123456, 0.5, 0}},
                 "A = 0.200  B = 0.300  C = 0.500   D = 0.25  d1 = 0.12346  d2 = 0.5  d3 = 0"},
        TextCase{"NoValue",
                 ',',
                 kLetters,
                 {0, 1, 0},
                 {std::numeric_limits<double>::quiet_NaN(), {}},
                 "A = 0,000  B = 1,000  C = 0,000   y = нет значения"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Readout, MeasuredPointNamesItsLineAndValue) {
    EXPECT_EQ(MeasuredPointText(NumberText(','), 5, 12.34567), "   опыт, строка 5: 12,346");
}

TEST(Readout, EmptyCornerNamesReadAsTheirLetters) {
    AppearanceSettings settings = AppearanceSettings::Defaults(NumberText(','));
    settings.LabelA = "Вода";
    settings.LabelB = "";
    EXPECT_EQ(CornerNamesOf(settings), (CornerNames{"Вода", "B", "C"}));
}

struct MixtureCase {
    const char* name;
    char separator;
    const char* text;
    Mixture mixture;    // when it reads
    const char* error;  // a piece of the message otherwise
};

class MixtureInput : public ::testing::TestWithParam<MixtureCase> {};

TEST_P(MixtureInput, ReadsNormalisedOrSaysWhy) {
    const MixtureCase& c = GetParam();
    const auto result = ParseMixture(NumberText(c.separator), c.text);
    if (c.error == nullptr) {
        ASSERT_TRUE(std::holds_alternative<Mixture>(result)) << std::get<std::string>(result);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(std::get<Mixture>(result)[k], c.mixture[k], 1e-15) << k;
        }
    } else {
        ASSERT_TRUE(std::holds_alternative<std::string>(result));
        EXPECT_NE(std::get<std::string>(result).find(c.error), std::string::npos)
            << std::get<std::string>(result);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixtureInput,
    ::testing::Values(MixtureCase{"Shares", ',', "0,2 0,3 0,5", {0.2, 0.3, 0.5}, nullptr},
                      MixtureCase{
                          "FullStopInCommaLocale", ',', "0.2 0,3 0.5", {0.2, 0.3, 0.5}, nullptr},
                      MixtureCase{"Normalised", '.', "1 1 2", {0.25, 0.25, 0.5}, nullptr},
                      MixtureCase{"ExtraBlanks", '.', "  3\t0   0 ", {1, 0, 0}, nullptr},
                      MixtureCase{"TwoNumbers", ',', "0,5 0,5", {}, "задано 2"},
                      MixtureCase{"FourNumbers", ',', "1 1 1 1", {}, "задано 4"},
                      MixtureCase{"Negative", ',', "0,5 -0,1 0,6", {}, "отрицательной: \"-0,1\""},
                      MixtureCase{"NotANumber", ',', "0,5 x 0,5", {}, "Неверное число: \"x\""},
                      MixtureCase{"Infinite", '.', "1 inf 1", {}, "Неверное число"},
                      MixtureCase{"AllZero", ',', "0 0 0", {}, "больше нуля"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace isotri
