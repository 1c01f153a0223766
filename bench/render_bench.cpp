// Drawing the picture of a real isoline set (the generator on a full cubic Scheffé model) with
// the default appearance and 4 grid divisions, on the window's 800x740 picture and on the largest
// one, 2048x2048, recording it as EMF and WMF, and encoding it as PNG. The set is made once; only
// the drawing is timed. Also the reading of fontconfig's configuration, which a picture's first
// text waits for.
#include <benchmark/benchmark.h>

#include <fontconfig/fontconfig.h>
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <optional>

#include "common/MessageSink.h"
#include "export/Metafile.h"
#include "export/PngWriter.h"
#include "plot/PlotRoad.h"
#include "render/QtCanvas.h"

namespace {

using namespace isotri;

constexpr int kDivisions = 4;

// b1 b2 b3 b12 b13 b23 g12 g13 g23 b123: a saddle and a few bent isolines, some of them split
// in two pieces by the sides.
void FullCubic(const double* x1, const double* x2, const double* x3, double* result) {
    const double a = *x1, b = *x2, c = *x3;
    *result = 3.1 * a + 1.2 * b + 2.4 * c + 4.5 * a * b - 6.0 * a * c + 2.2 * b * c +
              7.5 * a * b * (a - b) - 3.0 * a * c * (a - c) + 5.0 * b * c * (b - c) +
              20.0 * a * b * c;
}

PlotRequest RequestFor(benchmark::State& state, int lines) {
    PlotRequest request;
    request.width = static_cast<int>(state.range(0));
    request.height = static_cast<int>(state.range(1));
    request.lines = lines;
    request.divisions = kDivisions;
    request.evaluate = FullCubic;
    return request;
}

int PointCount(const TIsolineSet& set) {
    int points = 0;
    for (std::int32_t k = 0; k < set.LevelCount; ++k) {
        for (std::int32_t j = 0; j < set.Levels[k]->PolylineCount; ++j) {
            points += set.Levels[k]->PolylineLengths[j];
        }
    }
    return points;
}

// The picture a benchmark draws: its size from the first two arguments, the set generated
// once, the default appearance. A constant model leaves no set and skips the benchmark.
struct Scene {
    Scene(benchmark::State& state, int lines) : request(RequestFor(state, lines)) {
        EvaluationContext context;
        set = GeneratePlot(request, context).set;
        if (!set) {
            state.SkipWithError("the model is constant on the triangle");
        }
        input = {set.get(), request.width,         request.height, request.divisions,
                 &settings, request.bounds.data(), &numbers,       &sink};
    }

    const PlotRequest request;
    IsolineSetPtr set;
    const NumberText numbers{','};
    const AppearanceSettings settings = AppearanceSettings::Defaults(numbers);
    StderrMessageSink sink;
    PictureInput input;
};

// Args: width, height, isolines, image format.
void DrawPicture(benchmark::State& state) {
    const auto format = static_cast<QImage::Format>(state.range(3));
    Scene scene(state, static_cast<int>(state.range(2)));
    if (!scene.set) {
        return;
    }
    QImage image(scene.request.width, scene.request.height, format);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        {
            QtCanvas canvas(painter);
            if (!isotri::DrawPicture(scene.input, canvas)) {
                state.SkipWithError("the default geometry texts did not parse");
                break;
            }
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = PointCount(*scene.set);
    state.SetLabel(format == QImage::Format_RGB32 ? "RGB32" : "ARGB32_Premultiplied");
}
BENCHMARK(DrawPicture)
    ->ArgNames({"w", "h", "lines", "format"})
    ->Args({800, 740, 5, QImage::Format_RGB32})
    ->Args({800, 740, 5, QImage::Format_ARGB32_Premultiplied})
    ->Args({2048, 2048, 5, QImage::Format_RGB32})
    ->Args({800, 740, 50, QImage::Format_RGB32})
    ->Unit(benchmark::kMillisecond);

// The same picture recorded for the clipboard (EMF) and for a ".wmf" file.
template <std::optional<QByteArray> (*Record)(const PictureInput&)>
void RecordPicture(benchmark::State& state) {
    Scene scene(state, 5);
    if (!scene.set) {
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(Record(scene.input));
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

// The drawn picture encoded for a ".png" file, and, for comparison, by Qt's own PNG writer.
// Args: width, height; the picture is drawn once.
template <bool kOurs>
void EncodePicture(benchmark::State& state) {
    Scene scene(state, 5);
    if (!scene.set) {
        return;
    }
    QImage image(scene.request.width, scene.request.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        isotri::DrawPicture(scene.input, canvas);
    }
    std::int64_t size = 0;
    for (auto _ : state) {
        QByteArray bytes;
        if constexpr (kOurs) {
            std::string error;
            EncodePng(image, bytes, error);
        } else {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
        }
        size = bytes.size();
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(EncodePicture<true>)
    ->Name("EncodePng")
    ->Args({800, 740})
    ->Args({2048, 2048})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(EncodePicture<false>)
    ->Name("EncodePngQt")
    ->Args({800, 740})
    ->Args({2048, 2048})
    ->Unit(benchmark::kMillisecond);

// Fontconfig's configuration read afresh, as a process's first text needs it: isotri-plot reads
// it on the second core while Qt starts and the isolines are made.
void LoadFontConfiguration(benchmark::State& state) {
    for (auto _ : state) {
        FcConfig* config = FcInitLoadConfigAndFonts();
        if (config == nullptr) {
            state.SkipWithError("fontconfig could not read its configuration");
            break;
        }
        FcConfigDestroy(config);
    }
}
BENCHMARK(LoadFontConfiguration)->Unit(benchmark::kMillisecond);

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
