#include "companion/SampleGrid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "companion/Floor.h"

namespace isotri::gen {

namespace {

// A level can hide between grid points once the model bends by this share of the level spacing
// over two cells.
constexpr double kBendShare = 0.25;

}  // namespace

SampleGrid::SampleGrid(ModelProbe& probe) : probe_(probe) {}

void SampleGrid::Sample(int divisions) {
    n_ = std::max(1, divisions);
    first_ = n_;
    values_.assign(static_cast<std::size_t>((n_ + 1) * (n_ + 1)), 0.0);
    sampled_.assign(values_.size(), 1);
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            values_[Index(i, j)] = probe_.AtWeights(double(i) / n_, double(j) / n_);
        }
    }
    modelValues_.clear();
    UpdateRange();
}

void SampleGrid::Refine(int maxDivisions, double low, double high, int lineCount) {
    while (n_ * 2 <= maxDivisions && HasFiniteValue()) {
        Recycled<char> near = PlacesWhereALevelMayHide(low, high, lineCount);
        if (near.empty()) {
            break;
        }
        Double(near);
    }
    modelValues_.clear();
}

double SampleGrid::ModelValue(int i, int j) {
    std::size_t k = static_cast<std::size_t>(Index(i, j));
    if (sampled_[k]) {
        return values_[k];
    }
    auto [at, added] = modelValues_.try_emplace(k, 0.0);
    if (added) {
        at->second = probe_.AtWeights(double(i) / n_, double(j) / n_);
    }
    return at->second;
}

void SampleGrid::Double(const Recycled<char>& sampleNear) {
    int old = n_;
    Recycled<double> previous = std::move(values_);
    Recycled<char> previousSampled = std::move(sampled_);
    n_ = old * 2;
    // Every vertex of the triangle is set below; the rest of the table is never read.
    values_.resize(static_cast<std::size_t>((n_ + 1) * (n_ + 1)));
    sampled_.resize(values_.size());
    // The range is taken along, as every value passes here.
    Range range;
    const std::size_t coarseRow = static_cast<std::size_t>(old + 1);
    for (int i = 0; i <= n_; ++i) {
        double* value = values_.data() + Index(i, 0);
        char* sampled = sampled_.data() + Index(i, 0);
        // An even row lies on a coarse row, an odd one between that and the next.
        const std::size_t lower = static_cast<std::size_t>(i / 2) * coarseRow;
        const std::size_t upper = lower + coarseRow;
        for (int j = 0; i + j <= n_; ++j) {
            // The coarse edge this vertex halves; odd i and j halve the cell's diagonal.
            std::size_t a, b;
            if (i % 2 == 0) {
                if (j % 2 == 0) {
                    value[j] = previous[lower + j / 2];
                    sampled[j] = previousSampled[lower + j / 2];
                    range.Add(value[j]);
                    continue;
                }
                a = lower + j / 2;
                b = a + 1;
            } else {
                a = lower + (j + 1) / 2;
                b = upper + j / 2;
            }
            double fa = previous[a], fb = previous[b];
            if (sampleNear[a] || sampleNear[b] || !std::isfinite(fa) || !std::isfinite(fb)) {
                value[j] = probe_.AtWeights(double(i) / n_, double(j) / n_);
                sampled[j] = 1;
            } else {
                value[j] = 0.5 * (fa + fb);
                sampled[j] = 0;
            }
            range.Add(value[j]);
        }
    }
    TakeRange(range);
}

void SampleGrid::UpdateRange() {
    Range range;
    for (int i = 0; i <= n_; ++i) {
        const double* row = values_.data() + Index(i, 0);
        for (int j = 0; i + j <= n_; ++j) {
            range.Add(row[j]);
        }
    }
    TakeRange(range);
}

void SampleGrid::TakeRange(const Range& range) {
    finiteCount_ = range.count;
    min_ = range.count > 0 ? range.min : 0;
    max_ = range.count > 0 ? range.max : 0;
}

