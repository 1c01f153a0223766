/*
 * isotri model module interface.
 *
 * A model module is a shared library (".so" on Linux) that exports the four functions declared
 * below with C linkage. The program loads it, calls GetModuleVersionInfo, then each of the
 * enumeration exports that exists, in the order AddensEnumerate, ModelsEnumerate, GensEnumerate.
 * Each enumeration export calls the callback it is given synchronously, once per descriptor,
 * before it returns; the order of those calls is the order in which the program lists them.
 *
 * Descriptors are objects whose first member points to a table of operations; every operation
 * takes the object itself as its first argument. Slots are never removed or reordered: new slots,
 * if any, are only ever appended to a table.
 *
 * Ownership: every descriptor, every table and every text a module returns belongs to the module.
 * The program never frees or writes them. Descriptors must stay valid while the module is loaded;
 * the program unloads modules only when it exits. Texts returned by GetName and GetLabel are NUL
 * terminated UTF-8 and must stay valid at least until the next call on the same descriptor; the
 * program copies them at once.
 *
 * Threads: all calls come from the program's single user-interface thread.
 */
#ifndef ISOTRI_MODEL_MODULE_H
#define ISOTRI_MODEL_MODULE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define ISOTRI_EXPORT __declspec(dllexport)
#else
#define ISOTRI_EXPORT __attribute__((visibility("default")))
#endif

typedef struct IsotriTerm IsotriTerm;
typedef struct IsotriModel IsotriModel;

/* Operations of a term (one coefficient of a model). The program calls only GetLabel. */
typedef struct IsotriTermOps {
    /* Full name of the term, for the module's own use (for example "x1*x2*(x1-x2)"). May be null.
     */
    const char* (*GetFullName)(const IsotriTerm* self);
    /* Value of the term at a point of 3 doubles, for the module's own use. May be null. */
    double (*GetValue)(const IsotriTerm* self, const double* point);
    /* Column heading of the coefficient (for example "b12"). Never null. */
    const char* (*GetLabel)(const IsotriTerm* self);
} IsotriTermOps;

struct IsotriTerm {
    const IsotriTermOps* ops;
};

/* Operations of a model descriptor, called by the program in slot order. */
typedef struct IsotriModelOps {
    /* The model's name; the catalogue finds models by comparing it byte-wise. Never null. */
    const char* (*GetName)(const IsotriModel* self);
    /* Number of factors (mixture components). */
    int32_t (*GetFactorCount)(const IsotriModel* self);
    /* Number of coefficients, at least 1. */
    int32_t (*GetCoefCount)(const IsotriModel* self);
    /* Term of coefficient `index` (0-based, below GetCoefCount). Never null for a valid index. */
    const IsotriTerm* (*GetTerm)(const IsotriModel* self, int32_t index);
    /*
     * Sets *result to the model's value at `point` (3 doubles: x1, x2, x3) with the coefficients
     * `coefs` (GetCoefCount doubles, in coefficient order). May set NaN or an infinity where the
     * model is undefined. Called very often while a plot is built: it should not allocate.
     */
    void (*Evaluate)(const IsotriModel* self, const double* point, const double* coefs,
                     double* result);
} IsotriModelOps;

struct IsotriModel {
    const IsotriModelOps* ops;
};

/*
 * Callback handed to the enumeration exports. Takes one descriptor (a model descriptor for
 * ModelsEnumerate, an opaque pointer for the other two) and returns 1 when the program recorded
 * it, 0 when it refused it (a null descriptor).
 */
typedef int32_t (*IsotriEnumProc)(const void* descriptor);

/* Size of the version block handed to GetModuleVersionInfo. Its content is never read. */
#define ISOTRI_VERSION_BLOCK_SIZE 8

/* Required. Fills the 8-byte block that the program allocated and owns. */
typedef void (*IsotriGetModuleVersionInfoFn)(void* versionBlock);
/* Optional. Each calls `callback` once per descriptor before returning. */
typedef void (*IsotriEnumerateFn)(IsotriEnumProc callback);

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock);
ISOTRI_EXPORT void AddensEnumerate(IsotriEnumProc callback);
ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback);
ISOTRI_EXPORT void GensEnumerate(IsotriEnumProc callback);

#ifdef __cplusplus
}
#endif

#endif /* ISOTRI_MODEL_MODULE_H */
