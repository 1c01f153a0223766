#include <cstdio>

#include "cli/Commands.h"

namespace isotri::cli {

int RunPlotCommand(const Args& /*args*/) {
    std::fputs("isotri-plot: this mode is not available yet\n", stderr);
    return 2;
}

}  // namespace isotri::cli
