#include "companion/LevelTracer.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "companion/RootSearch.h"

namespace isotri::gen {

namespace {

struct Vertex {
    Vec2 p;
    double u = 0, v = 0;  // weights on the placed triangle
};

struct Crossing {
    Vertex at;
    int link[2] = {-1, -1};
    bool visited = false;
};

constexpr int kUnknown = -2;
// Farthest a corner is looked for from its chord, px.
constexpr double kCornerReach = 64;
// Directions at a chord's ends that differ more than this (cos 20°) make a corner.
constexpr double kCornerCos = 0.94;
constexpr int kFailed = -1;

class Tracer {
  public:
    Tracer(ModelProbe& probe, const SampleGrid& grid, double level, std::int64_t limit,
           const TraceTolerances& tol)
        : probe_(probe),
          placement_(probe.Placement()),
          grid_(grid),
          n_(grid.Divisions()),
          level_(level),
          limit_(limit),
          tol_(tol) {}

    std::vector<TracedPiece> Run() {
        edges_.assign(static_cast<std::size_t>(3 * (n_ + 1) * (n_ + 1)), kUnknown);
        for (int i = 0; i < n_; ++i) {
            for (int j = 0; i + j < n_; ++j) {
                if (!grid_.BlockMayCross(i, j, level_)) {
                    // Same order of cells as without the skip, so the same crossings and pieces.
                    j = (j / SampleGrid::kBlock + 1) * SampleGrid::kBlock - 1;
                    continue;
                }
                // Upward cell (i,j) (i+1,j) (i,j+1) and the downward cell beside it.
                Cell({i, j}, {i + 1, j}, {i, j + 1}, Key(i, j, 0), Key(i, j, 1), Key(i, j, 2));
                if (i + j + 2 <= n_) {
                    Cell({i + 1, j}, {i, j + 1}, {i + 1, j + 1}, Key(i, j, 2), Key(i + 1, j, 1),
                         Key(i, j + 1, 0));
                }
            }
        }
        PairAcrossSaddles();
        return Chains();
    }

  private:
    struct Node {
        int i, j;
    };

    // A cell's segment beside its uncrossed edge ab: `nearA` on the edge from a to the odd
    // corner, `nearB` on the one from b.
    struct Segment {
        int edge;
        Node a, b, odd;
        int nearA, nearB;
    };

    struct Saddle {
        Vertex at;
        double value;
    };

    int Key(int i, int j, int dir) const { return 3 * (i * (n_ + 1) + j) + dir; }
    double G(Node a) const { return grid_.Value(a.i, a.j) - level_; }

    // Edges pq, pr, qr of a cell; a crossing segment joins the two edges at the odd corner.
    void Cell(Node p, Node q, Node r, int pq, int pr, int qr) {
        double gp = G(p), gq = G(q), gr = G(r);
        if (!std::isfinite(gp) || !std::isfinite(gq) || !std::isfinite(gr)) {
            return;
        }
        bool bp = Below(gp), bq = Below(gq), br = Below(gr);
        if (bp == bq && bq == br) {
            return;
        }
        Segment s;
        if (bq == br) {
            s = {qr, q, r, p, CrossingOn(pq, p, q), CrossingOn(pr, p, r)};
        } else if (bp == br) {
            s = {pr, p, r, q, CrossingOn(pq, p, q), CrossingOn(qr, q, r)};
        } else {
            s = {pq, p, q, r, CrossingOn(pr, p, r), CrossingOn(qr, q, r)};
        }
        if (s.nearA < 0 || s.nearB < 0) {
            return;
        }
        Link(s.nearA, s.nearB);
        Link(s.nearB, s.nearA);
        if (s.a.i > s.b.i || (s.a.i == s.b.i && s.a.j > s.b.j)) {
            std::swap(s.a, s.b);
            std::swap(s.nearA, s.nearB);
        }
        segments_.push_back(s);
    }

    void Link(int from, int to) {
        Crossing& c = crossings_[from];
        (c.link[0] < 0 ? c.link[0] : c.link[1]) = to;
    }

