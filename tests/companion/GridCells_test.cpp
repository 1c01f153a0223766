// The sample grid refined where a level may hide, and the linear cells it is read as.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "companion/GridCells.h"
#include "companion/SampleGrid.h"
#include "companion/TrianglePlacement.h"

namespace {

using namespace isotri::gen;

std::function<double(double, double, double)> gModel;

void Evaluate(const double* x1, const double* x2, const double* x3, double* result) {
    *result = gModel(*x1, *x2, *x3);
}

struct Grid {
    TrianglePlacement placement{{Vec2{0, 0}, Vec2{800, 0}, Vec2{400, 693}}, CornersOf(nullptr)};
    ModelProbe probe{placement, Evaluate};
    SampleGrid grid{probe};

    explicit Grid(std::function<double(double, double, double)> model, int lines) {
        gModel = std::move(model);
        grid.Sample(32);
        grid.Refine(256, grid.Min(), grid.Max(), lines);
    }
};

double Peak(double x1, double x2, double) {
    double dx = x1 - 0.35, dy = x2 - 0.3;
    return std::exp(-(dx * dx + dy * dy) / 0.002);
}

TEST(SampleGrid, RefinesOnlyAroundANarrowPeakAndKeepsMeansElsewhere) {
    Grid g(Peak, 12);
    const int n = g.grid.Divisions();
    ASSERT_GT(n, 32);
    // Far fewer samples than the whole finest grid.
    EXPECT_LT(g.probe.Count(), (n + 1) * (n + 2) / 8);
    int means = 0;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; i + j <= n; ++j) {
            if (g.grid.Sampled(i, j)) {
                continue;
            }
            ++means;
            // The mean of the two vertices it halves, on the grid it first appeared on.
            int h = 1;
            while (h < n && (i / h) % 2 == 0 && (j / h) % 2 == 0) {
                h *= 2;
            }
            int di = (i / h) % 2 ? h : 0, dj = (j / h) % 2 ? h : 0;
            if (di != 0 && dj != 0) {
                dj = -dj;  // the cell's diagonal
            }
            EXPECT_EQ(g.grid.Value(i, j),
                      0.5 * (g.grid.Value(i - di, j - dj) + g.grid.Value(i + di, j + dj)))
                << i << " " << j;
            // The model's own value is there on request.
            EXPECT_EQ(g.grid.ModelValue(i, j),
                      Peak(1 - double(i + j) / n, double(i) / n, double(j) / n));
        }
    }
    EXPECT_GT(means, 0);
}

TEST(GridCells, LeavesTileTheTriangleAndHoldNoLaterSample) {
    using Model = std::function<double(double, double, double)>;
    const std::vector<Model> models = {
        Peak, [](double x1, double x2, double) { return std::sin(9 * x1) * x2; },
        [](double x1, double, double) { return x1; }};
    for (const Model& model : models) {
        Grid g(model, 20);
        GridCells cells(g.grid);
        const int n = g.grid.Divisions();
        long area = 0;  // in finest cells
        for (const GridCell& c : cells.Leaves()) {
            area += long(c.size) * c.size;
            EXPECT_TRUE(cells.IsLeaf(c));
            // Only the corners of a leaf hold samples: everything else on it is the mean its
            // linear picture gives.
            auto at = [&](int di, int dj) {
                return c.up ? std::pair{c.i + di, c.j + dj}
                            : std::pair{c.i + c.size - di, c.j + c.size - dj};
            };
            for (int di = 0; di <= c.size; ++di) {
                for (int dj = 0; di + dj <= c.size; ++dj) {
                    auto [i, j] = at(di, dj);
                    bool corner = (di == 0 && dj == 0) || di == c.size || dj == c.size;
                    EXPECT_TRUE(corner || !g.grid.Sampled(i, j))
                        << i << " " << j << " in a leaf of " << c.size;
                }
            }
        }
        EXPECT_EQ(area, long(n) * n);
    }
}

}  // namespace
