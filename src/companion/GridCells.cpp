#include "companion/GridCells.h"

#include <bit>

namespace isotri::gen {

GridCells::GridCells(const SampleGrid& grid) {
    const int finest = grid.Divisions();
    for (int n = std::max(1, grid.FirstDivisions()); n <= finest; n *= 2) {
        Level level;
        level.n = n;
        level.step = finest / n;
        level.split.assign(2 * static_cast<std::size_t>((n + 1) * (n + 1)), 0);
        level.leaf.assign(level.split.size(), 0);
        levels_.push_back(std::move(level));
    }
    // From the finest level up: a cell splits when a midpoint of its sides was sampled or one of
    // its halves splits.
    for (int l = static_cast<int>(levels_.size()) - 2; l >= 0; --l) {
        Level& level = levels_[l];
        const Level& finer = levels_[l + 1];
        const int s = level.step, h = s / 2;
        for (int i = 0; i < level.n; ++i) {
            for (int j = 0; i + j < level.n; ++j) {
                int x = i * s, y = j * s;
                level.split[level.Index(i, j, true)] =
                    grid.Sampled(x + h, y) || grid.Sampled(x, y + h) ||
                    grid.Sampled(x + h, y + h) || finer.split[finer.Index(2 * i, 2 * j, true)] ||
                    finer.split[finer.Index(2 * i + 1, 2 * j, true)] ||
                    finer.split[finer.Index(2 * i, 2 * j + 1, true)] ||
                    finer.split[finer.Index(2 * i, 2 * j, false)];
                if (i + j + 2 > level.n) {
                    continue;
                }
                level.split[level.Index(i, j, false)] =
                    grid.Sampled(x + h, y + h) || grid.Sampled(x + s, y + h) ||
                    grid.Sampled(x + h, y + s) ||
                    finer.split[finer.Index(2 * i + 1, 2 * j, false)] ||
                    finer.split[finer.Index(2 * i, 2 * j + 1, false)] ||
                    finer.split[finer.Index(2 * i + 1, 2 * j + 1, false)] ||
                    finer.split[finer.Index(2 * i + 1, 2 * j + 1, true)];
            }
        }
    }
    const int n = levels_.front().n;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; i + j < n; ++j) {
            Visit(0, i, j, true);
            if (i + j + 2 <= n) {
                Visit(0, i, j, false);
            }
        }
    }
}

void GridCells::Visit(int l, int i, int j, bool up) {
    Level& level = levels_[l];
    if (!level.split[level.Index(i, j, up)]) {
        level.leaf[level.Index(i, j, up)] = 1;
        leaves_.push_back({i * level.step, j * level.step, level.step, up});
        return;
    }
    if (up) {
        Visit(l + 1, 2 * i, 2 * j, true);
        Visit(l + 1, 2 * i + 1, 2 * j, true);
        Visit(l + 1, 2 * i, 2 * j + 1, true);
        Visit(l + 1, 2 * i, 2 * j, false);
    } else {
        Visit(l + 1, 2 * i + 1, 2 * j, false);
        Visit(l + 1, 2 * i, 2 * j + 1, false);
        Visit(l + 1, 2 * i + 1, 2 * j + 1, false);
        Visit(l + 1, 2 * i + 1, 2 * j + 1, true);
    }
}

bool GridCells::IsLeaf(const GridCell& cell) const {
    // Steps halve from level to level down to 1 at the finest: the size tells the level.
    if (cell.size <= 0 || !std::has_single_bit(static_cast<unsigned>(cell.size))) {
        return false;
    }
    const int shift = std::countr_zero(static_cast<unsigned>(cell.size));
    const int l = static_cast<int>(levels_.size()) - 1 - shift;
    if (l < 0 || cell.i < 0 || cell.j < 0 || ((cell.i | cell.j) & (cell.size - 1)) != 0) {
        return false;
    }
    const Level& level = levels_[l];
    const int i = cell.i >> shift, j = cell.j >> shift;
    if (i + j + (cell.up ? 1 : 2) > level.n) {
        return false;
    }
    return level.leaf[level.Index(i, j, cell.up)] != 0;
}

}  // namespace isotri::gen
