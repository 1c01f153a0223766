#include "export/Clip.h"

#include <gtest/gtest.h>

#include <cmath>

namespace isotri {
namespace {

const ClipBox kBox{0, 0, 100, 50};

TEST(ClipSegment, KeepsTheInsidePartInItsDirection) {
    struct Case {
        const char* name;
        ClipPoint a, b;
        bool visible;
        ClipPoint from, to;
    };
    const Case cases[] = {
        {"inside", {10, 10}, {90, 40}, true, {10, 10}, {90, 40}},
        {"leaves right", {50, 25}, {250, 75}, true, {50, 25}, {100, 37.5}},
        {"enters from left", {-100, 0}, {100, 50}, true, {0, 25}, {100, 50}},
        {"crosses both sides", {-50, 10}, {150, 10}, true, {0, 10}, {100, 10}},
        {"crosses a corner", {-10, 10}, {10, -10}, true, {0, 0}, {0, 0}},
        {"misses above", {-10, -5}, {110, -1}, false, {}, {}},
        {"parallel outside", {101, 0}, {101, 50}, false, {}, {}},
        {"along an edge", {-10, 50}, {110, 50}, true, {0, 50}, {100, 50}},
        {"a point outside", {200, 200}, {200, 200}, false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto part = ClipSegment(c.a, c.b, kBox);
        ASSERT_EQ(part.has_value(), c.visible);
        if (c.visible) {
            EXPECT_DOUBLE_EQ(part->first.x, c.from.x);
            EXPECT_DOUBLE_EQ(part->first.y, c.from.y);
            EXPECT_DOUBLE_EQ(part->second.x, c.to.x);
            EXPECT_DOUBLE_EQ(part->second.y, c.to.y);
        }
    }
}

TEST(ClipPolyline, SplitsWhereTheLineLeavesAndComesBack) {
    const std::vector<ClipPoint> zigzag = {{10, 10}, {10, 100}, {20, 10}, {30, 10}, {30, -40}};
    const auto pieces = ClipPolyline(zigzag, kBox);
    ASSERT_EQ(pieces.size(), 2U);
    EXPECT_EQ(pieces[0], (std::vector<ClipPoint>{{10, 10}, {10, 50}}));
    // Back in where (10, 100)-(20, 10) crosses y = 50.
    EXPECT_DOUBLE_EQ(pieces[1][0].x, 10 + 10.0 * 50 / 90);
    EXPECT_DOUBLE_EQ(pieces[1][0].y, 50);
    EXPECT_EQ(pieces[1].size(), 4U);
    EXPECT_EQ(pieces[1][1], (ClipPoint{20, 10}));
    EXPECT_EQ(pieces[1][2], (ClipPoint{30, 10}));
    EXPECT_EQ(pieces[1][3], (ClipPoint{30, 0}));
    EXPECT_TRUE(ClipPolyline({{-5, -5}, {-1, 60}}, kBox).empty());
    EXPECT_EQ(ClipPolyline({{1, 1}, {2, 2}, {3, 3}}, kBox).size(), 1U);
}

TEST(ClipPolygon, CutsTheFilledAreaToTheBox) {
    // A triangle larger than the box covers it whole.
    const auto covered = ClipPolygon({{-100, -100}, {400, -100}, {-100, 400}}, kBox);
    double area = 0;
    for (std::size_t i = 0; i < covered.size(); ++i) {
        const ClipPoint& p = covered[i];
        const ClipPoint& q = covered[(i + 1) % covered.size()];
        area += p.x * q.y - q.x * p.y;
    }
    EXPECT_DOUBLE_EQ(std::abs(area) / 2, 100 * 50);
    EXPECT_TRUE(ClipPolygon({{200, 0}, {300, 0}, {250, 40}}, kBox).empty());
    const std::vector<ClipPoint> inside = {{1, 1}, {9, 1}, {5, 8}};
    EXPECT_EQ(ClipPolygon(inside, kBox).size(), 3U);
}

}  // namespace
}  // namespace isotri
