#include "render/ExtremeMarks.h"

#include <cmath>
#include <limits>
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

void Place(const PictureMapping* mapping, ExtremePoint& point) {
    point.x = point.y = std::numeric_limits<double>::quiet_NaN();
    if (mapping == nullptr) {
        return;
    }
    if (const std::optional<Weights> w = mapping->WeightsOfModelMixture(point.mixture)) {
        const PictureXY p = mapping->PointAt(*w);
        point.x = p.x;
        point.y = p.y;
    }
}

void DrawMark(Canvas& canvas, const ExtremePoint& point, bool highest, double zoom, int width,
              int height, const AppearanceSettings& settings, const NumberText& numbers) {
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
        return;
    }
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

void ExtremeTracker::Track(double value, double x1, double x2, double x3) {
    if (!std::isfinite(value)) {
        return;
    }
    if (!seen_ || value < extremes_.min.value) {
        extremes_.min = {value, {x1, x2, x3}, 0, 0};
    }
    if (!seen_ || value > extremes_.max.value) {
        extremes_.max = {value, {x1, x2, x3}, 0, 0};
    }
    seen_ = true;
}

std::optional<PlotExtremes> ExtremeTracker::Place(const TIsolineSet& set, const float* bounds,
                                                  bool scalesOnly) const {
    if (!seen_) {
        return std::nullopt;
    }
    return PlaceExtremes(set, bounds, scalesOnly, extremes_.min, extremes_.max);
}

PlotExtremes PlaceExtremes(const TIsolineSet& set, const float* bounds, bool scalesOnly,
                           const ExtremePoint& lowest, const ExtremePoint& highest) {
    // In the set's own coordinates: the zoom is the drawing's business.
    const std::optional<PictureMapping> mapping =
        PictureMapping::ForSet(set, 0, 0, 1.0, bounds, scalesOnly);
    PlotExtremes placed{lowest, highest};
    Place(mapping ? &*mapping : nullptr, placed.min);
    Place(mapping ? &*mapping : nullptr, placed.max);
    return placed;
}

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
