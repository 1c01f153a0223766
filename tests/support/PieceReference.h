// The number of pieces of each level of a model, by marching triangles over a fine lattice of the
// whole triangle: crossed edges joined through their cells, one piece per connected group. A
// reference for generators' topology; it knows nothing of their grids or searches.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

namespace isotri::gen {

// Counts for one level: `low` and `high` at the level moved down and up by a rounding-sized share
// of the range, which differ where the level runs along a side; `saddles` of the model lie within
// that share of the level. Rounding decides how the lines meeting at such a saddle join, and each
// join adds or removes at most one piece, so any count that far from low..high is right.
struct PieceCount {
    int low = 0;
    int high = 0;
    int saddles = 0;
    bool Accepts(int pieces) const {
        return pieces >= std::min(low, high) - saddles && pieces <= std::max(low, high) + saddles;
    }
};

struct SaddlePoint {
    double u = 0, v = 0;  // weights of x2 and x3
    double value = 0;
};

class PieceReference {
  public:
    using Model = std::function<double(double x1, double x2, double x3)>;
    // The model's value at lattice point (i, j), for a model that has a faster way to them.
    using Lattice = std::function<double(int i, int j)>;

    // The lattice has `divisions` steps a side, point (i, j) the weights (x1, x2, x3) =
    // (1 - u - v, u, v) with u = i / divisions, v = j / divisions; its values come from
    // `lattice` when given, else from `model`.
    PieceReference(const Model& model, int divisions = 1024, const Lattice& lattice = {});

    std::vector<PieceCount> Pieces(const std::vector<double>& levels) const;
    // How far the counts move a level: a rounding-sized share of the model's range.
    double Shift() const;
    // The model's saddles in the triangle or on its sides, each once.
    const std::vector<SaddlePoint>& Saddles() const { return saddles_; }

  private:
    std::vector<int> CountsAt(const std::vector<double>& levels) const;
    void FindSaddles(const Model& model);
    int Index(int i, int j) const { return i * (n_ + 1) + j; }

    struct Range {
        double lo, hi;
    };
    static constexpr int kBlock = 16;

    int n_;
    std::vector<double> values_;
    int blocks_ = 0;
    std::vector<Range> blockRanges_;
    double range_ = 0;
    std::vector<SaddlePoint> saddles_;
    // The last levels asked for and their counts: both pictures of a case share them.
    mutable std::vector<double> lastLevels_;
    mutable std::vector<PieceCount> lastCounts_;
    mutable std::vector<int> parent_;  // edges' groups, -1 outside every group between passes
};

}  // namespace isotri::gen
