// The measured points on the picture: where a mixture lies in the drawn (sub-)triangle, and the
// small open circles that mark the points inside it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "companion/zorb_lib.h"
#include "fit/DataTable.h"
#include "render/Canvas.h"

namespace isotri {

struct PicturePoint {
    double X = 0;
    double Y = 0;
};

// Where `mixture` lies on the picture of `set`, whose vertex k stands for corner k of `bounds`
// (Ax, Ay, Az, Bx, ... Cz; null: the pure components). Nothing when the mixture lies outside the
// triangle or the corners span no triangle.
std::optional<PicturePoint> PlaceMixture(const TIsolineSet& set, const float* bounds,
                                         const std::array<double, 3>& mixture);

// The points inside the triangle, in picture pixels.
std::vector<PicturePoint> PlaceMeasuredPoints(const TIsolineSet& set, const float* bounds,
                                              std::span<const MeasuredPoint> points);

// Radius of a point's circle in pixels.
inline constexpr int kPointRadius = 4;

// Black circles filled white, over whatever is drawn already.
void DrawMeasuredPoints(Canvas& canvas, std::span<const PicturePoint> points);

}  // namespace isotri
