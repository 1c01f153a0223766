#include "render/PictureMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace isotri {
namespace {

// The set's corners as the generator places them in an 800 x 740 picture: centre (400, 444),
// size 400, vertex A straight up.
TIsolineSet DefaultSet() {
    TIsolineSet set{};
    for (int k = 0; k < 3; ++k) {
        const double a = -std::numbers::pi / 2 + 2 * std::numbers::pi * k / 3;
        set.Vertices[k] = {static_cast<float>(400 + 400 * std::cos(a)),
                           static_cast<float>(444 + 400 * std::sin(a)), 0};
    }
    set.LevelCount = 0;
    set.Levels = nullptr;
    return set;
}

constexpr float kUnit[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
constexpr float kSub[9] = {0.6f, 0.2f, 0.2f, 0.2f, 0.6f, 0.2f, 0.2f, 0.2f, 0.6f};

PictureXY Between(const TIsolineSet& set, const Weights& w) {
    PictureXY p;
    for (int k = 0; k < 3; ++k) {
        p.x += w[k] * set.Vertices[k].X;
        p.y += w[k] * set.Vertices[k].Y;
    }
    return p;
}

void ExpectMixture(const Mixture& actual, const Mixture& expected, const char* what) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(actual[c], expected[c], 1e-6) << what << " component " << c + 1;
    }
}

struct ReadCase {
    const char* name;
    const float* bounds;
    bool scalesOnly;
    Weights at;  // where the mouse is, as weights of the set's corners
    Mixture shown;
    Mixture model;
};

class MappingReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(MappingReads, ThePixelAsTheScalesAndTheModelSeeIt) {
    const ReadCase& c = GetParam();
    const TIsolineSet set = DefaultSet();
    const auto mapping = PictureMapping::ForSet(set, 800, 740, 1.0, c.bounds, c.scalesOnly);
    ASSERT_TRUE(mapping);
    const std::optional<Weights> w = mapping->WeightsAt(Between(set, c.at));
    ASSERT_TRUE(w);
    ExpectMixture(mapping->ShownMixture(*w), c.shown, "shown");
    ExpectMixture(mapping->ModelMixture(*w), c.model, "model");
}

constexpr double kThird = 1.0 / 3;

