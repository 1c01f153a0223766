#include "plot/Evaluation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "support/FakeModels.h"

namespace isotri {
namespace {

double Call(double x1, double x2, double x3) {
    double result = -1;
    EvalModelProc(&x1, &x2, &x3, &result);
    return result;
}

void Doubled(const double* x1, const double*, const double*, double* result) {
    *result = 2 * *x1;
}

class EvaluationTest : public ::testing::Test {
  protected:
    EvaluationTest() {
        context_.SetModel(&test::kLinearModel, {10, 4});
        context_.SetProgressHook([this](int percent) {
            shown_.push_back(percent);
            return percent >= stopAt_ ? ProgressAnswer::Stop : ProgressAnswer::Go;
        });
    }

    void Evaluate(int times) {
        for (int i = 0; i < times; ++i) {
            Call(0.5, 0.25, 0.25);
        }
    }

    EvaluationContext context_;
    std::vector<int> shown_;
    int stopAt_ = 1000;
};

TEST_F(EvaluationTest, TheGeneratorsCallbackEvaluatesTheRunningContextsModel) {
    const EvaluationContext::Generation generation(context_, nullptr);
    EXPECT_DOUBLE_EQ(Call(0.5, 0.25, 0.25), 10 * 0.5 + 4 * 0.25);
    EXPECT_DOUBLE_EQ(Call(0, 1, 0), 4);
    EXPECT_EQ(context_.EvalCount(), 2);
}

TEST_F(EvaluationTest, OutsideAGenerationTheCallbackGivesNaN) {
    EXPECT_TRUE(std::isnan(Call(0.5, 0.25, 0.25)));
    { const EvaluationContext::Generation generation(context_, nullptr); }
    EXPECT_TRUE(std::isnan(Call(0.5, 0.25, 0.25)));
    EXPECT_EQ(context_.EvalCount(), 0);
}

TEST_F(EvaluationTest, WithoutAModelEveryPointIsNaNButCounted) {
    EvaluationContext empty;
    const EvaluationContext::Generation generation(empty, nullptr);
    EXPECT_TRUE(std::isnan(Call(1, 0, 0)));
    EXPECT_EQ(empty.EvalCount(), 1);
}

TEST_F(EvaluationTest, PercentIsShownOncePerFiftyOneEvaluationsAndStopsAtAHundred) {
    const EvaluationContext::Generation generation(context_, nullptr);
    Evaluate(51);
    EXPECT_EQ(shown_, std::vector<int>{0});
    Evaluate(1);
    EXPECT_EQ(shown_, (std::vector<int>{0, 1}));
    Evaluate(51 * 150);
    EXPECT_EQ(shown_.size(), 101u);
    EXPECT_EQ(shown_.back(), 100);
    EXPECT_EQ(context_.EvalCount(), 52 + 51 * 150);
}

TEST_F(EvaluationTest, ANewGenerationCountsAndShowsFromZeroAgain) {
    {
        const EvaluationContext::Generation generation(context_, nullptr);
        Evaluate(200);
    }
    shown_.clear();
    const EvaluationContext::Generation generation(context_, nullptr);
    EXPECT_EQ(context_.EvalCount(), 0);
    Evaluate(1);
    EXPECT_EQ(shown_, std::vector<int>{0});
}

TEST_F(EvaluationTest, AnotherCallbackIsEvaluatedAndCountedWithoutProgress) {
    {
        const EvaluationContext::Generation generation(context_, Doubled);
        EXPECT_DOUBLE_EQ(Call(0.25, 0.75, 0), 0.5);
        Evaluate(100);
        EXPECT_EQ(context_.EvalCount(), 101);
        EXPECT_TRUE(shown_.empty());
    }
    // The other callback lasts one generation; the model is still the context's.
    const EvaluationContext::Generation generation(context_, nullptr);
    EXPECT_DOUBLE_EQ(Call(0, 1, 0), 4);
}

TEST_F(EvaluationTest, AStopAnswerIsKeptUntilTheNextGeneration) {
    stopAt_ = 2;
    {
        const EvaluationContext::Generation generation(context_, nullptr);
        Evaluate(51 * 2);
        EXPECT_FALSE(context_.StopAsked());
        Evaluate(1);
        EXPECT_TRUE(context_.StopAsked());
    }
    EXPECT_TRUE(context_.StopAsked());
    const EvaluationContext::Generation generation(context_, nullptr);
    EXPECT_FALSE(context_.StopAsked());
}

TEST_F(EvaluationTest, AModelWithoutCoefficientsGetsAnArrayAllTheSame) {
    context_.SetModel(&test::kNoCoefsModel, {});
    const EvaluationContext::Generation generation(context_, nullptr);
    EXPECT_DOUBLE_EQ(Call(0.5, 0.25, 0.25), 0.5);
}

// Longer than the breath interval, so the breath comes after the first point.
void Slow(const double* x1, const double*, const double*, double* result) {
    std::this_thread::sleep_for(EvaluationContext::kBreathInterval + std::chrono::milliseconds(5));
    *result = *x1;
}

TEST_F(EvaluationTest, ABreathStoppingTheGenerationLeavesOnlyNaNWithoutEvaluating) {
    int breaths = 0;
    context_.SetBreathHook([&] {
        ++breaths;
        return ProgressAnswer::Stop;
    });
    {
        // Breathing holds for another callback too: the batch runs through one.
        const EvaluationContext::Generation generation(context_, Slow);
        EXPECT_DOUBLE_EQ(Call(0.5, 0.25, 0.25), 0.5);
        EXPECT_EQ(breaths, 1);
        EXPECT_TRUE(context_.StopAsked());
    }
    context_.SetModel(&test::kLinearModel, {10, 4});
    const EvaluationContext::Generation generation(context_, nullptr);
    EXPECT_FALSE(context_.StopAsked());
    stopAt_ = 0;
    const int before = test::gFakeEvaluations;
    EXPECT_DOUBLE_EQ(Call(1, 0, 0), 10);  // the progress hook stops after this point
    EXPECT_TRUE(context_.StopAsked());
    EXPECT_TRUE(std::isnan(Call(1, 0, 0)));
    EXPECT_TRUE(std::isnan(Call(0, 1, 0)));
    EXPECT_EQ(test::gFakeEvaluations - before, 1);
    EXPECT_EQ(context_.EvalCount(), 3);
}

TEST_F(EvaluationTest, FiniteValuesAreNotedPerGeneration) {
    {
        const EvaluationContext::Generation generation(context_, nullptr);
        EXPECT_FALSE(context_.FiniteValueSeen());
        Call(0.5, 0.25, 0.25);
        EXPECT_TRUE(context_.FiniteValueSeen());
    }
    context_.SetModel(&test::kLinearModel, {INFINITY, -INFINITY});
    const EvaluationContext::Generation generation(context_, nullptr);
    Call(1, 0, 0);
    Call(0, 1, 0);
    Call(0.5, 0.5, 0);  // inf - inf
    EXPECT_FALSE(context_.FiniteValueSeen());
}

TEST_F(EvaluationTest, AGenerationInsideAnotherGivesTheOuterOneBack) {
    EvaluationContext inner;
    inner.SetModel(&test::kLinearModel, {1, 1});
    const EvaluationContext::Generation outer(context_, nullptr);
    {
        const EvaluationContext::Generation nested(inner, nullptr);
        EXPECT_DOUBLE_EQ(Call(0.5, 0.5, 0), 1);
    }
    EXPECT_DOUBLE_EQ(Call(0.5, 0.5, 0), 7);
    EXPECT_EQ(context_.EvalCount(), 1);
    EXPECT_EQ(inner.EvalCount(), 1);
}

}  // namespace
}  // namespace isotri
