#include "companion/LevelGrid.h"

#include <algorithm>
#include <cmath>

namespace isotri::gen {

LevelGrid::LevelGrid(const SampleGrid& grid, const std::vector<double>& levels)
    : cells_(grid), n_(grid.Divisions()), levels_(levels) {
    if (levels_.size() > 1) {
        perSpacing_ = double(levels_.size() - 1) / (levels_.back() - levels_.front());
        if (!std::isfinite(perSpacing_) || !(perSpacing_ > 0)) {
            perSpacing_ = 0;
        }
    }
    // Vertices outside the triangle are never read.
    bins_.resize(static_cast<std::size_t>((n_ + 1) * (n_ + 1)));
    for (int i = 0; i <= n_; ++i) {
        const double* values = grid.Row(i);
        signed char* bins = bins_.data() + i * (n_ + 1);
        for (int j = 0; i + j <= n_; ++j) {
            bins[j] = static_cast<signed char>(BinOf(values[j]));
        }
    }
    const Recycled<GridCell>& leaves = cells_.Leaves();
    leafLevels_.resize(leaves.size());
    for (std::size_t k = 0; k < leaves.size(); ++k) {
        const GridCell& c = leaves[k];
        const int s = c.size;
        const auto [p, q, r] = CellCorners(c);
        const int b0 = Bin(p), b1 = Bin(q), b2 = Bin(r);
        LeafLevels& range = leafLevels_[k];
        if (b0 == kNoValue || b1 == kNoValue || b2 == kNoValue) {
            range.low = range.high = static_cast<signed char>(kNoValue);
            continue;
        }
        range.low = static_cast<signed char>(std::min({b0, b1, b2}));
        range.high = static_cast<signed char>(std::max({b0, b1, b2}));
        crossingCount_ += range.high - range.low;
        if (!c.up) {
            continue;
        }
        const int i = c.i, j = c.j;
        // Levels pass between the cells across a side only where they cross this one.
        const bool crossed = range.low < range.high;
        const int leaf = static_cast<int>(k);
        if (crossed && j >= s && cells_.IsLeaf({i, j - s, s, false})) {
            joints_.push_back({leaf, JointKind::AcrossU});
        }
        if (crossed && i >= s && cells_.IsLeaf({i - s, j, s, false})) {
            joints_.push_back({leaf, JointKind::AcrossV});
        }
        if (crossed && i + j + 2 * s <= n_ && cells_.IsLeaf({i, j, s, false})) {
            joints_.push_back({leaf, JointKind::AcrossDiagonal});
        }
        // Sides of the triangle have no cell beyond them.
        if (j == 0) {
            joints_.push_back({leaf, JointKind::OnSideU});
        }
        if (i == 0) {
            joints_.push_back({leaf, JointKind::OnSideV});
        }
        if (i + j + s == n_) {
            joints_.push_back({leaf, JointKind::OnSideDiagonal});
        }
    }
}

}  // namespace isotri::gen