Recycled<char> SampleGrid::PlacesWhereALevelMayHide(double low, double high, int lineCount) const {
    const double spacing = (high - low) / (lineCount + 1);
    const double bend = kBendShare * spacing;
    // Levels in [lo, hi]: the level k >= 1 nearest above lo.
    auto levelWithin = [&](double lo, double hi) {
        double k = std::max(1.0, std::ceil((lo - low) / spacing));
        return k <= lineCount && low + k * spacing <= hi;
    };
    // Only sampled values tell of the model's bending: a mean bends nowhere.
    auto at = [&](int i, int j) {
        return i >= 0 && j >= 0 && i + j <= n_ && sampled_[Index(i, j)]
                   ? Value(i, j)
                   : std::numeric_limits<double>::quiet_NaN();
    };
    // Five values along a grid line, the middle three read as a parabola: a level hides between
    // two of them when the parabola's extremum lies between the outer two and passes that level
    // beyond the values beside it. A smooth extremum bends the next three values on its side
    // the same way; a kink, as where a ramp meets its plateau, bends only the three around it.
    // The values two steps away are read only for the few places that bend enough.
    auto hidesBetween = [&](int i, int j, int di, int dj, double a, double b, double c) {
        double d = a - 2 * b + c;
        if (!(std::fabs(d) > bend) || !std::isfinite(d)) {
            return false;
        }
        double t = (a - c) / (2 * d);
        if (!(std::fabs(t) < 1)) {
            return false;
        }
        double side = t <= 0 ? a : c;
        double beyond = t <= 0 ? at(i - 2 * di, j - 2 * dj) : at(i + 2 * di, j + 2 * dj);
        double next = beyond - 2 * side + b;
        if (std::isfinite(beyond) && !(next * d > 0 && std::fabs(next) > 0.5 * bend)) {
            return false;
        }
        double extremum = b - (c - a) * (c - a) / (8 * d);
        if (d > 0) {
            return levelWithin(extremum - bend, std::min(side, b));
        }
        return levelWithin(std::max(side, b), extremum + bend);
    };
    constexpr int kDirections[3][2] = {{1, 0}, {0, 1}, {1, -1}};
    Recycled<char> hides(values_.size(), 0);
    bool any = false;
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            if (!sampled_[Index(i, j)]) {
                continue;
            }
            for (const auto& [di, dj] : kDirections) {
                double a = at(i - di, j - dj), c = at(i + di, j + dj);
                if (std::isnan(a) || std::isnan(c)) {
                    continue;
                }
                if (hidesBetween(i, j, di, dj, a, Value(i, j), c)) {
                    hides[Index(i, j)] = 1;
                    any = true;
                    break;
                }
            }
        }
    }
    if (!any) {
        return {};
    }
    MarkSaddlesAndTurns(low, high, lineCount, hides);
    // The new vertices around such a place are sampled, with room for the bend to spread: wide
    // on the first grid, whose cells may hide a whole feature, narrower once it is found.
    const int kReach = n_ <= 32 ? 4 : 2;
    Recycled<char> near(values_.size(), 0);
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            if (!hides[Index(i, j)]) {
                continue;
            }
            for (int a = std::max(0, i - kReach); a <= std::min(n_, i + kReach); ++a) {
                for (int b = std::max(0, j - kReach); b <= std::min(n_ - a, j + kReach); ++b) {
                    near[Index(a, b)] = 1;
                }
            }
        }
    }
    return near;
}

