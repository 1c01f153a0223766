#include "companion/LevelLabels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

using isotri::gen::LevelText;
using isotri::gen::PlaceLabels;
using isotri::gen::TracedPiece;
using isotri::gen::Vec2;

TEST(LevelLabels, TextReadsBackTheExactLevel) {
    struct Case {
        double value;
        const char* text;  // null: only the round trip is checked
    } cases[] = {{0.125, "0.125"},    {-2.5, "-2.5"},  {3, "3"},
                 {1.0 / 3, nullptr},  {1e-7, nullptr}, {2e21, nullptr},
                 {0.1 + 0.2, nullptr}};
    for (const Case& c : cases) {
        std::string text = LevelText(c.value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), c.value) << text;
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        EXPECT_LT(text.size(), 64u);
        if (c.text != nullptr) {
            EXPECT_EQ(text, c.text);
        }
    }
}

TracedPiece Line(Vec2 a, Vec2 b, int points) {
    TracedPiece piece;
    for (int k = 0; k < points; ++k) {
        piece.points.push_back(a + (double(k) / (points - 1)) * (b - a));
        piece.mixtures.push_back({0, 0, 0});
    }
    return piece;
}

const std::array<Vec2, 3> kTriangle = {Vec2{400, 44}, Vec2{746.41, 644}, Vec2{53.59, 644}};

TEST(LevelLabels, StraightPieceIsLabelledShortOneIsNot) {
    std::vector<std::vector<TracedPiece>> levels = {
        {Line({200, 500}, {600, 500}, 41), Line({390, 300}, {410, 300}, 3)}};
    auto labels = PlaceLabels(kTriangle, levels, {0.5});
    ASSERT_EQ(labels[0].size(), 2u);
    EXPECT_EQ(labels[0][0].Flags & kNoLabel, 0);
    EXPECT_NEAR(labels[0][0].Y, 500, 1e-3);
    EXPECT_NEAR(labels[0][0].X, 400, 40);  // towards the middle
    EXPECT_STREQ(labels[0][0].Text, "0.5");
    EXPECT_NE(labels[0][1].Flags & kNoLabel, 0);
    EXPECT_STREQ(labels[0][1].Text, "0.5");
}

TEST(LevelLabels, PieceHuggingAnEdgeHasNoPlace) {
    // Along the bottom side, 3 px inside: a label box cannot stay clear of the edge.
    std::vector<std::vector<TracedPiece>> levels = {{Line({100, 641}, {700, 641}, 61)}};
    auto labels = PlaceLabels(kTriangle, levels, {1});
    EXPECT_NE(labels[0][0].Flags & kNoLabel, 0);
}

// A closed piece of straight sides, a point every `spacing` px, starting at its first corner.
TracedPiece Loop(const std::vector<Vec2>& corners, double spacing) {
    TracedPiece piece;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        Vec2 a = corners[k], b = corners[(k + 1) % corners.size()];
        int n = static_cast<int>(isotri::gen::Length(b - a) / spacing);
        for (int j = 0; j < n; ++j) {
            piece.points.push_back(a + (double(j) / n) * (b - a));
        }
    }
    piece.points.push_back(corners[0]);
    piece.mixtures.resize(piece.points.size());
    piece.closed = true;
    return piece;
}

// Every eighth place of the short upright piece is under the longer piece's label, so all places
// are tried down the piece. Where the box is stuck it may pass over only as many places as it
// needs to move up or down to come free, not sideways, or it would jump the first free place,
// the one nearest the middle.
TEST(LevelLabels, BoxStuckOnALabelFindsTheFreePlaceNearestTheMiddle) {
    std::vector<std::vector<TracedPiece>> levels = {
        {Line({300, 450}, {500, 450}, 41), Line({430, 418}, {430, 518}, 21)}};
    auto labels = PlaceLabels(kTriangle, levels, {1});
    const TLevelLabel& other = labels[0][0];
    const TLevelLabel& label = labels[0][1];
    ASSERT_EQ(other.Flags & kNoLabel, 0);
    ASSERT_GT(std::fabs(other.X - 430), 30);  // the other box holds none of the piece's points
    ASSERT_LT(std::fabs(other.X - 430), 36);  // sideways the box needs more than the 30 px below
    ASSERT_EQ(label.Flags & kNoLabel, 0);
    double expected = 448;  // places 3 px apart from 30 px past the start
    while (std::fabs(expected - other.Y) < 30) {
        expected += 3;
    }
    EXPECT_NEAR(label.X, 430, 1e-3);
    EXPECT_NEAR(label.Y, expected, 1e-3);
}

