#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "companion/zorb_lib.h"
#include "support/IsolineAccuracy.h"

namespace {

using isotri::gen::MeasureAccuracy;
using isotri::gen::ModelFunction;

// The callback carries no context: the model under test lives here.
ModelFunction gModel;
std::vector<std::array<double, 3>> gCalls;

void Evaluate(const double* x1, const double* x2, const double* x3, double* result) {
    gCalls.push_back({*x1, *x2, *x3});
    *result = gModel(*x1, *x2, *x3);
}

using SetPtr = std::unique_ptr<TIsolineSet, void (*)(TIsolineSet*)>;

struct Picture {
    int width = 800;
    int height = 740;
};

SetPtr Generate(ModelFunction model, int lines, Picture picture = {},
                const float* bounds = nullptr) {
    gModel = std::move(model);
    gCalls.clear();
    TPoint3f center{0.5f * picture.width, 0.6f * picture.height, 0};
    float size = 0.5f * picture.width;
    float angle = -1.5707964f;
    return SetPtr(ppCreateTriangularTHK(&center, &size, &angle, bounds, Evaluate, lines, 0),
                  ppFree);
}

struct P {
    double x, y;
};

P PointOf(const TIsolineLevel& level, int piece, int k) {
    const TPoint3f& p = level.Points[level.PolylineIndexes[piece][k]];
    return {p.X, p.Y};
}

// Distance of p from the nearest side of the set's triangle.
double DistanceToBoundary(const TIsolineSet& set, P p) {
    double best = INFINITY;
    for (int k = 0; k < 3; ++k) {
        P a{set.Vertices[k].X, set.Vertices[k].Y};
        P b{set.Vertices[(k + 1) % 3].X, set.Vertices[(k + 1) % 3].Y};
        double dx = b.x - a.x, dy = b.y - a.y;
        double t =
            std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
    return best;
}

// Shape rules every set keeps: pieces with extent, no repeated consecutive vertex, closed
// pieces closed, open pieces ending on the boundary (unless the model has holes).
void ExpectWellFormed(const TIsolineSet& set, bool openEndsOnBoundary = true) {
    ASSERT_NE(set.Levels, nullptr);
    for (int k = 0; k < set.LevelCount; ++k) {
        const TIsolineLevel& level = *set.Levels[k];
        for (int j = 0; j < level.PolylineCount; ++j) {
            int n = level.PolylineLengths[j];
            ASSERT_GE(n, 2) << "level " << k << " piece " << j;
            for (int i = 1; i < n; ++i) {
                P a = PointOf(level, j, i - 1), b = PointOf(level, j, i);
                EXPECT_FALSE(a.x == b.x && a.y == b.y) << "level " << k << " piece " << j;
            }
            bool closed = level.PolylineIndexes[j][0] == level.PolylineIndexes[j][n - 1];
            if (closed) {
                EXPECT_GE(n, 4);
            } else if (openEndsOnBoundary) {
                EXPECT_LT(DistanceToBoundary(set, PointOf(level, j, 0)), 0.05);
                EXPECT_LT(DistanceToBoundary(set, PointOf(level, j, n - 1)), 0.05);
            }
        }
    }
}

int ClosedPieces(const TIsolineLevel& level) {
    int closed = 0;
    for (int j = 0; j < level.PolylineCount; ++j) {
        int n = level.PolylineLengths[j];
        closed += level.PolylineIndexes[j][0] == level.PolylineIndexes[j][n - 1];
    }
    return closed;
}

double Cubic(double x1, double x2, double x3) {
    return 3.1 * x1 + 1.2 * x2 + 2.4 * x3 + 4.5 * x1 * x2 - 6.0 * x1 * x3 + 2.2 * x2 * x3 +
           7.5 * x1 * x2 * (x1 - x2) - 3.0 * x1 * x3 * (x1 - x3) + 5.0 * x2 * x3 * (x2 - x3) +
           20.0 * x1 * x2 * x3;
}

double Circle(double x1, double x2, double) {
    return (x1 - 1 / 3.0) * (x1 - 1 / 3.0) + (x2 - 1 / 3.0) * (x2 - 1 / 3.0);
}

double Ripple(double x1, double x2, double) {
    return std::sin(9 * x1) * std::cos(7 * x2);
}

TEST(IsolineGenerator, PlacesTheTriangleAroundTheCentre) {
    struct Case {
        Picture picture;
        P v0, v1, v2;
    } cases[] = {
        {{800, 740}, {400, 44}, {746.4102, 644}, {53.5898, 644}},
        {{1000, 500}, {500, -200}, {933.0127, 550}, {66.98730, 550}},
    };
    for (const Case& c : cases) {
        SetPtr set = Generate([](double x1, double, double) { return x1; }, 1, c.picture);
        ASSERT_TRUE(set);
        P expected[3] = {c.v0, c.v1, c.v2};
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(set->Vertices[k].X, expected[k].x, 1e-3) << k;
            EXPECT_NEAR(set->Vertices[k].Y, expected[k].y, 1e-3) << k;
            EXPECT_EQ(set->Vertices[k].Z, 0.0f);
        }
    }
}

TEST(IsolineGenerator, ChoosesEquallySpacedLevelsAndClampsTheirCount) {
    struct Case {
        int requested, expected;
    } cases[] = {{4, 4}, {1, 1}, {0, 1}, {-7, 1}, {50, 50}, {51, 50}, {1000, 50}};
    for (const Case& c : cases) {
        SetPtr set = Generate([](double x1, double, double) { return 2 * x1 - 1; }, c.requested);
        ASSERT_TRUE(set);
        ASSERT_EQ(set->LevelCount, c.expected) << c.requested;
        for (int k = 0; k < c.expected; ++k) {
            const TIsolineLevel& level = *set->Levels[k];
            EXPECT_NEAR(level.Value, -1 + 2.0 * (k + 1) / (c.expected + 1), 1e-12);
            for (int j = 0; j < level.PolylineCount; ++j) {
                EXPECT_EQ(std::strtod(level.Labels[j].Text, nullptr), level.Value);
            }
        }
    }
}

TEST(IsolineGenerator, MapsThePictureThroughTheBounds) {
    const float bounds[9] = {0.2f, 0.5f, 0.3f, 0.6f, 0.1f, 0.3f, 0.1f, 0.1f, 0.8f};
    SetPtr set = Generate(Cubic, 5, {}, bounds);
    ASSERT_TRUE(set);
    // Every mixture asked for is a convex combination of the corners: it sums to 1 and each
    // share stays within the corners' range.
    for (const auto& m : gCalls) {
        EXPECT_NEAR(m[0] + m[1] + m[2], 1.0, 1e-6);
        EXPECT_GE(m[0], 0.1 - 1e-7);
        EXPECT_LE(m[0], 0.6 + 1e-7);
        EXPECT_GE(m[2], 0.3 - 1e-7);
    }
    // Each stored mixture is the one of its picture point: weights on the placed triangle.
    const TPoint3f* v = set->Vertices;
    double det = (v[1].X - v[0].X) * (v[2].Y - v[0].Y) - (v[1].Y - v[0].Y) * (v[2].X - v[0].X);
    for (int k = 0; k < set->LevelCount; ++k) {
        const TIsolineLevel& level = *set->Levels[k];
        ASSERT_GT(level.PolylineCount, 0);
        for (int j = 0; j < level.PolylineCount; ++j) {
            for (int i = 0; i < level.PolylineLengths[j]; ++i) {
                int index = level.PolylineIndexes[j][i];
                P p = PointOf(level, j, i);
                double u =
                    ((p.x - v[0].X) * (v[2].Y - v[0].Y) - (p.y - v[0].Y) * (v[2].X - v[0].X)) / det;
                double w =
                    ((v[1].X - v[0].X) * (p.y - v[0].Y) - (v[1].Y - v[0].Y) * (p.x - v[0].X)) / det;
                for (int c = 0; c < 3; ++c) {
                    double expected =
                        (1 - u - w) * bounds[c] + u * bounds[3 + c] + w * bounds[6 + c];
                    EXPECT_NEAR(level.Mixtures[3 * index + c], expected, 1e-5);
                }
            }
        }
    }
    EXPECT_LE(MeasureAccuracy(*set, bounds, Cubic).vertex, 0.05);
}

TEST(IsolineGenerator, LinearModelGivesStraightOpenLines) {
    SetPtr set = Generate([](double x1, double x2, double) { return x1 + 0.5 * x2; }, 7);
    ASSERT_TRUE(set);
    ExpectWellFormed(*set);
    for (int k = 0; k < set->LevelCount; ++k) {
        const TIsolineLevel& level = *set->Levels[k];
        ASSERT_EQ(level.PolylineCount, 1) << k;
        EXPECT_EQ(ClosedPieces(level), 0);
    }
    auto accuracy =
        MeasureAccuracy(*set, nullptr, [](double x1, double x2, double) { return x1 + 0.5 * x2; });
    EXPECT_LE(accuracy.vertex, 0.05);
    EXPECT_LE(accuracy.chord, 0.05);
}

TEST(IsolineGenerator, MeetsTheAccuracyAtEveryPictureSize) {
    struct Case {
        const char* name;
        ModelFunction model;
        int lines;
    } cases[] = {
        {"circle", Circle, 12},
        {"cubic", Cubic, 12},
        {"ripple", Ripple, 8},
        // Odd counts: the middle level lies a hair from the value of both saddles.
        {"ripple through its saddles", Ripple, 7},
        {"ripple a little off its saddles", Ripple, 3},
    };
    for (const Case& c : cases) {
        for (int width : {32, 101, 800, 2048}) {
            SetPtr set = Generate(c.model, c.lines, {width, width});
            ASSERT_TRUE(set);
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(width));
            ExpectWellFormed(*set);
            auto accuracy = MeasureAccuracy(*set, nullptr, c.model);
            EXPECT_LE(accuracy.vertex, 0.05) << c.name << " at " << width;
            EXPECT_LE(accuracy.chord, 0.25) << c.name << " at " << width;
        }
    }
}

