#include "companion/ModelExtremes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace isotri::gen {

namespace {

// Lattice extremes polished on each side.
constexpr int kStarts = 3;
constexpr int kMaxIterations = 200;
constexpr int kRestarts = 2;
// Weights closer than this are one point: the model's value cannot tell them apart any more.
constexpr double kPointPrecision = 1e-9;
// A polish that moves the value by more than this many lattice ranges ran into a pole, where the
// value grows without bound, not into an extreme.
constexpr double kPoleRanges = 4;

struct Point {
    double u, v;
};

// Nearest point of the triangle u >= 0, v >= 0, u + v <= 1.
Point Inside(Point p) {
    double u = std::max(p.u, 0.0), v = std::max(p.v, 0.0);
    if (u + v > 1) {
        double t = std::clamp(0.5 * (u - v + 1), 0.0, 1.0);
        u = t;
        v = 1 - t;
    }
    return {u, v};
}

// Minimises sign·f with Nelder and Mead's simplex, every vertex kept inside the triangle.
class Polish {
  public:
    Polish(ModelProbe& probe, double sign) : probe_(probe), sign_(sign) {}

    Extreme From(Point start, double size) {
        Simplex s = Around(start, size);
        for (int restart = 0; restart <= kRestarts; ++restart) {
            Run(s);
            // A simplex flattened against a side can stall off the extreme: start afresh, smaller.
            size = std::max(kPointPrecision, 0.1 * size);
            s = Around(s.p[0], size);
        }
        return {sign_ * s.f[0], s.p[0].u, s.p[0].v};
    }

  private:
    struct Simplex {
        std::array<Point, 3> p;
        std::array<double, 3> f;
    };

    double At(Point p) {
        double f = probe_.AtWeights(p.u, p.v);
        return std::isfinite(f) ? sign_ * f : std::numeric_limits<double>::infinity();
    }

    // A simplex with extent at c, its other vertices inside the triangle, so that one on a side
    // or at a corner can still move inwards.
    Simplex Around(Point c, double size) {
        constexpr double kSteps[6][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, -1}, {-1, 1}};
        Simplex s;
        s.p[0] = Inside(c);
        int found = 0;
        for (const auto& [du, dv] : kSteps) {
            Point p{s.p[0].u + size * du, s.p[0].v + size * dv};
            if (!(p.u >= 0 && p.v >= 0 && p.u + p.v <= 1)) {
                continue;
            }
            if (found == 1 && (p.u - s.p[0].u) * (s.p[1].v - s.p[0].v) ==
                                  (p.v - s.p[0].v) * (s.p[1].u - s.p[0].u)) {
                continue;
            }
            s.p[++found] = p;
            if (found == 2) {
                break;
            }
        }
        for (; found < 2; ++found) {
            s.p[found + 1] = s.p[0];  // a triangle smaller than the step: nothing to polish
        }
        for (int k = 0; k < 3; ++k) {
            s.f[k] = At(s.p[k]);
        }
        Sort(s);
        return s;
    }

    static void Sort(Simplex& s) {
        for (int a = 0; a < 3; ++a) {
            for (int b = a + 1; b < 3; ++b) {
                if (s.f[b] < s.f[a]) {
                    std::swap(s.f[a], s.f[b]);
                    std::swap(s.p[a], s.p[b]);
                }
            }
        }
    }

    static double Size(const Simplex& s) {
        double size = 0;
        for (int k = 1; k < 3; ++k) {
            size = std::max(size, std::hypot(s.p[k].u - s.p[0].u, s.p[k].v - s.p[0].v));
        }
        return size;
    }

    void Run(Simplex& s) {
        for (int iter = 0; iter < kMaxIterations; ++iter) {
            double spread = s.f[2] - s.f[0];
            double scale = std::max(std::fabs(s.f[0]), std::numeric_limits<double>::min());
            if (Size(s) < kPointPrecision ||
                (std::isfinite(spread) &&
                 spread <= 4 * std::numeric_limits<double>::epsilon() * scale)) {
                return;
            }
            Point c{0.5 * (s.p[0].u + s.p[1].u), 0.5 * (s.p[0].v + s.p[1].v)};
            auto toward = [&](double t) {
                return Inside({c.u + t * (s.p[2].u - c.u), c.v + t * (s.p[2].v - c.v)});
            };
            Point r = toward(-1);
            double fr = At(r);
            if (fr < s.f[0]) {
                Point e = toward(-2);
                double fe = At(e);
                Replace(s, fe < fr ? e : r, std::min(fe, fr));
            } else if (fr < s.f[1]) {
                Replace(s, r, fr);
            } else {
                Point k = fr < s.f[2] ? toward(-0.5) : toward(0.5);
                double fk = At(k);
                if (fk < std::min(fr, s.f[2])) {
                    Replace(s, k, fk);
                } else {
                    for (int j = 1; j < 3; ++j) {
                        s.p[j] = {0.5 * (s.p[0].u + s.p[j].u), 0.5 * (s.p[0].v + s.p[j].v)};
                        s.f[j] = At(s.p[j]);
                    }
                    Sort(s);
                }
            }
        }
    }

    static void Replace(Simplex& s, Point p, double f) {
        s.p[2] = p;
        s.f[2] = f;
        Sort(s);
    }

    ModelProbe& probe_;
    double sign_;
};

struct Candidate {
    double value;
    int i, j;
};

// Lattice points no neighbour beats, best first (sign·value smallest first).
std::vector<Candidate> LocalBest(const SampleGrid& lattice, double sign) {
    const int n = lattice.Divisions();
    constexpr int kNeighbours[6][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, -1}, {-1, 1}};
    std::vector<Candidate> found;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; i + j <= n; ++j) {
            double f = lattice.Value(i, j);
            if (!std::isfinite(f)) {
                continue;
            }
            bool best = true;
            for (const auto& [di, dj] : kNeighbours) {
                int a = i + di, b = j + dj;
                if (a < 0 || b < 0 || a + b > n) {
                    continue;
                }
                double g = lattice.Value(a, b);
                if (std::isfinite(g) && sign * g < sign * f) {
                    best = false;
                    break;
                }
            }
            if (best) {
                found.push_back({sign * f, i, j});
            }
        }
    }
    std::sort(found.begin(), found.end(),
              [](const Candidate& a, const Candidate& b) { return a.value < b.value; });
    return found;
}

}  // namespace

ModelRange FindExtremes(ModelProbe& probe, const SampleGrid& lattice) {
    ModelRange range;
    const int n = lattice.Divisions();
    if (!lattice.HasFiniteValue() || n < 1) {
        return range;
    }
    range.found = true;
    const double latticeSpan = lattice.Max() - lattice.Min();
    for (double sign : {1.0, -1.0}) {
        std::vector<Candidate> starts = LocalBest(lattice, sign);
        const Candidate& first = starts.front();
        Extreme best{sign * first.value, double(first.i) / n, double(first.j) / n};
        Polish polish(probe, sign);
        for (std::size_t k = 0; k < starts.size() && k < kStarts; ++k) {
            Extreme e = polish.From({double(starts[k].i) / n, double(starts[k].j) / n}, 0.5 / n);
            if (!std::isfinite(e.value) || !(sign * (e.value - best.value) < 0) ||
                std::fabs(e.value - sign * first.value) > kPoleRanges * latticeSpan) {
                continue;
            }
            best = e;
        }
        (sign > 0 ? range.low : range.high) = best;
    }
    return range;
}

}  // namespace isotri::gen