    void Relink(int at, int from, int to) {
        Crossing& c = crossings_[at];
        (c.link[0] == from ? c.link[0] : c.link[1]) = to;
    }

    // Two crossed cells that share an uncrossed edge ab have their corners alternating around
    // the level: a saddle lies near. The grid keeps a and b together; the real model joins them
    // only when its saddle lies on their side of the level, else the crossings join around a
    // and around b. Any test away from the saddle can be fooled by a line bending near it.
    // Each joined pair gets a point of the level between the saddle and the corner it bends
    // around, so no chord spans the saddle, where a search across it may land on the other
    // branch.
    void PairAcrossSaddles() {
        std::sort(segments_.begin(), segments_.end(),
                  [](const Segment& x, const Segment& y) { return x.edge < y.edge; });
        for (std::size_t k = 0; k + 1 < segments_.size(); ++k) {
            const Segment s = segments_[k];
            const Segment t = segments_[k + 1];
            if (s.edge != t.edge) {
                continue;
            }
            ++k;
            std::optional<Saddle> saddle = SaddleNear(s.a, s.b);
            if (!saddle) {
                continue;
            }
            if (Below(saddle->value - level_) == Below(G(s.a))) {
                Via(s.nearA, s.nearB, *saddle, s.odd);
                Via(t.nearA, t.nearB, *saddle, t.odd);
                continue;
            }
            Relink(s.nearA, s.nearB, t.nearA);
            Relink(t.nearA, t.nearB, s.nearA);
            Relink(s.nearB, s.nearA, t.nearB);
            Relink(t.nearB, t.nearA, s.nearB);
            Via(s.nearA, t.nearA, *saddle, s.a);
            Via(s.nearB, t.nearB, *saddle, s.b);
        }
    }

    // Puts the level's point between the saddle and `corner`, on opposite sides of it, between
    // the linked crossings x and y.
    void Via(int x, int y, const Saddle& saddle, Node corner) {
        double uc = double(corner.i) / n_, vc = double(corner.j) / n_;
        double len = Length(placement_.PointAt(uc, vc) - saddle.at.p);
        double gc = G(corner);
        if (!(len > 0) || gc == 0) {
            return;
        }
        auto g = [&](double s) {
            double w = s / len;
            return probe_.AtWeights(saddle.at.u + w * (uc - saddle.at.u),
                                    saddle.at.v + w * (vc - saddle.at.v)) -
                   level_;
        };
        std::optional<double> t =
            SolveBracketed(g, 0.0, saddle.value - level_, len, gc, tol_.vertex);
        if (!t) {
            return;
        }
        double w = *t / len;
        Crossing c;
        c.at.u = saddle.at.u + w * (uc - saddle.at.u);
        c.at.v = saddle.at.v + w * (vc - saddle.at.v);
        c.at.p = placement_.PointAt(c.at.u, c.at.v);
        c.link[0] = x;
        c.link[1] = y;
        crossings_.push_back(c);
        int via = static_cast<int>(crossings_.size()) - 1;
        Relink(x, y, via);
        Relink(y, x, via);
    }

