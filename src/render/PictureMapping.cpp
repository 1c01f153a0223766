#include "render/PictureMapping.h"

#include <algorithm>
#include <cmath>

#include "companion/TrianglePlacement.h"

namespace isotri {

namespace {

PictureXY Minus(PictureXY a, PictureXY b) {
    return {a.x - b.x, a.y - b.y};
}

double Cross(PictureXY a, PictureXY b) {
    return a.x * b.y - a.y * b.x;
}

// The drawn corners are single precision: a pixel right on an edge may miss it by that much.
constexpr double kEdgeSlack = 1e-6;

}  // namespace

PictureMapping::PictureMapping(const std::array<PictureXY, 3>& drawn,
                               const std::array<Mixture, 3>& shown,
                               const std::array<Mixture, 3>& model)
    : v_(drawn), shown_(shown), model_(model) {
    det_ = Cross(Minus(v_[1], v_[0]), Minus(v_[2], v_[0]));
}

std::optional<PictureMapping> PictureMapping::ForSet(const TIsolineSet& set, int width, int height,
                                                     double zoom, const float* bounds,
                                                     bool scalesOnly) {
    // The renderer's own single-precision placement, so the pixels agree with the drawing.
    const auto z = static_cast<float>(zoom);
    const float shiftX = (1 - z) * static_cast<float>(width) / 2;
    const float shiftY = (1 - z) * static_cast<float>(height) / 2;
    std::array<PictureXY, 3> drawn{};
    for (int k = 0; k < 3; ++k) {
        drawn[k] = {set.Vertices[k].X * z + shiftX, set.Vertices[k].Y * z + shiftY};
    }
    PictureMapping mapping(drawn, gen::CornersOf(bounds),
                           gen::CornersOf(scalesOnly ? nullptr : bounds));
    if (!(std::fabs(mapping.det_) > 0) || !std::isfinite(mapping.det_)) {
        return std::nullopt;
    }
    return mapping;
}

std::optional<Weights> PictureMapping::WeightsAt(PictureXY p) const {
    if (!(std::fabs(det_) > 0)) {
        return std::nullopt;
    }
    const PictureXY d = Minus(p, v_[0]);
    const double u = Cross(d, Minus(v_[2], v_[0])) / det_;
    const double v = Cross(Minus(v_[1], v_[0]), d) / det_;
    Weights w{1.0 - u - v, u, v};
    for (double x : w) {
        if (!(x >= -kEdgeSlack)) {
            return std::nullopt;
        }
    }
    for (double& x : w) {
        x = std::clamp(x, 0.0, 1.0);
    }
    const double sum = w[0] + w[1] + w[2];
    for (double& x : w) {
        x /= sum;
    }
    return w;
}

PictureXY PictureMapping::PointAt(const Weights& w) const {
    return {w[0] * v_[0].x + w[1] * v_[1].x + w[2] * v_[2].x,
            w[0] * v_[0].y + w[1] * v_[1].y + w[2] * v_[2].y};
}

Mixture PictureMapping::Combine(const std::array<Mixture, 3>& corners, const Weights& w) {
    Mixture m{};
    for (int c = 0; c < 3; ++c) {
        m[c] = w[0] * corners[0][c] + w[1] * corners[1][c] + w[2] * corners[2][c];
    }
    return m;
}

std::optional<Weights> PictureMapping::WeightsOfModelMixture(const Mixture& m) const {
    // m - A = u (B - A) + v (C - A), solved by the normal equations: three equations, two
    // unknowns, exact whenever m lies in the corners' plane.
    Mixture e1{}, e2{}, r{};
    for (int c = 0; c < 3; ++c) {
        e1[c] = model_[1][c] - model_[0][c];
        e2[c] = model_[2][c] - model_[0][c];
        r[c] = m[c] - model_[0][c];
    }
    auto dot = [](const Mixture& a, const Mixture& b) {
        return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    };
    const double a11 = dot(e1, e1), a12 = dot(e1, e2), a22 = dot(e2, e2);
    const double det = a11 * a22 - a12 * a12;
    if (!(det > 1e-12 * std::max(1.0, a11 * a22)) || !std::isfinite(det)) {
        return std::nullopt;
    }
    const double b1 = dot(e1, r), b2 = dot(e2, r);
    const double u = (b1 * a22 - b2 * a12) / det;
    const double v = (a11 * b2 - a12 * b1) / det;
    return Weights{1.0 - u - v, u, v};
}

std::array<GuideLine, 3> PictureMapping::GuideLines(const Weights& w, double reach) const {
    const PictureXY p = PointAt(w);
    std::array<GuideLine, 3> lines{};
    for (int k = 0; k < 3; ++k) {
        const PictureXY& a = v_[k];
        const PictureXY& b = v_[(k + 1) % 3];
        const PictureXY& c = v_[(k + 2) % 3];
        // Keeping weight k, the point slides along C→B until weight k+2 is gone.
        const double slide = w[(k + 2) % 3];
        const PictureXY onSide{p.x + slide * (b.x - c.x), p.y + slide * (b.y - c.y)};
        PictureXY end = onSide;
        const PictureXY d = Minus(b, a);
        const double length = std::hypot(d.x, d.y);
        if (length > 0) {
            // The renderer's normal (-D.y, D.x) points inward; its axis lies against it.
            end = {onSide.x + reach * d.y / length, onSide.y - reach * d.x / length};
        }
        lines[k] = {p, onSide, end};
    }
    return lines;
}

std::optional<double> DrawnZoom(const AppearanceSettings& settings, const NumberText& numbers) {
    const std::optional<double> zoom = numbers.Parse(settings.EGlobalZoom);
    if (!zoom || !std::isfinite(static_cast<float>(*zoom))) {
        return std::nullopt;
    }
    return static_cast<float>(*zoom);
}

double ScaleReach(const AppearanceSettings& settings, const NumberText& numbers,
                  double sideLength) {
    if (!settings.CBAxes) {
        return 0;
    }
    const std::optional<double> offset = numbers.Parse(settings.Eaoscale);
    const std::optional<double> tick = numbers.Parse(settings.Etickslen);
    if (!offset || !tick) {
        return 0;
    }
    const double reach = sideLength * *offset / 20 + sideLength * *tick / 80;
    return std::isfinite(reach) ? reach : 0;
}

}  // namespace isotri
