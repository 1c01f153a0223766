// Options shared by the picture-making modes of isotri-plot, and the chosen model.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ReadoutOptions.h"
#include "common/NumberText.h"
#include "companion/zorb_lib.h"
#include "isotri/model_module.h"
#include "models/MathDef.h"
#include "plot/PlotRoad.h"
#include "render/AppearanceSettings.h"

namespace isotri::cli {

struct PlotOptions {
    // The appearance starts from the Format dialog's defaults, written in `numbers`' form.
    explicit PlotOptions(const NumberText& numbers)
        : appearance(AppearanceSettings::Defaults(numbers)) {}

    std::optional<std::string> model;  // --model NAME
    std::optional<std::string> coefs;  // --coefs "c1 c2 ..."
    int lines = 5;                     // --lines N, kLineRange
    int split = 4;                     // --split N, kDivisionRange
    int width = 800;                   // --size WxH, kPictureSideRange each
    int height = 740;
    std::array<float, 9> bounds = kWholeTriangle;  // --bounds "Ax Ay Az ... Cz"
    bool scalesOnly = false;        // --scales-only: the bounds only label the scales
    std::string output;             // -o FILE, "-" standard output
    std::string format;             // --format json|png|svg|pdf|emf|wmf: the form of -o
    AppearanceSettings appearance;  // the picture options (PictureOptions.h)
    ReadoutOptions readout;         // --at, --mark-extremes

    // The plot the options ask for, evaluating the context's model.
    PlotRequest Request() const;
};

enum class OptionResult { NotMine, Taken, Bad };

// Takes the shared option at args[i] (and its value, advancing i), the picture options included.
// On Bad, `error` holds a message for the user.
OptionResult TakeCommonOption(const Args& args, std::size_t& i, const NumberText& numbers,
                              PlotOptions& options, std::string& error);

// A command's own option at args[i] (and its value, advancing i); NotMine for one it does not
// know. On Bad, `error` holds a message for the user.
using OwnOption = std::function<OptionResult(const Args& args, std::size_t& i, std::string& error)>;

// Reads every argument: a shared option first, else the command's own. False, with a message for
// the user in `error`, at the first bad or unknown argument.
bool TakeOptions(const Args& args, const NumberText& numbers, PlotOptions& options,
                 const OwnOption& own, std::string& error);

// Finds --model in the catalogue and reads --coefs for it into `context`; false with a message
// when either is missing, unknown or of the wrong count.
bool ChooseModel(TMathDefinition& catalogue, const PlotOptions& options, const NumberText& numbers,
                 EvaluationContext& context, std::string& error);

}  // namespace isotri::cli
