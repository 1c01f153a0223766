// What lies around a label's box: the points of the traced pieces, to tell how many of them the
// box would hide, and the labels placed so far, to tell whether the box overlaps one and how near
// the nearest one is.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "companion/Floor.h"
#include "companion/LevelLabels.h"
#include "companion/LevelTracer.h"
#include "companion/RecycledMemory.h"

namespace isotri::gen {

// Beyond this distance, px, another label no longer matters to a place.
constexpr double kSpreadReach = 250;

// Points of every piece in buckets. The buckets form a dense grid over the points' extent,
// stored flat: a cell's points follow one another, so a row of cells is one run.
class PointBuckets {
  public:
    // Owners are the pieces numbered in level order.
    void Build(const std::vector<std::vector<TracedPiece>>& levels);

    // Points of other owners within the box, counted up to `limit`: past it the count no longer
    // changes the outcome.
    int CountInBox(Vec2 centre, double halfW, double halfH, int owner, int limit) const;

  private:
    struct Entry {
        Vec2 p;
        int owner;
    };
    long Cell(double c) const { return FloorToLong(c / cell_); }
    std::size_t CellIndex(Vec2 p) const {
        return static_cast<std::size_t>((Cell(p.y) - originY_) * columns_ + Cell(p.x) - originX_);
    }

    double cell_ = 16;  // px, grown for pictures far beyond any screen
    Recycled<Entry> entries_;
    Recycled<std::size_t> starts_;
    Recycled<std::size_t> cellOf_;
    long originX_ = 0, originY_ = 0, columns_ = 0, rows_ = 0;
};

// The labels placed so far, in square cells whose side is the reach of every check (250 px at
// least). A label is seen from a place only when it lies in the 3×3 cells around the place's
// cell; they are read row by row, each cell in the order of placing, and the first one the box
// overlaps tells how far it is stuck. For the places of one piece, the labels seen from a cell
// are gathered once, in that order, and only those near both the cell and the piece.
class PlacedLabels {
  public:
    PlacedLabels(const std::array<Vec2, 3>& vertices, const LabelBox& box);

    void Add(Vec2 c);

    // The places to come lie between `low` and `high`.
    void NewPiece(Vec2 low, Vec2 high);

    // False when the box at c would overlap a label, `stuck` telling how far c may move and the
    // box still does; else `nearest` is the distance to the nearest one, up to the reach beyond
    // which it no longer matters.
    bool Clear(Vec2 c, double& nearest, double& stuck) {
        double best = kSpreadReach * kSpreadReach;
        for (const Vec2& o : Seen(Around(c.x, x0_, columns_), Around(c.y, y0_, rows_))) {
            Vec2 d = c - o;
            double ax = std::fabs(d.x), ay = std::fabs(d.y);
            if (reachX_ > ax && reachY_ > ay) {
                stuck = std::min(reachX_ - ax, reachY_ - ay);
                return false;
            }
            best = std::min(best, Dot(d, d));
        }
        nearest = std::sqrt(best);
        return true;
    }

  private:
    struct Label {
        Vec2 at;
        long cellX, cellY;
        int next;  // the next label placed in the same cell, or -1
    };
    struct Gathered {
        long cellX = 0, cellY = 0;
        unsigned long piece = 0;
        std::vector<Vec2> labels;
    };

    // The labels seen from places of the piece in cell (cx, cy), in their order.
    const std::vector<Vec2>& Seen(long cx, long cy) {
        // Any 4×2 cells have slots of their own.
        Gathered& g = gathered_[(static_cast<unsigned long>(cx) & 3) |
                                ((static_cast<unsigned long>(cy) & 1) << 2)];
        if (g.piece == piece_ && g.cellX == cx && g.cellY == cy) {
            return g.labels;
        }
        Gather(g, cx, cy);
        return g.labels;
    }
    void Gather(Gathered& g, long cx, long cy);

    // Cells across a span, at least one and at most 4096.
    long Count(double span) const;
    // The cell of a coordinate, those beyond the grid in its border cells.
    long Within(double c, double origin, long count) const;
    // The cell of a coordinate; one far beyond the grid sees no cell of it, wherever it is.
    long Around(double c, double origin, long count) const {
        double cell = (c - origin) / size_;
        if (!(cell >= -2)) {
            return -2;
        }
        return cell >= double(count + 1) ? count + 1 : FloorToLong(cell);
    }

    double reachX_, reachY_;  // a box overlaps a label nearer than these on both axes
    double size_;
    double margin_;  // the farthest a label may lie from a place and still matter to it
    double x0_ = 0, y0_ = 0;
    long columns_ = 1, rows_ = 1;
    std::vector<Label> labels_;
    std::vector<int> heads_, tails_;
    unsigned long piece_ = 0;
    Vec2 low_, high_;
    double slack_ = 0;
    std::array<Gathered, 8> gathered_;
};

}  // namespace isotri::gen
