// The sample grid read for all levels at once: the linear cells it is made of, and for each
// vertex the number of levels at or under its value. The networks of all levels read it, from
// any thread, once it is made.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "companion/Floor.h"
#include "companion/GridCells.h"
#include "companion/RecycledMemory.h"
#include "companion/SampleGrid.h"

namespace isotri::gen {

class LevelGrid {
  public:
    // `levels` ascend and outlive the grid read.
    LevelGrid(const SampleGrid& grid, const std::vector<double>& levels);

    static constexpr int kNoValue = -1;

    const GridCells& Cells() const { return cells_; }
    int Divisions() const { return n_; }
    // The number of levels at or under the node's value, kNoValue where it has none: an edge
    // crosses the levels from the lower bin of its ends up to the higher one.
    int Bin(GridNode a) const { return bins_[a.i * (n_ + 1) + a.j]; }
    // The same by the node's index i·(divisions + 1) + j.
    int Bin(int vertex) const { return bins_[vertex]; }

    // The levels from `low` to `high` - 1 cross the leaf; none where a corner has no value.
    struct LeafLevels {
        signed char low = 0, high = 0;
    };
    const LeafLevels& Crossing(std::size_t leaf) const { return leafLevels_[leaf]; }
    // The levels crossing the leaves, summed over the leaves: about the crossings the networks
    // of all levels hold.
    std::int64_t CrossingCount() const { return crossingCount_; }

    // Where lines may join otherwise than the cells show, by an upward leaf's side: along u
    // (j fixed), along v (i fixed) or the diagonal.
    enum class JointKind {
        // The leaf is crossed, and across the side lies the downward leaf of its size.
        AcrossU,
        AcrossV,
        AcrossDiagonal,
        // The side lies on a side of the triangle.
        OnSideU,
        OnSideV,
        OnSideDiagonal,
    };
    struct Joint {
        int leaf;
        JointKind kind;
    };
    const Recycled<Joint>& Joints() const { return joints_; }

  private:
    int BinOf(double f) const {
        if (!std::isfinite(f)) {
            return kNoValue;
        }
        // The count of levels at or under f, guessed from their spacing, then made exact.
        const int count = static_cast<int>(levels_.size());
        int k = 0;
        if (perSpacing_ > 0) {
            k = static_cast<int>(ClampedFloor((f - levels_[0]) * perSpacing_ + 1, count));
        }
        while (k > 0 && levels_[k - 1] > f) {
            --k;
        }
        while (k < count && levels_[k] <= f) {
            ++k;
        }
        return k;
    }

    GridCells cells_;
    int n_;
    const std::vector<double>& levels_;
    double perSpacing_ = 0;       // levels per unit of value, if evenly spaced
    Recycled<signed char> bins_;  // level counts fit: there are at most 50 levels
    Recycled<LeafLevels> leafLevels_;
    std::int64_t crossingCount_ = 0;
    Recycled<Joint> joints_;
};

}  // namespace isotri::gen
