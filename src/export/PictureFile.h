// Saving a drawn isoline set as a picture file, the format chosen by the file name's extension.
#pragma once

#include <string>

#include "companion/zorb_lib.h"
#include "models/MessageSink.h"
#include "render/AppearanceSettings.h"
#include "render/NumberText.h"

namespace isotri {

// What DrawIsolineSet needs, besides the canvas.
struct PictureInput {
    const TIsolineSet* set = nullptr;  // never null
    int width = 800;
    int height = 740;
    int divisions = 1;
    const AppearanceSettings* settings = nullptr;
    const float* bounds = nullptr;  // nine corner compositions
    const NumberText* numbers = nullptr;
    MessageSink* sink = nullptr;
};

struct SaveResult {
    bool ok = false;
    std::string error;  // for the user, in Russian, when !ok
};

// Largest picture side a file is drawn at.
constexpr int kMaxPictureSide = 16384;

// ".png" (white background like the window's picture), ".svg" or ".pdf", case ignored.
// Nothing is left behind when the drawing fails.
SaveResult SavePictureFile(const std::string& fileName, const PictureInput& input);

}  // namespace isotri
