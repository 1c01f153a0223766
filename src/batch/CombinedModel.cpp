#include "batch/CombinedModel.h"

#include <cmath>

namespace isotri {

double LowestValue = 1e38;
double LowestPoint[3] = {0, 0, 0};
double HighestValue = -1e38;
double HighestPoint[3] = {0, 0, 0};

namespace {

// The rules the mean relies on, whatever the platform's pow does at the edges. Weights 1 to 4 and
// the clipped desirabilities 0 and 1 are the common cases: pow is far slower there, and no more
// exact than a product (within an ulp).
double Power(double base, double exponent) {
    if (exponent == 0) {
        return 1;
    }
    if (exponent == 1) {
        return base;
    }
    if (base == 0 && exponent > 0) {
        return 0;
    }
    if (base == 1) {
        return 1;
    }
    if (exponent == 2) {
        return base * base;
    }
    if (exponent == 3) {
        return base * base * base;
    }
    if (exponent == 4) {
        double square = base * base;
        return square * square;
    }
    return std::pow(base, exponent);
}

}  // namespace

void ResetExtremes() {
    LowestValue = 1e38;
    HighestValue = -1e38;
}

void TrackExtremes(double value, double x1, double x2, double x3) {
    if (value < LowestValue) {
        LowestValue = value;
        LowestPoint[0] = x1;
        LowestPoint[1] = x2;
        LowestPoint[2] = x3;
    }
    if (value > HighestValue) {
        HighestValue = value;
        HighestPoint[0] = x1;
        HighestPoint[1] = x2;
        HighestPoint[2] = x3;
    }
}

double Desirability(const TBatchEntry& entry, double value) {
    if (entry.OneSided) {
        if (value <= entry.Low) {
            return 0;
        }
        if (value >= entry.High) {
            return 1;
        }
        return (value - entry.Low) / (entry.High - entry.Low);
    }
    if (value <= entry.Low || value >= entry.High) {
        return 0;
    }
    if (value > entry.Target) {
        return (entry.High - value) / (entry.High - entry.Target);
    }
    return (value - entry.Low) / (entry.Target - entry.Low);
}

void EvalBatchProc(const double* x1, const double* x2, const double* x3, double* result) {
    const double point[3] = {*x1, *x2, *x3};
    double product = 1;
    double weightSum = 0;
    for (const TBatchEntry& entry : BatchList) {
        double value = 0;
        entry.Model->ops->Evaluate(entry.Model, point, entry.Coefs.data(), &value);
        if (!entry.Combined) {
            *result = value;
            TrackExtremes(value, *x1, *x2, *x3);
            return;
        }
        weightSum += entry.Weight;
        product *= Power(Desirability(entry, value), entry.Weight);
    }
    *result = Power(product, 1 / weightSum);
    TrackExtremes(*result, *x1, *x2, *x3);
}

}  // namespace isotri
