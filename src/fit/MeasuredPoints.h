// The measured points on the picture: where a mixture lies in the drawn (sub-)triangle.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "companion/zorb_lib.h"
#include "fit/DataTable.h"
#include "render/PointMarks.h"

namespace isotri {

// Where `mixture` lies on the picture of `set`, whose vertex k stands for corner k of `bounds`
// (Ax, Ay, Az, Bx, ... Cz; null: the pure components). Nothing when the mixture lies outside the
// triangle or the corners span no triangle.
std::optional<PicturePoint> PlaceMixture(const TIsolineSet& set, const float* bounds,
                                         const std::array<double, 3>& mixture);

// The points inside the triangle, in picture pixels.
std::vector<PicturePoint> PlaceMeasuredPoints(const TIsolineSet& set, const float* bounds,
                                              std::span<const MeasuredPoint> points);

}  // namespace isotri
