// Places one level label per piece: on a straight stretch of the piece, with a label-sized box
// inside the triangle, clear of its edges, of the other labels and, where possible, of other
// lines.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "companion/LevelTracer.h"
#include "companion/zorb_lib.h"

namespace isotri::gen {

struct LabelBox {
    double width = 60;
    double height = 24;
    double edgeMargin = 4;  // between the box and the triangle's sides
    double gap = 6;         // between two boxes
};

// The shortest text, with a full stop, that reads back as exactly `value`.
std::string LevelText(double value);

// labels[k][j] belongs to piece j of level k. Pieces are served longest first, so the long
// lines get the free places. Throws std::invalid_argument when a level has no value.
std::vector<std::vector<TLevelLabel>> PlaceLabels(
    const std::array<Vec2, 3>& vertices, const std::vector<std::vector<TracedPiece>>& levels,
    const std::vector<double>& values, const LabelBox& box = {});

}  // namespace isotri::gen
