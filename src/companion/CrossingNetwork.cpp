#include "companion/CrossingNetwork.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <tuple>

#include "companion/RootSearch.h"

namespace isotri::gen {

CrossingNetwork::CrossingNetwork(ModelProbe& probe, SampleGrid& grid, const LevelGrid& levelGrid,
                                 const std::vector<double>& levels, int first, int last,
                                 double vertexTolerance)
    : probe_(probe),
      placement_(probe.Placement()),
      grid_(grid),
      levelGrid_(levelGrid),
      cells_(levelGrid.Cells()),
      n_(levelGrid.Divisions()),
      levels_(levels),
      first_(std::max(first, 0)),
      last_(std::min(last, static_cast<int>(levels.size()))),
      tolerance_(vertexTolerance) {
    offset_.resize(static_cast<std::size_t>(3 * (n_ + 1) * (n_ + 1)));
    for (int i = 0; i <= n_; ++i) {
        int* row = offset_.data() + 3 * i * (n_ + 1);
        std::fill(row, row + 3 * (n_ + 1 - i), 0);
    }
    // A cell's sides hold twice the levels between its corners, and every finest edge inside the
    // triangle lies on the sides of two cells, on its sides of one: the crossings are known in
    // number before they are placed, and are not moved as they grow (beside cells the model
    // leaves undefined there may be a few more).
    const Recycled<GridCell>& leaves = cells_.Leaves();
    crossed_.resize(leaves.size());
    std::size_t twice = 0;
    for (std::size_t k = 0; k < leaves.size(); ++k) {
        const LevelGrid::LeafLevels& range = levelGrid_.Crossing(k);
        const int crossedLevels = range.low == kNoValue ? 0 : To(range.high) - From(range.low);
        crossed_[k] = crossedLevels > 0;
        if (crossed_[k]) {
            twice += 2 * static_cast<std::size_t>(crossedLevels);
        }
    }
    for (int k = 0; k < n_; ++k) {
        for (auto [x, y] : {std::pair{GridNode{k, 0}, GridNode{k + 1, 0}},
                            std::pair{GridNode{0, k}, GridNode{0, k + 1}},
                            std::pair{GridNode{k, n_ - k}, GridNode{k + 1, n_ - k - 1}}}) {
            const int bx = Bin(x), by = Bin(y);
            if (bx != kNoValue && by != kNoValue) {
                twice += static_cast<std::size_t>(
                    std::max(0, To(std::max(bx, by)) - From(std::min(bx, by))));
            }
        }
    }
    const std::size_t count = twice / 2;
    crossings_.reserve(count);
    links_.resize(count);
    // Each crossed cell places the crossings on its sides, then joins them; side k runs from
    // corner k to the next, and its crossings are kept by level from the lower of its ends' bins.
    Recycled<int> sides(3 * levels_.size());
    for (std::size_t leaf = 0; leaf < leaves.size(); ++leaf) {
        if (!crossed_[leaf]) {
            continue;
        }
        const GridCell& cell = leaves[leaf];
        Corners corners = CellCorners(cell);
        std::array<int*, 3> at;
        for (int k = 0; k < 3; ++k) {
            at[k] = sides.data() + k * levels_.size();
            PlaceCrossings(corners[k], corners[(k + 1) % 3], cell.size, at[k]);
        }
        if (links_.size() < crossings_.size()) {
            links_.resize(crossings_.size());
        }
        Cell(corners, at);
    }
    links_.resize(crossings_.size());
}

int CrossingNetwork::EdgeKey(GridNode a, GridNode b) const {
    if (a.j == b.j) {
        return Key({std::min(a.i, b.i), a.j}, 0);
    }
    if (a.i == b.i) {
        return Key({a.i, std::min(a.j, b.j)}, 1);
    }
    return Key({std::min(a.i, b.i), std::min(a.j, b.j)}, 2);
}

// A leaf's side is linear, so its values rise or fall steadily along it: each level crosses it
// on one finest edge, the one a neighbour of any size finds too.
bool CrossingNetwork::EdgeCrossed(GridNode a, GridNode b, int size, int level, GridNode& x,
                                  GridNode& y) const {
    const int di = (b.i - a.i) / size, dj = (b.j - a.j) / size;
    for (int m = 0; m < size; ++m) {
        x = {a.i + m * di, a.j + m * dj};
        y = {x.i + di, x.j + dj};
        int bx = Bin(x), by = Bin(y);
        if (bx != kNoValue && by != kNoValue && std::min(bx, by) <= level &&
            level < std::max(bx, by)) {
            return true;
        }
    }
    return false;
}

int CrossingNetwork::CrossingOn(GridNode a, GridNode b, int size, int level) {
    GridNode x, y;
    if (!EdgeCrossed(a, b, size, level, x, y)) {
        return -1;
    }
    return (offset_[EdgeKey(x, y)] >> kSideBits) - 1 + level - From(std::min(Bin(x), Bin(y)));
}

std::pair<GridNode, GridNode> CrossingNetwork::FineEdge(const Crossing& c) const {
    const int size = std::max(std::abs(c.b.i - c.a.i), std::abs(c.b.j - c.a.j));
    GridNode x, y;
    if (size == 0 || !EdgeCrossed(c.a, c.b, size, c.level, x, y)) {
        return {c.a, c.b};
    }
    return {x, y};
}

// The crossings of every level on the finest edges of the side ab; each is searched later on
// the model along the longest side it was met on, whose ends are the likeliest sampled. `at`
// gets the crossing of each level the side crosses, from the lower of its ends' bins, or -1.
void CrossingNetwork::PlaceCrossings(GridNode a, GridNode b, int size, int* at) {
    const int low = std::min(Bin(a), Bin(b)), high = std::max(Bin(a), Bin(b));
    if (From(low) >= To(high)) {
        return;
    }
    std::fill(at, at + (high - low), -1);
    const int di = (b.i - a.i) / size, dj = (b.j - a.j) / size;
    // Along the side, vertices and edge keys step evenly: the key of a finest edge is that of
    // its corner with the lesser coordinates.
    const int row = n_ + 1, step = di * row + dj;
    const int direction = dj == 0 ? 0 : di == 0 ? 1 : 2;
    const int keyShift = (di < 0 ? di * row : 0) + (dj < 0 ? dj : 0);
    const int sideLog = std::countr_zero(static_cast<unsigned>(size));  // sizes are powers of 2
    int vertex = a.i * row + a.j;
    int by = levelGrid_.Bin(vertex);
    for (int m = 0; m < size; ++m, vertex += step) {
        const int bx = by;
        by = levelGrid_.Bin(vertex + step);
        if (bx == by || bx == kNoValue || by == kNoValue) {
            continue;
        }
        // This network's levels on the edge.
        const int first = From(std::min(bx, by)), count = To(std::max(bx, by)) - first;
        if (count <= 0) {
            continue;
        }
        const GridNode x{a.i + m * di, a.j + m * dj}, y{x.i + di, x.j + dj};
        int& stored = offset_[3 * (vertex + keyShift) + direction];
        if (low <= first && first + count <= high) {
            const int offset =
                stored != 0 ? (stored >> kSideBits) - 1 : static_cast<int>(crossings_.size());
            for (int k = 0; k < count; ++k) {
                at[first - low + k] = offset + k;
            }
        }
        if (stored != 0) {
            if ((stored & kSideMask) < sideLog) {
                const int offset = (stored >> kSideBits) - 1;
                for (int k = 0; k < count; ++k) {
                    crossings_[offset + k].a = a;
                    crossings_[offset + k].b = b;
                }
                stored = (stored & ~kSideMask) | sideLog;
            }
            continue;
        }
        stored = ((static_cast<int>(crossings_.size()) + 1) << kSideBits) | sideLog;
        double fx = G(x), fy = G(y);
        double ux = double(x.i) / n_, vx = double(x.j) / n_;
        double uy = double(y.i) / n_, vy = double(y.j) / n_;
        for (int k = 0; k < count; ++k) {
            double t = (levels_[first + k] - fx) / (fy - fx);
            Crossing c;
            c.p = placement_.PointAt(ux + t * (uy - ux), vx + t * (vy - vx));
            c.level = static_cast<std::int16_t>(first + k);
            c.a = a;
            c.b = b;
            crossings_.push_back(c);
        }
    }
}

// A crossed cell joins the crossings on the two sides at its odd corner, for each level; `at`
// holds the crossings of its sides pq, qr and rp by level, as `PlaceCrossings` left them.
void CrossingNetwork::Cell(const Corners& corners, const std::array<int*, 3>& at) {
    const auto [p, q, r] = corners;
    int bp = Bin(p), bq = Bin(q), br = Bin(r);
    double fp = G(p), fq = G(q), fr = G(r);
    int first = From(std::min({bp, bq, br})), last = To(std::max({bp, bq, br}));
    auto on = [&](int side, int bx, int by, int level) {
        return at[side][level - std::min(bx, by)];
    };
    for (int k = first; k < last; ++k) {
        double level = levels_[k];
        bool belowP = fp < level, belowQ = fq < level, belowR = fr < level;
        int x, y;
        if (belowQ == belowR) {
            x = on(0, bp, bq, k);
            y = on(2, br, bp, k);
        } else if (belowP == belowR) {
            x = on(0, bp, bq, k);
            y = on(1, bq, br, k);
        } else {
            x = on(2, br, bp, k);
            y = on(1, bq, br, k);
        }
        if (x >= 0 && y >= 0) {
            Link(x, y);
            Link(y, x);
        }
    }
}

void CrossingNetwork::Link(int from, int to) {
    Neighbours& c = links_[from];
    (c.to[0] < 0 ? c.to[0] : c.to[1]) = to;
}

void CrossingNetwork::Relink(int at, int from, int to) {
    changed_ = true;
    Neighbours& c = links_[at];
    (c.to[0] == from ? c.to[0] : c.to[1]) = to;
}

bool CrossingNetwork::PairAcrossSaddles() {
    const Recycled<GridCell>& leaves = cells_.Leaves();
    for (const LevelGrid::Joint& joint : levelGrid_.Joints()) {
        const GridCell& cell = leaves[joint.leaf];
        const int i = cell.i, j = cell.j, s = cell.size;
        using Kind = LevelGrid::JointKind;
        // Levels pass between two cells only where this network's levels cross this one.
        const bool across = joint.kind == Kind::AcrossU || joint.kind == Kind::AcrossV ||
                            joint.kind == Kind::AcrossDiagonal;
        if (across && !crossed_[joint.leaf]) {
            continue;
        }
        switch (joint.kind) {
            case Kind::AcrossU:
                PairAcross({i, j}, {i + s, j}, {i, j + s}, {i + s, j - s}, s);
                break;
            case Kind::AcrossV:
                PairAcross({i, j}, {i, j + s}, {i + s, j}, {i - s, j + s}, s);
                break;
            case Kind::AcrossDiagonal:
                PairAcross({i, j + s}, {i + s, j}, {i, j}, {i + s, j + s}, s);
                break;
            case Kind::OnSideU:
                EndOnSide({i, j}, {i + s, j}, {i, j + s}, s);
                break;
            case Kind::OnSideV:
                EndOnSide({i, j}, {i, j + s}, {i + s, j}, s);
                break;
            case Kind::OnSideDiagonal:
                EndOnSide({i + s, j}, {i, j + s}, {i, j}, s);
                break;
        }
    }
    return changed_;
}

// A cell whose side ab lies on a side of the triangle, with its third corner c, has no cell
// beyond ab, but the triangle's side may still cross a level twice between a and b, around its
// own extremum: the trace of a saddle or an extremum just outside. A line passing the cell then
// ends on the side on either hand of the extremum instead of running across the cap the level
// leaves there; where no line passes, the cap is a piece of its own, through the level's point
// between the extremum and c.
void CrossingNetwork::EndOnSide(GridNode a, GridNode b, GridNode c, int size) {
    int ba = Bin(a), bb = Bin(b), bc = Bin(c);
    if (ba == kNoValue || bb == kNoValue || bc == kNoValue) {
        return;
    }
    // The levels between the side's extremum and its ends are over both ends or under both.
    if (std::max(ba, bb) >= last_ && std::min(ba, bb) <= first_) {
        return;
    }
    // A line passes for levels over c but under a and b, or the other way round.
    bool passes = std::max(ba, bb) < bc || bc < std::min(ba, bb);
    if (!passes && !SideMayTurn(a, b)) {
        return;
    }
    std::optional<Saddle> top = ExtremumBetween(a, b, !passes);
    if (!top) {
        return;
    }
    const double fa = grid_.ModelValue(a.i, a.j), fb = grid_.ModelValue(b.i, b.j);
    const bool peak = top->value > fa;
    const int reach = static_cast<int>(
        std::upper_bound(levels_.begin(), levels_.end(), top->value) - levels_.begin());
    const int first = From(peak ? std::max(ba, bb) : reach);
    const int last = To(peak ? reach : std::min(ba, bb));
    for (int k = first; k < last; ++k) {
        const double level = levels_[k];
        if (Below(top->value - level) == Below(fa - level) ||
            Below(fa - level) != Below(fb - level)) {
            continue;
        }
        std::optional<LinePoint> x = LevelBetween(*top, a, k), y = LevelBetween(*top, b, k);
        if (!x || !y) {
            continue;
        }
        if (peak ? k < bc : k >= bc) {
            int sA = CrossingOn(a, c, size, k), sB = CrossingOn(b, c, size, k);
            if (sA >= 0 && sB >= 0 && Linked(sA, sB)) {
                Relink(sA, sB, Add(*x, k, a, sA, -1));
                Relink(sB, sA, Add(*y, k, b, sB, -1));
            }
            continue;
        }
        std::optional<LinePoint> apex = LevelBetween(*top, c, k);
        if (!apex) {
            continue;
        }
        int from = Add(*x, k, a, -1, -1), via = Add(*apex, k, c, from, -1);
        int to = Add(*y, k, b, via, -1);
        links_[from].to[0] = via;
        links_[via].to[1] = to;
    }
}

// Whether the grid along the triangle's side turns between its points a and b: it rises into a
// and falls beyond b, or the other way round. Where a or b is a corner of the triangle, it may.
bool CrossingNetwork::SideMayTurn(GridNode a, GridNode b) const {
    const int di = b.i - a.i, dj = b.j - a.j;
    auto inside = [&](GridNode x) { return x.i >= 0 && x.j >= 0 && x.i + x.j <= n_; };
    GridNode before{a.i - di, a.j - dj}, after{b.i + di, b.j + dj};
    if (!inside(before) || !inside(after)) {
        return true;
    }
    double into = G(a) - G(before), beyond = G(after) - G(b);
    return (into > 0 && beyond < 0) || (into < 0 && beyond > 0);
}

bool CrossingNetwork::Linked(int x, int y) const {
    const Neighbours& n = links_[x];
    return n.to[0] == y || n.to[1] == y;
}

// The cells on either side of edge ab, with odd corners c and d, are both crossed while ab is
// not: their corners alternate around the level, and a saddle lies near. The grid keeps a and b
// together; the real model joins them only when its saddle lies on their side of the level, else
// the crossings join around a and around b. Any test away from the saddle can be fooled by a
// line bending near it. Each joined pair gets a point of the level between the saddle and the
// corner it bends around, so no chord spans the saddle, where a search across it may land on the
// other branch.
void CrossingNetwork::PairAcross(GridNode a, GridNode b, GridNode c, GridNode d, int size) {
    int ba = Bin(a), bb = Bin(b), bc = Bin(c), bd = Bin(d);
    if (ba == kNoValue || bb == kNoValue || bc == kNoValue || bd == kNoValue) {
        return;
    }
    // Levels under c and d but over a and b, and the other way round.
    int belowFirst = From(std::max(ba, bb)), belowLast = To(std::min(bc, bd));
    int aboveFirst = From(std::max(bc, bd)), aboveLast = To(std::min(ba, bb));
    if (belowFirst >= belowLast && aboveFirst >= aboveLast) {
        return;
    }
    double fa = G(a);
    std::optional<Saddle> saddle = SaddleNear(a, b, size);
    if (!saddle) {
        return;
    }
    for (auto [first, last] :
         {std::pair{belowFirst, belowLast}, std::pair{aboveFirst, aboveLast}}) {
        for (int k = first; k < last; ++k) {
            int sA = CrossingOn(a, c, size, k), sB = CrossingOn(b, c, size, k);
            int tA = CrossingOn(a, d, size, k), tB = CrossingOn(b, d, size, k);
            if (sA < 0 || sB < 0 || tA < 0 || tB < 0) {
                continue;
            }
            if (Below(saddle->value - levels_[k]) == Below(fa - levels_[k])) {
                Via(sA, sB, *saddle, c, k);
                Via(tA, tB, *saddle, d, k);
                continue;
            }
            Relink(sA, sB, tA);
            Relink(tA, tB, sA);
            Relink(sB, sA, tB);
            Relink(tB, tA, sB);
            Via(sA, tA, *saddle, a, k);
            Via(sB, tB, *saddle, b, k);
        }
    }
}

// Puts the level's point between the saddle and `corner`, on opposite sides of it, between
// the linked crossings x and y.
void CrossingNetwork::Via(int x, int y, const Saddle& saddle, GridNode corner, int level) {
    std::optional<LinePoint> at = LevelBetween(saddle, corner, level);
    if (!at) {
        return;
    }
    int via = Add(*at, level, corner, x, y);
    Relink(x, y, via);
    Relink(y, x, via);
}

// The level's point on the straight way from the saddle to `corner`, when they lie on opposite
// sides of it.
std::optional<LinePoint> CrossingNetwork::LevelBetween(const Saddle& saddle, GridNode corner,
                                                       int level) {
    double uc = double(corner.i) / n_, vc = double(corner.j) / n_;
    double len = Length(placement_.PointAt(uc, vc) - saddle.at.p);
    double gs = saddle.value - levels_[level];
    double gc = grid_.ModelValue(corner.i, corner.j) - levels_[level];
    if (!(len > 0) || gc == 0 || !std::isfinite(gc) || Below(gs) == Below(gc)) {
        return std::nullopt;
    }
    auto g = [&](double s) {
        double w = s / len;
        return probe_.AtWeights(saddle.at.u + w * (uc - saddle.at.u),
                                saddle.at.v + w * (vc - saddle.at.v)) -
               levels_[level];
    };
    std::optional<double> t = SolveBracketed(g, 0.0, gs, len, gc, tolerance_);
    if (!t) {
        return std::nullopt;
    }
    double w = *t / len;
    LinePoint at;
    at.u = saddle.at.u + w * (uc - saddle.at.u);
    at.v = saddle.at.v + w * (vc - saddle.at.v);
    at.p = placement_.PointAt(at.u, at.v);
    return at;
}

// A crossing placed on the model near `corner`, linked to x and y (-1 for none).
int CrossingNetwork::Add(const LinePoint& at, int level, GridNode corner, int x, int y) {
    changed_ = true;
    Crossing c;
    c.p = at.p;
    c.level = static_cast<std::int16_t>(level);
    c.a = c.b = corner;
    c.onModel = true;
    crossings_.push_back(c);
    links_.push_back({{x, y}});
    return static_cast<int>(crossings_.size()) - 1;
}

// The model's saddle near the middle of ab, a side of `size`: Newton steps on the gradient of
// quadratics fitted to ever smaller stencils. Nothing when no saddle is found within a cell.
std::optional<CrossingNetwork::Saddle> CrossingNetwork::SaddleNear(GridNode a, GridNode b,
                                                                   int size) {
    const double u0 = 0.5 * (a.i + b.i) / n_, v0 = 0.5 * (a.j + b.j) / n_;
    const double cell = double(size) / n_;
    const double precision = 0.01 / std::max(1.0, placement_.SideLength());  // 0.01 px
    double u = u0, v = v0, h = 0.5 * cell;
    for (int iter = 0; iter < 10; ++iter) {
        // Stencils stay inside the triangle: the model is not asked about other mixtures.
        double room = std::min({u, v, 1 - u - v}) / 2;
        if (!(room > 0)) {
            return std::nullopt;
        }
        h = std::min(h, room);
        auto f = [&](double du, double dv) { return probe_.AtWeights(u + du, v + dv); };
        double f0 = f(0, 0), fpu = f(h, 0), fmu = f(-h, 0), fpv = f(0, h), fmv = f(0, -h);
        double fpp = f(h, h), fmm = f(-h, -h);
        double gu = (fpu - fmu) / (2 * h), gv = (fpv - fmv) / (2 * h);
        double huu = (fpu - 2 * f0 + fmu) / (h * h), hvv = (fpv - 2 * f0 + fmv) / (h * h);
        double huv = (fpp - fpu - fpv + 2 * f0 - fmu - fmv + fmm) / (2 * h * h);
        double det = huu * hvv - huv * huv;
        if (!(det < 0) || !std::isfinite(det) || !std::isfinite(gu) || !std::isfinite(gv)) {
            return std::nullopt;
        }
        double du = -(hvv * gu - huv * gv) / det, dv = -(huu * gv - huv * gu) / det;
        u += du;
        v += dv;
        if (!(std::fabs(u - u0) <= cell && std::fabs(v - v0) <= cell) ||
            !(u >= 0 && v >= 0 && u + v <= 1)) {
            return std::nullopt;
        }
        double step = std::hypot(du, dv);
        if (step < precision) {
            Saddle saddle{{placement_.PointAt(u, v), u, v}, probe_.AtWeights(u, v)};
            return std::isfinite(saddle.value) ? std::optional<Saddle>(saddle) : std::nullopt;
        }
        h = std::max(std::min(h, 2 * step), precision);
    }
    return std::nullopt;
}

// The model's extremum between the grid points a and b: Newton steps on parabolas through ever
// closer points, the first through a, b and their middle. Nothing when none lies between them,
// nor, when `nearLevel`, when the first parabola's extremum overshoots the ends by less than
// half its distance to the nearest level beyond it.
std::optional<CrossingNetwork::Saddle> CrossingNetwork::ExtremumBetween(GridNode a, GridNode b,
                                                                        bool nearLevel) {
    const double ua = double(a.i) / n_, va = double(a.j) / n_;
    const double du = double(b.i) / n_ - ua, dv = double(b.j) / n_ - va;
    const double len = Length(placement_.PointAt(ua + du, va + dv) - placement_.PointAt(ua, va));
    if (!(len > 0)) {
        return std::nullopt;
    }
    const double precision = 0.01 / len;  // 0.01 px
    auto f = [&](double t) { return probe_.AtWeights(ua + t * du, va + t * dv); };
    double t = 0.5, h = 0.5;
    double f0 = f(t), fp = grid_.ModelValue(b.i, b.j), fm = grid_.ModelValue(a.i, a.j);
    for (int iter = 0; iter < 12; ++iter) {
        double slope = (fp - fm) / (2 * h), bend = (fp - 2 * f0 + fm) / (h * h);
        if (!(bend != 0) || !std::isfinite(bend) || !std::isfinite(slope)) {
            return std::nullopt;
        }
        if (iter == 0 && nearLevel) {
            double ends = bend < 0 ? std::max(fm, fp) : std::min(fm, fp);
            double reach = f0 - slope * slope / (2 * bend);
            double far = reach + (reach - ends);
            auto lo = std::upper_bound(levels_.begin(), levels_.end(), std::min(ends, far));
            if (lo == levels_.end() || *lo > std::max(ends, far)) {
                return std::nullopt;
            }
        }
        double step = -slope / bend;
        t += step;
        if (!(t > 0 && t < 1)) {
            return std::nullopt;
        }
        const double u = ua + t * du, v = va + t * dv;
        if (std::fabs(step) < precision) {
            Saddle top{{placement_.PointAt(u, v), u, v}, f(t)};
            return std::isfinite(top.value) ? std::optional<Saddle>(top) : std::nullopt;
        }
        h = std::min({std::max(2 * std::fabs(step), precision), t, 1 - t});
        f0 = f(t);
        fp = f(t + h);
        fm = f(t - h);
    }
    return std::nullopt;
}

}  // namespace isotri::gen
