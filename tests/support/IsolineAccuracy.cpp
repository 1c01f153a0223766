#include "support/IsolineAccuracy.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "companion/TrianglePlacement.h"

namespace isotri::gen {

namespace {

class Distance {
  public:
    Distance(const TIsolineSet& set, const float* bounds, const ModelFunction& model, double band)
        : placement_(Vertices(set), CornersOf(bounds)), model_(model), band_(band) {}

    // |f - level| / |grad f|: the first-order distance of p from the level.
    double operator()(Vec2 p, double level) const {
        double f = At(p);
        return std::max(0.0, std::fabs(f - level) - band_) / Length(Gradient(p));
    }

    // An upper bound of the distance of p from the level curve: the nearest level point met along
    // the steepest slope, or along a fan of rays where that ray meets none nearby. The
    // first-order ratio fails where the gradient vanishes, as at a saddle.
    double ToCurve(Vec2 p, double level) const {
        double f = At(p);
        if (std::fabs(f - level) <= band_) {
            return 0;
        }
        // The band's nearer edge is where the point meets it first.
        level += f > level ? band_ : -band_;
        double g = f - level;
        if (g == 0 || !std::isfinite(g)) {
            return g == 0 ? 0 : g;
        }
        Vec2 slope = Gradient(p);
        double norm = Length(slope);
        double best = kReach;
        if (norm > 0 && std::isfinite(norm)) {
            double first = std::fabs(g) / norm;
            Vec2 down = (g > 0 ? -1 / norm : 1 / norm) * slope;
            best = std::min(best,
                            RootAlong(p, down, g, level, std::min(kReach, 4 * first + 0.1), first));
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

    double Step() const {
        return 1e-3 * std::max(1.0, std::sqrt(std::fabs(placement_.Det())) / 100);
    }

    Vec2 Gradient(Vec2 p) const {
        double h = Step();
        return {(At(p + Vec2{h, 0}) - At(p - Vec2{h, 0})) / (2 * h),
                (At(p + Vec2{0, h}) - At(p - Vec2{0, h})) / (2 * h)};
    }

    // Distance along p + t·dir, t < reach, to the first change of side of the level met in steps
    // of a sixteenth of the reach (reach when none is found); g is f(p) - level. The first step
    // goes just past `guess`, where the level usually lies. A step across two changes only makes
    // the bound larger.
    double RootAlong(Vec2 p, Vec2 dir, double g, double level, double reach,
                     double guess = 0) const {
        // The model has no values beyond the sides; a line may run along a side, so the ray's
        // last step is the side itself.
        double span = std::min(reach, Room(p, dir));
        double step = span / kSteps;
        double lo = 0, glo = g;
        double hi = std::min(span, guess > 0 ? 1.5 * guess : step);
        for (;;) {
            double gh = At(p + hi * dir) - level;
            if (!std::isfinite(gh)) {
                return reach;
            }
            if ((gh > 0) != (g > 0) || gh == 0) {
                return gh == 0 ? hi : Narrowed(p, dir, level, lo, glo, hi, gh);
            }
            if (!(hi < span)) {
                return reach;
            }
            lo = hi;
            glo = gh;
            hi = std::min(span, hi + step);
        }
    }

    // The far end of the bracket [lo, hi] of a change of side, narrowed by false position
    // (Illinois) to a thousandth of its distance: an upper bound that barely exceeds the root.
    double Narrowed(Vec2 p, Vec2 dir, double level, double lo, double glo, double hi,
                    double ghi) const {
        const bool above = glo > 0;
        double flo = glo, fhi = ghi;
        int side = 0;
        for (int k = 0; k < 60 && hi - lo > 1e-5 + 1e-3 * hi; ++k) {
            double t = (lo * fhi - hi * flo) / (fhi - flo);
            if (!(t > lo && t < hi)) {
                t = 0.5 * (lo + hi);
            }
            double gt = At(p + t * dir) - level;
            if (gt == 0) {
                return t;
            }
            if ((gt > 0) == above) {
                lo = t;
                flo = gt;
                if (side == 1) {
                    fhi *= 0.5;
                }
                side = 1;
            } else {
                hi = t;
                fhi = gt;
                if (side == -1) {
                    flo *= 0.5;
                }
                side = -1;
            }
        }
        return hi;
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
    double band_;
};

}  // namespace

IsolineAccuracy MeasureAccuracy(const TIsolineSet& set, const float* bounds,
                                const ModelFunction& model, int chordSamples, double levelBand) {
    IsolineAccuracy result;
    Distance distance(set, bounds, model, std::max(0.0, levelBand));
    for (std::int32_t k = 0; k < set.LevelCount && set.Levels != nullptr; ++k) {
        const TIsolineLevel& level = *set.Levels[k];
        for (std::int32_t j = 0; j < level.PolylineCount; ++j) {
            const std::int32_t* index = level.PolylineIndexes[j];
            for (std::int32_t i = 0; i < level.PolylineLengths[j]; ++i) {
                const TPoint3f& q = level.Points[index[i]];
                Vec2 b{q.X, q.Y};
                double off = distance(b, level.Value);
                if (off > result.vertex) {
                    result.vertex = off;
                    result.worstVertexX = q.X;
                    result.worstVertexY = q.Y;
                    result.worstVertexLevel = k;
                }
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
                        result.worstChordLevel = k;
                    }
                }
            }
        }
    }
    return result;
}

}  // namespace isotri::gen
