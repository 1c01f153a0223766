// Reading the plot from the command line: --at "x1 x2 x3" (repeatable) prints the value at each
// mixture, --mark-extremes marks the lowest and highest value in the picture.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "common/NumberText.h"
#include "plot/Evaluation.h"
#include "render/AppearanceSettings.h"
#include "render/Readout.h"

namespace isotri::cli {

struct ReadoutOptions {
    std::vector<Mixture> at;  // normalised, in the order given
    bool markExtremes = false;
};

inline constexpr const char* kReadoutUsage =
    "  --at \"x1 x2 x3\"     print the value at this mixture (repeatable)\n"
    "  --mark-extremes     mark the lowest and highest value in the picture\n";

// 0: not a readout option; 1: taken (i advanced past its value); -1: bad, with `error`.
int TakeReadoutOption(const Args& args, std::size_t& i, const NumberText& numbers,
                      ReadoutOptions& options, std::string& error);

// One readout line per --at mixture on standard output, or on standard error when the output
// file `output` is standard output.
void PrintReadings(const ReadoutOptions& options, const std::string& output,
                   const NumberText& numbers, const AppearanceSettings& appearance,
                   const std::function<PointValue(const Mixture&)>& valueAt);
// The same for the context's model (which must be set).
void PrintModelReadings(const ReadoutOptions& options, const std::string& output,
                        const NumberText& numbers, const AppearanceSettings& appearance,
                        const EvaluationContext& context);

}  // namespace isotri::cli
