// Small model descriptors for tests, without a module.
#pragma once

#include <string_view>

#include "isotri/model_module.h"

namespace isotri::test {

// "M": 2 coefficients, value c1*x1 + c2*x2.
extern const IsotriModel kLinearModel;
// "C": 1 coefficient, the same value c1 everywhere.
extern const IsotriModel kConstantModel;
// "Wide": 200 coefficients, value the sum of the coefficients.
extern const IsotriModel kWideModel;
// "Квадратичная модель": 6 coefficients, Scheffé's quadratic polynomial.
extern const IsotriModel kQuadraticModel;
// "Z": no coefficients, value x1, or NaN when handed a null coefficient array.
extern const IsotriModel kNoCoefsModel;

// Evaluations made by all fakes since the start.
extern int gFakeEvaluations;

// The fakes above by name, null for any other name.
const IsotriModel* FindFakeModel(std::string_view name);

}  // namespace isotri::test
