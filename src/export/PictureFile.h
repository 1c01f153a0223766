// Saving a drawn isoline set as a picture file, the format chosen by the file name's extension.
#pragma once

#include <QByteArray>
#include <span>
#include <string>

#include "common/MessageSink.h"
#include "common/NumberText.h"
#include "companion/zorb_lib.h"
#include "export/MetafileSupport.h"
#include "render/AppearanceSettings.h"
#include "render/Canvas.h"
#include "render/ExtremeMarks.h"
#include "render/PointMarks.h"

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
    ScreenMetrics screen{};                  // the reference screen of metafiles
    std::span<const PicturePoint> marks{};   // measured points in the set's coordinates
    const PlotExtremes* extremes = nullptr;  // marked over the set when given
};

// DrawIsolineSet with the input, then the marks and the extremes. False when the renderer refused
// the geometry texts (it has told the sink).
bool DrawPictureInput(const PictureInput& in, Canvas& canvas);

struct SaveResult {
    bool ok = false;
    std::string error;  // for the user, in Russian, when !ok
};

// The name's extension from its last dot, lower-cased and with the dot; empty when the last part
// of the path has none.
std::string FileExtension(const std::string& path);

// Largest picture side a file is drawn at.
constexpr int kMaxPictureSide = 16384;

// The format follows the name's extension, case ignored: ".wmf" a placeable WMF; ".png" (white
// background like the window's picture), ".svg", ".pdf"; any other name an EMF. The whole file
// is made in memory and then replaces the target at once: a failure leaves the file that was
// there as it was, and no part of the new one. A file that cannot be written gives
// "Cannot create file NAME" with the system's reason on a second line. An EMF is taken from
// `recordedEmf` when given: the picture already recorded from this input. `format`, an
// extension such as ".png", chooses the format instead of the name when it is not empty: a FIFO
// or standard output ("-") has no extension of its own.
SaveResult SavePictureFile(const std::string& fileName, const PictureInput& input,
                           const QByteArray* recordedEmf = nullptr, const std::string& format = {});

}  // namespace isotri
