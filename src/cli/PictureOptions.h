// The appearance options of isotri-plot's picture output: --no-grid, --no-axes, --no-labels,
// --no-tics, --fill-background, --zoom Z, --label-format F, --tick-format F, --names A,B,C.
#pragma once

#include <cstddef>
#include <string>

#include "cli/Commands.h"
#include "common/NumberText.h"
#include "render/AppearanceSettings.h"

namespace isotri::cli {

enum class PictureOption { NotOurs, Applied, Invalid };

// Looks at args[i]; when it is a picture option, applies it to `settings` and moves i onto its
// value (the caller then steps past it). Invalid sets `error` to a message for the user.
PictureOption ApplyPictureOption(const Args& args, std::size_t& i, AppearanceSettings& settings,
                                 const NumberText& numbers, std::string& error);

extern const char* const kPictureOptionsUsage;

}  // namespace isotri::cli
