// The pieces of every level: followed through the sample grid for their topology, then placed on
// the real model, with points as far apart as the line's bending allows.
#pragma once

#include <cstdint>
#include <vector>

#include "companion/SampleGrid.h"
#include "companion/TrianglePlacement.h"

namespace isotri::gen {

struct TracedPiece {
    std::vector<Vec2> points;  // picture pixels; a closed piece repeats its first point last
    std::vector<Mixture> mixtures;
    bool closed = false;
};

// Accuracy targets in picture pixels.
struct TraceTolerances {
    double vertex = 0.01;    // distance of a vertex from its level, estimated along the search
    double sag = 0.15;       // a chord bending more than this at its middle is split
    double maxChord = 24.0;  // longer chords are split whatever their bend
    double minChord = 0.5;   // shorter ones are left alone
    int maxDepth = 12;       // splits of one chord
};

// The levels whose crossing network a helper thread makes are chosen from the work.
constexpr int kHelperChosen = -1;

// Pieces of each of `levels` (ascending), in their order; refinement stops adding points once
// the probe has made `evaluationLimit` calls, so a huge picture cannot make the generator run
// away. The crossing network of the levels from `helperFrom` on (none when it is the number of
// levels) is made by a helper on another core, where there is one, while this thread places the
// others; the pieces are the same however the levels are shared.
std::vector<std::vector<TracedPiece>> TraceLevels(ModelProbe& probe, SampleGrid& grid,
                                                  const std::vector<double>& levels,
                                                  std::int64_t evaluationLimit,
                                                  const TraceTolerances& tolerances = {},
                                                  int helperFrom = kHelperChosen);

}  // namespace isotri::gen
