// Writes what a plot produced to the file named by -o, in the form its extension asks for.
#pragma once

#include <cstdint>
#include <string>

#include "cli/PlotOptions.h"
#include "companion/zorb_lib.h"

namespace isotri::cli {

struct PlotResult {
    const TIsolineSet* set = nullptr;  // never null here
    std::int64_t evaluations = 0;
};

// True when -o names a form that WritePlotOutput can write; otherwise a message in `error`.
bool KnownOutput(const std::string& path, std::string& error);

// Exit status: 0 written, 2 unknown extension, 3 the file could not be written. Messages go to
// standard error.
int WritePlotOutput(const PlotOptions& options, const PlotResult& result);

}  // namespace isotri::cli
