// Writes what a plot produced to the file named by -o, in the form its extension asks for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/PlotOptions.h"
#include "companion/zorb_lib.h"
#include "render/PointMarks.h"

namespace isotri::cli {

struct PlotResult {
    const TIsolineSet* set = nullptr;  // never null here
    std::int64_t evaluations = 0;
};

// What a mode adds to the plain plot: measured points and their JSON.
struct PlotExtras {
    std::string jsonMembers;          // more members of the JSON object, or empty
    std::vector<PicturePoint> marks;  // points marked on a picture
};

// True when -o names a form that WritePlotOutput can write; otherwise a message in `error`.
bool KnownOutput(const std::string& path, std::string& error);

// Exit status: 0 written, 2 unknown extension, 3 the file could not be written. Messages go to
// standard error.
int WritePlotOutput(const PlotOptions& options, const PlotResult& result,
                    const PlotExtras& extras = {});

}  // namespace isotri::cli