INSTANTIATE_TEST_SUITE_P(
    Cases, MappingReads,
    ::testing::Values(
        ReadCase{"CornerA", kUnit, false, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}},
        ReadCase{"CornerC", kUnit, false, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}},
        ReadCase{"Centre",
                 kUnit,
                 false,
                 {kThird, kThird, kThird},
                 {kThird, kThird, kThird},
                 {kThird, kThird, kThird}},
        ReadCase{"MiddleOfBC", kUnit, false, {0, 0.5, 0.5}, {0, 0.5, 0.5}, {0, 0.5, 0.5}},
        ReadCase{"NoBounds", nullptr, false, {0.2, 0.3, 0.5}, {0.2, 0.3, 0.5}, {0.2, 0.3, 0.5}},
        ReadCase{"BoundsCorner", kSub, false, {1, 0, 0}, {0.6, 0.2, 0.2}, {0.6, 0.2, 0.2}},
        ReadCase{"BoundsInside", kSub, false, {0.5, 0.5, 0}, {0.4, 0.4, 0.2}, {0.4, 0.4, 0.2}},
        // The scales show the bounds, the model saw the whole triangle.
        ReadCase{"ScalesOnly", kSub, true, {0.5, 0.5, 0}, {0.4, 0.4, 0.2}, {0.5, 0.5, 0}},
        ReadCase{"ScalesOnlyCorner", kSub, true, {0, 0, 1}, {0.2, 0.2, 0.6}, {0, 0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureMapping, NothingOutsideTheTriangle) {
    const TIsolineSet set = DefaultSet();
    const auto mapping = PictureMapping::ForSet(set, 800, 740, 1.0, kUnit, false);
    ASSERT_TRUE(mapping);
    const PictureXY outside[] = {{400, 43}, {400, 645}, {0, 0}, {799, 739}, {230, 300}};
    for (const PictureXY& p : outside) {
        EXPECT_FALSE(mapping->WeightsAt(p)) << p.x << ", " << p.y;
    }
    EXPECT_TRUE(mapping->WeightsAt({400, 44}));
    EXPECT_TRUE(mapping->WeightsAt({400, 644}));
}

TEST(PictureMapping, FollowsTheZoomAboutThePictureCentre) {
    const TIsolineSet set = DefaultSet();
    const auto mapping = PictureMapping::ForSet(set, 800, 740, 0.95, kUnit, false);
    ASSERT_TRUE(mapping);
    // The renderer draws corner A at (400, 60.3) with this zoom.
    const std::optional<Weights> top = mapping->WeightsAt({400, 60.3});
    ASSERT_TRUE(top);
    EXPECT_NEAR((*top)[0], 1, 1e-6);
    EXPECT_FALSE(mapping->WeightsAt({400, 50}));
    const PictureXY a = mapping->PointAt({1, 0, 0});
    EXPECT_NEAR(a.x, 400, 1e-3);
    EXPECT_NEAR(a.y, 60.3, 1e-3);
}

TEST(PictureMapping, ATriangleWithoutExtentHasNoMapping) {
    TIsolineSet set = DefaultSet();
    set.Vertices[1] = set.Vertices[0];
    EXPECT_FALSE(PictureMapping::ForSet(set, 800, 740, 1.0, kUnit, false));
    EXPECT_FALSE(PictureMapping::ForSet(DefaultSet(), 800, 740, 0.0, kUnit, false));
}

TEST(PictureMapping, ModelMixtureLeadsBackToItsWeights) {
    const TIsolineSet set = DefaultSet();
    const auto mapping = PictureMapping::ForSet(set, 800, 740, 1.0, kSub, false);
    ASSERT_TRUE(mapping);
    for (const Weights& w : {Weights{1, 0, 0}, Weights{0.2, 0.3, 0.5}, Weights{0, 0.75, 0.25}}) {
        const std::optional<Weights> back =
            mapping->WeightsOfModelMixture(mapping->ModelMixture(w));
        ASSERT_TRUE(back);
        ExpectMixture(*back, w, "weights");
    }
    // Corners that coincide span nothing to find weights on.
    const float same[9] = {0.2f, 0.3f, 0.5f, 0.2f, 0.3f, 0.5f, 0.2f, 0.3f, 0.5f};
    const auto flat = PictureMapping::ForSet(set, 800, 740, 1.0, same, false);
    ASSERT_TRUE(flat);
    EXPECT_FALSE(flat->WeightsOfModelMixture({0.2, 0.3, 0.5}));
}

double DistanceToLine(PictureXY p, PictureXY a, PictureXY b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    return ((p.x - a.x) * dy - (p.y - a.y) * dx) / std::hypot(dx, dy);
}

TEST(PictureMapping, GuideLinesKeepTheirShareThenFollowTheTickOut) {
    const TIsolineSet set = DefaultSet();
    const auto mapping = PictureMapping::ForSet(set, 800, 740, 1.0, kUnit, false);
    ASSERT_TRUE(mapping);
    const Weights w{0.2, 0.3, 0.5};
    const PictureXY v[3] = {mapping->PointAt({1, 0, 0}), mapping->PointAt({0, 1, 0}),
                            mapping->PointAt({0, 0, 1})};
    const double reach = 30;
    const auto lines = mapping->GuideLines(w, reach);
    for (int k = 0; k < 3; ++k) {
        const PictureXY& a = v[k];
        const PictureXY& b = v[(k + 1) % 3];
        const PictureXY& c = v[(k + 2) % 3];
        const GuideLine& line = lines[k];
        EXPECT_NEAR(line.from.x, mapping->PointAt(w).x, 1e-9);
        // Side k→k+1 is reached where its outer scale reads component k.
        const std::optional<Weights> met = mapping->WeightsAt(line.side);
        ASSERT_TRUE(met) << k;
        EXPECT_NEAR((*met)[k], w[k], 1e-9) << k;
        EXPECT_NEAR((*met)[(k + 2) % 3], 0, 1e-9) << k;
        // Up to the side the share does not change: the line runs along the opposite side.
        const double across =
            (line.side.x - line.from.x) * (c.y - b.y) - (line.side.y - line.from.y) * (c.x - b.x);
        EXPECT_NEAR(across, 0, 1e-6) << k;
        // Then out, square to the side, to the tick's outer end (the interior lies at negative
        // distances).
        EXPECT_NEAR(DistanceToLine(line.to, a, b), reach, 1e-6) << k;
        EXPECT_NEAR(std::hypot(line.to.x - line.side.x, line.to.y - line.side.y), reach, 1e-6);
    }
}

TEST(PictureMapping, ScaleReachFollowsTheAxesFactors) {
    const NumberText numbers(',');
    AppearanceSettings settings = AppearanceSettings::Defaults(numbers);
    // Defaults: axis offset 1,4 and tick 1,3 of a twentieth of the side.
    EXPECT_NEAR(ScaleReach(settings, numbers, 400), 400 * 0.07 + 400 * 1.3 / 80, 1e-9);
    settings.CBAxes = false;
    EXPECT_EQ(ScaleReach(settings, numbers, 400), 0);
    settings.CBAxes = true;
    settings.Eaoscale = "1.4";  // a full stop in a comma locale does not parse
    EXPECT_EQ(ScaleReach(settings, numbers, 400), 0);
    ASSERT_TRUE(DrawnZoom(settings, numbers));
    EXPECT_NEAR(*DrawnZoom(settings, numbers), 0.95, 1e-6);
    EXPECT_FALSE(DrawnZoom(settings, NumberText('.')));
}

}  // namespace
}  // namespace isotri
