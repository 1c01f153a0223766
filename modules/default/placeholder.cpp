#include "isotri/model_module.h"

extern "C" void GetModuleVersionInfo(void* versionBlock) {
    static_cast<unsigned char*>(versionBlock)[0] = 1;
}
