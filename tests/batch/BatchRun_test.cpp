#include "batch/BatchRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/CombinedModel.h"
#include "support/ConsoleLevels.h"
#include "support/FakeModels.h"
#include "support/RecordingMessageSink.h"
#include "support/TempFile.h"

namespace isotri {
namespace {

class RecordingView final : public BatchView {
  public:
    void SizePicture(int width, int height) override {
        calls.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
    }
    void ClearStatus() override { calls.push_back("status"); }
    void ShowSet(const TIsolineSet& set) override {
        calls.push_back("set");
        shown = &set;
    }
    void ShowBlank() override { calls.push_back("blank"); }
    std::vector<std::string> calls;
    const TIsolineSet* shown = nullptr;
};

struct RunOutcome {
    BatchRunResult result = BatchRunResult::NotLoaded;
    std::vector<std::string> console;
    std::vector<std::string> boxes;
    std::vector<std::string> calls;
};

class BatchRunTest : public ::testing::TestWithParam<char> {
  protected:
    RunOutcome RunFile(const std::string& batch) {
        const test::TempFile file(batch);
        testing::RecordingMessageSink sink;
        RecordingView view;
        RunOutcome run;
        run.console = test::RecordConsoleText([&] {
            run.result = RunBatch(file.Path(), test::FindFakeModel, numbers_, sink, request_,
                                  context_, set_, view);
        });
        for (const auto& message : sink.messages) {
            run.boxes.push_back(message.text);
        }
        run.calls = view.calls;
        if (run.result == BatchRunResult::Drawn) {
            EXPECT_EQ(view.shown, set_.get());
        }
        return run;
    }

    std::string Report(const char* word, double value, const double* point) const {
        return std::string(word) + " " + numbers_.Format("%3.5g", value) + " at [" +
               numbers_.Format("%3.5g", point[0]) + ";" + numbers_.Format("%3.5g", point[1]) + ";" +
               numbers_.Format("%3.5g", point[2]) + "]";
    }

    NumberText numbers_{GetParam()};
    PlotRequest request_;
    EvaluationContext context_;
    IsolineSetPtr set_;
};

TEST_P(BatchRunTest, DrawsAndReportsTheExtremes) {
    const RunOutcome run = RunFile("model M 10 4\n");
    ASSERT_EQ(run.result, BatchRunResult::Drawn);
    EXPECT_NE(set_, nullptr);
    // Sized once the set is there: a stopped run leaves the picture as it was.
    EXPECT_EQ(run.calls, (std::vector<std::string>{"status", "size 800x740", "set"}));
    EXPECT_TRUE(run.boxes.empty());
    // The raw single-model value 10*x1 + 4*x2 over the triangle.
    EXPECT_NEAR(LowestValue, 0, 1e-9);
    EXPECT_NEAR(HighestValue, 10, 1e-9);
    EXPECT_NEAR(HighestPoint[0], 1, 1e-9);
    ASSERT_GE(run.console.size(), 2u);
    EXPECT_EQ(run.console[run.console.size() - 2], Report("Minimum", LowestValue, LowestPoint));
    EXPECT_EQ(run.console.back(), Report("Maximum", HighestValue, HighestPoint));
}

TEST_P(BatchRunTest, ASecondRunDoesNotInheritTheFirstsExtremes) {
    ASSERT_EQ(RunFile("model M 100 -100\n").result, BatchRunResult::Drawn);
    EXPECT_NEAR(HighestValue, 100, 1e-9);
    request_.lines = 1;
    ASSERT_EQ(RunFile("model M 1 3 combine1 0 4 2\n").result, BatchRunResult::Drawn);
    EXPECT_GE(LowestValue, 0);
    EXPECT_LE(HighestValue, 0.75 + 1e-9);
    EXPECT_NEAR(HighestValue, 0.75, 1e-9);  // 3/4 at the second corner
}

TEST_P(BatchRunTest, ConstantModelClearsThePicture) {
    ASSERT_EQ(RunFile("model M 10 4\n").result, BatchRunResult::Drawn);
    const RunOutcome run = RunFile("model C 5 combine1 0 10 3\nmodel M -1 -1 combine1 0 1 1\n");
    EXPECT_EQ(run.result, BatchRunResult::Constant);
    EXPECT_EQ(set_, nullptr);
    EXPECT_EQ(run.boxes, std::vector<std::string>{kConstantBatchMessage});
    EXPECT_EQ(run.calls, (std::vector<std::string>{"status", "size 800x740", "blank"}));
    for (const std::string& line : run.console) {
        EXPECT_EQ(line.find("Minimum"), std::string::npos);
    }
}

TEST_P(BatchRunTest, FailedLoadKeepsThePictureAndTheSet) {
    ASSERT_EQ(RunFile("model M 10 4\n").result, BatchRunResult::Drawn);
    const TIsolineSet* kept = set_.get();
    for (const char* bad : {"", "model X 1\n", "model M 1 x combine1 0 1 1\n"}) {
        const RunOutcome run = RunFile(bad);
        EXPECT_EQ(run.result, BatchRunResult::NotLoaded);
        EXPECT_EQ(set_.get(), kept);
        EXPECT_TRUE(run.calls.empty());
        EXPECT_TRUE(run.boxes.empty());
    }
}

TEST_P(BatchRunTest, BoundsAndSizeReachTheGenerator) {
    request_.bounds = {0.5F, 0.5F, 0, 0.5F, 0, 0.5F, 1, 0, 0};
    request_.width = 400;
    request_.height = 300;
    const RunOutcome run = RunFile("model M 10 0\n");
    ASSERT_EQ(run.result, BatchRunResult::Drawn);
    ASSERT_EQ(run.calls.size(), 3u);
    EXPECT_EQ(run.calls[1], "size 400x300");
    EXPECT_NEAR(LowestValue, 5, 1e-6);  // x1 is at least 0.5 in that corner
    EXPECT_NEAR(set_->Vertices[0].X, 200, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Separators, BatchRunTest, ::testing::Values(',', '.'),
                         [](const auto& info) { return info.param == ',' ? "Comma" : "Point"; });

}  // namespace
}  // namespace isotri
