// Marks of measured points over a drawn picture: small open circles.
#pragma once

#include <span>

#include "render/Canvas.h"

namespace isotri {

// A point of the picture in pixels, not yet rounded.
struct PicturePoint {
    double X = 0;
    double Y = 0;
};

// Radius of a mark's circle in pixels.
inline constexpr int kPointRadius = 4;

// Black circles filled white, over whatever is drawn already; centres rounded to the nearest
// pixel, ties to even.
void DrawPointMarks(Canvas& canvas, std::span<const PicturePoint> points);

}  // namespace isotri
