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
    EXPECT_EQ(LowestValue, 1e38);
    EXPECT_EQ(HighestValue, -1e38);
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
    EXPECT_EQ(LowestValue, 1e38);
    EXPECT_EQ(LowestPoint[0], 0.3);  // the points stay until the next value
    TrackExtremes(7, 0, 0, 1);
    EXPECT_EQ(LowestValue, 7);
    EXPECT_EQ(HighestValue, 7);
    EXPECT_EQ(LowestPoint[2], 1);
}

}  // namespace
}  // namespace isotri
