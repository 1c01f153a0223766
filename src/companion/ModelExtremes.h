// The model's lowest and highest values over the placed (sub-)triangle: the best points of a
// lattice, each polished by a derivative-free search that never leaves the triangle.
#pragma once

#include "companion/SampleGrid.h"
#include "companion/TrianglePlacement.h"

namespace isotri::gen {

struct Extreme {
    double value = 0;
    double u = 0, v = 0;  // weights on the placed triangle
};

struct ModelRange {
    bool found = false;  // false when the lattice holds no finite value
    Extreme low, high;
};

// `lattice` is sampled and not yet refined, so the range does not depend on the picture. Every
// evaluation goes through `probe`; non-finite values never become extremes.
ModelRange FindExtremes(ModelProbe& probe, const SampleGrid& lattice);

}  // namespace isotri::gen
