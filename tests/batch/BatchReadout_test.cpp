#include "batch/BatchReadout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "batch/CombinedModel.h"
#include "support/FakeModels.h"
#include "support/RecordingMessageSink.h"
#include "support/TempFile.h"

namespace isotri {
namespace {

void Load(const std::string& batch) {
    const test::TempFile file(batch);
    isotri::testing::RecordingMessageSink sink;
    ASSERT_TRUE(LoadBatch(file.Path(), test::FindFakeModel, NumberText('.'), sink));
}

struct BatchCase {
    const char* name;
    const char* batch;  // "C v": the value v everywhere; "M a b": a·x1 + b·x2
    double value;
    std::vector<double> desirabilities;
};

class BatchReading : public ::testing::TestWithParam<BatchCase> {};

TEST_P(BatchReading, AgreesWithTheCombinedModelAndKeepsTheExtremes) {
    const BatchCase& c = GetParam();
    Load(c.batch);
    ResetExtremes();
    const double lowest = LowestValue, highest = HighestValue;
    const std::array<double, 3> point{0.2, 0.3, 0.5};
    const PointValue reading = BatchValueAt(BatchList, point);
    EXPECT_NEAR(reading.value, c.value, 1e-12);
    ASSERT_EQ(reading.desirabilities.size(), c.desirabilities.size());
    for (std::size_t i = 0; i < c.desirabilities.size(); ++i) {
        EXPECT_NEAR(reading.desirabilities[i], c.desirabilities[i], 1e-12) << i;
    }
    // Reading the picture is no part of the run: its report stays as it was.
    EXPECT_EQ(LowestValue, lowest);
    EXPECT_EQ(HighestValue, highest);

    double plotted = std::numeric_limits<double>::quiet_NaN();
    EvalBatchProc(&point[0], &point[1], &point[2], &plotted);
    EXPECT_EQ(reading.value, plotted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchReading,
    ::testing::Values(
        BatchCase{"TwoEntries",
                  "model C 5 combine1 0 10 1\nmodel C 10 combine1 0 10 3\n",
                  std::pow(0.5, 0.25),
                  {0.5, 1}},
        BatchCase{"TwoSided",
                  "model M 10 10 combine2 0 2.5 10 1\n",
                  (10 - 5.0) / 7.5,
                  {(10 - 5.0) / 7.5}},
        BatchCase{
            "ZeroMakesZero", "model C 0 combine1 0 10 1\nmodel C 7 combine1 0 10 1\n", 0, {0, 0.7}},
        // A single model at the end is plotted raw: its value alone, no desirabilities.
        BatchCase{"SingleLast", "model C 5 combine1 0 10 1\nmodel C -7\n", -7, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace isotri
