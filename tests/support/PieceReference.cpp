#include "support/PieceReference.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace isotri::gen {

namespace {

// Levels this close to a lattice value, as a share of the range, are taken as lying on it.
constexpr double kRounding = 1e-9;

}  // namespace

PieceReference::PieceReference(const Model& model, int divisions, const Lattice& lattice)
    : n_(std::max(1, divisions)), values_(std::size_t(n_ + 1) * (n_ + 1), 0.0) {
    double lo = INFINITY, hi = -INFINITY;
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            double u = double(i) / n_, v = double(j) / n_;
            double f = lattice ? lattice(i, j) : model(std::max(0.0, 1 - u - v), u, v);
            values_[Index(i, j)] = f;
            if (std::isfinite(f)) {
                lo = std::min(lo, f);
                hi = std::max(hi, f);
            }
        }
    }
    range_ = hi > lo ? hi - lo : 0;
    // Each block's range over its cells' corners, so a pass skips the blocks no level crosses.
    blocks_ = (n_ + kBlock - 1) / kBlock;
    blockRanges_.assign(std::size_t(blocks_) * blocks_, Range{INFINITY, -INFINITY});
    for (int bi = 0; bi < blocks_; ++bi) {
        for (int bj = 0; bi + bj < blocks_; ++bj) {
            Range& r = blockRanges_[bi * blocks_ + bj];
            // The points on the block's far edges are corners of its cells too.
            for (int i = bi * kBlock; i <= std::min(n_, (bi + 1) * kBlock); ++i) {
                for (int j = bj * kBlock; j <= (bj + 1) * kBlock && i + j <= n_; ++j) {
                    double f = values_[Index(i, j)];
                    if (std::isfinite(f)) {
                        r.lo = std::min(r.lo, f);
                        r.hi = std::max(r.hi, f);
                    }
                }
            }
        }
    }
    FindSaddles(model);
}

// Newton steps on difference quotients of the model, from each square of the lattice where a
// saddle may lie and from every square beside a side, place the saddles. The quotients reach a
// step beyond the sides, so the model must be defined there.
void PieceReference::FindSaddles(const Model& model) {
    auto f = [&](double u, double v) { return model(1 - u - v, u, v); };
    const double cell = 1.0 / n_;
    auto place = [&](double u, double v) {
        const double h = 1e-4;
        for (int iter = 0; iter < 30; ++iter) {
            double f0 = f(u, v), fpu = f(u + h, v), fmu = f(u - h, v);
            double fpv = f(u, v + h), fmv = f(u, v - h);
            double fpp = f(u + h, v + h), fmm = f(u - h, v - h);
            double gu = (fpu - fmu) / (2 * h), gv = (fpv - fmv) / (2 * h);
            double huu = (fpu - 2 * f0 + fmu) / (h * h), hvv = (fpv - 2 * f0 + fmv) / (h * h);
            double huv = (fpp - fpu - fpv + 2 * f0 - fmu - fmv + fmm) / (2 * h * h);
            double det = huu * hvv - huv * huv;
            if (!(det < 0)) {
                return;
            }
            double du = -(hvv * gu - huv * gv) / det, dv = -(huu * gv - huv * gu) / det;
            u += du;
            v += dv;
            double step = std::hypot(du, dv);
            if (!(step <= 2 * cell)) {
                return;
            }
            if (step < 1e-10) {
                break;
            }
            if (iter == 29) {
                return;
            }
        }
        constexpr double kSide = 1e-12;
        if (u < -kSide || v < -kSide || u + v > 1 + kSide) {
            return;
        }
        for (const SaddlePoint& s : saddles_) {
            if (std::hypot(s.u - u, s.v - v) < 1e-7) {
                return;
            }
        }
        saddles_.push_back({u, v, f(u, v)});
    };
    // Critical points lie where both lattice slopes change sign within a square of four points:
    // bit 0 of a point's slope is set where the values rise along u, bit 1 along v.
    std::vector<unsigned char> slope(values_.size(), 0);
    for (int i = 1; i < n_; ++i) {
        for (int j = 1; i + j < n_; ++j) {
            slope[Index(i, j)] = (values_[Index(i + 1, j)] > values_[Index(i - 1, j)] ? 1 : 0) |
                                 (values_[Index(i, j + 1)] > values_[Index(i, j - 1)] ? 2 : 0);
        }
    }
    for (int i = 1; i + 1 < n_; ++i) {
        for (int j = 1; i + j + 2 < n_; ++j) {
            int first = slope[Index(i, j)];
            int changes = (first ^ slope[Index(i + 1, j)]) | (first ^ slope[Index(i, j + 1)]) |
                          (first ^ slope[Index(i + 1, j + 1)]);
            if (changes == 3 || i == 1 || j == 1 || i + j + 3 == n_) {
                place((i + 0.5) / n_, (j + 0.5) / n_);
            }
        }
    }
}

double PieceReference::Shift() const {
    return kRounding * std::max(range_, 1e-300);
}

