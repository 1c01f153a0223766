// Model values on a regular triangular grid over the placed triangle, made finer while the
// model bends too much between grid points for the levels to be followed from them.
#pragma once

#include <cstdint>
#include <vector>

#include "companion/TrianglePlacement.h"

namespace isotri::gen {

class SampleGrid {
  public:
    // Vertex (i, j), i + j <= N, has the weights u = i / N, v = j / N.
    explicit SampleGrid(ModelProbe& probe);

    // Samples at `divisions`.
    void Sample(int divisions);
    // Doubles the divisions, reusing every value, while the model bends enough between grid
    // points for one of `lineCount` levels, equally spaced inside (low, high), to hide there,
    // up to `maxDivisions`.
    void Refine(int maxDivisions, double low, double high, int lineCount);

    int Divisions() const { return n_; }
    double Value(int i, int j) const { return values_[Index(i, j)]; }
    bool HasFiniteValue() const { return finiteCount_ > 0; }
    double Min() const { return min_; }
    double Max() const { return max_; }

    // Blocks of kBlock by kBlock cells, (i, j) in block (i / kBlock, j / kBlock): false when no
    // cell of the block can cross `level`, so a tracer may pass it by.
    static constexpr int kBlock = 8;
    bool BlockMayCross(int i, int j, double level) const {
        std::size_t b = static_cast<std::size_t>((i / kBlock) * blocks_ + j / kBlock);
        return blockLow_[b] < level && blockHigh_[b] >= level;
    }

    // Gradient in picture units of the linear interpolant of the grid cell around weights (u, v);
    // false where that cell has no finite values or the triangle no extent.
    bool LinearGradient(double u, double v, Vec2& gradient) const;

  private:
    int Index(int i, int j) const { return i * (n_ + 1) + j; }
    void Double();
    void UpdateRange();
    void UpdateBlocks();
    bool MayHideALevel(double low, double high, int lineCount) const;

    ModelProbe& probe_;
    int n_ = 0;
    std::vector<double> values_;
    std::int64_t finiteCount_ = 0;
    double min_ = 0;
    double max_ = 0;
    int blocks_ = 0;                            // per side
    std::vector<double> blockLow_, blockHigh_;  // finite values of each block's cells' corners
};

}  // namespace isotri::gen
