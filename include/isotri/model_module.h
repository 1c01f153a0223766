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
 *
 * Versioning: ISOTRI_INTERFACE_VERSION is the revision of this header. A module writes the
 * revision it was built with into its version block (IsotriVersionBlock); the program keeps the
 * block but never reads it, so the block tells people and tools which header a module follows and
 * cannot tell the program anything. Hence the rule that keeps old modules working: the layouts
 * checked at the end of this header and the meaning of the four export names never change. A
 * change that a module built against an earlier revision would not follow (a slot removed, moved
 * or retyped, a descriptor reshaped, a new slot that the program must call) is made under new
 * export names (for example ModelsEnumerate2), which an older module does not export, while the
 * old names keep their old meaning. A compatible revision (clearer contracts, new helpers, a new
 * optional export) only raises ISOTRI_INTERFACE_VERSION.
 */
#ifndef ISOTRI_MODEL_MODULE_H
#define ISOTRI_MODEL_MODULE_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

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

/* Revision of this header; see "Versioning" above. */
#define ISOTRI_INTERFACE_VERSION 1

/* Size of the version block handed to GetModuleVersionInfo. Its content is never read. */
#define ISOTRI_VERSION_BLOCK_SIZE 8

/*
 * Layout of the version block, in the byte order of the machine. The program hands over a zeroed
 * block and keeps its first ISOTRI_VERSION_BLOCK_SIZE bytes; a module writes no more than that.
 */
typedef struct IsotriVersionBlock {
    /* ISOTRI_INTERFACE_VERSION of the header the module was built with. */
    uint32_t interfaceVersion;
    /* The module's own version, its maker's choice. */
    uint16_t moduleMajor;
    uint16_t moduleMinor;
} IsotriVersionBlock;

/* Fills a version block for this header's revision; the block need not be aligned. */
static inline void IsotriFillVersionBlock(void* versionBlock, uint16_t moduleMajor,
                                          uint16_t moduleMinor) {
    IsotriVersionBlock block;
    block.interfaceVersion = ISOTRI_INTERFACE_VERSION;
    block.moduleMajor = moduleMajor;
    block.moduleMinor = moduleMinor;
    memcpy(versionBlock, &block, sizeof block);
}

/*
 * Required. Fills the version block that the program allocated and owns, usually with
 * IsotriFillVersionBlock(versionBlock, major, minor).
 */
typedef void (*IsotriGetModuleVersionInfoFn)(void* versionBlock);
/* Optional. Each calls `callback` once per descriptor before returning. */
typedef void (*IsotriEnumerateFn)(IsotriEnumProc callback);

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock);
ISOTRI_EXPORT void AddensEnumerate(IsotriEnumProc callback);
ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback);
ISOTRI_EXPORT void GensEnumerate(IsotriEnumProc callback);

/*
 * The layouts that every revision keeps: the ops pointer first in a descriptor, the slots in
 * their order, nothing else in a table, the version block in its 8 bytes.
 */
#if defined(__cplusplus)
#define ISOTRI_STATIC_ASSERT(condition, name) static_assert(condition, #name)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define ISOTRI_STATIC_ASSERT(condition, name) _Static_assert(condition, #name)
#else
/* C99 has no static assertion: an array of negative size fails the build instead. */
#define ISOTRI_STATIC_ASSERT(condition, name) \
    typedef char isotri_static_assert_##name[(condition) ? 1 : -1]
#endif

#define ISOTRI_SLOT_SIZE sizeof(void (*)(void))
ISOTRI_STATIC_ASSERT(offsetof(IsotriTerm, ops) == 0, term_ops_first);
ISOTRI_STATIC_ASSERT(sizeof(IsotriTerm) == sizeof(void*), term_holds_ops_only);
ISOTRI_STATIC_ASSERT(offsetof(IsotriModel, ops) == 0, model_ops_first);
ISOTRI_STATIC_ASSERT(sizeof(IsotriModel) == sizeof(void*), model_holds_ops_only);
ISOTRI_STATIC_ASSERT(sizeof(IsotriTermOps) == 3 * ISOTRI_SLOT_SIZE, term_ops_three_slots);
ISOTRI_STATIC_ASSERT(offsetof(IsotriTermOps, GetLabel) == 2 * ISOTRI_SLOT_SIZE, term_label_third);
ISOTRI_STATIC_ASSERT(sizeof(IsotriModelOps) == 5 * ISOTRI_SLOT_SIZE, model_ops_five_slots);
ISOTRI_STATIC_ASSERT(offsetof(IsotriModelOps, GetFactorCount) == 1 * ISOTRI_SLOT_SIZE,
                     model_factors_second);
ISOTRI_STATIC_ASSERT(offsetof(IsotriModelOps, GetCoefCount) == 2 * ISOTRI_SLOT_SIZE,
                     model_coefs_third);
ISOTRI_STATIC_ASSERT(offsetof(IsotriModelOps, GetTerm) == 3 * ISOTRI_SLOT_SIZE, model_term_fourth);
ISOTRI_STATIC_ASSERT(offsetof(IsotriModelOps, Evaluate) == 4 * ISOTRI_SLOT_SIZE,
                     model_evaluate_fifth);
ISOTRI_STATIC_ASSERT(sizeof(IsotriVersionBlock) == ISOTRI_VERSION_BLOCK_SIZE, version_block_size);
ISOTRI_STATIC_ASSERT(offsetof(IsotriVersionBlock, moduleMajor) == 4, version_module_at_4);
#undef ISOTRI_SLOT_SIZE

#ifdef __cplusplus
}
#endif

#endif /* ISOTRI_MODEL_MODULE_H */
