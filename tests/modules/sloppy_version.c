/* Writes far past the 8 bytes of its version block, as a careless module might. */
#include <string.h>

#include "isotri/model_module.h"

ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    memset(versionBlock, 0xA5, 4096);
}