std::vector<PieceCount> PieceReference::Pieces(const std::vector<double>& levels) const {
    if (levels == lastLevels_) {
        return lastCounts_;
    }
    double shift = Shift();
    // Both shifts in one pass: the first half of `shifted` down, the second up.
    const std::size_t n = levels.size();
    std::vector<double> shifted(2 * n);
    for (std::size_t k = 0; k < n; ++k) {
        double by = std::max(shift, std::fabs(levels[k]) * 1e-15);
        shifted[k] = levels[k] - by;
        shifted[n + k] = levels[k] + by;
    }
    std::vector<int> shiftedCounts = CountsAt(shifted);
    std::vector<PieceCount> counts(n);
    for (std::size_t k = 0; k < n; ++k) {
        counts[k] = {shiftedCounts[k], shiftedCounts[n + k], 0};
        for (const SaddlePoint& s : saddles_) {
            counts[k].saddles += s.value >= shifted[k] && s.value <= shifted[n + k];
        }
    }
    lastLevels_ = levels;
    lastCounts_ = counts;
    return counts;
}

// One pass over the cells sorts them to the levels they cross; each level then joins only its
// own cells, so the cost grows with the lines' length, not with the number of levels.
std::vector<int> PieceReference::CountsAt(const std::vector<double>& levels) const {
    std::vector<int> order(levels.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return levels[a] < levels[b]; });
    std::vector<double> sorted;
    for (int k : order) {
        sorted.push_back(levels[k]);
    }
    // Corners of the upward (i, j) (i+1, j) (i, j+1) and the downward (i+1, j) (i+1, j+1)
    // (i, j+1) cell of (i, j); edge k joins corners k and k + 1.
    auto corners = [&](int cell) {
        int at = cell / 2, i = at / (n_ + 1), j = at % (n_ + 1);
        return cell % 2 == 0
                   ? std::array<int, 3>{Index(i, j), Index(i + 1, j), Index(i, j + 1)}
                   : std::array<int, 3>{Index(i + 1, j), Index(i + 1, j + 1), Index(i, j + 1)};
    };
    // Edges of lattice point (i, j): 0 to (i+1, j), 1 to (i, j+1), 2 the diagonal from (i+1, j)
    // to (i, j+1).
    auto edges = [&](int cell) {
        int at = cell / 2, i = at / (n_ + 1), j = at % (n_ + 1);
        return cell % 2 == 0
                   ? std::array<int, 3>{3 * Index(i, j), 3 * Index(i, j) + 2, 3 * Index(i, j) + 1}
                   : std::array<int, 3>{3 * Index(i + 1, j) + 1, 3 * Index(i, j + 1),
                                        3 * Index(i, j) + 2};
    };
    std::vector<std::vector<int>> crossed(levels.size());
    // Levels first..last - 1 are those the current block may cross.
    std::size_t first = 0, last = 0;
    auto sortCell = [&](int i, int j, bool down) {
        const int p = Index(i, j), q = p + n_ + 1;  // (i, j) and (i + 1, j)
        double a = values_[down ? q : p], b = values_[down ? q + 1 : q], d = values_[p + 1];
        if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(d)) {
            return;
        }
        // Crossed where some corner is below the level and some is not: min < level <= max.
        double lo = std::min({a, b, d}), hi = std::max({a, b, d});
        for (std::size_t k = first; k < last; ++k) {
            if (lo < sorted[k] && sorted[k] <= hi) {
                crossed[k].push_back(2 * p + (down ? 1 : 0));
            }
        }
    };
    for (int bi = 0; bi < blocks_; ++bi) {
        for (int bj = 0; bi + bj < blocks_; ++bj) {
            const Range& range = blockRanges_[bi * blocks_ + bj];
            first = std::upper_bound(sorted.begin(), sorted.end(), range.lo) - sorted.begin();
            last = std::upper_bound(sorted.begin(), sorted.end(), range.hi) - sorted.begin();
            if (first >= last) {
                continue;
            }
            for (int i = bi * kBlock; i < std::min(n_, (bi + 1) * kBlock); ++i) {
                for (int j = bj * kBlock; j < (bj + 1) * kBlock && i + j < n_; ++j) {
                    sortCell(i, j, false);
                    if (i + j + 2 <= n_) {
                        sortCell(i, j, true);
                    }
                }
            }
        }
    }

    std::vector<int> counts(levels.size(), 0);
    std::vector<int>& parent = parent_;
    parent.resize(3 * values_.size(), -1);
    std::vector<int> touched;
    auto find = [&](int e) {
        while (parent[e] != e) {
            parent[e] = parent[parent[e]];
            e = parent[e];
        }
        return e;
    };
    for (std::size_t s = 0; s < sorted.size(); ++s) {
        double level = sorted[s];
        touched.clear();
        for (int cell : crossed[s]) {
            std::array<int, 3> c = corners(cell), e = edges(cell);
            int cut[2], n = 0;
            for (int k = 0; k < 3 && n < 2; ++k) {
                if ((values_[c[k]] < level) != (values_[c[(k + 1) % 3]] < level)) {
                    cut[n++] = e[k];
                }
            }
            for (int k = 0; k < 2; ++k) {
                if (parent[cut[k]] < 0) {
                    parent[cut[k]] = cut[k];
                    touched.push_back(cut[k]);
                }
            }
            parent[find(cut[0])] = find(cut[1]);
        }
        int pieces = 0;
        for (int e : touched) {
            pieces += find(e) == e;
        }
        for (int e : touched) {
            parent[e] = -1;
        }
        counts[order[s]] = pieces;
    }
    return counts;
}

}  // namespace isotri::gen
