// The lowest and highest value of a plot, and their small marks on the picture.
#pragma once

#include <array>
#include <optional>

#include "common/NumberText.h"
#include "companion/zorb_lib.h"
#include "render/AppearanceSettings.h"
#include "render/Canvas.h"

namespace isotri {

struct ExtremePoint {
    double value = 0;
    std::array<double, 3> mixture{};  // the model's point
    double x = 0;                     // its place in the set's picture coordinates; NaN when
    double y = 0;                     // the corners span no triangle to place it on
};

struct PlotExtremes {
    ExtremePoint min;
    ExtremePoint max;
};

// The lowest and highest finite value among the points a generation evaluated.
class ExtremeTracker {
  public:
    void Reset() { seen_ = false; }
    void Track(double value, double x1, double x2, double x3);
    bool Seen() const { return seen_; }
    // Placed on the set whose generation was tracked; nothing when no finite value was seen.
    std::optional<PlotExtremes> Place(const TIsolineSet& set, const float* bounds,
                                      bool scalesOnly) const;

  private:
    bool seen_ = false;
    PlotExtremes extremes_;
};

// Places the two model points on `set` (bounds: the nine corner shares given to the generator's
// caller; scalesOnly: the generator saw the whole triangle).
PlotExtremes PlaceExtremes(const TIsolineSet& set, const float* bounds, bool scalesOnly,
                           const ExtremePoint& lowest, const ExtremePoint& highest);

// Half the size of a mark, in pixels.
inline constexpr int kExtremeMarkSize = 5;

// A triangle pointing down at the minimum, one pointing up and filled at the maximum, each with
// its value in the level-label format and font, placed with the renderer's zoom on a width x
// height picture. Nothing is drawn when the zoom text does not parse.
void DrawExtremeMarks(Canvas& canvas, const PlotExtremes& extremes, int width, int height,
                      const AppearanceSettings& settings, const NumberText& numbers);

}  // namespace isotri
