// The default module: Scheffé polynomials, Becker's homogeneous models and Draper and St. John's
// models with inverse terms. Each model computes its value in one pass, without allocating.

#include <algorithm>
#include <cmath>

#include "Terms.h"

namespace isotri::defaults {
namespace {

using module::MakeModel;
using module::Model;

double Linear(const double* x, const double* b) {
    return b[0] * x[0] + b[1] * x[1] + b[2] * x[2];
}

double Quadratic(const double* x, const double* b) {
    return Linear(x, b) + b[3] * x[0] * x[1] + b[4] * x[0] * x[2] + b[5] * x[1] * x[2];
}

// b[0..2]: g12, g13, g23.
double CubicDifferences(const double* x, const double* b) {
    return b[0] * x[0] * x[1] * (x[0] - x[1]) + b[1] * x[0] * x[2] * (x[0] - x[2]) +
           b[2] * x[1] * x[2] * (x[1] - x[2]);
}

// b[0..2]: d12, d13, d23.
double QuarticDifferences(const double* x, const double* b) {
    const double d12 = x[0] - x[1];
    const double d13 = x[0] - x[2];
    const double d23 = x[1] - x[2];
    return b[0] * x[0] * x[1] * d12 * d12 + b[1] * x[0] * x[2] * d13 * d13 +
           b[2] * x[1] * x[2] * d23 * d23;
}

// b[0..2]: b1123, b1223, b1233.
double QuarticTriples(const double* x, const double* b) {
    return x[0] * x[1] * x[2] * (b[0] * x[0] + b[1] * x[1] + b[2] * x[2]);
}

// A zero coefficient leaves its term out, so the model stays finite on that edge.
double Inverse(double coef, double x) {
    return coef != 0.0 ? coef / x : 0.0;
}

double Inverses(const double* x, const double* b) {
    return Inverse(b[0], x[0]) + Inverse(b[1], x[1]) + Inverse(b[2], x[2]);
}

void ScheffeLinear(const double* x, const double* b, double* r) {
    *r = Linear(x, b);
}
void ScheffeQuadratic(const double* x, const double* b, double* r) {
    *r = Quadratic(x, b);
}
void ScheffeSpecialCubic(const double* x, const double* b, double* r) {
    *r = Quadratic(x, b) + b[6] * x[0] * x[1] * x[2];
}
void ScheffeCubic(const double* x, const double* b, double* r) {
    *r = Quadratic(x, b) + CubicDifferences(x, b + 6) + b[9] * x[0] * x[1] * x[2];
}
void ScheffeSpecialQuartic(const double* x, const double* b, double* r) {
    *r = Quadratic(x, b) + QuarticTriples(x, b + 6);
}
void ScheffeQuartic(const double* x, const double* b, double* r) {
    *r = Quadratic(x, b) + CubicDifferences(x, b + 6) + QuarticDifferences(x, b + 9) +
         QuarticTriples(x, b + 12);
}
// Two components: the mixture of x1 and x2; x3 does not enter.
void ScheffeBinary(const double* x, const double* b, double* r) {
    *r = b[0] * x[0] + b[1] * x[1] + b[2] * x[0] * x[1];
}
// Four components seen on the face x4 = 0: the terms with x4 vanish, their coefficients are
// read but have no effect. Order: b1 b2 b3 b4 b12 b13 b14 b23 b24 b34.
void ScheffeQuaternary(const double* x, const double* b, double* r) {
    *r = b[0] * x[0] + b[1] * x[1] + b[2] * x[2] + b[4] * x[0] * x[1] + b[5] * x[0] * x[2] +
         b[7] * x[1] * x[2];
}
void BeckerH1(const double* x, const double* b, double* r) {
    *r = Linear(x, b) + b[3] * std::min(x[0], x[1]) + b[4] * std::min(x[0], x[2]) +
         b[5] * std::min(x[1], x[2]) + b[6] * std::min({x[0], x[1], x[2]});
}
void BeckerH2(const double* x, const double* b, double* r) {
    *r = Linear(x, b) + b[3] * Ratio(x[0], x[1]) + b[4] * Ratio(x[0], x[2]) +
         b[5] * Ratio(x[1], x[2]) + b[6] * Ratio3(x[0], x[1], x[2]);
}
void BeckerH3(const double* x, const double* b, double* r) {
    *r = Linear(x, b) + b[3] * std::sqrt(x[0] * x[1]) + b[4] * std::sqrt(x[0] * x[2]) +
         b[5] * std::sqrt(x[1] * x[2]) + b[6] * std::cbrt(x[0] * x[1] * x[2]);
}
void InverseLinear(const double* x, const double* b, double* r) {
    *r = Linear(x, b) + Inverses(x, b + 3);
}
void InverseQuadratic(const double* x, const double* b, double* r) {
    *r = Quadratic(x, b) + Inverses(x, b + 6);
}

const Term* const kLinearTerms[] = {&kX1, &kX2, &kX3};
const Term* const kQuadraticTerms[] = {&kX1, &kX2, &kX3, &kX12, &kX13, &kX23};
const Term* const kSpecialCubicTerms[] = {&kX1, &kX2, &kX3, &kX12, &kX13, &kX23, &kX123};
const Term* const kCubicTerms[] = {&kX1,  &kX2,  &kX3,  &kX12, &kX13,
                                   &kX23, &kG12, &kG13, &kG23, &kX123};
const Term* const kSpecialQuarticTerms[] = {&kX1,  &kX2,    &kX3,    &kX12,  &kX13,
                                            &kX23, &kX1123, &kX1223, &kX1233};
const Term* const kQuarticTerms[] = {&kX1,  &kX2,  &kX3,  &kX12, &kX13,   &kX23,   &kG12,  &kG13,
                                     &kG23, &kD12, &kD13, &kD23, &kX1123, &kX1223, &kX1233};
const Term* const kBinaryTerms[] = {&kX1, &kX2, &kX12};
const Term* const kQuaternaryTerms[] = {&kX1,  &kX2,  &kX3,  &kX4,  &kX12,
                                        &kX13, &kX14, &kX23, &kX24, &kX34};
const Term* const kH1Terms[] = {&kX1, &kX2, &kX3, &kMin12, &kMin13, &kMin23, &kMin123};
const Term* const kH2Terms[] = {&kX1, &kX2, &kX3, &kRatio12, &kRatio13, &kRatio23, &kRatio123};
const Term* const kH3Terms[] = {&kX1, &kX2, &kX3, &kRoot12, &kRoot13, &kRoot23, &kRoot123};
const Term* const kInverseLinearTerms[] = {&kX1, &kX2, &kX3, &kInv1, &kInv2, &kInv3};
const Term* const kInverseQuadraticTerms[] = {&kX1,  &kX2,   &kX3,   &kX12, &kX13,
                                              &kX23, &kInv1, &kInv2, &kInv3};

const Model kModels[] = {
    MakeModel("Линейная модель Шеффе", 3, kLinearTerms, ScheffeLinear),
    MakeModel("Квадратичная модель Шеффе", 3, kQuadraticTerms, ScheffeQuadratic),
    MakeModel("Специальная кубическая модель Шеффе", 3, kSpecialCubicTerms, ScheffeSpecialCubic),
    MakeModel("Полная кубическая модель Шеффе", 3, kCubicTerms, ScheffeCubic),
    MakeModel("Специальная модель Шеффе четвёртой степени", 3, kSpecialQuarticTerms,
              ScheffeSpecialQuartic),
    MakeModel("Полная модель Шеффе четвёртой степени", 3, kQuarticTerms, ScheffeQuartic),
    MakeModel("Квадратичная модель Шеффе для двух компонентов", 2, kBinaryTerms, ScheffeBinary),
    MakeModel("Квадратичная модель Шеффе для четырёх компонентов", 4, kQuaternaryTerms,
              ScheffeQuaternary),
    MakeModel("Однородная модель Беккера H1 (минимумы)", 3, kH1Terms, BeckerH1),
    MakeModel("Однородная модель Беккера H2 (отношения)", 3, kH2Terms, BeckerH2),
    MakeModel("Однородная модель Беккера H3 (корни)", 3, kH3Terms, BeckerH3),
    MakeModel("Линейная модель Дрейпера - Сент-Джона с обратными членами", 3, kInverseLinearTerms,
              InverseLinear),
    MakeModel("Квадратичная модель Дрейпера - Сент-Джона с обратными членами", 3,
              kInverseQuadraticTerms, InverseQuadratic),
};

}  // namespace
}  // namespace isotri::defaults

// Module version 1.0.
extern "C" ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    IsotriFillVersionBlock(versionBlock, 1, 0);
}

extern "C" ISOTRI_EXPORT void AddensEnumerate(IsotriEnumProc callback) {
    for (const isotri::module::Term* term : isotri::defaults::AllTerms()) {
        callback(term);
    }
}

extern "C" ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback) {
    for (const isotri::module::Model& model : isotri::defaults::kModels) {
        callback(&model);
    }
}

// The default module offers no generators.
extern "C" ISOTRI_EXPORT void GensEnumerate(IsotriEnumProc /*callback*/) {}
