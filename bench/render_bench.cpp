// Drawing a typical picture: five isolines of a few hundred points each, grid of 10 divisions,
// axes, labels and names, on the window's off-screen picture and on a large one.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <vector>

#include "export/Metafile.h"
#include "models/MessageSink.h"
#include "render/PPDraw.h"
#include "render/QtCanvas.h"

namespace {

using namespace isotri;

constexpr float kUnitCorners[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
constexpr int kLevels = 5;
constexpr int kPointsPerLevel = 400;

// Closed curves around the triangle's centroid, shaped like the isolines of a cubic model,
// placed as the window places the triangle: centre (w/2, 0.6 h), size w/2, vertex 0 up.
struct SyntheticSet {
    std::vector<std::vector<TPoint3f>> points;
    std::vector<std::vector<std::int32_t>> indexes;
    std::vector<std::int32_t*> indexPointers;
    std::vector<std::int32_t> lengths;
    std::vector<TLevelLabel> labels;
    std::vector<TIsolineLevel> levels;
    std::vector<TIsolineLevel*> levelPointers;
    TIsolineSet set{};

    SyntheticSet(int width, int height) {
        const float cx = width / 2.0f;
        const float cy = 0.6f * height;
        const float size = width / 2.0f;
        for (int k = 0; k < 3; ++k) {
            const double angle = -std::numbers::pi / 2 + 2 * std::numbers::pi * k / 3;
            set.Vertices[k] = {cx + size * static_cast<float>(std::cos(angle)),
                               cy + size * static_cast<float>(std::sin(angle)), 0};
        }
        points.resize(kLevels);
        indexes.resize(kLevels);
        labels.resize(kLevels);
        levels.resize(kLevels);
        for (int l = 0; l < kLevels; ++l) {
            const float radius = size * 0.08f * static_cast<float>(l + 1);
            for (int i = 0; i < kPointsPerLevel; ++i) {
                const double t = 2 * std::numbers::pi * i / (kPointsPerLevel - 1);
                const float wobble = 1 + 0.15f * static_cast<float>(std::cos(3 * t));
                points[l].push_back({cx + radius * wobble * static_cast<float>(std::cos(t)),
                                     cy + radius * wobble * static_cast<float>(std::sin(t)), 0});
                indexes[l].push_back(i);
            }
            labels[l].X = points[l][kPointsPerLevel / 4].X;
            labels[l].Y = points[l][kPointsPerLevel / 4].Y;
            std::snprintf(labels[l].Text, sizeof labels[l].Text, "%g", 0.125 * (l + 1));
        }
        lengths.assign(kLevels, kPointsPerLevel);
        for (int l = 0; l < kLevels; ++l) {
            indexPointers.push_back(indexes[l].data());
        }
        for (int l = 0; l < kLevels; ++l) {
            levels[l].PolylineCount = 1;
            levels[l].Points = points[l].data();
            levels[l].PolylineLengths = &lengths[l];
            levels[l].PolylineIndexes = &indexPointers[l];
            levels[l].Labels = &labels[l];
            levelPointers.push_back(&levels[l]);
        }
        set.LevelCount = kLevels;
        set.Levels = levelPointers.data();
    }
};

void DrawPicture(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const SyntheticSet synthetic(width, height);
    const NumberText numbers(',');
    const AppearanceSettings settings = AppearanceSettings::Defaults(numbers);
    StderrMessageSink sink;
    QImage image(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        {
            QtCanvas canvas(painter);
            DrawIsolineSet(&synthetic.set, canvas, width, height, 10, settings, kUnitCorners,
                           numbers, sink);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(DrawPicture)->Args({800, 740})->Args({2048, 2048})->Unit(benchmark::kMillisecond);

// The same picture recorded for the clipboard (EMF) and for a ".wmf" file.
template <std::optional<QByteArray> (*Record)(const PictureInput&)>
void RecordPicture(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const SyntheticSet synthetic(width, height);
    const NumberText numbers(',');
    const AppearanceSettings settings = AppearanceSettings::Defaults(numbers);
    StderrMessageSink sink;
    const PictureInput input{&synthetic.set, width,        height,   10,
                             &settings,      kUnitCorners, &numbers, &sink};
    for (auto _ : state) {
        benchmark::DoNotOptimize(Record(input));
    }
}
BENCHMARK(RecordPicture<RenderToMetafile>)
    ->Name("RecordEmf")
    ->Args({800, 740})
    ->Args({2048, 2048})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(RecordPicture<RenderToWmf>)
    ->Name("RecordWmf")
    ->Args({800, 740})
    ->Args({2048, 2048})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
