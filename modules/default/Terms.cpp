#include "Terms.h"

#include <algorithm>
#include <cmath>

namespace isotri::defaults {

using module::MakeTerm;

namespace {

double Min(double a, double b) {
    return std::min(a, b);
}
double Cubic(double a, double b) {
    return a * b * (a - b);
}
double Quartic(double a, double b) {
    return a * b * (a - b) * (a - b);
}

}  // namespace

// clang-format off
const Term kX1 = MakeTerm("b1", "x1", [](const double* x) { return x[0]; });
const Term kX2 = MakeTerm("b2", "x2", [](const double* x) { return x[1]; });
const Term kX3 = MakeTerm("b3", "x3", [](const double* x) { return x[2]; });
const Term kX12 = MakeTerm("b12", "x1*x2", [](const double* x) { return x[0] * x[1]; });
const Term kX13 = MakeTerm("b13", "x1*x3", [](const double* x) { return x[0] * x[2]; });
const Term kX23 = MakeTerm("b23", "x2*x3", [](const double* x) { return x[1] * x[2]; });
const Term kX123 = MakeTerm("b123", "x1*x2*x3", [](const double* x) { return x[0] * x[1] * x[2]; });

const Term kG12 = MakeTerm("g12", "x1*x2*(x1-x2)", [](const double* x) { return Cubic(x[0], x[1]); });
const Term kG13 = MakeTerm("g13", "x1*x3*(x1-x3)", [](const double* x) { return Cubic(x[0], x[2]); });
const Term kG23 = MakeTerm("g23", "x2*x3*(x2-x3)", [](const double* x) { return Cubic(x[1], x[2]); });
const Term kD12 = MakeTerm("d12", "x1*x2*(x1-x2)^2", [](const double* x) { return Quartic(x[0], x[1]); });
const Term kD13 = MakeTerm("d13", "x1*x3*(x1-x3)^2", [](const double* x) { return Quartic(x[0], x[2]); });
const Term kD23 = MakeTerm("d23", "x2*x3*(x2-x3)^2", [](const double* x) { return Quartic(x[1], x[2]); });
const Term kX1123 = MakeTerm("b1123", "x1^2*x2*x3", [](const double* x) { return x[0] * x[0] * x[1] * x[2]; });
const Term kX1223 = MakeTerm("b1223", "x1*x2^2*x3", [](const double* x) { return x[0] * x[1] * x[1] * x[2]; });
const Term kX1233 = MakeTerm("b1233", "x1*x2*x3^2", [](const double* x) { return x[0] * x[1] * x[2] * x[2]; });

const Term kMin12 = MakeTerm("b12", "min(x1,x2)", [](const double* x) { return Min(x[0], x[1]); });
const Term kMin13 = MakeTerm("b13", "min(x1,x3)", [](const double* x) { return Min(x[0], x[2]); });
const Term kMin23 = MakeTerm("b23", "min(x2,x3)", [](const double* x) { return Min(x[1], x[2]); });
const Term kMin123 = MakeTerm("b123", "min(x1,x2,x3)", [](const double* x) { return std::min({x[0], x[1], x[2]}); });
const Term kRatio12 = MakeTerm("b12", "x1*x2/(x1+x2)", [](const double* x) { return Ratio(x[0], x[1]); });
const Term kRatio13 = MakeTerm("b13", "x1*x3/(x1+x3)", [](const double* x) { return Ratio(x[0], x[2]); });
const Term kRatio23 = MakeTerm("b23", "x2*x3/(x2+x3)", [](const double* x) { return Ratio(x[1], x[2]); });
const Term kRatio123 = MakeTerm("b123", "x1*x2*x3/(x1+x2+x3)^2", [](const double* x) { return Ratio3(x[0], x[1], x[2]); });
const Term kRoot12 = MakeTerm("b12", "(x1*x2)^(1/2)", [](const double* x) { return std::sqrt(x[0] * x[1]); });
const Term kRoot13 = MakeTerm("b13", "(x1*x3)^(1/2)", [](const double* x) { return std::sqrt(x[0] * x[2]); });
const Term kRoot23 = MakeTerm("b23", "(x2*x3)^(1/2)", [](const double* x) { return std::sqrt(x[1] * x[2]); });
const Term kRoot123 = MakeTerm("b123", "(x1*x2*x3)^(1/3)", [](const double* x) { return std::cbrt(x[0] * x[1] * x[2]); });

const Term kInv1 = MakeTerm("b-1", "1/x1", [](const double* x) { return 1.0 / x[0]; });
const Term kInv2 = MakeTerm("b-2", "1/x2", [](const double* x) { return 1.0 / x[1]; });
const Term kInv3 = MakeTerm("b-3", "1/x3", [](const double* x) { return 1.0 / x[2]; });

const Term kX4 = MakeTerm("b4", "x4", [](const double*) { return 0.0; });
const Term kX14 = MakeTerm("b14", "x1*x4", [](const double*) { return 0.0; });
const Term kX24 = MakeTerm("b24", "x2*x4", [](const double*) { return 0.0; });
const Term kX34 = MakeTerm("b34", "x3*x4", [](const double*) { return 0.0; });
// clang-format on

std::span<const Term* const> AllTerms() {
    static const Term* const kAll[] = {
        &kX1,      &kX2,      &kX3,       &kX12,    &kX13,    &kX23,    &kX123,
        &kG12,     &kG13,     &kG23,      &kD12,    &kD13,    &kD23,    &kX1123,
        &kX1223,   &kX1233,   &kMin12,    &kMin13,  &kMin23,  &kMin123, &kRatio12,
        &kRatio13, &kRatio23, &kRatio123, &kRoot12, &kRoot13, &kRoot23, &kRoot123,
        &kInv1,    &kInv2,    &kInv3,     &kX4,     &kX14,    &kX24,    &kX34,
    };
    return kAll;
}

}  // namespace isotri::defaults
