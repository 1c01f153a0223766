// Texts of isotri-plot --help and of the short reminder printed when no argument is given.
#pragma once

namespace isotri::cli {

extern const char* const kPlotHelp;
extern const char* const kPlotUsage;

}  // namespace isotri::cli
