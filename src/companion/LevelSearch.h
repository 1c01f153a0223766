// Searches for one level of the model along straight ways: between two grid nodes, and from a
// point in a direction, each to the vertex tolerance.
#pragma once

#include <cmath>
#include <optional>

#include "companion/CrossingNetwork.h"
#include "companion/SampleGrid.h"
#include "companion/TrianglePlacement.h"

namespace isotri::gen {

class LevelSearch {
  public:
    // `vertexTolerance`: how far a point found may lie from its level, px.
    LevelSearch(ModelProbe& probe, SampleGrid& grid, double vertexTolerance);

    void SetLevel(double level) { level_ = level; }
    double Level() const { return level_; }

    // The model's value at p; the last point asked is remembered, as a chord's middle is tried
    // more than once.
    double ModelAt(Vec2 p);

    // The weights of p and the grid's gradient there, remembered like the model's value.
    struct Surroundings {
        double u = 0, v = 0;
        bool sloped = false;  // the gradient is known
        Vec2 gradient;
    };
    const Surroundings& Around(Vec2 p);

    // The level on the model between grid nodes a and b, when their model values lie on either
    // side of it (`bracketed`).
    std::optional<LinePoint> OnGridEdge(GridNode a, GridNode b, bool& bracketed);

    // Offset along `normal` from `mid` to the level, within `reach` and the triangle: secant
    // steps from the grid's slope, then a bracketed search once the level is passed.
    std::optional<double> AlongNormal(Vec2 mid, Vec2 normal, double reach);

  private:
    // Where the parabola through the level function at a, b and the sampled grid node beyond
    // either of them on the same line meets the level, at a distance from a in (0, len); NaN
    // when there is no such node or root. A first try there mostly lands within the tolerance.
    double CurvedGuess(GridNode a, GridNode b, double ga, double gb, double len);
    // The part [lo, hi] of the line mid + t·normal, |t| <= reach, inside the triangle; u and v
    // are mid's weights.
    bool InsideRange(Vec2 mid, double u, double v, Vec2 normal, double reach, double& lo,
                     double& hi) const;

    ModelProbe& probe_;
    const TrianglePlacement& placement_;
    SampleGrid& grid_;
    double tolerance_;
    double level_ = 0;
    Vec2 lastAt_{NAN, NAN};
    double lastValue_ = NAN;
    Vec2 aroundAt_{NAN, NAN};
    Surroundings around_;
};

}  // namespace isotri::gen
