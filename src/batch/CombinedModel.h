// The combined model of a batch: each entry's value made a desirability by its ramp, the
// desirabilities joined by their weighted geometric mean; and the extremes met on the way.
#pragma once

#include <vector>

#include "batch/Batch.h"

namespace isotri {

// Lowest and highest combined value of the current run, with the points where they were met.
extern double LowestValue;
extern double LowestPoint[3];
extern double HighestValue;
extern double HighestPoint[3];

// LowestValue := +infinity, HighestValue := -infinity; the points stay.
void ResetExtremes();
// Strict comparisons: among equal values the first point met is kept.
void TrackExtremes(double value, double x1, double x2, double x3);

// 0..1 by the entry's one-sided or two-sided ramp; the tests run in order, the first that holds
// decides.
double Desirability(const TBatchEntry& entry, double value);

// The combined value of `entries` at the point, extremes untouched; each combined entry's
// desirability is appended to `desirabilities` when given (none for a single-model last entry,
// whose raw value is the result).
double CombinedValue(const std::vector<TBatchEntry>& entries, const double point[3],
                     std::vector<double>* desirabilities);

// Evaluation callback of the batch run over BatchList: every entry's model is evaluated at every
// point; a single-model last entry gives its raw value.
void EvalBatchProc(const double* x1, const double* x2, const double* x3, double* result);

}  // namespace isotri
