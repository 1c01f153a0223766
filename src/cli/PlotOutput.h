// Writes what a plot produced to the file named by -o, in the form its extension asks for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/PlotOptions.h"
#include "companion/zorb_lib.h"
#include "render/ExtremeMarks.h"
#include "render/PointMarks.h"

namespace isotri::cli {

struct PlotResult {
    const TIsolineSet* set = nullptr;  // never null here
    std::int64_t evaluations = 0;
    const PlotExtremes* extremes = nullptr;  // null: not known
};

// What a mode adds to the plain plot: measured points and their JSON.
struct PlotExtras {
    std::string jsonMembers;          // more members of the JSON object, or empty
    std::vector<PicturePoint> marks;  // points marked on a picture
};

// True when --format, or else the extension of -o, names a form that WritePlotOutput can write
// ("-o -" alone is JSON); otherwise a message in `error`.
bool KnownOutput(const PlotOptions& options, std::string& error);

// The form's extension with its dot (".png"), from --format or else from -o.
std::string FormExtension(const PlotOptions& options);
std::string FormExtension(const std::string& output, const std::string& format);

// Whether the arguments, not yet read, ask for a picture: by the last -o and --format, as the
// commands will read them, and not in the listing mode. Meant for work started ahead, such as
// the font preload: an unusual line it misjudges (an -o given as another option's value) costs
// time, never a result.
bool NamesPicture(const Args& args);

// Refuses, before any work, an -o whose folder is missing or not writable: 0, or 3 with the
// message on standard error.
int CheckOutputPlace(const PlotOptions& options);

// Exit status: 0 written, 2 unknown extension, 3 the file could not be written. Messages go to
// standard error.
int WritePlotOutput(const PlotOptions& options, const PlotResult& result,
                    const PlotExtras& extras = {});

}  // namespace isotri::cli
