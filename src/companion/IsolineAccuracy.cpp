#include "companion/IsolineAccuracy.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "companion/TrianglePlacement.h"

namespace isotri::gen {

namespace {

class Distance {
  public:
    Distance(const TIsolineSet& set, const float* bounds, const ModelFunction& model)
        : placement_(Vertices(set), Corners(bounds)), model_(model) {}

    double operator()(Vec2 p, double level) const {
        double h = 1e-3 * std::max(1.0, std::sqrt(std::fabs(placement_.Det())) / 100);
        double f = At(p);
        double gx = (At(p + Vec2{h, 0}) - At(p - Vec2{h, 0})) / (2 * h);
        double gy = (At(p + Vec2{0, h}) - At(p - Vec2{0, h})) / (2 * h);
        return std::fabs(f - level) / std::hypot(gx, gy);
    }

  private:
    static std::array<Vec2, 3> Vertices(const TIsolineSet& set) {
        std::array<Vec2, 3> v;
        for (int k = 0; k < 3; ++k) {
            v[k] = {set.Vertices[k].X, set.Vertices[k].Y};
        }
        return v;
    }
    static std::array<Mixture, 3> Corners(const float* bounds) {
        std::array<Mixture, 3> c{};
        for (int k = 0; k < 3; ++k) {
            for (int i = 0; i < 3; ++i) {
                c[k][i] = bounds != nullptr ? double(bounds[3 * k + i]) : (k == i ? 1.0 : 0.0);
            }
        }
        return c;
    }
    double At(Vec2 p) const {
        double u, v;
        placement_.WeightsOf(p, u, v);
        Mixture m = placement_.MixtureAt(u, v);
        return model_(m[0], m[1], m[2]);
    }

    TrianglePlacement placement_;
    const ModelFunction& model_;
};

}  // namespace

IsolineAccuracy MeasureAccuracy(const TIsolineSet& set, const float* bounds,
                                const ModelFunction& model, int chordSamples) {
    IsolineAccuracy result;
    Distance distance(set, bounds, model);
    for (std::int32_t k = 0; k < set.LevelCount && set.Levels != nullptr; ++k) {
        const TIsolineLevel& level = *set.Levels[k];
        for (std::int32_t j = 0; j < level.PolylineCount; ++j) {
            const std::int32_t* index = level.PolylineIndexes[j];
            for (std::int32_t i = 0; i < level.PolylineLengths[j]; ++i) {
                const TPoint3f& q = level.Points[index[i]];
                Vec2 b{q.X, q.Y};
                result.vertex = std::max(result.vertex, distance(b, level.Value));
                ++result.vertices;
                if (i == 0) {
                    continue;
                }
                const TPoint3f& p = level.Points[index[i - 1]];
                Vec2 a{p.X, p.Y};
                for (int s = 1; s <= chordSamples; ++s) {
                    Vec2 c = a + (double(s) / (chordSamples + 1)) * (b - a);
                    double d = distance(c, level.Value);
                    if (d > result.chord) {
                        result.chord = d;
                        result.worstChordX = static_cast<float>(c.x);
                        result.worstChordY = static_cast<float>(c.y);
                    }
                }
            }
        }
    }
    return result;
}

}  // namespace isotri::gen
