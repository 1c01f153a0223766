#include "batch/CombinedModel.h"

#include <cmath>
#include <limits>
#include <optional>

#include "models/MathDef.h"

namespace isotri {

double LowestValue = std::numeric_limits<double>::infinity();
double LowestPoint[3] = {0, 0, 0};
double HighestValue = -std::numeric_limits<double>::infinity();
double HighestPoint[3] = {0, 0, 0};

namespace {

// Desirabilities between these bounds raised to a weight of 1 to 4 stay far from underflow and
// overflow, and the running product is brought back between them after each factor.
constexpr double kSmallFactor = 0x1p-200;
constexpr double kLargeFactor = 0x1p200;

// d^w for the small integer weights, by multiplication: pow is far slower there, and no more
// exact (within an ulp). Nothing when the weight is not one of them.
std::optional<double> SmallPower(double d, double w) {
    if (w == 1) {
        return d;
    }
    if (w == 2) {
        return d * d;
    }
    if (w == 3) {
        return d * d * d;
    }
    if (w == 4) {
        const double square = d * d;
        return square * square;
    }
    return std::nullopt;
}

// The weighted product of the desirabilities, kept as product * 2^scale * 2^log2Rest so that no
// number of entries and no weight from 1e-300 to 1e300 underflows or overflows it.
class WeightedProduct {
  public:
    void Add(double desirability, double weight) {
        weightSum_ += weight;
        // The common case: a ramp value in (0, 1] and weight 1; the product only shrinks.
        if (weight == 1 && desirability >= kSmallFactor && desirability <= 1) {
            product_ *= desirability;
            if (product_ < kSmallFactor) {
                Renormalize();
            }
            return;
        }
        if (weight == 0) {
            return;  // d^0 is 1, 0^0 included
        }
        if (desirability == 0) {
            zero_ = true;
            return;
        }
        const double magnitude = std::fabs(desirability);
        if (magnitude >= kSmallFactor && magnitude <= kLargeFactor) {
            if (const std::optional<double> power = SmallPower(desirability, weight)) {
                Multiply(*power);
                return;
            }
        }
        if (desirability < 0) {
            // A negative ramp value (Low, Target, High out of order) keeps its sign as a product
            // would; its size is not guarded.
            Multiply(std::pow(desirability, weight));
            return;
        }
        log2Rest_ += weight * std::log2(desirability);
    }

    // The weighted geometric mean: product^(1 / weight sum).
    double Mean() const {
        if (zero_) {
            return 0;
        }
        if (weightSum_ == 0) {
            return 1;  // every factor was x^0
        }
        if (scale_ == 0 && log2Rest_ == 0) {
            return weightSum_ == 1 ? product_ : std::pow(product_, 1 / weightSum_);
        }
        const double log2Mean = (std::log2(product_) + scale_ + log2Rest_) / weightSum_;
        return std::exp2(log2Mean);
    }

  private:
    void Multiply(double factor) {
        product_ *= factor;
        const double magnitude = std::fabs(product_);
        if (magnitude < kSmallFactor || magnitude > kLargeFactor) {
            Renormalize();
        }
    }

    void Renormalize() {
        int exponent = 0;
        product_ = std::frexp(product_, &exponent);
        scale_ += exponent;
    }

    double product_ = 1;
    long long scale_ = 0;
    double log2Rest_ = 0;
    double weightSum_ = 0;
    bool zero_ = false;
};

}  // namespace

void ResetExtremes() {
    // Any finite value met replaces these; fixed bounds would hide values beyond them.
    LowestValue = std::numeric_limits<double>::infinity();
    HighestValue = -std::numeric_limits<double>::infinity();
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

double CombinedValue(const std::vector<TBatchEntry>& entries, const double point[3],
                     std::vector<double>* desirabilities) {
    WeightedProduct product;
    for (const TBatchEntry& entry : entries) {
        double value = 0;
        ModelEvaluate(entry.Model, point, entry.Coefs, &value);
        if (!entry.Combined) {
            if (desirabilities != nullptr) {
                desirabilities->clear();
            }
            return value;
        }
        const double d = Desirability(entry, value);
        if (desirabilities != nullptr) {
            desirabilities->push_back(d);
        }
        product.Add(d, entry.Weight);
    }
    return product.Mean();
}

void EvalBatchProc(const double* x1, const double* x2, const double* x3, double* result) {
    const double point[3] = {*x1, *x2, *x3};
    *result = CombinedValue(BatchList, point, nullptr);
    TrackExtremes(*result, *x1, *x2, *x3);
}

}  // namespace isotri
