#include "render/ExtremeMarks.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace isotri
