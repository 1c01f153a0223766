#include "companion/SampleGrid.h"

#include <algorithm>
#include <cmath>

namespace isotri::gen {

namespace {

// A level can hide between grid points once the model bends by this share of the level spacing
// over two cells.
constexpr double kBendShare = 0.25;

}  // namespace

SampleGrid::SampleGrid(ModelProbe& probe) : probe_(probe) {}

void SampleGrid::Sample(int divisions, int maxDivisions, int lineCount) {
    n_ = std::max(1, divisions);
    values_.assign(static_cast<std::size_t>((n_ + 1) * (n_ + 1)), 0.0);
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            values_[Index(i, j)] = probe_.AtWeights(double(i) / n_, double(j) / n_);
        }
    }
    UpdateRange();
    while (n_ * 2 <= maxDivisions && HasFiniteValue()) {
        double spacing = (max_ - min_) / (lineCount + 1);
        if (!(LargestSecondDifference() > kBendShare * spacing)) {
            break;
        }
        Refine();
        UpdateRange();
    }
}

void SampleGrid::Refine() {
    int old = n_;
    std::vector<double> previous = std::move(values_);
    n_ = old * 2;
    values_.assign(static_cast<std::size_t>((n_ + 1) * (n_ + 1)), 0.0);
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            values_[Index(i, j)] = (i % 2 == 0 && j % 2 == 0)
                                       ? previous[(i / 2) * (old + 1) + j / 2]
                                       : probe_.AtWeights(double(i) / n_, double(j) / n_);
        }
    }
}

void SampleGrid::UpdateRange() {
    finiteCount_ = 0;
    min_ = 0;
    max_ = 0;
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            double f = values_[Index(i, j)];
            if (!std::isfinite(f)) {
                continue;
            }
            if (finiteCount_ == 0 || f < min_) {
                min_ = f;
            }
            if (finiteCount_ == 0 || f > max_) {
                max_ = f;
            }
            ++finiteCount_;
        }
    }
}

double SampleGrid::LargestSecondDifference() const {
    double largest = 0;
    auto consider = [&](double a, double b, double c) {
        double d = std::fabs(a - 2 * b + c);
        if (std::isfinite(d)) {
            largest = std::max(largest, d);
        }
    };
    for (int i = 0; i <= n_; ++i) {
        for (int j = 0; i + j <= n_; ++j) {
            double b = Value(i, j);
            if (i >= 1 && i + j + 1 <= n_) {
                consider(Value(i - 1, j), b, Value(i + 1, j));
            }
            if (j >= 1 && i + j + 1 <= n_) {
                consider(Value(i, j - 1), b, Value(i, j + 1));
            }
            if (i >= 1 && j >= 1) {
                consider(Value(i - 1, j + 1), b, Value(i + 1, j - 1));
            }
        }
    }
    return largest;
}

bool SampleGrid::LinearGradient(double u, double v, Vec2& gradient) const {
    const TrianglePlacement& placement = probe_.Placement();
    if (n_ < 1 || placement.Det() == 0 || !std::isfinite(u) || !std::isfinite(v)) {
        return false;
    }
    int i = std::clamp(static_cast<int>(std::floor(u * n_)), 0, n_ - 1);
    int j = std::clamp(static_cast<int>(std::floor(v * n_)), 0, n_ - 1);
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
