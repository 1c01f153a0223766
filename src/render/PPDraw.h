// The plot renderer: one isoline set with its triangle, grid, axes and names on a canvas.
#pragma once

#include <span>
#include <vector>

#include "common/MessageSink.h"
#include "common/NumberText.h"
#include "companion/zorb_lib.h"
#include "render/AppearanceSettings.h"
#include "render/Canvas.h"
#include "render/PointMarks.h"

namespace isotri {

// More grid divisions than this are refused: the lines would be denser than the pixels.
constexpr int kMaxDivisions = 10000;

// Draws `set` (never null) on a width x height canvas with the settings as they are now.
// bounds: the corner compositions Ax, Ay, Az, Bx, ... Cz shown on the scales.
// A geometry text that does not parse is reported through `sink`, nothing is drawn and the
// result is false. A level text that does not parse throws isotri::Error; what was drawn stays.
bool DrawIsolineSet(const TIsolineSet* set, Canvas& canvas, int width, int height, int divisions,
                    const AppearanceSettings& settings, const float bounds[9],
                    const NumberText& numbers, MessageSink& sink);

// Points of the set's coordinates where DrawIsolineSet puts them: scaled by the settings' zoom
// about the picture centre. Empty when the zoom text does not read.
std::vector<PicturePoint> PlaceOnPicture(std::span<const PicturePoint> points, int width,
                                         int height, const AppearanceSettings& settings,
                                         const NumberText& numbers);

// The label of one isoline piece: a white box with the current pen width, then the text in the
// brush colour that was current before, both centred on (cx, cy).
void DrawLevelLabel(Canvas& canvas, const std::string& text, float cx, float cy);

}  // namespace isotri
