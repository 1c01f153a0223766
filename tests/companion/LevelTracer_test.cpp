// Tracing many levels with the help of another core gives the very pieces one core gives,
// wherever the levels are split between them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "companion/LevelGrid.h"
#include "companion/LevelTracer.h"
#include "companion/SampleGrid.h"
#include "companion/TrianglePlacement.h"

namespace {

using namespace isotri::gen;
using Model = std::function<double(double, double, double)>;

Model gModel;

void Evaluate(const double* x1, const double* x2, const double* x3, double* result) {
    *result = gModel(*x1, *x2, *x3);
}

// Bit for bit: the same points, mixtures and closings, piece by piece.
std::string FirstDifference(const std::vector<std::vector<TracedPiece>>& a,
                            const std::vector<std::vector<TracedPiece>>& b) {
    if (a.size() != b.size()) {
        return "level counts differ";
    }
    for (std::size_t l = 0; l < a.size(); ++l) {
        if (a[l].size() != b[l].size()) {
            return "piece counts differ at level " + std::to_string(l);
        }
        for (std::size_t p = 0; p < a[l].size(); ++p) {
            const TracedPiece &x = a[l][p], &y = b[l][p];
            const std::string where =
                " at level " + std::to_string(l) + " piece " + std::to_string(p);
            if (x.closed != y.closed || x.points.size() != y.points.size() ||
                x.mixtures.size() != y.mixtures.size()) {
                return "shapes differ" + where;
            }
            if (std::memcmp(x.points.data(), y.points.data(), x.points.size() * sizeof(Vec2)) !=
                    0 ||
                std::memcmp(x.mixtures.data(), y.mixtures.data(),
                            x.mixtures.size() * sizeof(Mixture)) != 0) {
                return "points differ" + where;
            }
        }
    }
    return {};
}

Model Waves(double k1, double k2, double p1, double p2) {
    return [=](double x1, double x2, double x3) {
        return std::sin(k1 * x1 + p1) * std::cos(k2 * x2 + p2) + 0.5 * x3;
    };
}

TEST(TraceLevels, AnotherCoreChangesNoPiece) {
    struct Case {
        const char* name;
        Model model;
        int levels;
        bool busy;        // enough crossings that a helper is taken unasked
        bool everySplit;  // tried with the levels split at each one
    };
    const std::vector<Case> cases = {
        {"narrow peak on a wavy slope",
         [](double x1, double x2, double) {
             double dx = x1 - 0.35, dy = x2 - 0.3;
             return std::exp(-(dx * dx + dy * dy) / 0.003) + 0.5 * std::sin(14 * x1 + 9 * x2 * x2);
         },
         50, true, false},
        // Lines joined across saddles, and caps cut off by the sides.
        {"saddles", Waves(7, 7, 0, M_PI / 4), 50, false, false},
        {"saddles, fewer levels", Waves(7, 7, M_PI / 2, 0), 16, false, true},
        {"side extrema", Waves(7, 12, M_PI / 2, M_PI / 2), 50, false, false},
        {"side extrema, slow", Waves(3, 12, M_PI / 4, M_PI / 4), 50, false, false},
        // Lines that end where the model has no value.
        {"undefined in a disc",
         [](double x1, double x2, double) {
             double dx = x1 - 0.5, dy = x2 - 0.3;
             if (dx * dx + dy * dy < 0.01) {
                 return std::numeric_limits<double>::quiet_NaN();
             }
             return std::sin(15 * x1) + std::cos(11 * x2);
         },
         50, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gModel = c.model;
        TrianglePlacement placement{{Vec2{400, 44}, Vec2{746, 644}, Vec2{54, 644}},
                                    CornersOf(nullptr)};
        ModelProbe probe{placement, Evaluate};
        SampleGrid grid{probe};
        grid.Sample(32);
        const double low = grid.Min(), high = grid.Max();
        grid.Refine(256, low, high, c.levels);
        std::vector<double> levels;
        for (int k = 1; k <= c.levels; ++k) {
            levels.push_back(low + k * (high - low) / (c.levels + 1));
        }
        if (c.busy) {
            ASSERT_GT(LevelGrid(grid, levels).CrossingCount(), 10000);
        }
        const auto alone = TraceLevels(probe, grid, levels, 2'000'000, {}, c.levels);
        std::size_t pieces = 0;
        for (const auto& level : alone) {
            pieces += level.size();
        }
        EXPECT_GT(pieces, static_cast<std::size_t>(c.levels));
        // Where lines join across saddles, a split on any level may cut a cell's levels apart.
        std::vector<int> splits{kHelperChosen};
        for (int from = 0; from < c.levels; from += c.everySplit ? 1 : c.levels / 4) {
            splits.push_back(from);
        }
        for (int from : splits) {
            const auto helped = TraceLevels(probe, grid, levels, 2'000'000, {}, from);
            EXPECT_EQ(FirstDifference(alone, helped), "") << "helper from level " << from;
        }
    }
}

}  // namespace
