// Generation of the isolines of a combined model at 800x740: ten combined default-module models
// against one, so the cost per entry shows; and the cost of one evaluation of the combined model.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "batch/BatchRun.h"
#include "batch/CombinedModel.h"
#include "models/MathDef.h"

namespace {

const char* const kLines[] = {
    "model \"Квадратичная модель Шеффе\" 42 28 12 36 18 -8 combine1 20 40 2",
    "model \"Линейная модель Шеффе\" -120 -70 -35 combine1 -100 -50 1",
    "model \"Специальная кубическая модель Шеффе\" 8 3 5 6 -4 2 30 combine2 3 6 9 1",
    "model \"Полная кубическая модель Шеффе\" 5 7 9 2 -3 4 1 -1 2 12 combine1 4 10 1",
    "model \"Квадратичная модель Шеффе\" 10 20 30 -5 8 3 combine2 10 18 28 3",
    "model \"Специальная модель Шеффе четвёртой степени\" 3 4 5 1 2 3 4 5 6 combine1 2 6 1",
    "model \"Линейная модель Шеффе\" 1 2 3 combine1 1 3 1",
    "model \"Квадратичная модель Шеффе\" 5 5 5 10 -10 4 combine2 3 6 8 2",
    "model \"Специальная кубическая модель Шеффе\" 1 1 1 4 4 4 27 combine1 1 2.5 1",
    "model \"Полная кубическая модель Шеффе\" 9 6 3 1 2 3 -1 1 -2 5 combine2 2 6 10 1",
};

class QuietSink final : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view, isotri::MessageButtons) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

// Loads the first `count` lines into BatchList; false (the state told) when they do not load.
bool LoadLines(benchmark::State& state, int count, isotri::TMathDefinition& catalogue,
               QuietSink& sink) {
    catalogue.LoadModule(isotri::kDefaultModuleName);
    const auto path = std::filesystem::temp_directory_path() / "isotri_batch_bench.txt";
    {
        std::ofstream out(path);
        for (int i = 0; i < count; ++i) {
            out << kLines[i] << '\n';
        }
    }
    const isotri::NumberText numbers('.');
    const bool loaded =
        isotri::LoadBatch(path.string(), isotri::FinderOf(catalogue), numbers, sink);
    std::filesystem::remove(path);
    if (!loaded || static_cast<int>(isotri::BatchList.size()) != count) {
        state.SkipWithError("the batch did not load");
        return false;
    }
    return true;
}

void Generate(benchmark::State& state) {
    QuietSink sink;
    isotri::TMathDefinition catalogue(sink);
    if (!LoadLines(state, static_cast<int>(state.range(0)), catalogue, sink)) {
        return;
    }
    isotri::PlotRequest request;
    request.evaluate = isotri::EvalBatchProc;
    isotri::EvaluationContext context;
    for (auto _ : state) {
        isotri::ResetExtremes();
        const isotri::Plot plot = isotri::GeneratePlot(request, context);
        benchmark::DoNotOptimize(plot.set.get());
    }
    state.counters["evaluations"] = static_cast<double>(context.EvalCount());
}

BENCHMARK(Generate)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// One evaluation of the combined model, over points spread across the triangle.
void Evaluate(benchmark::State& state) {
    QuietSink sink;
    isotri::TMathDefinition catalogue(sink);
    if (!LoadLines(state, static_cast<int>(state.range(0)), catalogue, sink)) {
        return;
    }
    constexpr int kSide = 32;
    std::vector<std::array<double, 3>> points;
    for (int i = 0; i <= kSide; ++i) {
        for (int j = 0; i + j <= kSide; ++j) {
            points.push_back({double(i) / kSide, double(j) / kSide, double(kSide - i - j) / kSide});
        }
    }
    std::size_t k = 0;
    for (auto _ : state) {
        const auto& p = points[k];
        k = k + 1 < points.size() ? k + 1 : 0;
        double result = 0;
        isotri::EvalBatchProc(&p[0], &p[1], &p[2], &result);
        benchmark::DoNotOptimize(result);
    }
}

BENCHMARK(Evaluate)->Arg(1)->Arg(10)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
