// The triangle placed in the picture and the model seen through it: a picture point maps to
// barycentric weights on the placed triangle, and those weights to a mixture of the corners.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "companion/zorb_lib.h"

namespace isotri::gen {

struct Vec2 {
    double x = 0;
    double y = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(double k, Vec2 a) {
    return {k * a.x, k * a.y};
}
inline double Dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline double Cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}
// Picture distances never come near overflow, so the plain root serves and costs far less.
inline double Length(Vec2 a) {
    return std::sqrt(a.x * a.x + a.y * a.y);
}

using Mixture = std::array<double, 3>;

// The corner compositions of the nine bounds (corners A, B, C), or of the whole triangle when
// there are none.
inline std::array<Mixture, 3> CornersOf(const float* bounds) {
    std::array<Mixture, 3> corners{};
    for (int k = 0; k < 3; ++k) {
        for (int c = 0; c < 3; ++c) {
            corners[k][c] = bounds != nullptr ? double(bounds[3 * k + c]) : (k == c ? 1.0 : 0.0);
        }
    }
    return corners;
}

class TrianglePlacement {
  public:
    // `vertices`: the picture corners 0, 1, 2; `corners`: the mixtures A, B, C they stand for.
    TrianglePlacement(const std::array<Vec2, 3>& vertices, const std::array<Mixture, 3>& corners)
        : v_(vertices), corners_(corners) {
        e1_ = v_[1] - v_[0];
        e2_ = v_[2] - v_[0];
        det_ = Cross(e1_, e2_);
    }

    const Vec2& Vertex(int k) const { return v_[k]; }
    // Twice the signed area in square pixels; zero for a triangle with no extent.
    double Det() const { return det_; }
    double SideLength() const { return Length(e1_); }

    // Picture point of the weights (1 - u - v, u, v).
    Vec2 PointAt(double u, double v) const { return v_[0] + u * e1_ + v * e2_; }
    // Weights u, v of a picture point (only for a triangle with extent).
    void WeightsOf(Vec2 p, double& u, double& v) const {
        Vec2 d = p - v_[0];
        u = Cross(d, e2_) / det_;
        v = Cross(e1_, d) / det_;
    }
    Mixture MixtureAt(double u, double v) const {
        double w = std::max(0.0, 1.0 - u - v);
        Mixture m;
        for (int c = 0; c < 3; ++c) {
            m[c] = w * corners_[0][c] + u * corners_[1][c] + v * corners_[2][c];
        }
        return m;
    }
    // Converts the derivatives along the two edges from vertex 0 into the picture gradient.
    Vec2 GradientFrom(double dfdu, double dfdv) const {
        // df/du = g·e1, df/dv = g·e2
        return {(dfdu * e2_.y - dfdv * e1_.y) / det_, (dfdv * e1_.x - dfdu * e2_.x) / det_};
    }

  private:
    std::array<Vec2, 3> v_;
    std::array<Mixture, 3> corners_;
    Vec2 e1_, e2_;
    double det_ = 0;
};

// Evaluates the model through the placement and counts the calls.
class ModelProbe {
  public:
    ModelProbe(const TrianglePlacement& placement, TEvalProc evaluate)
        : placement_(placement), evaluate_(evaluate) {}

    const TrianglePlacement& Placement() const { return placement_; }

    // Weights a rounding step outside the triangle are taken back onto its side, so that a
    // model with a root or a logarithm of a share never sees a share of -1e-17.
    double AtWeights(double u, double v) {
        u = std::max(u, 0.0);
        v = std::max(v, 0.0);
        if (u + v > 1.0) {
            double s = u + v;
            u /= s;
            v /= s;
        }
        Mixture m = placement_.MixtureAt(u, v);
        double result = std::numeric_limits<double>::quiet_NaN();
        evaluate_(&m[0], &m[1], &m[2], &result);
        ++count_;
        return result;
    }
    // NaN outside the triangle: the model is never asked about mixtures off the sub-triangle.
    double AtPoint(Vec2 p) {
        double u, v;
        placement_.WeightsOf(p, u, v);
        constexpr double kSlack = 1e-9;
        if (!(u >= -kSlack && v >= -kSlack && u + v <= 1.0 + kSlack)) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        return AtWeights(u, v);
    }
    std::int64_t Count() const { return count_; }

  private:
    const TrianglePlacement& placement_;
    TEvalProc evaluate_;
    std::int64_t count_ = 0;
};

}  // namespace isotri::gen
