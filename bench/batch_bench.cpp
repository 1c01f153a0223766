// Generation of the isolines of a combined model at 800x740: ten combined default-module models
// against one, so the cost per entry shows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>

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

void Generate(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    QuietSink sink;
    isotri::TMathDefinition catalogue(sink);
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
        return;
    }
    const TPoint3f center{400, 370 + 74, 0};
    const float size = 400;
    const float angle = -std::numbers::pi_v<float> / 2;
    for (auto _ : state) {
        isotri::ResetExtremes();
        isotri::IsolineSetPtr set(
            ppCreateTriangularTHK(&center, &size, &angle, nullptr, isotri::EvalBatchProc, 5, 0));
        benchmark::DoNotOptimize(set.get());
    }
}

BENCHMARK(Generate)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
