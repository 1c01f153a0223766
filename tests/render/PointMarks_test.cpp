#include "render/PointMarks.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <utility>
#include <vector>

#include "render/QtCanvas.h"

namespace isotri {
namespace {

// An open circle: dark on its ring, white at its centre and just outside.
TEST(PointMarksTest, CirclesAtTheRightPixels) {
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        const std::vector<PicturePoint> points = {{20.4, 30.6}, {40.5, 10}};
        DrawPointMarks(canvas, points);
    }
    auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    auto white = [&](int x, int y) { return qGray(image.pixel(x, y)) > 240; };
    // (20.4, 30.6) rounds to (20, 31); 40.5 rounds to even, 40.
    for (const auto& [x, y] : {std::pair{20, 31}, std::pair{40, 10}}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(white(x, y));
        EXPECT_TRUE(dark(x + kPointRadius, y));
        EXPECT_TRUE(dark(x - kPointRadius, y));
        EXPECT_TRUE(dark(x, y + kPointRadius));
        EXPECT_TRUE(dark(x, y - kPointRadius));
        EXPECT_TRUE(white(x + kPointRadius + 2, y));
        EXPECT_TRUE(white(x, y - kPointRadius - 2));
    }
}

}  // namespace
}  // namespace isotri