    // The model's saddle near the middle of ab: Newton steps on the gradient of quadratics
    // fitted to ever smaller stencils. Nothing when no saddle is found within a cell.
    std::optional<Saddle> SaddleNear(Node a, Node b) {
        const double u0 = 0.5 * (a.i + b.i) / n_, v0 = 0.5 * (a.j + b.j) / n_;
        const double cell = 1.0 / n_;
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

    int CrossingOn(int key, Node a, Node b) {
        int& slot = edges_[key];
        if (slot != kUnknown) {
            return slot;
        }
        double ua = double(a.i) / n_, va = double(a.j) / n_;
        double ub = double(b.i) / n_, vb = double(b.j) / n_;
        Vec2 pa = placement_.PointAt(ua, va), pb = placement_.PointAt(ub, vb);
        double len = Length(pb - pa);
        double ga = G(a), gb = G(b);
        std::optional<double> t;
        if (ga == 0 || len == 0) {
            t = 0.0;
        } else if (gb == 0) {
            t = len;
        } else {
            auto g = [&](double s) {
                double w = s / len;
                return probe_.AtWeights(ua + w * (ub - ua), va + w * (vb - va)) - level_;
            };
            t = SolveBracketed(g, 0.0, ga, len, gb, tol_.vertex);
        }
        if (!t) {
            slot = kFailed;
            return slot;
        }
        double w = len > 0 ? *t / len : 0.0;
        Crossing c;
        c.at.u = ua + w * (ub - ua);
        c.at.v = va + w * (vb - va);
        c.at.p = placement_.PointAt(c.at.u, c.at.v);
        crossings_.push_back(c);
        slot = static_cast<int>(crossings_.size()) - 1;
        return slot;
    }

    static int LinkCount(const Crossing& c) { return (c.link[0] >= 0) + (c.link[1] >= 0); }

    std::vector<TracedPiece> Chains() {
        std::vector<TracedPiece> pieces;
        // Open pieces first, from either end, then whatever is left forms loops.
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t s = 0; s < crossings_.size(); ++s) {
                const Crossing& c = crossings_[s];
                if (c.visited || LinkCount(c) != (pass == 0 ? 1 : 2)) {
                    continue;
                }
                std::vector<int> chain = Walk(static_cast<int>(s));
                bool closed = pass == 1;
                if (closed) {
                    chain.push_back(chain.front());
                }
                TracedPiece piece = Refined(chain, closed);
                if (!piece.points.empty()) {
                    pieces.push_back(std::move(piece));
                }
            }
        }
        return pieces;
    }

    std::vector<int> Walk(int start) {
        std::vector<int> chain;
        int prev = -1, cur = start;
        while (cur >= 0 && !crossings_[cur].visited) {
            Crossing& c = crossings_[cur];
            c.visited = true;
            chain.push_back(cur);
            int next = c.link[0] != prev ? c.link[0] : c.link[1];
            prev = cur;
            cur = next;
        }
        return chain;
    }

    TracedPiece Refined(const std::vector<int>& chain, bool closed) {
        std::vector<Vertex> line;
        line.push_back(crossings_[chain[0]].at);
        for (std::size_t k = 1; k < chain.size(); ++k) {
            const Vertex& p = line.back();
            const Vertex& q = crossings_[chain[k]].at;
            // The line's directions at the chord's ends, from the chords beside it.
            Vec2 into = line.size() > 1 ? p.p - line[line.size() - 2].p : q.p - p.p;
            Vec2 outOf = k + 1 < chain.size() ? crossings_[chain[k + 1]].at.p - q.p : q.p - p.p;
            Vertex start = p;
            Refine(start, q, into, outOf, 0, line);
            line.push_back(q);
        }
        return Finished(line, closed);
    }

    // Drops points that coincide in the picture's single precision with the one before them; a
    // piece left without extent is dropped whole.
    TracedPiece Finished(const std::vector<Vertex>& line, bool closed) const {
        TracedPiece piece;
        piece.closed = closed;
        float lastX = 0, lastY = 0;
        for (const Vertex& v : line) {
            float x = static_cast<float>(v.p.x), y = static_cast<float>(v.p.y);
            if (!piece.points.empty() && x == lastX && y == lastY) {
                continue;
            }
            lastX = x;
            lastY = y;
            piece.points.push_back(v.p);
            piece.mixtures.push_back(placement_.MixtureAt(v.u, v.v));
        }
        std::size_t distinct = piece.points.size() - (closed ? 1 : 0);
        if (piece.points.size() < 2 || (closed && distinct < 3)) {
            return {};
        }
        return piece;
    }

