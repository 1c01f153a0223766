/* Hands null descriptors between valid ones and keeps what the callbacks answered. */
#include <stddef.h>

#include "isotri/model_module.h"

static const char* Name(const IsotriModel* self) {
    (void)self;
    return "Модель после пустой";
}
static int32_t One(const IsotriModel* self) {
    (void)self;
    return 1;
}
static const char* Label(const IsotriTerm* self) {
    (void)self;
    return "c";
}
static const IsotriTermOps kTermOps = {NULL, NULL, Label};
static const IsotriTerm kTerm = {&kTermOps};
static const IsotriTerm* GetTerm(const IsotriModel* self, int32_t index) {
    (void)self;
    (void)index;
    return &kTerm;
}
static void Evaluate(const IsotriModel* self, const double* point, const double* coefs,
                     double* result) {
    (void)self;
    (void)point;
    *result = coefs[0];
}
static const IsotriModelOps kOps = {Name, One, One, GetTerm, Evaluate};
static const IsotriModel kModel = {&kOps};

static int32_t gAnswers[3] = {-1, -1, -1};

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    (void)versionBlock;
}

ISOTRI_EXPORT void AddensEnumerate(IsotriEnumProc callback) {
    gAnswers[0] = callback(NULL);
}

ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback) {
    gAnswers[1] = callback(NULL);
    gAnswers[2] = callback(&kModel);
}

/* What the callbacks answered, in call order. */
ISOTRI_EXPORT int32_t NullDescriptorAnswer(int32_t call) {
    return gAnswers[call];
}
