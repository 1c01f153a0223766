#include "companion/ConsolePrint.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "companion/zorb_lib.h"

namespace isotri {
namespace {

std::vector<std::string> gLines;
void Record(const char* text) {
    gLines.emplace_back(text);
}

class ConPrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        conUpperLevel(48);
        con_puts("\r");
        gLines.clear();
        conAddCallback(Record);
    }
    void TearDown() override {
        conRemoveCallback(Record);
        con_puts("\r");
    }
    const NumberText comma_{','};
    const NumberText point_{'.'};
};

TEST_F(ConPrintTest, LevelPrintfFormatsText) {
    ConLevelPrintf(comma_, 16, "LoadBatch(): empty file \"%s\"\r", "a b.txt");
    ConLevelPrintf(comma_, 64, "hidden %s\r", "x");
    EXPECT_EQ(gLines, (std::vector<std::string>{"LoadBatch(): empty file \"a b.txt\""}));
}

TEST_F(ConPrintTest, PiecesMakeOneLine) {
    ConLevelPrintf(comma_, 48, "LoadBatch(): model \"%s\" needs %d args; ", "Линейная", 2);
    ConLevelPrintf(comma_, 48, "[%d]=%g; ", 1, 0.5);
    ConLevelPrintf(comma_, 48, "[%d]=%g; ", 2, -3.0);
    ConLevelPrintf(comma_, 48, "\r");
    EXPECT_EQ(gLines, (std::vector<std::string>{
                          "LoadBatch(): model \"Линейная\" needs 2 args; [1]=0,5; [2]=-3; "}));
}

TEST_F(ConPrintTest, ReportLineUsesSeparator) {
    ConPrintf(comma_, "Minimum %3.5g at [%3.5g;%3.5g;%3.5g]\r", 1.234567, 0.25, 0.0, 0.75);
    ConPrintf(point_, "Maximum %3.5g at [%3.5g;%3.5g;%3.5g]\r", 12.5, 1.0, 0.0, 0.0);
    EXPECT_EQ(gLines, (std::vector<std::string>{"Minimum 1,2346 at [0,25;  0;0,75]",
                                                "Maximum 12.5 at [  1;  0;  0]"}));
}

TEST_F(ConPrintTest, EachFloatConversionGoesToNumberText) {
    ConPrintf(comma_, "<%-8.3e|%+G|%#.0f>\r", 1234.5, 1e-9, 2.0);
    const std::string expected = "<" + comma_.Format("%-8.3e", 1234.5) + "|" +
                                 comma_.Format("%+G", 1e-9) + "|" + comma_.Format("%#.0f", 2.0) +
                                 ">";
    EXPECT_EQ(gLines, (std::vector<std::string>{expected}));
}

struct FormatCase {
    const char* name;
    std::string expected;
    void (*print)(const NumberText&);
};

class ConPrintFormats : public ConPrintTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ConPrintFormats, MatchesExpectation) {
    GetParam().print(comma_);
    con_puts("\r");
    ASSERT_EQ(gLines.size(), 1U);
    EXPECT_EQ(gLines[0], GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConPrintFormats,
    ::testing::Values(
        FormatCase{"Integers", "-7|+7|  007|42|3000000000|-9000000000|255",
                   [](const NumberText& n) {
                       ConPrintf(n, "%d|%+i|%5.3d|%u|%lu|%lld|%zu", -7, 7, 7, 42U, 3000000000UL,
                                 -9000000000LL, std::size_t{255});
                   }},
        FormatCase{"HexCharPercent", "ff|0X1F|z|100%",
                   [](const NumberText& n) { ConPrintf(n, "%x|%#X|%c|%d%%", 255, 31, 'z', 100); }},
        FormatCase{
            "Texts", "[  ab][ab  ][a]",
            [](const NumberText& n) { ConPrintf(n, "[%4s][%-4s][%.1s]", "ab", "ab", "abc"); }},
        FormatCase{"StarWidthAndPrecision", "[   ab][1,50]",
                   [](const NumberText& n) { ConPrintf(n, "[%*s][%.*f]", 5, "ab", 2, 1.5); }},
        FormatCase{"Floats", "0,50|  2,25|0,25|-3,5",
                   [](const NumberText& n) {
                       ConPrintf(n, "%.2f|%6.2f|%g|%.1lf", 0.5, 2.25, 0.25, -3.5);
                   }},
        FormatCase{"LongDouble", "0,125", [](const NumberText& n) { ConPrintf(n, "%Lg", 0.125L); }},
        FormatCase{"ArgumentsAfterFloatStayInStep", "1,5 x 7",
                   [](const NumberText& n) { ConPrintf(n, "%g %s %d", 1.5, "x", 7); }},
        FormatCase{"TrailingPercentKept", "50%",
                   [](const NumberText& n) { ConPrintf(n, "%d%s", 50, "%"); }}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace isotri