// Where the grid is refined anyway, the places where two crossed cells meet at an uncrossed edge
// (a saddle near a level) and where a level meets a side twice in a row (a saddle or an extremum
// beyond the side) are refined too: there the grid's topology is the least sure.
void SampleGrid::MarkSaddlesAndTurns(double low, double high, int lineCount,
                                     Recycled<char>& marks) const {
    // Bins of the level spacing, by its inverse: a value a rounding step off a level may fall
    // either way, as the marks only choose where to sample.
    const double perSpacing = (lineCount + 1) / (high - low);
    Recycled<signed char> bins(values_.size(), -1);
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            const std::size_t k = static_cast<std::size_t>(Index(i, j));
            if (std::isfinite(values_[k])) {
                bins[k] = static_cast<signed char>(
                    ClampedFloor((values_[k] - low) * perSpacing, lineCount));
            }
        }
    }
    auto bin = [&](int i, int j) { return bins[Index(i, j)]; };
    auto mark = [&](std::initializer_list<std::pair<int, int>> nodes) {
        for (auto [i, j] : nodes) {
            marks[Index(i, j)] = 1;
        }
    };
    auto apart = [](int a, int b, int c, int d) {
        if (a < 0 || b < 0 || c < 0 || d < 0) {
            return false;
        }
        return std::max(a, b) < std::min(c, d) || std::max(c, d) < std::min(a, b);
    };
    // Neighbours by their offsets in the tables: a row holds n + 1 vertices.
    const std::ptrdiff_t row = n_ + 1;
    const signed char* b = bins.data();
    char* m = marks.data();
    auto markAll = [m](std::ptrdiff_t p, std::ptrdiff_t q, std::ptrdiff_t r, std::ptrdiff_t s) {
        m[p] = m[q] = m[r] = m[s] = 1;
    };
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j < n_; ++j) {
            const std::ptrdiff_t k = Index(i, j);
            // Edges from (i, j) along u and v, and the diagonal of its cell, each with the
            // corners opposite it in the two cells beside it.
            if (j >= 1 && apart(b[k], b[k + row], b[k + 1], b[k + row - 1])) {
                markAll(k, k + row, k + 1, k + row - 1);
            }
            if (i >= 1 && apart(b[k], b[k + 1], b[k + row], b[k - row + 1])) {
                markAll(k, k + 1, k + row, k - row + 1);
            }
            if (i + j + 2 <= n_ && apart(b[k + row], b[k + 1], b[k], b[k + row + 1])) {
                markAll(k + row, k + 1, k, k + row + 1);
            }
        }
    }
    // Along the sides: a vertex both of whose neighbours lie past a level it does not reach.
    auto turn = [&](int i, int j, int di, int dj) {
        double a = bin(i - di, j - dj), b = bin(i, j), c = bin(i + di, j + dj);
        if (a >= 0 && b >= 0 && c >= 0 && ((a > b && c > b) || (a < b && c < b))) {
            mark({{i - di, j - dj}, {i, j}, {i + di, j + dj}});
        }
    };
    for (int k = 1; k < n_; ++k) {
        turn(k, 0, 1, 0);
        turn(0, k, 0, 1);
        turn(k, n_ - k, 1, -1);
    }
}

bool SampleGrid::LinearGradient(double u, double v, Vec2& gradient) const {
    const TrianglePlacement& placement = probe_.Placement();
    if (n_ < 1 || placement.Det() == 0 || !std::isfinite(u) || !std::isfinite(v)) {
        return false;
    }
    int i = static_cast<int>(ClampedFloor(u * n_, n_ - 1));
    int j = static_cast<int>(ClampedFloor(v * n_, n_ - 1));
    if (i + j > n_ - 1) {
        // Outside the lower-left cells: use the cell that still has all three corners.
        int excess = i + j - (n_ - 1);
        if (i >= excess) {
            i -= excess;
        } else {
            j -= excess - i;
            i = 0;
        }
    }
    double f0 = Value(i, j);
    double fu = Value(i + 1, j);
    double fv = Value(i, j + 1);
    if (!std::isfinite(f0) || !std::isfinite(fu) || !std::isfinite(fv)) {
        return false;
    }
    gradient = placement.GradientFrom((fu - f0) * n_, (fv - f0) * n_);
    return std::isfinite(gradient.x) && std::isfinite(gradient.y);
}

}  // namespace isotri::gen
