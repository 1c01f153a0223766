// Isoline generation: time, model evaluations and the measured accuracy per picture size,
// model and number of isolines.
#include <benchmark/benchmark.h>

#include <cmath>

#include "plot/PlotRoad.h"
#include "support/IsolineAccuracy.h"

namespace {

// Full cubic Scheffé polynomial with fixed coefficients b1 b2 b3 b12 b13 b23 g12 g13 g23 b123.
double Cubic(double x1, double x2, double x3) {
    return 3.1 * x1 + 1.2 * x2 + 2.4 * x3 + 4.5 * x1 * x2 - 6.0 * x1 * x3 + 2.2 * x2 * x3 +
           7.5 * x1 * x2 * (x1 - x2) - 3.0 * x1 * x3 * (x1 - x3) + 5.0 * x2 * x3 * (x2 - x3) +
           20.0 * x1 * x2 * x3;
}

// Smooth but hard: a narrow peak on a wavy slope, with tightly curved small loops.
double Hard(double x1, double x2, double) {
    double dx = x1 - 0.35, dy = x2 - 0.3;
    return std::exp(-(dx * dx + dy * dy) / 0.003) + 0.5 * std::sin(14 * x1 + 9 * x2 * x2);
}

double (*gModel)(double, double, double) = Cubic;

void Evaluate(const double* x1, const double* x2, const double* x3, double* result) {
    *result = gModel(*x1, *x2, *x3);
}

isotri::Plot Generate(int width, int height, int lines) {
    isotri::PlotRequest request;
    request.width = width;
    request.height = height;
    request.lines = lines;
    request.evaluate = Evaluate;
    isotri::EvaluationContext context;
    return isotri::GeneratePlot(request, context);
}

// Args: width, height, lines, model (0 cubic, 1 hard).
void BM_Generate(benchmark::State& state) {
    int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    int lines = static_cast<int>(state.range(2));
    gModel = state.range(3) == 0 ? Cubic : Hard;
    for (auto _ : state) {
        isotri::Plot plot = Generate(width, height, lines);
        benchmark::DoNotOptimize(plot.set.get());
    }
    const isotri::Plot plot = Generate(width, height, lines);
    state.counters["evaluations"] = static_cast<double>(plot.evaluations);
    if (plot.set != nullptr) {
        auto accuracy = isotri::gen::MeasureAccuracy(*plot.set, nullptr, gModel);
        state.counters["vertices"] = static_cast<double>(accuracy.vertices);
        state.counters["vertex_err_px"] = accuracy.vertex;
        state.counters["chord_err_px"] = accuracy.chord;
    }
    state.SetLabel(state.range(3) == 0 ? "cubic" : "hard");
}

BENCHMARK(BM_Generate)
    ->ArgNames({"w", "h", "lines", "model"})
    ->ArgsProduct({{800}, {740}, {5, 50}, {0, 1}})
    ->Args({2048, 2048, 5, 0})
    ->Args({2048, 2048, 50, 0})
    ->Args({2048, 2048, 5, 1})
    ->Args({2048, 2048, 50, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
