#include "batch/CombinedModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "support/FakeModels.h"
#include "support/RecordingMessageSink.h"
#include "support/TempFile.h"

namespace isotri {
namespace {

// Loads a batch, its full stops written as the locale's separator (the console is not watched
// here), and evaluates it at one point.
double Combined(std::string batch, char separator, double x1 = 0.2, double x2 = 0.3,
                double x3 = 0.5) {
    std::replace(batch.begin(), batch.end(), '.', separator);
    const test::TempFile file(batch);
    isotri::testing::RecordingMessageSink sink;
    EXPECT_TRUE(LoadBatch(file.Path(), test::FindFakeModel, NumberText(separator), sink));
    double result = std::numeric_limits<double>::quiet_NaN();
    EvalBatchProc(&x1, &x2, &x3, &result);
    return result;
}

struct ValueCase {
    const char* name;
    std::string batch;  // "C v" is a model with the value v everywhere
    double value;
};

class CombinedValue : public ::testing::TestWithParam<std::tuple<ValueCase, char>> {};

TEST_P(CombinedValue, IsTheWeightedGeometricMean) {
    const auto& [c, separator] = GetParam();
    EXPECT_NEAR(Combined(c.batch, separator), c.value, 1e-12) << c.batch;
}

const ValueCase kValueCases[] = {
    {"HalfWithWeightHalf", "model C 5 combine1 0 10 0.5", 0.5},
    {"NoCoefficientsStillAnArray", "model Z", 0.2},
    {"NoCoefficientsCombined", "model Z combine1 0 0.4 1", 0.5},
    {"HalfWithWeightOne", "model C 5 combine1 0 10 1", 0.5},
    {"HalfWithWeightThree", "model C 5 combine1 0 10 3", 0.5},
    {"OneSidedAtLowIsZero", "model C 0 combine1 0 10 1", 0},
    {"OneSidedAboveHighIsOne", "model C 11 combine1 0 10 1", 1},
    {"TwoSidedAtTarget", "model C 5 combine2 0 5 10 1", 1},
    {"TwoSidedRising", "model C 2.5 combine2 0 5 10 1", 0.5},
    {"TwoSidedFalling", "model C 7.5 combine2 0 5 10 1", 0.5},
    {"TwoSidedAtLow", "model C 0 combine2 0 5 10 1", 0},
    {"TwoSidedAtHigh", "model C 10 combine2 0 5 10 1", 0},
    {"WeightsOneAndThree", "model C 5 combine1 0 10 1\nmodel C 20 combine1 0 10 3",
     0.84089641525371454},
    {"WeightsTwoAndFour", "model C 3 combine1 0 10 2\nmodel C 6 combine1 0 10 4",
     0.47622031559045985},
    {"WeightThreeBesideAClippedOne", "model C 2.5 combine1 0 10 3\nmodel C 12 combine1 0 10 1",
     0.3535533905932738},
    {"ZeroDesirabilityMakesZero",
     "model C 9 combine1 0 10 2\nmodel C -1 combine2 0 5 10 1\nmodel C 5 combine1 0 10 1", 0},
    {"ZeroWeightCountsAsOne", "model C -1 combine1 0 10 0\nmodel C 5 combine1 0 10 2", 0.5},
    {"AllWeightsZero", "model C 3 combine1 0 10 0", 1},
    {"SingleModelLastIsRaw", "model C 5 combine1 0 10 1\nmodel C 42.5", 42.5},
    {"SingleModelAloneIsRaw", "model M 10 100", 0.2 * 10 + 0.3 * 100},
};

INSTANTIATE_TEST_SUITE_P(Arithmetic, CombinedValue,
                         ::testing::Combine(::testing::ValuesIn(kValueCases),
                                            ::testing::Values(',', '.')),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == ',' ? "Comma" : "Point");
                         });

// "C v" entries with one-sided ramps from 0 to 10, so that the value 10·d gives desirability d.
std::string Entries(int count, double desirability, const char* weight) {
    std::string batch;
    for (int i = 0; i < count; ++i) {
        batch += "model C " + std::to_string(10 * desirability) + " combine1 0 10 " + weight + "\n";
    }
    return batch;
}

TEST(CombinedModel, ASingleEntryDoesNotDependOnItsWeight) {
    for (const char* weight :
         {"1e-300", "1e-20", "0.25", "1", "2", "3", "4", "7", "1000", "1e20", "1e300"}) {
        for (const double desirability : {0.5, 0.1, 1e-5, 0.999, 1.0}) {
            SCOPED_TRACE(std::string("weight ") + weight + ", d " + std::to_string(desirability));
            EXPECT_NEAR(Combined(Entries(1, desirability, weight), '.'), desirability,
                        1e-14 * desirability);
        }
    }
}

