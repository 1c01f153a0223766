#include "support/IsolineAccuracy.h"

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

    // |f - level| / |grad f|: the first-order distance of p from the level.
    double operator()(Vec2 p, double level) const {
        double f = At(p);
        return std::fabs(f - level) / Length(Gradient(p));
    }

    // An upper bound of the distance of p from the level curve: the nearest level point met along
    // the steepest slope, or along a fan of rays where that ray meets none nearby. The
    // first-order ratio fails where the gradient vanishes, as at a saddle.
    double ToCurve(Vec2 p, double level) const {
        double g = At(p) - level;
        if (g == 0 || !std::isfinite(g)) {
            return g == 0 ? 0 : g;
        }
        Vec2 slope = Gradient(p);
        double norm = Length(slope);
        double best = kReach;
        if (norm > 0 && std::isfinite(norm)) {
            double first = std::fabs(g) / norm;
            Vec2 down = (g > 0 ? -1 / norm : 1 / norm) * slope;
            best = std::min(best, RootAlong(p, down, g, level, std::min(kReach, 4 * first + 0.1)));
        }
        if (best > kFanFrom) {
            for (int k = 0; k < kRays; ++k) {
                double a = 2 * M_PI * k / kRays;
                best = std::min(best, RootAlong(p, {std::cos(a), std::sin(a)}, g, level, best));
            }
        }
        return best;
    }

  private:
    static constexpr double kReach = 16;     // pixels: a chord farther off fails anyway
    static constexpr double kFanFrom = 0.1;  // below this the slope's ray is close enough
    static constexpr int kRays = 32;
    static constexpr int kSteps = 16;

    Vec2 Gradient(Vec2 p) const {
        double h = 1e-3 * std::max(1.0, std::sqrt(std::fabs(placement_.Det())) / 100);
        return {(At(p + Vec2{h, 0}) - At(p - Vec2{h, 0})) / (2 * h),
                (At(p + Vec2{0, h}) - At(p - Vec2{0, h})) / (2 * h)};
    }

    // Distance along p + t·dir, t < reach, to the first change of side of the level (reach when
    // none is found); g is f(p) - level.
    double RootAlong(Vec2 p, Vec2 dir, double g, double level, double reach) const {
        // The model has no values beyond the sides; a line may run along a side, so the ray's
        // last step is the side itself.
        double room = Room(p, dir);
        double span = std::min(reach, room);
        double lo = 0;
        for (int s = 1; s <= kSteps; ++s) {
            double hi = span * s / kSteps;
            double gh = At(p + hi * dir) - level;
            if (!std::isfinite(gh)) {
                return reach;
            }
            if ((gh > 0) != (g > 0) || gh == 0) {
                for (int k = 0; k < 40 && hi - lo > 1e-5; ++k) {
                    double mid = 0.5 * (lo + hi);
                    double gm = At(p + mid * dir) - level;
                    ((gm > 0) == (g > 0) && gm != 0 ? lo : hi) = mid;
                }
                return hi;
            }
            lo = hi;
        }
        return reach;
    }

    // Distance from p along dir to the nearest side.
    double Room(Vec2 p, Vec2 dir) const {
        double u, v, du, dv;
        placement_.WeightsOf(p, u, v);
        placement_.WeightsOf(p + dir, du, dv);
        du -= u;
        dv -= v;
        const double weight[3] = {u, v, 1 - u - v};
        const double slope[3] = {du, dv, -du - dv};
        double room = INFINITY;
        for (int k = 0; k < 3; ++k) {
            if (slope[k] < 0) {
                room = std::min(room, std::max(0.0, -weight[k] / slope[k]));
            }
        }
        return room;
    }

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
        // A side reached by a ray is read on the side, not a rounding step beyond it.
        constexpr double kSlack = 1e-9;
        if (u < 0 && u > -kSlack) {
            u = 0;
        }
        if (v < 0 && v > -kSlack) {
            v = 0;
        }
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
                    double d = distance.ToCurve(c, level.Value);
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
