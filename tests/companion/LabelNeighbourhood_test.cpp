#include "companion/LabelNeighbourhood.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using isotri::gen::LabelBox;
using isotri::gen::PlacedLabels;
using isotri::gen::PointBuckets;
using isotri::gen::TracedPiece;
using isotri::gen::Vec2;

// Its box's corner is the origin of the 250 px cells: (0, 0)–(250, 250) is cell (0, 0).
const std::array<Vec2, 3> kTriangle = {Vec2{0, 0}, Vec2{1000, 0}, Vec2{500, 866}};

TEST(PlacedLabels, NearestCountsLabelsAcrossCellsUpToTheReach) {
    struct Case {
        const char* name;
        Vec2 label, place;
        double nearest;
    } cases[] = {
        {"next cell", {240, 100}, {300, 140}, std::hypot(60, 40)},
        {"next cell, near the reach", {10, 10}, {255, 10}, 245},
        {"diagonal cell", {200, 200}, {300, 300}, std::hypot(100, 100)},
        {"beyond the reach", {10, 10}, {261, 10}, 250},
        {"far off the piece, within the reach", {505, 262}, {505, 502}, 240},
    };
    for (const Case& c : cases) {
        PlacedLabels placed(kTriangle, LabelBox{});
        placed.Add(c.label);
        placed.NewPiece(c.place - Vec2{5, 2}, c.place + Vec2{5, 3});
        double nearest = -1, stuck = -1;
        ASSERT_TRUE(placed.Clear(c.place, nearest, stuck)) << c.name;
        EXPECT_NEAR(nearest, c.nearest, 1e-9) << c.name;
    }
}

// A box overlapping two labels is as stuck as the first of them row by row of cells, then along
// a row, whatever the order of placing or their distances.
TEST(PlacedLabels, FirstOverlappedLabelByCellsTellsHowStuck) {
    struct Case {
        const char* name;
        Vec2 first, second;  // in the order of placing; they do not overlap each other
        Vec2 place;
        double stuck;
    } cases[] = {
        // The second lies in the row above: 30 − 15 rather than 30 − 7 from the nearer first.
        {"rows", {250, 262}, {320, 240}, {285, 255}, 15},
        // The second lies in the column to the left: 30 − 22 rather than 30 − 18.
        {"columns", {260, 100}, {190, 140}, {225, 118}, 8},
        // The second lies in the row above, the first in the column to the left: 30 − 14 rather
        // than 30 − 15.
        {"rows before columns", {215, 265}, {285, 236}, {250, 250}, 16},
    };
    for (const Case& c : cases) {
        PlacedLabels placed(kTriangle, LabelBox{});
        placed.Add(c.first);
        placed.Add(c.second);
        placed.NewPiece(c.place, c.place);
        double nearest = -1, stuck = -1;
        EXPECT_FALSE(placed.Clear(c.place, nearest, stuck)) << c.name;
        EXPECT_EQ(stuck, c.stuck) << c.name;
    }
}

TracedPiece Piece(std::vector<Vec2> points) {
    TracedPiece piece;
    piece.points = std::move(points);
    piece.mixtures.resize(piece.points.size());
    return piece;
}

// Points of the other pieces in the box, its edges included, up to the limit; points at infinity
// or not a number lie nowhere.
TEST(PointBuckets, CountsOtherPiecesPointsInTheBox) {
    std::vector<std::vector<TracedPiece>> levels = {
        {Piece({{100, 100}, {500, 500}}),
         Piece({{70, 88}, {130, 112}, {131, 100}, {100, 113}, {85, 100}, {115, 95}})},
        {Piece({}), Piece({{INFINITY, 100}, {NAN, 100}, {100, NAN}, {100, 100}})}};
    PointBuckets buckets;
    buckets.Build(levels);
    struct Case {
        int owner, limit, count;
    } cases[] = {{0, 10, 5}, {0, 3, 3}, {1, 10, 2}, {3, 10, 5}};
    for (const Case& c : cases) {
        EXPECT_EQ(buckets.CountInBox({100, 100}, 30, 12, c.owner, c.limit), c.count)
            << c.owner << " " << c.limit;
    }
    PointBuckets none;
    none.Build({{Piece({})}, {}});
    EXPECT_EQ(none.CountInBox({100, 100}, 30, 12, 0, 10), 0);
}

}  // namespace
