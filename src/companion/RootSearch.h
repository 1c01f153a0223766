// Roots of a level function along a line, with the distance in pixels as the parameter.
#pragma once

#include <algorithm>
#include <cmath>
#include <optional>

namespace isotri::gen {

// The two sides of a level: "below" is strictly under it, so a value equal to the level counts
// as above and every crossing is decided the same way wherever it is met.
inline bool Below(double g) {
    return g < 0;
}

// Root of g between a and b, whose values ga and gb lie on different sides (Illinois method),
// tried first at `first` when that lies strictly between them. Stops when the estimated distance to
// the root, by the steepest slope seen, is under `tol`, or the bracket is narrower than `tol`.
// Nothing when g is not finite somewhere on the way, or when the value found is not near the level:
// a bracket whose values grow as it shrinks holds a pole or a jump, not a root.
template <class G>
std::optional<double> SolveBracketed(G&& g, double a, double ga, double b, double gb, double tol,
                                     double first = NAN) {
    const double reach = 0.5 * std::max(std::fabs(ga), std::fabs(gb));
    auto root = [&](double t, double gt) {
        return std::fabs(gt) <= reach ? std::optional<double>(t) : std::nullopt;
    };
    double fa = ga, fb = gb;  // weighted values of the false-position step
    double prevT = a, prevG = ga;
    int side = 0;
    for (int iter = 0; iter < 200; ++iter) {
        double t = (fb != fa) ? (a * fb - b * fa) / (fb - fa) : 0.5 * (a + b);
        if (iter == 0 && first > std::min(a, b) && first < std::max(a, b)) {
            t = first;
        }
        if (!(t > std::min(a, b) && t < std::max(a, b))) {
            t = 0.5 * (a + b);
        }
        double gt = g(t);
        if (!std::isfinite(gt)) {
            return std::nullopt;
        }
        if (gt == 0) {
            return t;
        }
        double slope = std::fabs((gb - ga) / (b - a));
        if (t != prevT) {
            slope = std::min(slope, std::fabs((gt - prevG) / (t - prevT)));
        }
        prevT = t;
        prevG = gt;
        if (Below(gt) == Below(gb)) {
            b = t;
            gb = fb = gt;
            if (side == -1) {
                fa *= 0.5;
            }
            side = -1;
        } else {
            a = t;
            ga = fa = gt;
            if (side == 1) {
                fb *= 0.5;
            }
            side = 1;
        }
        if (std::fabs(gt) <= tol * slope || std::fabs(b - a) <= tol) {
            return root(t, gt);
        }
    }
    return 0.5 * (a + b);
}

}  // namespace isotri::gen
