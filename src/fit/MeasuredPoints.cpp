#include "fit/MeasuredPoints.h"

#include <Eigen/Dense>

#include <cmath>

namespace isotri {

namespace {

// Mixtures on a side of the triangle stay on it despite rounding.
constexpr double kInsideSlack = 1e-9;

}  // namespace

std::optional<PicturePoint> PlaceMixture(const TIsolineSet& set, const float* bounds,
                                         const std::array<double, 3>& mixture) {
    Eigen::Matrix3d corners = Eigen::Matrix3d::Identity();
    if (bounds != nullptr) {
        for (int k = 0; k < 3; ++k) {
            for (int c = 0; c < 3; ++c) {
                corners(c, k) = bounds[3 * k + c];
            }
        }
    }
    const Eigen::FullPivLU<Eigen::Matrix3d> lu(corners);
    if (!lu.isInvertible()) {
        return std::nullopt;
    }
    const Eigen::Vector3d weights = lu.solve(Eigen::Vector3d(mixture[0], mixture[1], mixture[2]));
    // Corners that do not sum to one put some mixtures off their plane: those are outside too.
    if (!weights.allFinite() || weights.minCoeff() < -kInsideSlack ||
        std::fabs(weights.sum() - 1) > 1e-6 ||
        (corners * weights - Eigen::Vector3d(mixture[0], mixture[1], mixture[2]))
                .cwiseAbs()
                .maxCoeff() > 1e-6) {
        return std::nullopt;
    }
    PicturePoint point;
    for (int k = 0; k < 3; ++k) {
        point.X += weights(k) * set.Vertices[k].X;
        point.Y += weights(k) * set.Vertices[k].Y;
    }
    return point;
}

std::vector<PicturePoint> PlaceMeasuredPoints(const TIsolineSet& set, const float* bounds,
                                              std::span<const MeasuredPoint> points) {
    std::vector<PicturePoint> placed;
    for (const MeasuredPoint& point : points) {
        if (const std::optional<PicturePoint> p = PlaceMixture(set, bounds, point.Mixture)) {
            placed.push_back(*p);
        }
    }
    return placed;
}

}  // namespace isotri
