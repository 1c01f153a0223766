#include "companion/LabelNeighbourhood.h"

#include <algorithm>

namespace isotri::gen {

namespace {

// A point at infinity or not a number lies in no box, and would have no cell.
template <class Visit>
void ForEachPoint(const std::vector<std::vector<TracedPiece>>& levels, Visit visit) {
    int owner = 0;
    for (const std::vector<TracedPiece>& level : levels) {
        for (const TracedPiece& piece : level) {
            for (Vec2 p : piece.points) {
                if (std::isfinite(p.x) && std::isfinite(p.y)) {
                    visit(p, owner);
                }
            }
            ++owner;
        }
    }
}

}  // namespace

void PointBuckets::Build(const std::vector<std::vector<TracedPiece>>& levels) {
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    std::size_t total = 0;
    ForEachPoint(levels, [&](Vec2 p, int) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
        ++total;
    });
    if (total == 0) {
        return;
    }
    // Cells grow with a picture far beyond any screen, so that they stay fewer than points.
    const double limit = 4.0 * double(total) + 1024;
    while (((x1 - x0) / cell_ + 2) * ((y1 - y0) / cell_ + 2) > limit) {
        cell_ *= 2;
    }
    originX_ = Cell(x0);
    originY_ = Cell(y0);
    columns_ = Cell(x1) - originX_ + 1;
    rows_ = Cell(y1) - originY_ + 1;
    const std::size_t cells = static_cast<std::size_t>(columns_ * rows_);
    // Counted into the cells' ends, then filled downwards, which leaves each at its start.
    starts_.assign(cells + 1, 0);
    cellOf_.resize(total);
    std::size_t n = 0;
    ForEachPoint(levels, [&](Vec2 p, int) {
        std::size_t cell = CellIndex(p);
        cellOf_[n++] = cell;
        ++starts_[cell];
    });
    for (std::size_t c = 1; c < cells; ++c) {
        starts_[c] += starts_[c - 1];
    }
    starts_[cells] = total;
    entries_.resize(total);
    n = 0;
    ForEachPoint(levels, [&](Vec2 p, int owner) {
        entries_[--starts_[cellOf_[n++]]] = {p, owner};
    });
}

int PointBuckets::CountInBox(Vec2 centre, double halfW, double halfH, int owner, int limit) const {
    if (entries_.empty()) {
        return 0;
    }
    int count = 0;
    long x0 = std::max(Cell(centre.x - halfW) - originX_, 0L);
    long x1 = std::min(Cell(centre.x + halfW) - originX_, columns_ - 1);
    long y0 = std::max(Cell(centre.y - halfH) - originY_, 0L);
    long y1 = std::min(Cell(centre.y + halfH) - originY_, rows_ - 1);
    if (x0 > x1) {
        return 0;
    }
    for (long cy = y0; cy <= y1; ++cy) {
        std::size_t row = static_cast<std::size_t>(cy * columns_);
        const Entry* end = entries_.data() + starts_[row + static_cast<std::size_t>(x1) + 1];
        for (const Entry* e = entries_.data() + starts_[row + static_cast<std::size_t>(x0)];
             e != end; ++e) {
            if (e->owner != owner && std::fabs(e->p.x - centre.x) <= halfW &&
                std::fabs(e->p.y - centre.y) <= halfH && ++count >= limit) {
                return count;
            }
        }
    }
    return count;
}

PlacedLabels::PlacedLabels(const std::array<Vec2, 3>& vertices, const LabelBox& box)
    : reachX_(box.width + box.gap),
      reachY_(box.height + box.gap),
      size_(std::max({kSpreadReach, box.width + box.gap, box.height + box.gap})) {
    double x0 = vertices[0].x, y0 = vertices[0].y, x1 = x0, y1 = y0;
    for (const Vec2& v : vertices) {
        x0 = std::min(x0, v.x);
        y0 = std::min(y0, v.y);
        x1 = std::max(x1, v.x);
        y1 = std::max(y1, v.y);
    }
    x0_ = x0;
    y0_ = y0;
    columns_ = Count(x1 - x0);
    rows_ = Count(y1 - y0);
    heads_.assign(static_cast<std::size_t>(columns_ * rows_), -1);
    tails_.assign(heads_.size(), -1);
    margin_ = kSpreadReach;
    for (double reach : {reachX_, reachY_}) {
        if (reach > margin_) {
            margin_ = reach;
        }
    }
}

void PlacedLabels::Add(Vec2 c) {
    int index = static_cast<int>(labels_.size());
    Label label{c, Within(c.x, x0_, columns_), Within(c.y, y0_, rows_), -1};
    std::size_t cell = static_cast<std::size_t>(label.cellY * columns_ + label.cellX);
    if (tails_[cell] < 0) {
        heads_[cell] = index;
    } else {
        labels_[static_cast<std::size_t>(tails_[cell])].next = index;
    }
    tails_[cell] = index;
    labels_.push_back(label);
}

void PlacedLabels::NewPiece(Vec2 low, Vec2 high) {
    ++piece_;
    low_ = low;
    high_ = high;
    // Room for the rounding of places and cells, far above it and far below a pixel.
    slack_ =
        1e-9 * (1 + std::fabs(low.x) + std::fabs(low.y) + std::fabs(high.x) + std::fabs(high.y) +
                std::fabs(x0_) + std::fabs(y0_) + size_ * double(columns_ + rows_ + 4));
}

void PlacedLabels::Gather(Gathered& g, long cx, long cy) {
    g.cellX = cx;
    g.cellY = cy;
    g.piece = piece_;
    g.labels.clear();
    double ax = std::max(low_.x, x0_ + double(cx) * size_) - margin_ - slack_;
    double bx = std::min(high_.x, x0_ + double(cx + 1) * size_) + margin_ + slack_;
    double ay = std::max(low_.y, y0_ + double(cy) * size_) - margin_ - slack_;
    double by = std::min(high_.y, y0_ + double(cy + 1) * size_) + margin_ + slack_;
    for (long y = std::max(cy - 1, 0L); y <= std::min(cy + 1, rows_ - 1); ++y) {
        for (long x = std::max(cx - 1, 0L); x <= std::min(cx + 1, columns_ - 1); ++x) {
            for (int k = heads_[static_cast<std::size_t>(y * columns_ + x)]; k >= 0;
                 k = labels_[static_cast<std::size_t>(k)].next) {
                Vec2 o = labels_[static_cast<std::size_t>(k)].at;
                if (o.x >= ax && o.x <= bx && o.y >= ay && o.y <= by) {
                    g.labels.push_back(o);
                }
            }
        }
    }
}

long PlacedLabels::Count(double span) const {
    double n = std::floor(span / size_) + 1;
    return !(n >= 1) ? 1 : n >= 4096 ? 4096 : static_cast<long>(n);
}

long PlacedLabels::Within(double c, double origin, long count) const {
    return ClampedFloor((c - origin) / size_, count - 1);
}

}  // namespace isotri::gen
