// Reading the drawn picture back: a pixel of the display to the mixture it stands for, a mixture
// to its pixel, and the lines of constant share through a pixel down to the scales.
#pragma once

#include <array>
#include <optional>

#include "companion/zorb_lib.h"
#include "render/AppearanceSettings.h"

namespace isotri {

using Mixture = std::array<double, 3>;
// Barycentric weights of the drawn vertices A, B, C; they sum to 1.
using Weights = std::array<double, 3>;

struct PictureXY {
    double x = 0;
    double y = 0;
};

// The ticks stand square to their side, so a line of constant share bends where it meets the
// side and follows the tick out to the scale.
struct GuideLine {
    PictureXY from;  // the point read
    PictureXY side;  // where the share meets its side
    PictureXY to;    // the outer end of the tick through that place
};

class PictureMapping {
  public:
    // `drawn`: the vertices A, B, C as drawn; `shown`: the mixtures the scales give the corners;
    // `model`: the mixtures the model was evaluated at in the corners.
    PictureMapping(const std::array<PictureXY, 3>& drawn, const std::array<Mixture, 3>& shown,
                   const std::array<Mixture, 3>& model);

    // The mapping of `set` drawn on a width x height picture with the zoom the renderer applies.
    // `bounds`: the nine corner shares of the scales; with `scalesOnly` the model saw the whole
    // triangle. Nothing when the drawn triangle has no extent.
    static std::optional<PictureMapping> ForSet(const TIsolineSet& set, int width, int height,
                                                double zoom, const float* bounds, bool scalesOnly);

    // Nothing outside the triangle; the edges belong to it.
    std::optional<Weights> WeightsAt(PictureXY p) const;
    PictureXY PointAt(const Weights& w) const;

    // The mixture the scales give the weights, in the components' order.
    Mixture ShownMixture(const Weights& w) const { return Combine(shown_, w); }
    // The mixture the model is evaluated at.
    Mixture ModelMixture(const Weights& w) const { return Combine(model_, w); }
    // The weights whose model mixture is `m`, in the least-squares sense; nothing when the
    // model's corners span no triangle. May lie outside the triangle.
    std::optional<Weights> WeightsOfModelMixture(const Mixture& m) const;

    // For each component k, the line of constant weight k from the point to the side from vertex
    // k to the next one, whose outer scale reads component k, then `reach` pixels square out of
    // that side (the axis offset and half a tick when the axes are drawn).
    std::array<GuideLine, 3> GuideLines(const Weights& w, double reach) const;

  private:
    static Mixture Combine(const std::array<Mixture, 3>& corners, const Weights& w);

    std::array<PictureXY, 3> v_;
    std::array<Mixture, 3> shown_;
    std::array<Mixture, 3> model_;
    double det_ = 0;
};

// How far past a side of `sideLength` pixels its scale's outer tick ends reach: axis offset plus
// half a tick, as the renderer draws them; 0 without axes or when a factor text does not parse.
double ScaleReach(const AppearanceSettings& settings, const NumberText& numbers, double sideLength);

// The zoom the renderer applies, or nothing when its text does not parse.
std::optional<double> DrawnZoom(const AppearanceSettings& settings, const NumberText& numbers);

}  // namespace isotri
