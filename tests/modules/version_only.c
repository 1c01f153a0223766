/* Exports GetModuleVersionInfo and nothing else: recorded, but offers no descriptor. */
#include "isotri/model_module.h"

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    ((unsigned char*)versionBlock)[0] = 3;
}