    // Adds the points between p and q (both on the level) that keep the chords on the line;
    // `into` and `outOf` are the line's directions at p and at q.
    void Refine(const Vertex& p, const Vertex& q, Vec2 into, Vec2 outOf, int depth,
                std::vector<Vertex>& out) {
        Vec2 d = q.p - p.p;
        double len = Length(d);
        // Short chords are left alone, but at a corner the line turns so sharply that even a
        // short chord may cut its tip by the chord bound.
        double shortest = IsCorner(into, outOf) ? tol_.minChord / 8 : tol_.minChord;
        if (len <= shortest || depth >= tol_.maxDepth || probe_.Count() >= limit_) {
            return;
        }
        Vec2 mid = 0.5 * (p.p + q.p);
        std::optional<Vec2> found = Between(p.p, q.p, into, outOf, mid, len);
        if (!found) {
            return;
        }
        Vertex c;
        c.p = *found;
        placement_.WeightsOf(c.p, c.u, c.v);
        double sag = std::fabs(Cross(d, c.p - p.p)) / len;
        // A point found off the chord's middle leaves a long part of the chord unchecked.
        double along = Dot(c.p - p.p, d) / (len * len);
        if (sag > tol_.sag || len > tol_.maxChord || along < 0.25 || along > 0.75) {
            Refine(p, c, into, q.p - c.p, depth + 1, out);
            out.push_back(c);
            Refine(c, q, c.p - p.p, outOf, depth + 1, out);
        } else {
            out.push_back(c);
        }
    }

    static bool IsCorner(Vec2 into, Vec2 outOf) {
        return Dot(into, outOf) < kCornerCos * Length(into) * Length(outOf);
    }

    // A corner of a line with kinks (a min or max in the model) can lie farther from its chord
    // than the search across the chord reaches: where the line's directions at both ends meet
    // ahead of them, the level is looked for from the chord's middle towards that meeting point.
    std::optional<Vec2> TowardsCorner(Vec2 p, Vec2 into, Vec2 q, Vec2 outOf, Vec2 mid) {
        double turn = Cross(into, outOf);
        if (!(std::fabs(turn) > 1e-9 * Length(into) * Length(outOf))) {
            return std::nullopt;
        }
        // p + a·into = q - b·outOf
        Vec2 d = q - p;
        double a = Cross(d, outOf) / turn;
        double b = Cross(into, d) / turn;
        if (!(a > 0 && b > 0)) {
            return std::nullopt;
        }
        Vec2 corner = p + a * into;
        Vec2 toCorner = corner - mid;
        double reach = Length(toCorner);
        if (!(reach > 0) || reach > kCornerReach) {
            return std::nullopt;
        }
        std::optional<double> t = AlongNormal(mid, (1 / reach) * toCorner, 1.25 * reach);
        if (!t || !(*t > 0)) {
            return std::nullopt;
        }
        Vec2 c = mid + (*t / reach) * toCorner;
        double along = Dot(c - p, d) / Dot(d, d);
        if (!(along > 0 && along < 1)) {
            return std::nullopt;
        }
        return c;
    }

    // A point of the level near the middle of the chord pq: across the chord, or towards a
    // corner, or else down the model's slope, where a line turning sharply is met sooner. The
    // last must lie beside the chord, not beyond either end.
    std::optional<Vec2> Between(Vec2 p, Vec2 q, Vec2 into, Vec2 outOf, Vec2 mid, double len) {
        Vec2 d = q - p;
        Vec2 normal{-d.y / len, d.x / len};
        // Where the line turns sharply, the search across the chord lands beside the corner.
        bool turns = IsCorner(into, outOf);
        if (turns) {
            if (std::optional<Vec2> corner = TowardsCorner(p, into, q, outOf, mid)) {
                return corner;
            }
        }
        if (std::optional<double> t = AlongNormal(mid, normal, len)) {
            return mid + *t * normal;
        }
        if (!turns) {
            if (std::optional<Vec2> corner = TowardsCorner(p, into, q, outOf, mid)) {
                return corner;
            }
        }
        double h = std::min(0.25, 0.1 * len);
        double f = probe_.AtPoint(mid);
        Vec2 slope{(probe_.AtPoint(mid + Vec2{h, 0}) - f) / h,
                   (probe_.AtPoint(mid + Vec2{0, h}) - f) / h};
        double norm = Length(slope);
        if (!(norm > 0) || !std::isfinite(norm)) {
            return std::nullopt;
        }
        Vec2 dir = (1 / norm) * slope;
        std::optional<double> t = AlongNormal(mid, dir, len);
        if (!t) {
            return std::nullopt;
        }
        Vec2 c = mid + *t * dir;
        double along = Dot(c - p, d) / (len * len);
        if (!(along > 0 && along < 1)) {
            return std::nullopt;
        }
        return c;
    }

