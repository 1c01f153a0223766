#include "plot/PlotRoad.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <thread>

#include "support/FakeModels.h"
#include "support/RecordingMessageSink.h"

namespace isotri {
namespace {

// Largest x1 the generator asked about since the last reset.
double gHighestX1 = 0;
void X1(const double* x1, const double*, const double*, double* result) {
    gHighestX1 = std::max(gHighestX1, *x1);
    *result = *x1;
}

void Constant(const double*, const double*, const double*, double* result) {
    *result = 3;
}

struct PlacementCase {
    int width;
    int height;
};

class PlotPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

// The set's corners are where the window's picture expects them: A at the top, B lower right,
// C lower left, the triangle's centre at (w/2, 0.6·h) and its corners w/2 away from it.
TEST_P(PlotPlacementTest, TheTriangleSitsWhereThePictureExpectsIt) {
    const auto [w, h] = GetParam();
    PlotRequest request;
    request.width = w;
    request.height = h;
    request.evaluate = X1;
    EvaluationContext context;
    const Plot plot = GeneratePlot(request, context);
    ASSERT_NE(plot.set, nullptr);
    const double r = w / 2.0, cx = w / 2.0, cy = 0.6 * h;
    const double halfSide = r * std::sqrt(3.0) / 2;
    const double expected[3][2] = {
        {cx, cy - r}, {cx + halfSide, cy + r / 2}, {cx - halfSide, cy + r / 2}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(plot.set->Vertices[k].X, expected[k][0], 1e-3 * w) << "vertex " << k;
        EXPECT_NEAR(plot.set->Vertices[k].Y, expected[k][1], 1e-3 * w) << "vertex " << k;
    }
    EXPECT_FLOAT_EQ(plot.placement.center.X, static_cast<float>(cx));
    EXPECT_FLOAT_EQ(plot.placement.size, static_cast<float>(r));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PlotPlacementTest,
                         ::testing::Values(PlacementCase{800, 740}, PlacementCase{1000, 500},
                                           PlacementCase{32, 2048}, PlacementCase{2048, 32}));

TEST(PlotRoadTest, TheExtremesAreThoseOfTheEvaluatedPointsPlacedOnTheSet) {
    EvaluationContext context;
    context.SetModel(&test::kLinearModel, {1, 3});  // x1 + 3·x2: 0 at C, 3 at B
    PlotRequest request;
    // With the bounds the model sees the sub-triangle: lowest at its corner C, highest at B.
    request.bounds = {0.6f, 0.2f, 0.2f, 0.2f, 0.6f, 0.2f, 0.2f, 0.2f, 0.6f};
    for (bool scalesOnly : {false, true}) {
        request.scalesOnly = scalesOnly;
        const Plot plot = GeneratePlot(request, context);
        ASSERT_NE(plot.set, nullptr);
        ASSERT_TRUE(plot.extremes);
        const TPoint3f* v = plot.set->Vertices;
        const double low = scalesOnly ? 0 : 0.2 + 3 * 0.2;
        const double high = scalesOnly ? 3 : 0.2 + 3 * 0.6;
        EXPECT_NEAR(plot.extremes->min.value, low, 1e-6) << scalesOnly;  // float bounds
        EXPECT_NEAR(plot.extremes->max.value, high, 1e-6) << scalesOnly;
        EXPECT_NEAR(plot.extremes->min.x, v[2].X, 1e-3);
        EXPECT_NEAR(plot.extremes->min.y, v[2].Y, 1e-3);
        EXPECT_NEAR(plot.extremes->max.x, v[1].X, 1e-3);
        EXPECT_NEAR(plot.extremes->max.y, v[1].Y, 1e-3);
    }
    request.evaluate = Constant;
    EXPECT_FALSE(GeneratePlot(request, context).extremes);
}

TEST(PlotRoadTest, CountsTheEvaluationsOfEachPlotFromZero) {
    EvaluationContext context;
    context.SetModel(&test::kLinearModel, {10, 4});
    PlotRequest request;
    const int before = test::gFakeEvaluations;
    const Plot first = GeneratePlot(request, context);
    ASSERT_NE(first.set, nullptr);
    EXPECT_GT(first.evaluations, 0);
    EXPECT_EQ(first.evaluations, test::gFakeEvaluations - before);
    const Plot second = GeneratePlot(request, context);
    EXPECT_EQ(second.evaluations, first.evaluations);
    EXPECT_EQ(first.set->LevelCount, request.lines);
}

void NaNEverywhere(const double*, const double*, const double*, double* result) {
    *result = std::numeric_limits<double>::quiet_NaN();
}
void PlusInfinity(const double*, const double*, const double*, double* result) {
    *result = std::numeric_limits<double>::infinity();
}
// Infinite on one half, NaN on the other: still nothing finite.
void InfiniteOrNaN(const double* x1, const double*, const double*, double* result) {
    *result = *x1 < 0.5 ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::quiet_NaN();
}
// Finite near corner A only: a constant, not "no value".
void FiniteAtOneCorner(const double* x1, const double*, const double*, double* result) {
    *result = *x1 > 0.9 ? 2 : std::numeric_limits<double>::quiet_NaN();
}

struct EmptyCase {
    const char* name;
    TEvalProc evaluate;
    const char* message;
    const char* batchMessage;
};

class PlotEmptyTest : public ::testing::TestWithParam<EmptyCase> {};

TEST_P(PlotEmptyTest, NoSetAndTheMessageSaysWhy) {
    const EmptyCase& c = GetParam();
    EvaluationContext context;
    PlotRequest request;
    request.evaluate = c.evaluate;
    const Plot plot = GeneratePlot(request, context);
    EXPECT_EQ(plot.set, nullptr);
    EXPECT_GT(plot.evaluations, 0);
    EXPECT_FALSE(plot.stopAsked);
    EXPECT_STREQ(plot.EmptyMessage(false), c.message);
    EXPECT_STREQ(plot.EmptyMessage(true), c.batchMessage);
}

INSTANTIATE_TEST_SUITE_P(
    Models, PlotEmptyTest,
    ::testing::Values(
        EmptyCase{"Constant", Constant, kConstantModelMessage, kConstantBatchMessage},
        EmptyCase{"FiniteAtOneCorner", FiniteAtOneCorner, kConstantModelMessage,
                  kConstantBatchMessage},
        EmptyCase{"NaN", NaNEverywhere, kNoFiniteValueMessage, kNoFiniteBatchMessage},
        EmptyCase{"Infinity", PlusInfinity, kNoFiniteValueMessage, kNoFiniteBatchMessage},
        EmptyCase{"InfinityOrNaN", InfiniteOrNaN, kNoFiniteValueMessage, kNoFiniteBatchMessage}),
    [](const ::testing::TestParamInfo<EmptyCase>& info) { return std::string(info.param.name); });

// Sleeps past the breath interval now and then, so that breaths come during the grid's sampling.
int gModelCalls = 0;
void SlowX1(const double* x1, const double*, const double*, double* result) {
    if (++gModelCalls % 8 == 0) {
        std::this_thread::sleep_for(EvaluationContext::kBreathInterval);
    }
    *result = *x1;
}

TEST(PlotRoadTest, AStoppedPlotEndsWithoutTheModelAndKeepsNoSet) {
    EvaluationContext context;
    int callsAtStop = -1;
    context.SetBreathHook([&] {
        callsAtStop = gModelCalls;
        return ProgressAnswer::Stop;
    });
    PlotRequest request;
    request.evaluate = SlowX1;
    gModelCalls = 0;
    const Plot plot = GeneratePlot(request, context);
    EXPECT_TRUE(plot.stopAsked);
    EXPECT_EQ(plot.set, nullptr);
    EXPECT_GT(callsAtStop, 0);
    EXPECT_LE(callsAtStop, 8);
    EXPECT_EQ(gModelCalls, callsAtStop);
    EXPECT_GT(plot.evaluations, gModelCalls);  // the generator went on, on NaN points

    // The next plot of the same context is whole again.
    context.SetBreathHook({});
    EXPECT_NE(GeneratePlot(request, context).set, nullptr);
}

TEST(PlotRoadTest, BoundsLimitTheMixturesUnlessTheyLabelTheScalesOnly) {
    EvaluationContext context;
    PlotRequest request;
    request.evaluate = X1;
    request.bounds = {0.5F, 0.5F, 0, 0, 1, 0, 0, 0, 1};  // x1 at most 0.5
    gHighestX1 = 0;
    ASSERT_NE(GeneratePlot(request, context).set, nullptr);
    EXPECT_LE(gHighestX1, 0.5 + 1e-9);
    request.scalesOnly = true;
    gHighestX1 = 0;
    ASSERT_NE(GeneratePlot(request, context).set, nullptr);
    EXPECT_NEAR(gHighestX1, 1, 1e-9);
}

TEST(PlotRoadTest, DrawsTheSetOnAnImageAndRefusesUnreadableGeometry) {
    EvaluationContext context;
    PlotRequest request;
    request.width = 300;
    request.height = 280;
    request.evaluate = X1;
    const Plot plot = GeneratePlot(request, context);
    ASSERT_NE(plot.set, nullptr);
    const NumberText numbers(',');
    AppearanceSettings settings = AppearanceSettings::Defaults(numbers);
    testing::RecordingMessageSink sink;
    const PictureInput input{plot.set.get(),    request.width, request.height,
                             request.divisions, &settings,     request.bounds.data(),
                             &numbers,          &sink};
    QImage image(request.width, request.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    ASSERT_TRUE(DrawPicture(input, image));
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            inked += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        }
    }
    EXPECT_GT(inked, image.width() * image.height() / 100);
    EXPECT_TRUE(sink.messages.empty());

    settings.EGlobalZoom = "поля";
    image.fill(Qt::white);
    EXPECT_FALSE(DrawPicture(input, image));
    EXPECT_EQ(sink.messages.size(), 1u);
}

}  // namespace
}  // namespace isotri
