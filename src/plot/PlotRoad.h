// The road of every plot, from the request to the drawn picture: the triangle placed in the
// picture, the generator's call with the evaluation context, the owned isoline set, and its
// drawing. The window, the batch run, isotri-plot and the benchmarks all take it.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "companion/zorb_lib.h"
#include "export/PictureFile.h"
#include "plot/Evaluation.h"
#include "render/AppearanceSettings.h"
#include "render/Canvas.h"

namespace isotri {

// Isolines a plot asks for, and grid divisions.
inline constexpr SpinRange kLineRange{1, 50};
inline constexpr SpinRange kDivisionRange{1, 50};
// Sides of the picture a plot is generated for.
inline constexpr SpinRange kPictureSideRange = AppearanceSettings::kViewSizeRange;

inline constexpr const char* kConstantModelMessage =
    "На концентрационном треугольнике модель постоянна. Построение изолиний невозможно.";
inline constexpr const char* kConstantBatchMessage =
    "Модель постоянна. Построение изолиний невозможно.";
// NaN or an infinity at every point is not a constant.
inline constexpr const char* kNoFiniteValueMessage =
    "На концентрационном треугольнике модель не имеет конечных значений. Построение изолиний "
    "невозможно.";
inline constexpr const char* kNoFiniteBatchMessage =
    "Модель не имеет конечных значений. Построение изолиний невозможно.";
inline constexpr const char* kPlotCancelledLine = "Построение изолиний прервано.";

inline constexpr std::array<float, 9> kWholeTriangle = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// Where the generator places the triangle in the picture: vertex 0 at `angle` from the centre,
// every vertex `size` away from it.
struct Placement {
    TPoint3f center{};
    float size = 0;
    float angle = 0;

    // Centre (w/2, 0.6·h), size w/2, vertex 0 straight up.
    static Placement ForPicture(int width, int height);
};

struct IsolineSetFree {
    void operator()(TIsolineSet* set) const {
        if (set != nullptr) {
            ppFree(set);
        }
    }
};
using IsolineSetPtr = std::unique_ptr<TIsolineSet, IsolineSetFree>;

struct PlotRequest {
    int lines = 5;
    int divisions = 4;  // for the drawing; the generator does not take it
    std::array<float, 9> bounds = kWholeTriangle;  // corners A, B, C of the shown part
    bool scalesOnly = false;                       // the bounds label the scales only
    int width = 800;                               // picture size in pixels
    int height = 740;
    // What the generator evaluates: null for the context's model (with its progress shown), or
    // another callback such as the batch's combined model.
    TEvalProc evaluate = nullptr;

    // The bounds as the generator takes them: null with scalesOnly.
    const float* GeneratorBounds() const { return scalesOnly ? nullptr : bounds.data(); }
};

// What a generation gave. Later additions go at the end.
struct Plot {
    IsolineSetPtr set;  // null: the model is constant (or has no finite value) on the triangle
    Placement placement;
    std::int32_t evaluations = 0;
    bool stopAsked = false;  // a hook answered Stop on the way; then no set is kept
    // The lowest and highest value met, placed on the set; nothing without a set.
    std::optional<PlotExtremes> extremes;
    bool finiteValue = false;  // some point had a finite value

    // Why no set came: the model's constant or no-finite-value text, single-model or batch.
    const char* EmptyMessage(bool batch) const;
};

// Generates the isolines of the request with `context` behind EvalModelProc.
Plot GeneratePlot(const PlotRequest& request, EvaluationContext& context);

// Draws the input's set on `canvas`. False when the renderer refused the geometry texts (it has
// told the sink); a level text that does not read as a number throws isotri::Error.
bool DrawPicture(const PictureInput& input, Canvas& canvas);
// The same on an image, smoothed as the window shows it.
bool DrawPicture(const PictureInput& input, QImage& image);

}  // namespace isotri