TEST(IsolineGenerator, CirclesInMixtureSpaceAreClosedLoops) {
    SetPtr set = Generate(Circle, 12);
    ASSERT_TRUE(set);
    // The lowest level lies wholly inside the triangle; the highest meet its sides.
    EXPECT_EQ(ClosedPieces(*set->Levels[0]), 1);
    EXPECT_EQ(set->Levels[0]->PolylineCount, 1);
    EXPECT_EQ(ClosedPieces(*set->Levels[11]), 0);
    ExpectWellFormed(*set);
}

TEST(IsolineGenerator, SaddleLevelThroughGridVerticesHasNoGaps) {
    // Level 0 is the pair of lines x2 = 1/4 and x3 = 1/4, crossing at the saddle; both fall on
    // grid vertices, with values exactly on the level.
    auto saddle = [](double, double x2, double x3) { return (x2 - 0.25) * (x3 - 0.25); };
    SetPtr set = Generate(saddle, 3);
    ASSERT_TRUE(set);
    ExpectWellFormed(*set);
    const TIsolineLevel& zero = *set->Levels[2];
    ASSERT_EQ(zero.Value, 0.0);
    // Distance from the cross, with weights on the placed triangle (altitude 600 px).
    const TPoint3f* v = set->Vertices;
    auto weights = [&](P p, double& u, double& w) {
        double det = (v[1].X - v[0].X) * (v[2].Y - v[0].Y) - (v[1].Y - v[0].Y) * (v[2].X - v[0].X);
        u = ((p.x - v[0].X) * (v[2].Y - v[0].Y) - (p.y - v[0].Y) * (v[2].X - v[0].X)) / det;
        w = ((v[1].X - v[0].X) * (p.y - v[0].Y) - (v[1].Y - v[0].Y) * (p.x - v[0].X)) / det;
    };
    std::vector<std::pair<P, P>> chords;
    for (int j = 0; j < zero.PolylineCount; ++j) {
        for (int i = 0; i < zero.PolylineLengths[j]; ++i) {
            double u, w;
            weights(PointOf(zero, j, i), u, w);
            EXPECT_LT(std::min(std::fabs(u - 0.25), std::fabs(w - 0.25)) * 600, 0.05);
            if (i > 0) {
                chords.push_back({PointOf(zero, j, i - 1), PointOf(zero, j, i)});
            }
        }
    }
    // Every point of the cross is covered by some chord.
    auto covered = [&](P q) {
        for (auto [a, b] : chords) {
            double dx = b.x - a.x, dy = b.y - a.y;
            double t =
                std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            if (std::hypot(q.x - a.x - t * dx, q.y - a.y - t * dy) < 0.1) {
                return true;
            }
        }
        return false;
    };
    auto at = [&](double u, double w) {
        return P{v[0].X + u * (v[1].X - v[0].X) + w * (v[2].X - v[0].X),
                 v[0].Y + u * (v[1].Y - v[0].Y) + w * (v[2].Y - v[0].Y)};
    };
    for (double s = 0; s <= 0.75; s += 0.01) {
        EXPECT_TRUE(covered(at(0.25, s))) << "x2 = 1/4 at x3 = " << s;
        EXPECT_TRUE(covered(at(s, 0.25))) << "x3 = 1/4 at x2 = " << s;
    }
}

