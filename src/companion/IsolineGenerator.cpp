// ppCreateTriangularTHK: the triangle placed in the picture, the levels chosen from the model's
// range, each level traced on the real model and labelled.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "companion/IsolineSet.h"
#include "companion/LevelLabels.h"
#include "companion/LevelTracer.h"
#include "companion/ModelExtremes.h"
#include "companion/SampleGrid.h"
#include "companion/TrianglePlacement.h"
#include "companion/zorb_lib.h"

namespace isotri::gen {

namespace {

constexpr int kMinLines = 1;
constexpr int kMaxLines = 50;
constexpr int kStartDivisions = 32;
constexpr int kMaxDivisions = 256;
// Refinement stops adding points past this many evaluations: only a picture far larger than
// any screen gets there.
constexpr std::int64_t kEvaluationLimit = 2'000'000;
// A range this small against the values is rounding noise of a constant model.
constexpr double kConstantShare = 1e-12;

bool Finite(const TPoint3f& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

// Grid as fine as one division per pixel of a side at most: finer only costs evaluations.
int DivisionLimit(double side) {
    int limit = kStartDivisions;
    while (limit * 2 <= kMaxDivisions && limit * 2 <= side) {
        limit *= 2;
    }
    return limit;
}

}  // namespace

}  // namespace isotri::gen

TIsolineSet* ppCreateTriangularTHK(const TPoint3f* center, const float* size, const float* angle,
                                   const float* bounds, TEvalProc evaluate, std::int32_t lineCount,
                                   std::int32_t /*reserved*/) {
    using namespace isotri::gen;
    if (center == nullptr || size == nullptr || evaluate == nullptr) {
        return nullptr;
    }
    float turn = angle != nullptr ? *angle : 0.0f;
    if (!Finite(*center) || !std::isfinite(*size) || !std::isfinite(turn)) {
        return nullptr;
    }
    if (bounds != nullptr &&
        !std::all_of(bounds, bounds + 9, [](float b) { return std::isfinite(b); })) {
        return nullptr;
    }
    int lines = std::clamp<int>(lineCount, kMinLines, kMaxLines);

    // The set's corners are single precision; the tracing uses exactly those corners.
    std::array<TPoint3f, 3> corners3f{};
    std::array<Vec2, 3> vertices{};
    for (int k = 0; k < 3; ++k) {
        double a = double(turn) + 2.0 * M_PI * k / 3.0;
        corners3f[k] = {static_cast<float>(center->X + double(*size) * std::cos(a)),
                        static_cast<float>(center->Y + double(*size) * std::sin(a)), 0.0f};
        vertices[k] = {corners3f[k].X, corners3f[k].Y};
    }
    TrianglePlacement placement(vertices, CornersOf(bounds));
    ModelProbe probe(placement, evaluate);
    SampleGrid grid(probe);
    // The levels come from the unrefined lattice, so they do not depend on the picture's size.
    grid.Sample(kStartDivisions);
    ModelRange range = FindExtremes(probe, grid);
    if (!range.found) {
        return nullptr;
    }
    double low = range.low.value, high = range.high.value;
    double scale = std::max(std::fabs(low), std::fabs(high));
    if (!(high - low > kConstantShare * scale) || !std::isfinite(high - low)) {
        return nullptr;
    }
    grid.Refine(DivisionLimit(placement.SideLength()), low, high, lines);

    std::vector<double> values(lines);
    for (int k = 0; k < lines; ++k) {
        values[k] = low + (k + 1) * ((high - low) / (lines + 1));
    }
    std::vector<std::vector<TracedPiece>> traced =
        TraceLevels(probe, grid, values, kEvaluationLimit);
    std::vector<std::vector<TLevelLabel>> labels = PlaceLabels(vertices, traced, values);
    std::vector<LevelResult> levels(lines);
    for (int k = 0; k < lines; ++k) {
        levels[k] = {values[k], std::move(traced[k]), std::move(labels[k])};
    }
    TIsolineSet* set = BuildIsolineSet(corners3f, levels);
    set->MinValue = low;
    set->MaxValue = high;
    Mixture lowAt = placement.MixtureAt(range.low.u, range.low.v);
    Mixture highAt = placement.MixtureAt(range.high.u, range.high.v);
    for (int c = 0; c < 3; ++c) {
        set->MinMixture[c] = lowAt[c];
        set->MaxMixture[c] = highAt[c];
    }
    return set;
}
