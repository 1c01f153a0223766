/* One model for the generator's sweep: a product wave a*sin(k1*x1 + p1)*cos(k2*x2 + p2) plus a
 * slope c*x3, whose saddles fall anywhere, on the triangle's sides too. */
#include <math.h>
#include <stddef.h>

#include "isotri/model_module.h"

typedef struct Term {
    IsotriTerm base;
    const char* label;
} Term;

static const char* TermLabel(const IsotriTerm* self) {
    return ((const Term*)self)->label;
}

static const IsotriTermOps kTermOps = {NULL, NULL, TermLabel};
static const Term kTerms[6] = {{{&kTermOps}, "a"},  {{&kTermOps}, "k1"}, {{&kTermOps}, "p1"},
                               {{&kTermOps}, "k2"}, {{&kTermOps}, "p2"}, {{&kTermOps}, "c"}};

static const char* Name(const IsotriModel* self) {
    (void)self;
    return "Волна a·sin(k1·x1 + p1)·cos(k2·x2 + p2) + c·x3";
}
static int32_t Factors(const IsotriModel* self) {
    (void)self;
    return 3;
}
static int32_t Coefs(const IsotriModel* self) {
    (void)self;
    return 6;
}
static const IsotriTerm* GetTerm(const IsotriModel* self, int32_t index) {
    (void)self;
    return index >= 0 && index < 6 ? &kTerms[index].base : NULL;
}
static void Evaluate(const IsotriModel* self, const double* x, const double* b, double* result) {
    (void)self;
    *result = b[0] * sin(b[1] * x[0] + b[2]) * cos(b[3] * x[1] + b[4]) + b[5] * x[2];
}

static const IsotriModelOps kModelOps = {Name, Factors, Coefs, GetTerm, Evaluate};
static const IsotriModel kModel = {&kModelOps};

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    unsigned char* block = (unsigned char*)versionBlock;
    block[0] = 1;
}

ISOTRI_EXPORT void AddensEnumerate(IsotriEnumProc callback) {
    int i;
    for (i = 0; i < 6; ++i) {
        callback(&kTerms[i].base);
    }
}

ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback) {
    callback(&kModel);
}