TEST(IsolineGenerator, LeavesOutPointsWhereTheModelIsNotFinite) {
    struct Case {
        const char* name;
        ModelFunction model;
    } cases[] = {
        {"hole", [](double x1, double x2, double) { return x1 < 0.3 ? NAN : x2 + x1 * x1; }},
        {"pole", [](double x1, double x2, double) { return 1 / x1 + 3 * x2; }},
        {"infinite corner",
         [](double x1, double x2, double) { return x2 > 0.9 ? INFINITY : x1 - x2; }},
    };
    for (const Case& c : cases) {
        SetPtr set = Generate(c.model, 6);
        ASSERT_TRUE(set) << c.name;
        ExpectWellFormed(*set, false);
        int pieces = 0;
        for (int k = 0; k < set->LevelCount; ++k) {
            pieces += set->Levels[k]->PolylineCount;
        }
        EXPECT_GT(pieces, 0) << c.name;
        auto accuracy = MeasureAccuracy(*set, nullptr, c.model, 0);
        EXPECT_LE(accuracy.vertex, 0.05) << c.name;
    }
}

TEST(IsolineGenerator, EndsLinesCleanlyAtAPole) {
    // The sign change across the pole is no crossing: every vertex lies on its level.
    auto pole = [](double x1, double x2, double) { return 0.3 / (x1 - 0.4) + 2 * x2; };
    for (int width : {800, 2048}) {
        SetPtr set = Generate(pole, 5, {width, width});
        ASSERT_TRUE(set);
        ExpectWellFormed(*set, false);
        auto accuracy = MeasureAccuracy(*set, nullptr, pole, 0);
        EXPECT_LE(accuracy.vertex, 0.05) << width;
        ASSERT_GE(set->LevelCount, 2);
        double spacing = set->Levels[1]->Value - set->Levels[0]->Value;
        for (int k = 0; k < set->LevelCount; ++k) {
            const TIsolineLevel& level = *set->Levels[k];
            for (int j = 0; j < level.PolylineCount; ++j) {
                for (int i = 0; i < level.PolylineLengths[j]; ++i) {
                    const double* m = &level.Mixtures[3 * level.PolylineIndexes[j][i]];
                    EXPECT_NEAR(pole(m[0], m[1], m[2]), level.Value, 0.01 * spacing)
                        << width << " level " << k;
                }
            }
        }
    }
}

