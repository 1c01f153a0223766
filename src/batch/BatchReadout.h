// The combined model of a batch read at one point for the user: the combined desirability and
// each entry's, without touching the run's extremes.
#pragma once

#include <array>
#include <vector>

#include "batch/Batch.h"
#include "render/Readout.h"

namespace isotri {

// D with d1 … dn of the combined entries; a single-model last entry gives its raw value alone,
// as the run plots it.
PointValue BatchValueAt(const std::vector<TBatchEntry>& entries,
                        const std::array<double, 3>& point);

}  // namespace isotri
