#include "support/PieceReference.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using isotri::gen::PieceCount;
using isotri::gen::PieceReference;

double Bump(double u, double v, double cu, double cv) {
    return std::exp(-((u - cu) * (u - cu) + (v - cv) * (v - cv)) / 0.005);
}

TEST(PieceReference, CountsPiecesAndFlagsLevelsOnSaddlesAndSides) {
    struct Case {
        const char* name;
        PieceReference::Model model;
        double level;
        int low, high, saddles;
    };
    auto slope = [](double, double x2, double) { return x2; };
    auto saddle = [](double, double x2, double x3) { return (x2 - 0.3) * (x3 - 0.3); };
    auto bumps = [](double, double x2, double x3) {
        return Bump(x2, x3, 0.25, 0.25) + Bump(x2, x3, 0.5, 0.25);
    };
    const Case cases[] = {
        {"a straight line", slope, 0.5, 1, 1, 0},
        // The side x2 = 0 is the level itself: below it the side is above, above it a line.
        {"a side on the level", slope, 0.0, 0, 1, 0},
        {"two branches beside a saddle", saddle, 0.01, 2, 2, 0},
        {"the other two branches", saddle, -0.01, 2, 2, 0},
        {"the saddle's own level", saddle, 0.0, 2, 2, 1},
        {"two peaks apart", bumps, 0.5, 2, 2, 0},
        {"two peaks joined", bumps, 0.05, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PieceReference reference(c.model, 256);
        std::vector<PieceCount> counts = reference.Pieces({c.level});
        ASSERT_EQ(counts.size(), 1u);
        EXPECT_EQ(counts[0].low, c.low);
        EXPECT_EQ(counts[0].high, c.high);
        EXPECT_EQ(counts[0].saddles, c.saddles);
    }
}

TEST(PieceReference, PlacesEachSaddleOnce) {
    PieceReference reference([](double, double x2, double x3) { return (x2 - 0.3) * (x3 - 0.4); },
                             128);
    ASSERT_EQ(reference.Saddles().size(), 1u);
    EXPECT_NEAR(reference.Saddles()[0].u, 0.3, 1e-9);
    EXPECT_NEAR(reference.Saddles()[0].v, 0.4, 1e-9);
    EXPECT_NEAR(reference.Saddles()[0].value, 0, 1e-12);
}

TEST(PieceReference, AcceptsOnePieceMoreOrLessForEachSaddleOnTheLevel) {
    PieceCount count{3, 4, 2};
    EXPECT_FALSE(count.Accepts(0));
    EXPECT_TRUE(count.Accepts(1));
    EXPECT_TRUE(count.Accepts(6));
    EXPECT_FALSE(count.Accepts(7));
}

}  // namespace
