// The distinct terms of the default models; every one is also offered as an addend.
#pragma once

#include <span>

#include "isotri/model_module.hpp"

namespace isotri::defaults {

using module::Term;

// Linear and quadratic blending terms.
extern const Term kX1, kX2, kX3, kX12, kX13, kX23, kX123;
// Cubic and quartic Scheffé terms: g = xi xj (xi - xj), d = xi xj (xi - xj)^2, xi^2 xj xk.
extern const Term kG12, kG13, kG23, kD12, kD13, kD23, kX1123, kX1223, kX1233;
// Becker's homogeneous terms of degree one: H1 minima, H2 ratios, H3 roots.
extern const Term kMin12, kMin13, kMin23, kMin123;
extern const Term kRatio12, kRatio13, kRatio23, kRatio123;
extern const Term kRoot12, kRoot13, kRoot23, kRoot123;
// Inverse terms of Draper and St. John.
extern const Term kInv1, kInv2, kInv3;
// Terms with a fourth component, which is 0 on the triangle.
extern const Term kX4, kX14, kX24, kX34;

std::span<const Term* const> AllTerms();

// Term values shared with the models' evaluation.
inline double Ratio(double a, double b) {
    const double sum = a + b;
    return sum != 0.0 ? a * b / sum : 0.0;
}
inline double Ratio3(double a, double b, double c) {
    const double sum = a + b + c;
    return sum != 0.0 ? a * b * c / (sum * sum) : 0.0;
}

}  // namespace isotri::defaults