TEST(CombinedModel, ManyEntriesAndLargeWeightsDoNotUnderflow) {
    struct Case {
        const char* name;
        std::string batch;
        double value;
    };
    const Case cases[] = {
        {"1000 entries of weight 1", Entries(1000, 0.1, "1"), 0.1},
        {"10000 entries of weight 1", Entries(10000, 0.3, "1"), 0.3},
        {"one entry of weight 1000", Entries(1, 0.1, "1000"), 0.1},
        {"1000 entries of weight 1000", Entries(1000, 0.2, "1000"), 0.2},
        {"weights 1e300 and 1e-300", Entries(1, 0.5, "1e300") + Entries(1, 0.01, "1e-300"), 0.5},
        {"a tiny desirability squared", "model C 1e-308 combine1 0 10 2", 1e-309},
        {"large beside small weights", Entries(1, 0.25, "1000") + Entries(1000, 1, "1"), 0.5},
        {"a zero among 1000", Entries(999, 0.9, "1") + Entries(1, 0, "1e300"), 0},
        {"a zero of weight 1e-300", Entries(3, 0.9, "1e300") + Entries(1, 0, "1e-300"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(Combined(c.batch, '.'), c.value, 1e-12 * c.value);
    }
}

TEST(CombinedModel, EveryEntryIsEvaluatedAtEveryPoint) {
    test::TempFile file("model C 1 combine1 0 10 1\nmodel M 1 1 combine1 0 10 1\nmodel C 3\n");
    isotri::testing::RecordingMessageSink sink;
    ASSERT_TRUE(LoadBatch(file.Path(), test::FindFakeModel, NumberText('.'), sink));
    const int before = test::gFakeEvaluations;
    double x = 1.0 / 3;
    double result = 0;
    for (int i = 0; i < 5; ++i) {
        EvalBatchProc(&x, &x, &x, &result);
    }
    EXPECT_EQ(test::gFakeEvaluations - before, 15);
    EXPECT_EQ(result, 3);
}

TEST(CombinedModel, DesirabilityRampsInOrder) {
    TBatchEntry degenerate;
    degenerate.OneSided = true;
    degenerate.Low = 5;
    degenerate.High = 5;
    EXPECT_EQ(Desirability(degenerate, 5), 0);  // the test against Low comes first
    EXPECT_EQ(Desirability(degenerate, 5.1), 1);
    TBatchEntry twoSided;
    twoSided.Low = 0;
    twoSided.Target = 10;
    twoSided.High = 10;
    EXPECT_EQ(Desirability(twoSided, 10), 0);  // at High before the target is asked
    EXPECT_EQ(Desirability(twoSided, 7.5), 0.75);
}

TEST(CombinedModel, ExtremesAreStrictAndReset) {
    ResetExtremes();
    EXPECT_EQ(LowestValue, std::numeric_limits<double>::infinity());
    EXPECT_EQ(HighestValue, -std::numeric_limits<double>::infinity());
    TrackExtremes(2, 0.1, 0.2, 0.7);
    EXPECT_EQ(LowestValue, 2);
    EXPECT_EQ(HighestValue, 2);
    TrackExtremes(2, 0.5, 0.5, 0);  // equal values keep the first point
    TrackExtremes(1, 0.3, 0.3, 0.4);
    TrackExtremes(3, 1, 0, 0);
    EXPECT_EQ(LowestValue, 1);
    EXPECT_EQ(LowestPoint[0], 0.3);
    EXPECT_EQ(LowestPoint[2], 0.4);
    EXPECT_EQ(HighestValue, 3);
    EXPECT_EQ(HighestPoint[0], 1);
    TrackExtremes(1, 0, 1, 0);
    EXPECT_EQ(LowestPoint[1], 0.3);

    ResetExtremes();
    EXPECT_EQ(LowestPoint[0], 0.3);  // the points stay until the next value
    TrackExtremes(7, 0, 0, 1);
    EXPECT_EQ(LowestValue, 7);
    EXPECT_EQ(HighestValue, 7);
    EXPECT_EQ(LowestPoint[2], 1);

    // Values beyond any fixed reset bound are still reported.
    for (const double value : {2e38, -3e300, 1e308}) {
        ResetExtremes();
        TrackExtremes(value, 0, 0, 1);
        EXPECT_EQ(LowestValue, value);
        EXPECT_EQ(HighestValue, value);
    }
}

}  // namespace
}  // namespace isotri