// Becker's homogeneous models: H1 (minima) has lines with corners, H3 (roots) has slopes that
// grow without bound at the sides.
double BeckerH1(double x1, double x2, double x3) {
    return -9.02 * x1 + 16.86 * x2 + 3.21 * x3 - 0.41 * std::min(x1, x2) + 4.48 * std::min(x1, x3) -
           19.66 * std::min(x2, x3) + 7.15 * std::min({x1, x2, x3});
}

double BeckerH3(double x1, double x2, double x3) {
    return -18.7 * x1 + 17.74 * x2 - 17.18 * x3 + 14.72 * std::sqrt(x1 * x2) -
           1.88 * std::sqrt(x1 * x3) + 10.17 * std::sqrt(x2 * x3) - 8.75 * std::cbrt(x1 * x2 * x3);
}

TEST(IsolineGenerator, KeepsCornersAndReachesTheSides) {
    struct Case {
        const char* name;
        ModelFunction model;
        int lines;
    } cases[] = {
        // A tip of a line used to be cut off by 18 px.
        {"H1 corners", BeckerH1, 15},
        // A line used to stop 7 px short of the side, where a share came out a rounding step
        // below zero and its root was not a number.
        {"H3 steep at the sides", BeckerH3, 9},
    };
    for (const Case& c : cases) {
        for (int width : {800, 2048}) {
            SetPtr set = Generate(c.model, c.lines, {width, width});
            ASSERT_TRUE(set);
            ExpectWellFormed(*set);
            auto accuracy = MeasureAccuracy(*set, nullptr, c.model);
            EXPECT_LE(accuracy.vertex, 0.05) << c.name << " at " << width;
            EXPECT_LE(accuracy.chord, 0.25) << c.name << " at " << width;
        }
    }
}

