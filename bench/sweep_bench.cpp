// The slow half of the generator's sweep over product waves (tests/support/WaveSweep.h), fifty
// lines, held to the same bounds and piece counts as the five in the test; every coefficient set
// at one picture size an iteration. The counters give the cases, the failures and the worst
// errors; each failure is printed. Set
// ISOTRI_SWEEP_CASE to part of a case's name (k7_p0_k7_p45_c0) to run only the matching ones.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/IsolineAccuracy.h"
#include "support/WaveSweep.h"

namespace {

using namespace isotri::gen;

class PrintedMessages : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view, isotri::MessageButtons) override {
        std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
    }
};

// Arg: index of the picture in kSweepPictures.
void BM_SweepFiftyLines(benchmark::State& state) {
    PrintedMessages sink;
    WaveModel model(std::string(ISOTRI_TEST_MODULE_DIR) + "/wave/wave_model" + ISOTRI_MODULE_SUFFIX,
                    sink);
    if (!model.Loaded()) {
        state.SkipWithError("the wave module is not loaded");
        return;
    }
    const Picture picture = kSweepPictures[state.range(0)];
    const char* only = std::getenv("ISOTRI_SWEEP_CASE");
    int cases = 0, failures = 0;
    double vertex = 0, chord = 0;
    for (auto _ : state) {
        cases = failures = 0;
        vertex = chord = 0;
        for (const Wave& w : WaveSweep()) {
            if (only != nullptr && WaveName(w).find(only) == std::string::npos) {
                continue;
            }
            model.Use(w);
            SetPtr set = model.Generate(50, picture);
            if (!set) {
                state.SkipWithError("no isolines");
                return;
            }
            PieceReference reference = WaveReference(w);
            IsolineAccuracy accuracy;
            std::string failed = SweepFailures(*set, reference, true, &accuracy);
            vertex = std::max(vertex, accuracy.vertex);
            chord = std::max(chord, accuracy.chord);
            ++cases;
            if (!failed.empty()) {
                ++failures;
                std::fprintf(stderr, "%s, 50 lines, %d×%d%s\n", WaveName(w).c_str(), picture.width,
                             picture.height, failed.c_str());
            }
        }
    }
    state.counters["cases"] = cases;
    state.counters["failures"] = failures;
    state.counters["vertex_err_px"] = vertex;
    state.counters["chord_err_px"] = chord;
    state.SetLabel(std::to_string(picture.width) + "x" + std::to_string(picture.height));
}

BENCHMARK(BM_SweepFiftyLines)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
