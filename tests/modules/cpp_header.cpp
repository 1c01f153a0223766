// The public header compiled as C++, exports defined with C linkage from C++.
#include "isotri/model_module.h"

extern "C" ISOTRI_EXPORT void GetModuleVersionInfo(void* versionBlock) {
    IsotriFillVersionBlock(versionBlock, 5, 0);
}

extern "C" ISOTRI_EXPORT void GensEnumerate(IsotriEnumProc callback) {
    static const int kGen = 0;
    callback(&kGen);
}
