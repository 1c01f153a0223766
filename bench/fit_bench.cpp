// Fitting from measured data: a fit of 10 000 rows of the full cubic Scheffé model, and the
// reading of a million-row data table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/Error.h"
#include "fit/DataTable.h"
#include "fit/MixtureFit.h"
#include "models/MathDef.h"

namespace {

class QuietSink final : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view, isotri::MessageButtons) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

std::vector<isotri::MeasuredPoint> NoisyCubic(const IsotriModel* model, std::size_t rows) {
    const std::vector<double> coefs = {5, 7, 9, 2, -3, 4, 1, -1, 2, 12};
    std::mt19937 random(3);
    std::gamma_distribution<double> amount(1.5, 1.0);
    std::normal_distribution<double> noise(0.0, 0.3);
    std::vector<isotri::MeasuredPoint> points(rows);
    for (isotri::MeasuredPoint& p : points) {
        const double a = amount(random), b = amount(random), c = amount(random);
        p.Mixture = {a / (a + b + c), b / (a + b + c), c / (a + b + c)};
        model->ops->Evaluate(model, p.Mixture.data(), coefs.data(), &p.Value);
        p.Value += noise(random);
    }
    return points;
}

void BM_FitFullCubic(benchmark::State& state) {
    QuietSink sink;
    isotri::TMathDefinition catalogue(sink);
    catalogue.LoadModule(isotri::kDefaultModuleName);
    const IsotriModel* model =
        catalogue.GetModel(catalogue.IndexOfModel("Полная кубическая модель Шеффе"));
    const auto points = NoisyCubic(model, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(isotri::FitMixtureModel(model, points));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FitFullCubic)->Arg(10000)->Unit(benchmark::kMillisecond);

// A million rows of four numbers and a note, ";" and decimal commas: read and select.
void BM_ReadMillionRows(benchmark::State& state) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "isotri-fit-bench.csv";
    {
        std::ofstream out(path);
        out << "Опыт;A;B;C;Y\n";
        std::mt19937 random(5);
        std::uniform_int_distribution<int> share(0, 1000);
        for (int i = 0; i < 1000000; ++i) {
            out << 'R' << i << ';' << share(random) << ",5;" << share(random) << ";"
                << share(random) << ",25;" << share(random) << ",125\n";
        }
    }
    const isotri::NumberText numbers(',');
    for (auto _ : state) {
        benchmark::DoNotOptimize(isotri::DataTable::Read(path.string()).Select({}, numbers));
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadMillionRows)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
