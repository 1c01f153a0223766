// Least-squares fit of a model whose value is linear in its coefficients to measured mixtures,
// with the statistics a mixture experimenter reads.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "fit/DataTable.h"
#include "isotri/model_module.h"

namespace isotri {

struct FitCoefficient {
    std::string Label;
    double Value = 0;
    double StdErr = 0;  // NaN when the residual has no degree of freedom
    double T = 0;       // Value / StdErr
};

struct FitResult {
    std::string ModelName;
    std::vector<FitCoefficient> Coefficients;
    std::size_t N = 0;  // rows used
    std::size_t P = 0;  // coefficients
    // NaN where undefined: no residual degree of freedom, a constant response, a row that
    // alone decides a coefficient (leverage 1).
    double R2 = 0;
    double R2Adj = 0;
    double R2Pred = 0;              // from PRESS
    double S = 0;                   // residual standard deviation
    std::vector<double> Fitted;     // per point, in the order of the data
    std::vector<double> Residuals;  // measured minus fitted
    std::size_t WorstPoint = 0;     // point of the largest |studentised residual|
    double WorstStudentised = 0;    // its studentised residual, NaN when undefined

    std::vector<double> Values() const;  // the coefficients in model order
};

// f(x, a·u + b·v) = a·f(x, u) + b·f(x, v) within a relative 1e-9 at a few inner mixtures.
bool IsLinearInCoefficients(const IsotriModel* model);

// Throws isotri::Error with a Russian message for a model that is not linear in its
// coefficients, fewer rows than coefficients, all rows at one mixture, a model that has no finite
// value at a measured mixture, or a design that cannot separate some coefficients (named by
// their labels).
FitResult FitMixtureModel(const IsotriModel* model, const std::vector<MeasuredPoint>& points);

}  // namespace isotri
