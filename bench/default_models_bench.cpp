// Cost of one model evaluation through the module's descriptor, for each default model, against
// the same quadratic polynomial computed inline.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "models/MathDef.h"

namespace {

class QuietSink : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view, std::string_view, isotri::MessageButtons) override {}
};

// Points of a 64-division grid over the triangle, edges included.
std::vector<std::array<double, 3>> GridPoints() {
    std::vector<std::array<double, 3>> points;
    constexpr int kDivisions = 64;
    for (int i = 0; i <= kDivisions; ++i) {
        for (int j = 0; i + j <= kDivisions; ++j) {
            const double x1 = static_cast<double>(i) / kDivisions;
            const double x2 = static_cast<double>(j) / kDivisions;
            points.push_back({x1, x2, 1.0 - x1 - x2});
        }
    }
    return points;
}

void BM_Evaluate(benchmark::State& state) {
    QuietSink sink;
    isotri::TMathDefinition catalogue(sink);
    catalogue.LoadModule(isotri::kDefaultModuleName);
    if (state.range(0) >= catalogue.ModelCount()) {
        state.SkipWithError("no such model");
        return;
    }
    const IsotriModel* model = catalogue.GetModel(static_cast<std::int32_t>(state.range(0)));
    state.SetLabel(isotri::ModelName(model));
    const std::vector<double> coefs(static_cast<std::size_t>(isotri::ModelCoefCount(model)), 1.5);
    const auto points = GridPoints();
    for (auto _ : state) {
        for (const auto& p : points) {
            double result;
            model->ops->Evaluate(model, p.data(), coefs.data(), &result);
            benchmark::DoNotOptimize(result);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(points.size()));
}
BENCHMARK(BM_Evaluate)->DenseRange(0, 12);

void BM_InlineQuadratic(benchmark::State& state) {
    const std::vector<double> b(6, 1.5);
    const auto points = GridPoints();
    for (auto _ : state) {
        for (const auto& x : points) {
            double result = b[0] * x[0] + b[1] * x[1] + b[2] * x[2] + b[3] * x[0] * x[1] +
                            b[4] * x[0] * x[2] + b[5] * x[1] * x[2];
            benchmark::DoNotOptimize(result);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(points.size()));
}
BENCHMARK(BM_InlineQuadratic);

}  // namespace

BENCHMARK_MAIN();
