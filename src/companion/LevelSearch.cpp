#include "companion/LevelSearch.h"

#include <algorithm>
#include <cmath>

#include "companion/RootSearch.h"

namespace isotri::gen {

namespace {

// Share of the vertex tolerance for a search started from a close first try.
constexpr double kCloseTryTolerance = 0.75;

}  // namespace

LevelSearch::LevelSearch(ModelProbe& probe, SampleGrid& grid, double vertexTolerance)
    : probe_(probe), placement_(probe.Placement()), grid_(grid), tolerance_(vertexTolerance) {}

// The level on the model between grid nodes a and b, when their model values lie on either
// side of it (`bracketed`).
std::optional<LinePoint> LevelSearch::OnGridEdge(GridNode a, GridNode b, bool& bracketed) {
    const double n = grid_.Divisions();
    double ua = a.i / n, va = a.j / n, ub = b.i / n, vb = b.j / n;
    double len = Length(placement_.PointAt(ub, vb) - placement_.PointAt(ua, va));
    double ga = grid_.ModelValue(a.i, a.j) - level_;
    double gb = grid_.ModelValue(b.i, b.j) - level_;
    bracketed =
        std::isfinite(ga) && std::isfinite(gb) && (ga == 0 || gb == 0 || Below(ga) != Below(gb));
    if (!bracketed) {
        return std::nullopt;
    }
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
        // A search from a close first try stops on a slope seen from afar: a tighter
        // tolerance keeps its points as near their level as the others.
        const double guess = CurvedGuess(a, b, ga, gb, len);
        t = SolveBracketed(g, 0.0, ga, len, gb,
                           std::isnan(guess) ? tolerance_ : kCloseTryTolerance * tolerance_, guess);
    }
    if (!t) {
        return std::nullopt;
    }
    double w = len > 0 ? *t / len : 0.0;
    LinePoint point;
    point.u = ua + w * (ub - ua);
    point.v = va + w * (vb - va);
    point.p = placement_.PointAt(point.u, point.v);
    return point;
}

double LevelSearch::CurvedGuess(GridNode a, GridNode b, double ga, double gb, double len) {
    const int n = grid_.Divisions();
    const int di = b.i - a.i, dj = b.j - a.j;
    auto usable = [&](GridNode c) {
        return c.i >= 0 && c.j >= 0 && c.i + c.j <= n && grid_.Sampled(c.i, c.j);
    };
    GridNode c{b.i + di, b.j + dj};
    double xc = 2 * len;
    if (!usable(c)) {
        c = {a.i - di, a.j - dj};
        xc = -len;
        if (!usable(c)) {
            return NAN;
        }
    }
    const double gc = grid_.Value(c.i, c.j) - level_;
    // Newton form: p(x) = ga + d1·x + d2·x·(x - len).
    const double d1 = (gb - ga) / len;
    const double d2 = ((gc - gb) / (xc - len) - d1) / xc;
    double x = -ga / d1;
    for (int step = 0; step < 3; ++step) {
        const double p = ga + d1 * x + d2 * x * (x - len);
        const double slope = d1 + d2 * (2 * x - len);
        x -= p / slope;
    }
    return x > 0 && x < len ? x : NAN;
}

double LevelSearch::ModelAt(Vec2 p) {
    if (!(p.x == lastAt_.x && p.y == lastAt_.y)) {
        lastAt_ = p;
        lastValue_ = probe_.AtPoint(p);
    }
    return lastValue_;
}

const LevelSearch::Surroundings& LevelSearch::Around(Vec2 p) {
    if (!(p.x == aroundAt_.x && p.y == aroundAt_.y)) {
        aroundAt_ = p;
        placement_.WeightsOf(p, around_.u, around_.v);
        around_.sloped = grid_.LinearGradient(around_.u, around_.v, around_.gradient);
    }
    return around_;
}

bool LevelSearch::InsideRange(Vec2 mid, double u, double v, Vec2 normal, double reach, double& lo,
                              double& hi) const {
    double du, dv;
    placement_.WeightsOf(mid + normal, du, dv);
    du -= u;
    dv -= v;
    lo = -reach;
    hi = reach;
    // A point a rounding step beyond a side, as the middle of a chord along it, is on it.
    auto onSide = [](double w) { return w < 0 && w > -1e-9 ? 0.0 : w; };
    const double weight[3] = {onSide(u), onSide(v), onSide(1 - u - v)};
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
std::optional<double> LevelSearch::AlongNormal(Vec2 mid, Vec2 normal, double reach) {
    auto g = [&](double t) { return probe_.AtPoint(mid + t * normal) - level_; };
    const Surroundings& around = Around(mid);
    double lo, hi;
    if (!InsideRange(mid, around.u, around.v, normal, reach, lo, hi)) {
        return std::nullopt;
    }
    double gMid = ModelAt(mid) - level_;
    if (!std::isfinite(gMid)) {
        return std::nullopt;
    }
    if (gMid == 0) {
        return 0.0;
    }
    const double slope = around.sloped ? Dot(around.gradient, normal) : 0;
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
            return SolveBracketed(g, t0, g0, t1, g1, tolerance_);
        }
        double secant = (g1 - g0) / (t1 - t0);
        // Steps that grow the value head for a pole, not for the level.
        if (std::fabs(g1) <= tolerance_ * std::fabs(secant) && std::fabs(g1) < std::fabs(g0)) {
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
            return SolveBracketed(g, 0.0, gMid, end, gEnd, tolerance_);
        }
    }
    return std::nullopt;
}

}  // namespace isotri::gen
