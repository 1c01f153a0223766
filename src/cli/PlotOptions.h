// Options shared by the picture-making modes of isotri-plot, the triangle's placement in the
// picture, and the chosen model behind the evaluation callback.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "common/NumberText.h"
#include "companion/zorb_lib.h"
#include "isotri/model_module.h"
#include "models/MathDef.h"
#include "render/AppearanceSettings.h"

namespace isotri::cli {

struct PlotOptions {
    // The appearance starts from the Format dialog's defaults, written in `numbers`' form.
    explicit PlotOptions(const NumberText& numbers)
        : appearance(AppearanceSettings::Defaults(numbers)) {}

    std::optional<std::string> model;  // --model NAME
    std::optional<std::string> coefs;  // --coefs "c1 c2 ..."
    int lines = 5;                     // --lines N, 1..50
    int split = 4;                     // --split N, 1..50
    int width = 800;                   // --size WxH, 32..2048 each
    int height = 740;
    std::array<float, 9> bounds = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // --bounds "Ax Ay Az ... Cz"
    bool scalesOnly = false;        // --scales-only: the bounds only label the scales
    std::string output;             // -o FILE
    AppearanceSettings appearance;  // the picture options (PictureOptions.h)
};

enum class OptionResult { NotMine, Taken, Bad };

// Takes the shared option at args[i] (and its value, advancing i), the picture options included.
// On Bad, `error` holds a message for the user.
OptionResult TakeCommonOption(const Args& args, std::size_t& i, const NumberText& numbers,
                              PlotOptions& options, std::string& error);

// Where the generator places the triangle in a w by h picture.
struct Placement {
    TPoint3f center;
    float size;
    float angle;
};
Placement PlacementFor(int width, int height);

// The bounds to hand to the generator: null with --scales-only.
inline const float* GeneratorBounds(const PlotOptions& options) {
    return options.scalesOnly ? nullptr : options.bounds.data();
}

// The evaluation callback has no context, so the chosen model lives in this unit.
void SetCurrentModel(const IsotriModel* model, std::vector<double> coefs);
void EvalCurrentModel(const double* x1, const double* x2, const double* x3, double* result);
std::int64_t EvaluationCount();
void ResetEvaluationCount();

// Finds --model in the catalogue and reads --coefs for it; false with a message when either is
// missing, unknown or of the wrong count.
bool ChooseModel(TMathDefinition& catalogue, const PlotOptions& options, const NumberText& numbers,
                 std::string& error);

}  // namespace isotri::cli