TEST(IsolineGenerator, FindsTheModelsTrueExtremes) {
    constexpr double kAny = NAN;  // the extreme is reached at several points
    struct Case {
        const char* name;
        ModelFunction model;
        double min, minX1, minX2, max, maxX1, maxX2;
    } cases[] = {
        // The lattice alone gives -0.039688 at (0.3125, 0.3125, 0.375).
        {"ring",
         [](double x1, double x2, double) {
             return (x1 - 0.3) * (x1 - 0.3) + (x2 - 0.3) * (x2 - 0.3) - 0.04;
         },
         -0.04, 0.3, 0.3, 0.54, kAny, kAny},
        {"corners", [](double x1, double x2, double) { return x1 + 0.5 * x2; }, 0, 0, 0, 1, 1, 0},
        {"peak on a side",
         [](double x1, double, double x3) { return -(x1 - 0.55) * (x1 - 0.55) - x3; }, -1.3025, 0,
         0, 0, 0.55, 0.45},
        // A wave far faster than the lattice: the lattice alone sees values in [-0.87, 0].
        {"fast wave",
         [](double x1, double x2, double) { return std::sin(200 * x1) * std::cos(200 * x2); }, -1,
         kAny, kAny, 1, kAny, kAny},
    };
    for (const Case& c : cases) {
        SetPtr set = Generate(c.model, 5);
        ASSERT_TRUE(set) << c.name;
        EXPECT_NEAR(set->MinValue, c.min, 1e-9) << c.name;
        EXPECT_NEAR(set->MaxValue, c.max, 1e-9) << c.name;
        EXPECT_NEAR(set->Levels[0]->Value, c.min + (c.max - c.min) / 6, 1e-8) << c.name;
        struct {
            double value;
            const double* at;
            double x1, x2;
        } ends[] = {{set->MinValue, set->MinMixture, c.minX1, c.minX2},
                    {set->MaxValue, set->MaxMixture, c.maxX1, c.maxX2}};
        for (const auto& e : ends) {
            EXPECT_NEAR(e.at[0] + e.at[1] + e.at[2], 1.0, 1e-12) << c.name;
            EXPECT_EQ(c.model(e.at[0], e.at[1], e.at[2]), e.value) << c.name;
            if (!std::isnan(e.x1)) {
                EXPECT_NEAR(e.at[0], e.x1, 1e-5) << c.name;
                EXPECT_NEAR(e.at[1], e.x2, 1e-5) << c.name;
            }
            // The extreme was asked through the callback, so whoever tracks the evaluated
            // values (the batch run) sees it too.
            bool asked = std::any_of(gCalls.begin(), gCalls.end(), [&](const auto& m) {
                return m[0] == e.at[0] && m[1] == e.at[1] && m[2] == e.at[2];
            });
            EXPECT_TRUE(asked) << c.name;
        }
        // Extremes on the sides and at the corners are found without stepping outside.
        for (const auto& m : gCalls) {
            ASSERT_TRUE(m[0] >= 0 && m[1] >= 0 && m[2] >= 0) << c.name;
        }
    }
}

TEST(IsolineGenerator, LevelsDoNotDependOnThePictureSize) {
    auto hard = [](double x1, double x2, double) {
        double dx = x1 - 0.35, dy = x2 - 0.3;
        return std::exp(-(dx * dx + dy * dy) / 0.003) + 0.5 * std::sin(14 * x1 + 9 * x2 * x2);
    };
    SetPtr reference = Generate(hard, 7, {800, 740});
    ASSERT_TRUE(reference);
    for (Picture picture : {Picture{32, 32}, Picture{2048, 2048}, Picture{0, 0}}) {
        SetPtr set = Generate(hard, 7, picture);
        ASSERT_TRUE(set);
        EXPECT_EQ(set->MinValue, reference->MinValue);
        EXPECT_EQ(set->MaxValue, reference->MaxValue);
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(set->Levels[k]->Value, reference->Levels[k]->Value) << picture.width;
        }
    }
}

