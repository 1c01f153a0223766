#include "fit/MeasuredPoints.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

namespace isotri {
namespace {

// The whole window's placement at 800 x 740: vertex 0 on top, 1 lower right, 2 lower left.
TIsolineSet Set() {
    TIsolineSet set{};
    set.Vertices[0] = {400, 44, 0};
    set.Vertices[1] = {746, 644, 0};
    set.Vertices[2] = {54, 644, 0};
    return set;
}

struct PlaceCase {
    const char* name;
    std::optional<std::array<float, 9>> bounds;
    std::array<double, 3> mixture;
    std::optional<std::array<double, 2>> expected;
};

TEST(MeasuredPointsTest, MixturesPlacedInTheDrawnTriangle) {
    const std::array<float, 9> sub = {1, 0, 0, 0.5f, 0.5f, 0, 0.5f, 0, 0.5f};
    const std::array<float, 9> flat = {1, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0};
    const std::vector<PlaceCase> cases = {
        {"first component", std::nullopt, {1, 0, 0}, {{400, 44}}},
        {"second component", std::nullopt, {0, 1, 0}, {{746, 644}}},
        {"centroid", std::nullopt, {1.0 / 3, 1.0 / 3, 1.0 / 3}, {{400, 444}}},
        {"side 2-3", std::nullopt, {0, 0.5, 0.5}, {{400, 644}}},
        {"corner B of a sub-triangle", sub, {0.5, 0.5, 0}, {{746, 644}}},
        {"inside a sub-triangle", sub, {0.75, 0.25, 0}, {{573, 344}}},
        {"outside a sub-triangle", sub, {0, 0, 1}, std::nullopt},
        {"just outside a sub-triangle", sub, {0.49, 0.51, 0}, std::nullopt},
        {"corners in a line", flat, {1, 0, 0}, std::nullopt},
    };
    const TIsolineSet set = Set();
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PicturePoint> p =
            PlaceMixture(set, c.bounds ? c.bounds->data() : nullptr, c.mixture);
        ASSERT_EQ(p.has_value(), c.expected.has_value());
        if (p) {
            EXPECT_NEAR(p->X, (*c.expected)[0], 1e-3);
            EXPECT_NEAR(p->Y, (*c.expected)[1], 1e-3);
        }
    }

    std::vector<MeasuredPoint> points(3);
    points[0].Mixture = {1, 0, 0};
    points[1].Mixture = {0, 0, 1};
    points[2].Mixture = {0.5, 0.5, 0};
    EXPECT_EQ(PlaceMeasuredPoints(set, sub.data(), points).size(), 2u);
}

}  // namespace
}  // namespace isotri
