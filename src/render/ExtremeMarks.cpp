#include "render/ExtremeMarks.h"

#include <cmath>
#include <string>

#include "render/PictureMapping.h"

namespace isotri {

namespace {

int Round(double v) {
    // Far outside any picture: a mark there is not seen anyway.
    if (!std::isfinite(v) || std::fabs(v) > 1e6) {
        return v < 0 ? -1000000 : 1000000;
    }
    return static_cast<int>(std::nearbyint(v));
}

void DrawMark(Canvas& canvas, const ExtremePoint& point, bool highest, double zoom, int width,
              int height, const AppearanceSettings& settings, const NumberText& numbers) {
    const auto z = static_cast<float>(zoom);
    const int x = Round(point.x * z + (1 - z) * static_cast<float>(width) / 2);
    const int y = Round(point.y * z + (1 - z) * static_cast<float>(height) / 2);
    const int s = kExtremeMarkSize;
    canvas.SetPenWidth(1);
    canvas.SetPenColor(settings.LineBox);
    canvas.SetBrushColor(highest ? settings.LineBox : Rgb{255, 255, 255});
    const int tip = highest ? -s : s;
    const IntPoint corners[] = {{x, y + tip}, {x + s, y - tip}, {x - s, y - tip}};
    canvas.Polygon(corners);

    const std::string text =
        std::string(highest ? "макс " : "мин ") + numbers.Format(settings.STicksForm, point.value);
    canvas.SetFont(settings.TicsFont);
    canvas.SetBrushColor({255, 255, 255});
    const int w = canvas.TextWidth(text);
    const int h = canvas.TextHeight(text);
    // Right of the mark, or left of it where the picture ends.
    const int left = x + 2 * s + w <= width ? x + 2 * s : x - 2 * s - w;
    canvas.TextOut(left, y - h / 2, text);
}

}  // namespace

void DrawExtremeMarks(Canvas& canvas, const PlotExtremes& extremes, int width, int height,
                      const AppearanceSettings& settings, const NumberText& numbers) {
    const std::optional<double> zoom = DrawnZoom(settings, numbers);
    if (!zoom) {
        return;
    }
    DrawMark(canvas, extremes.min, false, *zoom, width, height, settings, numbers);
    DrawMark(canvas, extremes.max, true, *zoom, width, height, settings, numbers);
}

}  // namespace isotri
