// The modes of isotri-plot. Each takes the arguments after the program name and returns the
// process exit status.
#pragma once

#include <string>
#include <vector>

namespace isotri::cli {

using Args = std::vector<std::string>;

int RunListCommand(const Args& args);   // --list [--dir DIR]...
int RunPlotCommand(const Args& args);   // --model NAME --coefs "..." ... -o FILE
int RunBatchCommand(const Args& args);  // --batch FILE ... -o FILE
int RunFitCommand(const Args& args);    // --fit FILE --model NAME ... -o FILE

}  // namespace isotri::cli
