#include "render/PointMarks.h"

#include <cmath>

namespace isotri {

void DrawPointMarks(Canvas& canvas, std::span<const PicturePoint> points) {
    canvas.SetPenWidth(1);
    canvas.SetPenColor({0, 0, 0});
    canvas.SetBrushColor({255, 255, 255});
    for (const PicturePoint& p : points) {
        const auto x = static_cast<int>(std::nearbyint(p.X));
        const auto y = static_cast<int>(std::nearbyint(p.Y));
        canvas.Ellipse(x - kPointRadius, y - kPointRadius, x + kPointRadius + 1,
                       y + kPointRadius + 1);
    }
}

}  // namespace isotri
