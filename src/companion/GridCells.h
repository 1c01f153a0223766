// The sample grid read as the largest triangles over which it is linear: a cell of the first
// divisions stays whole unless a vertex on or inside it was sampled at a later doubling, else it
// splits into its four halves, and so on down to the finest cells.
#pragma once

#include <array>
#include <vector>

#include "companion/SampleGrid.h"

namespace isotri::gen {

struct GridNode {
    int i = 0, j = 0;
};

// A triangle of the grid by its finest-grid corners: an upward one (i, j), (i + s, j),
// (i, j + s); a downward one (i + s, j), (i, j + s), (i + s, j + s).
struct GridCell {
    int i = 0, j = 0, size = 1;
    bool up = true;
};

// The cell's corners in the order above.
inline std::array<GridNode, 3> CellCorners(const GridCell& c) {
    if (c.up) {
        return {GridNode{c.i, c.j}, GridNode{c.i + c.size, c.j}, GridNode{c.i, c.j + c.size}};
    }
    return {GridNode{c.i + c.size, c.j}, GridNode{c.i, c.j + c.size},
            GridNode{c.i + c.size, c.j + c.size}};
}

class GridCells {
  public:
    explicit GridCells(const SampleGrid& grid);

    const Recycled<GridCell>& Leaves() const { return leaves_; }
    // The downward cell across a side of an upward leaf, when it is a leaf of the same size.
    bool IsLeaf(const GridCell& cell) const;

  private:
    struct Level {
        int n = 0;     // divisions at this level
        int step = 1;  // finest-grid units per division
        Recycled<char> split, leaf;
        std::size_t Index(int i, int j, bool up) const {
            return 2 * static_cast<std::size_t>(i * (n + 1) + j) + (up ? 0 : 1);
        }
    };

    void Visit(int level, int i, int j, bool up);

    std::vector<Level> levels_;
    Recycled<GridCell> leaves_;
};

}  // namespace isotri::gen
