// Measures how far an isoline set lies from the true isolines of a model, in picture pixels: each
// vertex by |f - level| / |grad f|, and points along the chords by the distance to the nearest
// level point found along rays, which holds also where the gradient vanishes, as at a saddle.
// For tests, benchmarks and checks of new generators.
#pragma once

#include <functional>

#include "companion/zorb_lib.h"

namespace isotri::gen {

struct IsolineAccuracy {
    double vertex = 0;  // worst vertex
    double chord = 0;   // worst point sampled along the chords (an upper bound)
    long vertices = 0;
    // Where the worst vertex and chord sample lie, and the index of their levels, for
    // diagnostics.
    float worstVertexX = 0;
    float worstVertexY = 0;
    int worstVertexLevel = -1;
    float worstChordX = 0;
    float worstChordY = 0;
    int worstChordLevel = -1;
};

using ModelFunction = std::function<double(double x1, double x2, double x3)>;

// `bounds` as given to the generator (null: the unit corners); `chordSamples` points are taken
// inside each chord. A point counts as on its level where any value within `levelBand` of the
// level passes: at a level that rounding puts on a saddle either way round is right.
IsolineAccuracy MeasureAccuracy(const TIsolineSet& set, const float* bounds,
                                const ModelFunction& model, int chordSamples = 7,
                                double levelBand = 0);

}  // namespace isotri::gen
