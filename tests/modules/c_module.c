/* A model module written in plain C against the public header. MODULE_TAG names its models so
 * that copies built from this file can be told apart. */
#include <stddef.h>

#include "isotri/model_module.h"

#ifndef MODULE_TAG
#define MODULE_TAG "C"
#endif

typedef struct Term {
    IsotriTerm base;
    const char* label;
} Term;

typedef struct Model {
    IsotriModel base;
    const char* name;
    int32_t factors;
    int32_t coefs;
    const Term* terms;
} Model;

static const char* TermLabel(const IsotriTerm* self) {
    return ((const Term*)self)->label;
}
static double TermValue(const IsotriTerm* self, const double* point) {
    (void)self;
    return point[0];
}

static const IsotriTermOps kTermOps = {NULL, TermValue, TermLabel};
static const Term kTerms[3] = {{{&kTermOps}, "a1"}, {{&kTermOps}, "a2"}, {{&kTermOps}, "a3"}};

static const char* Name(const IsotriModel* self) {
    return ((const Model*)self)->name;
}
static int32_t Factors(const IsotriModel* self) {
    return ((const Model*)self)->factors;
}
static int32_t Coefs(const IsotriModel* self) {
    return ((const Model*)self)->coefs;
}
static const IsotriTerm* GetTerm(const IsotriModel* self, int32_t index) {
    const Model* model = (const Model*)self;
    if (index < 0 || index >= model->coefs) {
        return NULL;
    }
    return &model->terms[index].base;
}
/* Linear blend: sum of coefs[i] * x[i]. */
static void Evaluate(const IsotriModel* self, const double* point, const double* coefs,
                     double* result) {
    const Model* model = (const Model*)self;
    double sum = 0.0;
    int32_t i;
    for (i = 0; i < model->coefs; ++i) {
        sum += coefs[i] * point[i];
    }
    *result = sum;
}

static const IsotriModelOps kModelOps = {Name, Factors, Coefs, GetTerm, Evaluate};
static const Model kModels[2] = {
    {{&kModelOps}, "Модель " MODULE_TAG " линейная", 3, 3, kTerms},
    {{&kModelOps}, "Модель " MODULE_TAG " двойная", 2, 2, kTerms},
};

static const int kAddens[3] = {1, 2, 3};
static const int kGen = 4;

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    IsotriFillVersionBlock(versionBlock, 2, 7);
}

ISOTRI_EXPORT void AddensEnumerate(IsotriEnumProc callback) {
    int i;
    for (i = 0; i < 3; ++i) {
        callback(&kAddens[i]);
    }
}

ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback) {
    callback(&kModels[0].base);
    callback(&kModels[1].base);
}

ISOTRI_EXPORT void GensEnumerate(IsotriEnumProc callback) {
    callback(&kGen);
}
