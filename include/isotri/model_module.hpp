/*
 * C++ helpers for model modules, on top of model_module.h and ABI-identical to it: a Term is an
 * IsotriTerm and a Model an IsotriModel (each begins with the ops pointer), so their addresses
 * are handed to the program as they are. Both are plain aggregates meant to be static constants
 * of the module, which keeps every descriptor valid while the module is loaded.
 *
 *     constexpr isotri::module::Term kX1 = isotri::module::MakeTerm("b1", "x1", X1);
 *     const isotri::module::Term* const kTerms[] = {&kX1};
 *     constexpr isotri::module::Model kLinear =
 *         isotri::module::MakeModel("My model", 3, kTerms, Evaluate);
 */
#pragma once

#include <cstddef>
#include <cstdint>

#include "isotri/model_module.h"

namespace isotri::module {

// One coefficient's term: its label (the column heading), its full name and its value.
struct Term : IsotriTerm {
    const char* label;
    const char* fullName;
    double (*value)(const double* point);
};

// A model whose value the module computes in one function, without allocating.
struct Model : IsotriModel {
    const char* name;
    std::int32_t factorCount;
    std::int32_t coefCount;
    const Term* const* terms;  // coefCount terms, in coefficient order
    void (*evaluate)(const double* point, const double* coefs, double* result);
};

namespace detail {

inline const Term& AsTerm(const IsotriTerm* self) {
    return *static_cast<const Term*>(self);
}
inline const Model& AsModel(const IsotriModel* self) {
    return *static_cast<const Model*>(self);
}

inline const char* TermFullName(const IsotriTerm* self) {
    return AsTerm(self).fullName;
}
inline double TermValue(const IsotriTerm* self, const double* point) {
    return AsTerm(self).value(point);
}
inline const char* TermLabel(const IsotriTerm* self) {
    return AsTerm(self).label;
}

inline const char* ModelName(const IsotriModel* self) {
    return AsModel(self).name;
}
inline std::int32_t ModelFactorCount(const IsotriModel* self) {
    return AsModel(self).factorCount;
}
inline std::int32_t ModelCoefCount(const IsotriModel* self) {
    return AsModel(self).coefCount;
}
inline const IsotriTerm* ModelTerm(const IsotriModel* self, std::int32_t index) {
    const Model& model = AsModel(self);
    if (index < 0 || index >= model.coefCount) {
        return nullptr;
    }
    return model.terms[index];
}
inline void ModelEvaluate(const IsotriModel* self, const double* point, const double* coefs,
                          double* result) {
    AsModel(self).evaluate(point, coefs, result);
}

// Internal linkage: each translation unit has its own tables, nothing is shared between modules.
constexpr IsotriTermOps kTermOps = {TermFullName, TermValue, TermLabel};
constexpr IsotriModelOps kModelOps = {ModelName, ModelFactorCount, ModelCoefCount, ModelTerm,
                                      ModelEvaluate};

}  // namespace detail

constexpr Term MakeTerm(const char* label, const char* fullName, double (*value)(const double*)) {
    return Term{{&detail::kTermOps}, label, fullName, value};
}

template <std::size_t N>
constexpr Model MakeModel(const char* name, std::int32_t factorCount, const Term* const (&terms)[N],
                          void (*evaluate)(const double*, const double*, double*)) {
    return Model{{&detail::kModelOps},         name,  factorCount,
                 static_cast<std::int32_t>(N), terms, evaluate};
}

}  // namespace isotri::module