TEST(IsolineGenerator, KeepsExtremesFiniteAndEndsOnHardModels) {
    struct Case {
        const char* name;
        ModelFunction model;
    } cases[] = {
        {"NaN but on a strip",
         [](double x1, double x2, double) { return std::fabs(x1 - 0.5) < 0.01 ? x2 : NAN; }},
        {"infinite on a side",
         [](double x1, double x2, double) { return x1 == 0 ? INFINITY : x2; }},
        {"pole inside", [](double x1, double x2, double) { return 0.3 / (x1 - 0.4) + 2 * x2; }},
        {"constant but at one point",
         [](double x1, double x2, double) { return x1 == 0.5 && x2 == 0.25 ? 1.0 : 0.0; }},
    };
    for (const Case& c : cases) {
        SetPtr set = Generate(c.model, 5);
        if (!set) {
            continue;  // nothing to draw is an answer too
        }
        EXPECT_TRUE(std::isfinite(set->MinValue)) << c.name;
        EXPECT_TRUE(std::isfinite(set->MaxValue)) << c.name;
        EXPECT_LT(gCalls.size(), 2'000'000u) << c.name;
        ExpectWellFormed(*set, false);
    }
}

TEST(IsolineGenerator, ReturnsNoSetWithoutAnythingToDraw) {
    struct Case {
        const char* name;
        ModelFunction model;
    } cases[] = {
        {"constant", [](double, double, double) { return 4.0; }},
        {"constant by rounding",
         [](double x1, double x2, double x3) { return 0.1 * x1 + 0.1 * x2 + 0.1 * x3; }},
        {"NaN everywhere", [](double, double, double) { return NAN; }},
        {"zero", [](double, double, double) { return 0.0; }},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Generate(c.model, 5)) << c.name;
    }
    // All three corners one mixture: the model cannot vary.
    const float point[9] = {0.2f, 0.3f, 0.5f, 0.2f, 0.3f, 0.5f, 0.2f, 0.3f, 0.5f};
    EXPECT_FALSE(Generate(Cubic, 5, {}, point));
}

TEST(IsolineGenerator, SurvivesBadArguments) {
    gModel = Cubic;
    TPoint3f center{400, 444, 0};
    float size = 400, angle = -1.5707964f;
    EXPECT_EQ(ppCreateTriangularTHK(nullptr, &size, &angle, nullptr, Evaluate, 5, 0), nullptr);
    EXPECT_EQ(ppCreateTriangularTHK(&center, nullptr, &angle, nullptr, Evaluate, 5, 0), nullptr);
    EXPECT_EQ(ppCreateTriangularTHK(&center, &size, &angle, nullptr, nullptr, 5, 0), nullptr);
    float nan = NAN;
    EXPECT_EQ(ppCreateTriangularTHK(&center, &nan, &angle, nullptr, Evaluate, 5, 0), nullptr);

    // A triangle of no size still has levels, but nothing to draw.
    float zero = 0;
    SetPtr flat(ppCreateTriangularTHK(&center, &zero, &angle, nullptr, Evaluate, 5, 0), ppFree);
    ASSERT_TRUE(flat);
    for (int k = 0; k < flat->LevelCount; ++k) {
        EXPECT_EQ(flat->Levels[k]->PolylineCount, 0);
    }
    // Two corners alike: the sub-triangle is a segment, the model still varies along it.
    const float segment[9] = {1, 0, 0, 0, 1, 0, 0, 1, 0};
    SetPtr thin = Generate(Cubic, 5, {}, segment);
    ASSERT_TRUE(thin);
    ExpectWellFormed(*thin);
    // A picture far beyond any screen ends in bounded time.
    float huge = 1e7f;
    gCalls.clear();
    SetPtr big(ppCreateTriangularTHK(&center, &huge, &angle, nullptr, Evaluate, 3, 0), ppFree);
    ASSERT_TRUE(big);
    EXPECT_LT(gCalls.size(), 3'000'000u);
}

TEST(IsolineGenerator, DefaultPlotStaysWithinItsEvaluationBudget) {
    SetPtr set = Generate(Cubic, 5);
    ASSERT_TRUE(set);
    EXPECT_LE(gCalls.size(), 20'000u);
}

}  // namespace
