// The lines a crossing network holds, read as chains of crossings, each with the few crossings
// to place on the model: as far apart as the grid shows the line straight between them. Reading
// asks nothing of the model, so it may run on any thread.
#pragma once

#include <cstddef>
#include <vector>

#include "companion/CrossingNetwork.h"
#include "companion/LevelTracer.h"

namespace isotri::gen {

struct CrossingChain {
    std::vector<int> crossings;        // a closed chain repeats its first crossing last
    std::vector<std::size_t> anchors;  // positions in `crossings`, ascending
    bool closed = false;
    int level = 0;
};

// Open chains first, read from their first end in the order of the crossings, then the loops.
std::vector<CrossingChain> ReadChains(const CrossingNetwork& network,
                                      const TraceTolerances& tolerances);

}  // namespace isotri::gen
