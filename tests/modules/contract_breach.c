/* Models that break the descriptor contract, between models that keep it. Records what the
 * enumeration callback answered for each, in offer order. */
#include <math.h>
#include <stddef.h>
#include <stdint.h>

#include "isotri/model_module.h"

typedef struct Model {
    IsotriModel base;
    const char* name;
    int32_t factors;
    int32_t coefs;
} Model;

static const char* Label(const IsotriTerm* self) {
    (void)self;
    return "c";
}
static const IsotriTermOps kTermOps = {NULL, NULL, Label};
static const IsotriTerm kTerm = {&kTermOps};

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
    (void)self;
    (void)index;
    return &kTerm;
}
/* x1 when the coefficient array is a real one, NaN when it is null. */
static void Evaluate(const IsotriModel* self, const double* point, const double* coefs,
                     double* result) {
    (void)self;
    *result = coefs != NULL ? point[0] : NAN;
}

static const IsotriModelOps kOps = {Name, Factors, Coefs, GetTerm, Evaluate};
static const IsotriModelOps kNoEvaluate = {Name, Factors, Coefs, GetTerm, NULL};
static const IsotriModelOps kNoName = {NULL, Factors, Coefs, GetTerm, Evaluate};
static const IsotriModelOps kNoTerm = {Name, Factors, Coefs, NULL, Evaluate};

#define MODEL(ops, name, factors, coefs) \
    { {ops}, name, factors, coefs }
static const Model kModels[] = {
    MODEL(NULL, "Без таблицы", 3, 1),
    MODEL(&kNoEvaluate, "Без Evaluate", 3, 1),
    MODEL(&kNoName, "Без имени", 3, 1),
    MODEL(&kNoTerm, "Без GetTerm", 3, 1),
    MODEL(&kOps, "Факторов 0", 0, 1),
    MODEL(&kOps, "Факторов -7", -7, 1),
    MODEL(&kOps, "Факторов 1000", 1000, 1),
    MODEL(&kOps, "Коэффициентов 0", 3, 0),
    MODEL(&kOps, "Коэффициентов 4096", 3, 4096),
    MODEL(&kOps, "Коэффициентов 4097", 3, 4097),
    MODEL(&kOps, "Коэффициентов 2147483647", 3, INT32_MAX),
    MODEL(&kOps, "Коэффициентов -1", 3, -1),
    MODEL(&kOps, "Последняя", 3, 1),
};
#define MODEL_COUNT (sizeof kModels / sizeof kModels[0])

static int32_t gAnswers[MODEL_COUNT];

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    IsotriFillVersionBlock(versionBlock, 0, 1);
}

ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback) {
    size_t i;
    for (i = 0; i < MODEL_COUNT; ++i) {
        gAnswers[i] = callback(&kModels[i].base);
    }
}

/* What the callback answered for the model offered `call`-th. */
ISOTRI_EXPORT int32_t ContractBreachAnswer(int32_t call) {
    return gAnswers[call];
}
