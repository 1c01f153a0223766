/* Lacks GetModuleVersionInfo: never recorded, so its enumeration must never be called. */
#include "isotri/model_module.h"

static int gCalls = 0;

ISOTRI_EXPORT void ModelsEnumerate(IsotriEnumProc callback) {
    ++gCalls;
    callback(&gCalls);
}

ISOTRI_EXPORT int NoVersionCalls(void) {
    return gCalls;
}
