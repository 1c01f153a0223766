// Builds the isoline set that the generator hands over, and releases it.
#pragma once

#include <array>
#include <vector>

#include "companion/LevelTracer.h"
#include "companion/zorb_lib.h"

namespace isotri::gen {

struct LevelResult {
    double value = 0;
    std::vector<TracedPiece> pieces;
    std::vector<TLevelLabel> labels;  // one per piece
};

// A new set owning copies of everything; release it with ppFree.
TIsolineSet* BuildIsolineSet(const std::array<TPoint3f, 3>& vertices,
                             const std::vector<LevelResult>& levels);

}  // namespace isotri::gen
