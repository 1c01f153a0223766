/* Models for the window's tests: names for the model filter, coefficient counts for the grid,
 * a model with no finite value. Built without addends (NO_ADDENS) it stands for a catalogue in
 * which nothing can be plotted. */
#include <math.h>
#include <stddef.h>

#include "isotri/model_module.h"

typedef struct Term {
    IsotriTerm base;
    const char* label;
} Term;

typedef void (*EvalFn)(const double* x, const double* b, double* result);

typedef struct Model {
    IsotriModel base;
    const char* name;
    int32_t factors;
    int32_t coefs;
    EvalFn eval;
} Model;

static const char* TermLabel(const IsotriTerm* self) {
    return ((const Term*)self)->label;
}

static const IsotriTermOps kTermOps = {NULL, NULL, TermLabel};
static const Term kTerms[6] = {{{&kTermOps}, "b1"},  {{&kTermOps}, "b2"},  {{&kTermOps}, "b3"},
                               {{&kTermOps}, "b12"}, {{&kTermOps}, "b13"}, {{&kTermOps}, "b23"}};

static void Linear(const double* x, const double* b, double* result) {
    *result = b[0] * x[0] + b[1] * x[1] + b[2] * x[2];
}
static void Quadratic(const double* x, const double* b, double* result) {
    double linear;
    Linear(x, b, &linear);
    *result = linear + b[3] * x[0] * x[1] + b[4] * x[0] * x[2] + b[5] * x[1] * x[2];
}
static void TwoFactors(const double* x, const double* b, double* result) {
    *result = b[0] * x[0] + b[1] * x[1];
}
static void Undefined(const double* x, const double* b, double* result) {
    (void)x;
    (void)b;
    *result = NAN;
}

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
    if (index < 0 || index >= ((const Model*)self)->coefs) {
        return NULL;
    }
    return &kTerms[index].base;
}
static void Evaluate(const IsotriModel* self, const double* point, const double* coefs,
                     double* result) {
    ((const Model*)self)->eval(point, coefs, result);
}

static const IsotriModelOps kModelOps = {Name, Factors, Coefs, GetTerm, Evaluate};
static const Model kModels[] = {
    {{&kModelOps}, "Линейный полином Шеффе", 3, 3, Linear},
    {{&kModelOps}, "Квадратичный полином Шеффе", 3, 6, Quadratic},
    {{&kModelOps}, "ПОЛИНОМ ШЕФФЕ", 3, 3, Linear},
    {{&kModelOps}, "Модель двух факторов", 2, 2, TwoFactors},
    {{&kModelOps}, "Неопределённая модель", 3, 1, Undefined},
};

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    ((unsigned char*)versionBlock)[0] = 1;
}

#ifndef NO_ADDENS
static const int kAddens[1] = {1};
ISOTRI_EXPORT void AddensEnumerate(IsotriEnumProc callback) {
    callback(&kAddens[0]);
}
#endif

ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback) {
    size_t i;
    for (i = 0; i < sizeof kModels / sizeof kModels[0]; ++i) {
        callback(&kModels[i].base);
    }
}
