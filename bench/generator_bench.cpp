// Isoline generation: time, model evaluations and the measured accuracy per picture size,
// model and number of isolines.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "companion/IsolineSet.h"
#include "companion/TrianglePlacement.h"

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

// The peer: plain marching triangles over a uniform barycentric lattice of N = 100 divisions,
// crossings by linear interpolation, one segment per crossed cell, traced on our levels.
constexpr int kPeerDivisions = 100;

struct PeerSegment {
    isotri::gen::Vec2 a, b;
    isotri::gen::Mixture ma, mb;
};

std::vector<std::vector<PeerSegment>> PeerTrace(const isotri::Placement& placement,
                                                const std::vector<double>& levels,
                                                std::int64_t& evaluations) {
    using isotri::gen::Mixture;
    using isotri::gen::Vec2;
    constexpr int n = kPeerDivisions;
    std::vector<double> values((n + 1) * (n + 1));
    auto index = [](int i, int j) { return i * (n + 1) + j; };
    auto mixture = [](int i, int j) {
        double u = double(i) / n, v = double(j) / n;
        return Mixture{1 - u - v, u, v};
    };
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; i + j <= n; ++j) {
            Mixture m = mixture(i, j);
            Evaluate(&m[0], &m[1], &m[2], &values[index(i, j)]);
            ++evaluations;
        }
    }
    Vec2 corner[3];
    for (int k = 0; k < 3; ++k) {
        double a = placement.angle + 2 * M_PI * k / 3;
        corner[k] = {placement.center.X + placement.size * std::cos(a),
                     placement.center.Y + placement.size * std::sin(a)};
    }
    auto point = [&](const Mixture& m) {
        return Vec2{m[0] * corner[0].x + m[1] * corner[1].x + m[2] * corner[2].x,
                    m[0] * corner[0].y + m[1] * corner[1].y + m[2] * corner[2].y};
    };
    std::vector<std::vector<PeerSegment>> traced(levels.size());
    auto cell = [&](int i0, int j0, int i1, int j1, int i2, int j2) {
        const int is[3] = {i0, i1, i2}, js[3] = {j0, j1, j2};
        double f[3];
        for (int k = 0; k < 3; ++k) {
            f[k] = values[index(is[k], js[k])];
        }
        for (std::size_t l = 0; l < levels.size(); ++l) {
            Mixture found[2];
            int count = 0;
            for (int k = 0; k < 3 && count < 2; ++k) {
                int q = (k + 1) % 3;
                if ((f[k] < levels[l]) != (f[q] < levels[l])) {
                    double t = (levels[l] - f[k]) / (f[q] - f[k]);
                    Mixture a = mixture(is[k], js[k]), b = mixture(is[q], js[q]);
                    for (int c = 0; c < 3; ++c) {
                        found[count][c] = a[c] + t * (b[c] - a[c]);
                    }
                    ++count;
                }
            }
            if (count == 2) {
                traced[l].push_back({point(found[0]), point(found[1]), found[0], found[1]});
            }
        }
    };
    for (int i = 0; i < n; ++i) {
        for (int j = 0; i + j < n; ++j) {
            cell(i, j, i + 1, j, i, j + 1);
            if (i + j + 2 <= n) {
                cell(i + 1, j, i + 1, j + 1, i, j + 1);
            }
        }
    }
    return traced;
}

// Args as BM_Generate's: the peer traced on the levels our generator chose.
void BM_Peer(benchmark::State& state) {
    int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    int lines = static_cast<int>(state.range(2));
    gModel = state.range(3) == 0 ? Cubic : Hard;
    const isotri::Plot ours = Generate(width, height, lines);
    if (ours.set == nullptr) {
        state.SkipWithError("no set");
        return;
    }
    std::vector<double> levels;
    for (int k = 0; k < ours.set->LevelCount; ++k) {
        levels.push_back(ours.set->Levels[k]->Value);
    }
    const isotri::Placement placement = isotri::Placement::ForPicture(width, height);
    std::int64_t evaluations = 0;
    for (auto _ : state) {
        evaluations = 0;
        auto traced = PeerTrace(placement, levels, evaluations);
        benchmark::DoNotOptimize(traced.data());
    }
    evaluations = 0;
    auto traced = PeerTrace(placement, levels, evaluations);
    std::vector<isotri::gen::LevelResult> results(levels.size());
    for (std::size_t l = 0; l < levels.size(); ++l) {
        results[l].value = levels[l];
        for (const PeerSegment& s : traced[l]) {
            results[l].pieces.push_back({{s.a, s.b}, {s.ma, s.mb}, false});
            results[l].labels.push_back(TLevelLabel{});
        }
    }
    std::array<TPoint3f, 3> vertices;
    for (int k = 0; k < 3; ++k) {
        vertices[k] = ours.set->Vertices[k];
    }
    TIsolineSet* set = isotri::gen::BuildIsolineSet(vertices, results);
    auto accuracy = isotri::gen::MeasureAccuracy(*set, nullptr, gModel);
    ppFree(set);
    state.counters["evaluations"] = static_cast<double>(evaluations);
    state.counters["vertices"] = static_cast<double>(accuracy.vertices);
    state.counters["vertex_err_px"] = accuracy.vertex;
    state.counters["chord_err_px"] = accuracy.chord;
    state.SetLabel(state.range(3) == 0 ? "peer cubic" : "peer hard");
}

BENCHMARK(BM_Peer)
    ->ArgNames({"w", "h", "lines", "model"})
    ->Args({800, 740, 5, 0})
    ->Args({800, 740, 5, 1})
    ->Args({800, 740, 50, 1})
    ->Args({2048, 2048, 50, 0})
    ->Unit(benchmark::kMillisecond);

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
