/* Model modules written in plain C against the public header, from this one file.
 * Built plain: two linear blends whose names carry MODULE_TAG, so that copies can be told apart,
 * with three addends and a generator.
 * Built with GUI_MODELS: the window tests' models, with names for the model filter, coefficient
 * counts for the grid and a model with no finite value; with NO_ADDENS besides, the same models
 * without addends, a catalogue in which nothing can be plotted; with SLOW_MODEL besides, a model
 * that takes a millisecond a point, so that a plot of it lasts seconds. */
#ifdef SLOW_MODEL
#define _POSIX_C_SOURCE 199309L
#include <time.h>
#endif
#include <math.h>
#include <stddef.h>

#include "isotri/model_module.h"

#ifndef MODULE_TAG
#define MODULE_TAG "C"
#endif

typedef struct Term {
    IsotriTerm base;
    const char* label;
} Term;

typedef void (*EvalFn)(int32_t coefCount, const double* x, const double* b, double* result);

typedef struct Model {
    IsotriModel base;
    const char* name;
    int32_t factors;
    int32_t coefs;
    const Term* terms;
    EvalFn eval;
} Model;

static const char* TermLabel(const IsotriTerm* self) {
    return ((const Term*)self)->label;
}
static double TermValue(const IsotriTerm* self, const double* point) {
    (void)self;
    return point[0];
}

static const IsotriTermOps kTermOps = {NULL, TermValue, TermLabel};

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
static void Evaluate(const IsotriModel* self, const double* point, const double* coefs,
                     double* result) {
    const Model* model = (const Model*)self;
    model->eval(model->coefs, point, coefs, result);
}

/* Sum of b[i] * x[i] over the coefficients. */
static void Blend(int32_t coefCount, const double* x, const double* b, double* result) {
    double sum = 0.0;
    int32_t i;
    for (i = 0; i < coefCount; ++i) {
        sum += b[i] * x[i];
    }
    *result = sum;
}

static const IsotriModelOps kModelOps = {Name, Factors, Coefs, GetTerm, Evaluate};

#ifdef GUI_MODELS

static void Quadratic(int32_t coefCount, const double* x, const double* b, double* result) {
    (void)coefCount;
    Blend(3, x, b, result);
    *result += b[3] * x[0] * x[1] + b[4] * x[0] * x[2] + b[5] * x[1] * x[2];
}
static void Undefined(int32_t coefCount, const double* x, const double* b, double* result) {
    (void)coefCount;
    (void)x;
    (void)b;
    *result = NAN;
}

#ifdef SLOW_MODEL
static void Slow(int32_t coefCount, const double* x, const double* b, double* result) {
    const struct timespec pause = {0, 1000000};
    nanosleep(&pause, NULL);
    Blend(coefCount, x, b, result);
}
#endif

static const Term kTerms[6] = {{{&kTermOps}, "b1"},  {{&kTermOps}, "b2"},  {{&kTermOps}, "b3"},
                               {{&kTermOps}, "b12"}, {{&kTermOps}, "b13"}, {{&kTermOps}, "b23"}};
static const Model kModels[] = {
    {{&kModelOps}, "Линейный полином Шеффе", 3, 3, kTerms, Blend},
    {{&kModelOps}, "Квадратичный полином Шеффе", 3, 6, kTerms, Quadratic},
    {{&kModelOps}, "ПОЛИНОМ ШЕФФЕ", 3, 3, kTerms, Blend},
    {{&kModelOps}, "Модель двух факторов", 2, 2, kTerms, Blend},
    {{&kModelOps}, "Неопределённая модель", 3, 1, kTerms, Undefined},
#ifdef SLOW_MODEL
    {{&kModelOps}, "Медленная модель", 3, 3, kTerms, Slow},
#endif
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

#else

static const Term kTerms[3] = {{{&kTermOps}, "a1"}, {{&kTermOps}, "a2"}, {{&kTermOps}, "a3"}};
static const Model kModels[2] = {
    {{&kModelOps}, "Модель " MODULE_TAG " линейная", 3, 3, kTerms, Blend},
    {{&kModelOps}, "Модель " MODULE_TAG " двойная", 2, 2, kTerms, Blend},
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

ISOTRI_EXPORT void GensEnumerate(IsotriEnumProc callback) {
    callback(&kGen);
}

#endif

ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback) {
    size_t i;
    for (i = 0; i < sizeof kModels / sizeof kModels[0]; ++i) {
        callback(&kModels[i].base);
    }
}