TEST(LevelLabels, BrokenPiecesGetNoLabelAndSpareTheOthers) {
    TracedPiece empty;
    TracedPiece endless = Line({200, 500}, {600, 500}, 41);
    endless.points[20].x = INFINITY;
    TracedPiece endlessLoop = Loop({{300, 400}, {500, 400}, {500, 450}, {300, 450}}, 5);
    endlessLoop.points[3].y = -INFINITY;
    TracedPiece undefined = Line({200, 500}, {600, 500}, 41);
    undefined.points[5].y = NAN;
    for (const TracedPiece& broken : {empty, endless, endlessLoop, undefined}) {
        std::vector<std::vector<TracedPiece>> levels = {{broken},
                                                        {Line({200, 300}, {600, 300}, 41)}};
        auto labels = PlaceLabels(kTriangle, levels, {1, 2});
        EXPECT_NE(labels[0][0].Flags & kNoLabel, 0);
        EXPECT_EQ(labels[1][0].Flags & kNoLabel, 0);
    }
}

TEST(LevelLabels, LevelsWithoutValuesAreRefused) {
    std::vector<std::vector<TracedPiece>> levels = {{Line({200, 300}, {600, 300}, 41)},
                                                    {Line({200, 500}, {600, 500}, 41)}};
    EXPECT_THROW(PlaceLabels(kTriangle, levels, {1}), std::invalid_argument);
}

// The labels of a generated set: inside the triangle, apart, each on its own piece.
double Cubic(double x1, double x2, double x3) {
    return 3.1 * x1 + 1.2 * x2 + 2.4 * x3 + 4.5 * x1 * x2 - 6.0 * x1 * x3 + 2.2 * x2 * x3 +
           7.5 * x1 * x2 * (x1 - x2) - 20.0 * x1 * x2 * x3;
}

void Evaluate(const double* x1, const double* x2, const double* x3, double* r) {
    *r = Cubic(*x1, *x2, *x3);
}

TEST(LevelLabels, GeneratedLabelsStayInsideApartAndOnTheirPieces) {
    for (int lines : {5, 20}) {
        TPoint3f center{400, 444, 0};
        float size = 400, angle = -1.5707964f;
        std::unique_ptr<TIsolineSet, void (*)(TIsolineSet*)> set(
            ppCreateTriangularTHK(&center, &size, &angle, nullptr, Evaluate, lines, 0), ppFree);
        ASSERT_TRUE(set);
        std::vector<Vec2> placed;
        for (int k = 0; k < set->LevelCount; ++k) {
            const TIsolineLevel& level = *set->Levels[k];
            for (int j = 0; j < level.PolylineCount; ++j) {
                const TLevelLabel& label = level.Labels[j];
                if (label.Flags & kNoLabel) {
                    continue;
                }
                Vec2 c{label.X, label.Y};
                for (int corner = 0; corner < 4; ++corner) {
                    Vec2 p{c.x + (corner & 1 ? 30 : -30), c.y + (corner & 2 ? 12 : -12)};
                    for (int s = 0; s < 3; ++s) {
                        Vec2 a{set->Vertices[s].X, set->Vertices[s].Y};
                        Vec2 b{set->Vertices[(s + 1) % 3].X, set->Vertices[(s + 1) % 3].Y};
                        EXPECT_GT(isotri::gen::Cross(b - a, p - a), 0) << "label outside";
                    }
                }
                for (Vec2 o : placed) {
                    EXPECT_TRUE(std::fabs(o.x - c.x) >= 60 || std::fabs(o.y - c.y) >= 24)
                        << "labels overlap at " << c.x << "," << c.y;
                }
                placed.push_back(c);
                double nearest = INFINITY;
                for (int i = 1; i < level.PolylineLengths[j]; ++i) {
                    const TPoint3f& p = level.Points[level.PolylineIndexes[j][i - 1]];
                    const TPoint3f& q = level.Points[level.PolylineIndexes[j][i]];
                    Vec2 a{p.X, p.Y}, d = Vec2{q.X, q.Y} - a;
                    double t =
                        std::clamp(isotri::gen::Dot(c - a, d) / isotri::gen::Dot(d, d), 0.0, 1.0);
                    nearest = std::min(nearest, isotri::gen::Length(c - (a + t * d)));
                }
                EXPECT_LT(nearest, 0.01);
            }
        }
        EXPECT_GE(placed.size(), 3u) << lines;
    }
}

}  // namespace
