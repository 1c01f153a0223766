// What the picture says at one mixture, as one line of text: the shares under the corner names
// and the model's value there, or after a batch run the combined desirability and each entry's.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/NumberText.h"
#include "isotri/model_module.h"
#include "render/AppearanceSettings.h"
#include "render/PictureMapping.h"

namespace isotri {

// The value part of a reading.
struct PointValue {
    double value = 0;  // y, or D when `desirabilities` is not empty
    // d1 … dn of a combined batch; empty for a single model.
    std::vector<double> desirabilities;
};

using CornerNames = std::array<std::string, 3>;

// The Format dialog's corner names; an empty one (not drawn) reads as its letter.
CornerNames CornerNamesOf(const AppearanceSettings& settings);

// "A = 0,312  B = 0,455  C = 0,233   y = 2,7134": shares with 3 decimals, values with 5
// significant digits, both with the locale's separator.
std::string ReadoutText(const NumberText& numbers, const CornerNames& names, const Mixture& shares,
                        const PointValue& value);

// The measured point of table line `line` with its value, added to a reading when the mouse is
// on the point: "   опыт, строка 5: 12,3".
std::string MeasuredPointText(const NumberText& numbers, long long line, double value);

// The model at the point: one evaluation, nothing counted.
double EvaluateAt(const IsotriModel& model, const std::vector<double>& coefs, const Mixture& point);

// A mixture typed as three numbers (the locale's separator or a full stop), normalised by their
// sum; or a message for the user.
std::variant<Mixture, std::string> ParseMixture(const NumberText& numbers, std::string_view text);

}  // namespace isotri