    // The part [lo, hi] of the line mid + t·normal, |t| <= reach, inside the triangle.
    bool InsideRange(Vec2 mid, Vec2 normal, double reach, double& lo, double& hi) const {
        double u, v, du, dv;
        placement_.WeightsOf(mid, u, v);
        placement_.WeightsOf(mid + normal, du, dv);
        du -= u;
        dv -= v;
        lo = -reach;
        hi = reach;
        const double weight[3] = {u, v, 1 - u - v};
        const double slope[3] = {du, dv, -du - dv};
        for (int k = 0; k < 3; ++k) {
            if (slope[k] > 0) {
                lo = std::max(lo, -weight[k] / slope[k]);
            } else if (slope[k] < 0) {
                hi = std::min(hi, -weight[k] / slope[k]);
            }
        }
        return lo <= 0 && 0 <= hi;
    }

    // Offset along `normal` from `mid` to the level, within `reach` and the triangle: secant
    // steps from the grid's slope, then a bracketed search once the level is passed.
    std::optional<double> AlongNormal(Vec2 mid, Vec2 normal, double reach) {
        auto g = [&](double t) { return probe_.AtPoint(mid + t * normal) - level_; };
        double lo, hi;
        if (!InsideRange(mid, normal, reach, lo, hi)) {
            return std::nullopt;
        }
        double gMid = g(0);
        if (!std::isfinite(gMid)) {
            return std::nullopt;
        }
        if (gMid == 0) {
            return 0.0;
        }
        double slope = 0;
        double u, v;
        placement_.WeightsOf(mid, u, v);
        Vec2 gradient;
        if (grid_.LinearGradient(u, v, gradient)) {
            slope = Dot(gradient, normal);
        }
        double t0 = 0, g0 = gMid;
        double t1 =
            std::fabs(slope) > 0 ? std::clamp(-g0 / slope, lo, hi) : 0.5 * (hi - lo > 0 ? hi : lo);
        for (int iter = 0; iter < 12 && t1 != t0; ++iter) {
            double g1 = g(t1);
            if (!std::isfinite(g1)) {
                break;
            }
            if (g1 == 0) {
                return t1;
            }
            if (Below(g1) != Below(g0)) {
                return SolveBracketed(g, t0, g0, t1, g1, tol_.vertex);
            }
            double secant = (g1 - g0) / (t1 - t0);
            // Steps that grow the value head for a pole, not for the level.
            if (std::fabs(g1) <= tol_.vertex * std::fabs(secant) && std::fabs(g1) < std::fabs(g0)) {
                return t1;
            }
            double t2 = std::clamp(t1 - g1 / secant, lo, hi);
            if (!std::isfinite(t2)) {
                break;
            }
            t0 = t1;
            g0 = g1;
            t1 = t2;
        }
        // No convergence: look for the level between the middle and either end of the range.
        for (double end : {lo, hi}) {
            double gEnd = g(end);
            if (end != 0 && std::isfinite(gEnd) && Below(gEnd) != Below(gMid)) {
                return SolveBracketed(g, 0.0, gMid, end, gEnd, tol_.vertex);
            }
        }
        return std::nullopt;
    }

    ModelProbe& probe_;
    const TrianglePlacement& placement_;
    const SampleGrid& grid_;
    int n_;
    double level_;
    std::int64_t limit_;
    TraceTolerances tol_;
    std::vector<int> edges_;
    std::vector<Crossing> crossings_;
    std::vector<Segment> segments_;
};

}  // namespace

std::vector<TracedPiece> TraceLevel(ModelProbe& probe, const SampleGrid& grid, double level,
                                    std::int64_t evaluationLimit,
                                    const TraceTolerances& tolerances) {
    if (grid.Divisions() < 1 || probe.Placement().Det() == 0) {
        return {};
    }
    return Tracer(probe, grid, level, evaluationLimit, tolerances).Run();
}

}  // namespace isotri::gen
