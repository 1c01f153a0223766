#include "support/WaveSweep.h"

#include <array>
#include <cmath>
#include <sstream>

namespace isotri::gen {

namespace {

const IsotriModel* gModel = nullptr;
std::array<double, 6> gCoefs{};

void Evaluate(const double* x1, const double* x2, const double* x3, double* result) {
    const double x[3] = {*x1, *x2, *x3};
    gModel->ops->Evaluate(gModel, x, gCoefs.data(), result);
}

// Where a picture point lies as a mixture, for messages.
std::string Where(const TIsolineSet& set, float x, float y) {
    const TPoint3f* v = set.Vertices;
    double det = (v[1].X - v[0].X) * (v[2].Y - v[0].Y) - (v[1].Y - v[0].Y) * (v[2].X - v[0].X);
    double u = ((x - v[0].X) * (v[2].Y - v[0].Y) - (y - v[0].Y) * (v[2].X - v[0].X)) / det;
    double w = ((v[1].X - v[0].X) * (y - v[0].Y) - (v[1].Y - v[0].Y) * (x - v[0].X)) / det;
    std::ostringstream text;
    text << "(" << x << ", " << y << ") px = [" << 1 - u - w << "; " << u << "; " << w << "]";
    return text.str();
}

}  // namespace

std::vector<Wave> WaveSweep() {
    std::vector<Wave> waves;
    for (int k1 : {3, 7, 12}) {
        for (int k2 : {3, 7, 12}) {
            for (int p1 : {0, 45, 90}) {
                for (int p2 : {0, 45, 90}) {
                    for (double c : {0.0, 0.5}) {
                        waves.push_back({k1, p1, k2, p2, c});
                    }
                }
            }
        }
    }
    return waves;
}

std::string WaveName(const Wave& w) {
    std::ostringstream name;
    name << "k" << w.k1 << "_p" << w.p1 << "_k" << w.k2 << "_p" << w.p2 << "_c"
         << (w.c == 0 ? "0" : "05");
    return name.str();
}

WaveModel::WaveModel(const std::string& modulePath, MessageSink& sink) : catalogue_(sink) {
    gModel = catalogue_.LoadModule(modulePath) ? catalogue_.GetModel(0) : nullptr;
}

bool WaveModel::Loaded() const {
    return gModel != nullptr;
}

void WaveModel::Use(const Wave& w) {
    gCoefs = {1, double(w.k1), w.p1 * M_PI / 180, double(w.k2), w.p2 * M_PI / 180, w.c};
}

double WaveModel::At(double x1, double x2, double x3) {
    double r = 0;
    Evaluate(&x1, &x2, &x3, &r);
    return r;
}

SetPtr WaveModel::Generate(int lines, Picture picture) const {
    TPoint3f center{0.5f * picture.width, 0.6f * picture.height, 0};
    float size = 0.5f * picture.width, angle = -1.5707964f;
    return SetPtr(ppCreateTriangularTHK(&center, &size, &angle, nullptr, Evaluate, lines, 0),
                  ppFree);
}

PieceReference WaveReference(const Wave& w, int n) {
    std::vector<double> first(std::size_t(n) + 1), second(std::size_t(n) + 1);
    for (int k = 0; k <= n; ++k) {
        // x1 = 1 - (i + j) / n, x2 = i / n at lattice point (i, j).
        first[k] = std::sin(w.k1 * (1 - double(k) / n) + w.p1 * M_PI / 180);
        second[k] = std::cos(w.k2 * (double(k) / n) + w.p2 * M_PI / 180);
    }
    return PieceReference(WaveModel::At, n, [&](int i, int j) {
        return first[i + j] * second[i] + w.c * (double(j) / n);
    });
}

std::vector<double> LevelsOf(const TIsolineSet& set) {
    std::vector<double> levels;
    for (int l = 0; l < set.LevelCount; ++l) {
        levels.push_back(set.Levels[l]->Value);
    }
    return levels;
}

std::string SweepFailures(const TIsolineSet& set, const PieceReference& reference, bool chords,
                          IsolineAccuracy* measured) {
    std::ostringstream failures;
    const std::vector<PieceCount> expected = reference.Pieces(LevelsOf(set));
    IsolineAccuracy accuracy =
        MeasureAccuracy(set, nullptr, WaveModel::At, chords ? 7 : 0, reference.Shift());
    if (measured != nullptr) {
        *measured = accuracy;
    }
    if (!(accuracy.vertex <= 0.05)) {
        failures << "\n  vertex " << accuracy.vertex << " px, level " << accuracy.worstVertexLevel
                 << ", at " << Where(set, accuracy.worstVertexX, accuracy.worstVertexY);
    }
    if (!(accuracy.chord <= 0.25)) {
        failures << "\n  chord " << accuracy.chord << " px, level " << accuracy.worstChordLevel
                 << ", at " << Where(set, accuracy.worstChordX, accuracy.worstChordY);
    }
    if (expected.size() != std::size_t(std::max(0, set.LevelCount))) {
        failures << "\n  " << set.LevelCount << " levels, the reference has " << expected.size();
        return failures.str();
    }
    for (std::size_t l = 0; l < expected.size(); ++l) {
        int pieces = set.Levels[l]->PolylineCount;
        if (!expected[l].Accepts(pieces)) {
            failures << "\n  level " << l << " (" << set.Levels[l]->Value << "): " << pieces
                     << " pieces, the reference " << expected[l].low;
            if (expected[l].high != expected[l].low) {
                failures << " to " << expected[l].high;
            }
            if (expected[l].saddles > 0) {
                failures << " ± " << expected[l].saddles << " saddles on the level";
            }
        }
    }
    return failures.str();
}

}  // namespace isotri::gen
