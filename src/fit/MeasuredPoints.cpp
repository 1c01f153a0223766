#include "fit/MeasuredPoints.h"

#include <algorithm>
#include <cmath>

#include "render/PictureMapping.h"

namespace isotri {

namespace {

// Mixtures on a side of the triangle stay on it despite rounding.
constexpr double kInsideSlack = 1e-9;
// Corners that do not sum to one leave some mixtures off their plane: those are outside too.
constexpr double kOffPlane = 1e-6;

}  // namespace

std::optional<PicturePoint> PlaceMixture(const TIsolineSet& set, const float* bounds,
                                         const std::array<double, 3>& mixture) {
    // In the set's own coordinates, with the bounds the generator was given.
    const std::optional<PictureMapping> mapping =
        PictureMapping::ForSet(set, 0, 0, 1.0, bounds, false);
    if (!mapping) {
        return std::nullopt;
    }
    const std::optional<Weights> weights = mapping->WeightsOfModelMixture(mixture);
    if (!weights || !(*std::min_element(weights->begin(), weights->end()) >= -kInsideSlack)) {
        return std::nullopt;
    }
    const Mixture back = mapping->ModelMixture(*weights);
    for (int c = 0; c < 3; ++c) {
        if (!(std::fabs(back[c] - mixture[c]) <= kOffPlane)) {
            return std::nullopt;
        }
    }
    const PictureXY point = mapping->PointAt(*weights);
    return PicturePoint{point.x, point.y};
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
