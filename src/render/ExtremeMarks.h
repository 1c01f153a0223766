// The lowest and highest value of a plot, and their small marks on the picture.
#pragma once

#include <array>
#include <optional>

#include "common/NumberText.h"
#include "render/AppearanceSettings.h"
#include "render/Canvas.h"

namespace isotri {

struct ExtremePoint {
    double value = 0;
    std::array<double, 3> mixture{};  // the model's point
    double x = 0;                     // its place in the set's picture coordinates
    double y = 0;
};

struct PlotExtremes {
    ExtremePoint min;
    ExtremePoint max;
};

// Half the size of a mark, in pixels.
inline constexpr int kExtremeMarkSize = 5;

// A triangle pointing down at the minimum, one pointing up and filled at the maximum, each with
// its value in the level-label format and font, placed with the renderer's zoom on a width x
// height picture. Nothing is drawn when the zoom text does not parse.
void DrawExtremeMarks(Canvas& canvas, const PlotExtremes& extremes, int width, int height,
                      const AppearanceSettings& settings, const NumberText& numbers);

}  // namespace isotri
