#include "render/ExtremeMarks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/RecordingCanvas.h"

namespace isotri {
namespace {

using isotri::testing::RecordingCanvas;

const PlotExtremes kExtremes{{-0.04, {0.3, 0.3, 0.4}, 400, 444}, {2.5, {1, 0, 0}, 400, 44}};

TEST(ExtremeMarks, MarksBothWithTheirValuesInTheLabelFormat) {
    const NumberText numbers(',');
    AppearanceSettings settings = AppearanceSettings::Defaults(numbers);
    settings.EGlobalZoom = "1";
    settings.STicksForm = "%1.2f";
    RecordingCanvas canvas;
    DrawExtremeMarks(canvas, kExtremes, 800, 740, settings, numbers);

    const auto marks = canvas.Named("Polygon");
    ASSERT_EQ(marks.size(), 2u);
    const int s = kExtremeMarkSize;
    // Minimum: tip down at (400, 444 + s), open; maximum: tip up at (400, 44 - s), filled.
    EXPECT_EQ(marks[0].args, (std::vector<int>{400, 444 + s, 400 + s, 444 - s, 400 - s, 444 - s}));
    EXPECT_EQ(marks[0].brush, (Rgb{255, 255, 255}));
    EXPECT_EQ(marks[1].args, (std::vector<int>{400, 44 - s, 400 + s, 44 + s, 400 - s, 44 + s}));
    EXPECT_EQ(marks[1].brush, settings.LineBox);
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"мин -0,04", "макс 2,50"}));
    EXPECT_EQ(canvas.Named("TextOut")[0].font, settings.TicsFont);
}

TEST(ExtremeMarks, FollowTheZoomAndStayInsideThePicture) {
    const NumberText numbers('.');
    AppearanceSettings settings = AppearanceSettings::Defaults(numbers);  // zoom 0.95
    PlotExtremes near = kExtremes;
    near.max.x = 790;  // the text would run past the right edge
    RecordingCanvas canvas;
    DrawExtremeMarks(canvas, near, 800, 740, settings, numbers);
    const auto marks = canvas.Named("Polygon");
    ASSERT_EQ(marks.size(), 2u);
    // (400, 44) is drawn at (400, 60.3) with zoom 0.95; the tip is s above.
    EXPECT_EQ(marks[1].args[1], 60 - kExtremeMarkSize);
    const auto texts = canvas.Named("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_GT(texts[0].args[0], 400);  // right of the minimum
    EXPECT_LT(texts[1].args[0], 790);  // left of the maximum near the edge

    settings.EGlobalZoom = "bad";
    RecordingCanvas none;
    DrawExtremeMarks(none, near, 800, 740, settings, numbers);
    EXPECT_TRUE(none.ops().empty());
}

TEST(ExtremeTracker, KeepsTheFirstOfEqualValuesAndSkipsNonFinite) {
    ExtremeTracker tracker;
    TIsolineSet set{};
    set.Vertices[0] = {400, 44, 0};
    set.Vertices[1] = {746.41f, 644, 0};
    set.Vertices[2] = {53.59f, 644, 0};
    EXPECT_FALSE(tracker.Place(set, nullptr, false));
    tracker.Track(std::nan(""), 1, 0, 0);
    tracker.Track(std::numeric_limits<double>::infinity(), 1, 0, 0);
    EXPECT_FALSE(tracker.Seen());
    tracker.Track(2, 0, 1, 0);
    tracker.Track(1, 1, 0, 0);
    tracker.Track(1, 0, 0, 1);
    tracker.Track(3, 0, 0, 1);
    tracker.Track(3, 1, 0, 0);
    const auto placed = tracker.Place(set, nullptr, false);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->min.value, 1);
    EXPECT_EQ(placed->min.mixture, (std::array<double, 3>{1, 0, 0}));
    EXPECT_NEAR(placed->min.x, 400, 1e-3);  // corner A
    EXPECT_NEAR(placed->min.y, 44, 1e-3);
    EXPECT_EQ(placed->max.value, 3);
    EXPECT_NEAR(placed->max.x, 53.59, 1e-3);  // corner C
    tracker.Reset();
    EXPECT_FALSE(tracker.Seen());
}

TEST(ExtremeTracker, PlacesThroughTheBoundsTheGeneratorWasGiven) {
    TIsolineSet set{};
    set.Vertices[0] = {100, 0, 0};
    set.Vertices[1] = {200, 100, 0};
    set.Vertices[2] = {0, 100, 0};
    const float bounds[9] = {0.6f, 0.2f, 0.2f, 0.2f, 0.6f, 0.2f, 0.2f, 0.2f, 0.6f};
    const ExtremePoint low{0, {0.4, 0.4, 0.2}, 0, 0};  // halfway from A to B
    const ExtremePoint high{1, {0.5, 0.5, 0}, 0, 0};   // the same weights with the whole triangle
    const PlotExtremes sub = PlaceExtremes(set, bounds, false, low, high);
    EXPECT_NEAR(sub.min.x, 150, 1e-4);
    EXPECT_NEAR(sub.min.y, 50, 1e-4);
    const PlotExtremes whole = PlaceExtremes(set, bounds, true, low, high);
    EXPECT_NEAR(whole.max.x, 150, 1e-4);
    EXPECT_NEAR(whole.max.y, 50, 1e-4);
    // Corners that span nothing leave the points unplaced, and no mark is drawn for them.
    const float same[9] = {0.2f, 0.3f, 0.5f, 0.2f, 0.3f, 0.5f, 0.2f, 0.3f, 0.5f};
    const PlotExtremes none = PlaceExtremes(set, same, false, low, high);
    EXPECT_TRUE(std::isnan(none.min.x));
    RecordingCanvas canvas;
    const NumberText numbers('.');
    DrawExtremeMarks(canvas, none, 200, 100, AppearanceSettings::Defaults(numbers), numbers);
    EXPECT_TRUE(canvas.Named("Polygon").empty());
}

}  // namespace
}  // namespace isotri
