// The generator's sweep over product waves a·sin(k1·x1 + p1)·cos(k2·x2 + p2) + c·x3, whose
// saddles fall inside the triangle, near its sides and on them: the table of cases, the model
// loaded from its module as a user's model would be, and the check of one isoline set against the
// accuracy bounds and a fine reference's piece counts. Shared by the test and the benchmark.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/MessageSink.h"
#include "companion/zorb_lib.h"
#include "models/MathDef.h"
#include "support/IsolineAccuracy.h"
#include "support/PieceReference.h"

namespace isotri::gen {

// a = 1; phases in degrees.
struct Wave {
    int k1, p1, k2, p2;
    double c;
};

std::vector<Wave> WaveSweep();
// "k7_p0_k7_p45_c0": a name for filters.
std::string WaveName(const Wave& wave);

struct Picture {
    int width, height;
};
constexpr Picture kSweepPictures[] = {{800, 740}, {2048, 2048}};

using SetPtr = std::unique_ptr<TIsolineSet, void (*)(TIsolineSet*)>;

// The wave module through the model library; messages from loading go to `sink`. The generator's
// callback has no context, so one wave is in use at a time in the whole program.
class WaveModel {
  public:
    WaveModel(const std::string& modulePath, MessageSink& sink);
    bool Loaded() const;

    void Use(const Wave& wave);
    static double At(double x1, double x2, double x3);
    SetPtr Generate(int lines, Picture picture) const;

  private:
    TMathDefinition catalogue_;
};

// The reference for the wave in use, its lattice filled from tables of the two factors: a few
// thousand sines and cosines instead of a million.
PieceReference WaveReference(const Wave& wave, int divisions = 1024);

// What is wrong with `set`, one line each, or nothing: the vertex bound, the chord bound when
// `chords`, and the piece count of each level against the reference's. Levels are taken as
// exact to the reference's shift. The accuracy goes to `measured` when given.
std::string SweepFailures(const TIsolineSet& set, const PieceReference& reference, bool chords,
                          IsolineAccuracy* measured = nullptr);

std::vector<double> LevelsOf(const TIsolineSet& set);

}  // namespace isotri::gen
