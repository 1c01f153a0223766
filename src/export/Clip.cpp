#include "export/Clip.h"

#include <array>

namespace isotri {

std::optional<std::pair<ClipPoint, ClipPoint>> ClipSegment(ClipPoint a, ClipPoint b,
                                                           const ClipBox& box) {
    // Liang-Barsky: the segment is a + t (b - a), t in [0, 1], narrowed by each side.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double enter = 0;
    double leave = 1;
    const std::array<std::pair<double, double>, 4> sides = {{
        {-dx, a.x - box.left},
        {dx, box.right - a.x},
        {-dy, a.y - box.top},
        {dy, box.bottom - a.y},
    }};
    for (const auto& [p, q] : sides) {
        if (p == 0) {
            if (q < 0) {
                return std::nullopt;  // parallel to this side and outside it
            }
            continue;
        }
        const double t = q / p;
        if (p < 0) {
            if (t > leave) {
                return std::nullopt;
            }
            if (t > enter) {
                enter = t;
            }
        } else {
            if (t < enter) {
                return std::nullopt;
            }
            if (t < leave) {
                leave = t;
            }
        }
    }
    // The end points themselves are kept exactly where they are inside.
    const ClipPoint from = enter == 0 ? a : ClipPoint{a.x + enter * dx, a.y + enter * dy};
    const ClipPoint to = leave == 1 ? b : ClipPoint{a.x + leave * dx, a.y + leave * dy};
    return std::pair{from, to};
}

std::vector<std::vector<ClipPoint>> ClipPolyline(const std::vector<ClipPoint>& points,
                                                 const ClipBox& box) {
    std::vector<std::vector<ClipPoint>> pieces;
    if (points.size() == 1 && box.Contains(points[0])) {
        pieces.push_back(points);
        return pieces;
    }
    bool open = false;  // the last piece ends at the current point
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto part = ClipSegment(points[i - 1], points[i], box);
        if (!part) {
            open = false;
            continue;
        }
        if (!open || !(pieces.back().back() == part->first)) {
            pieces.push_back({part->first});
        }
        pieces.back().push_back(part->second);
        open = part->second == points[i];
    }
    return pieces;
}

namespace {

// One Sutherland-Hodgman pass: keeps the side of the line where inside() holds.
template <typename Inside, typename Cross>
std::vector<ClipPoint> KeepSide(const std::vector<ClipPoint>& in, Inside inside, Cross cross) {
    std::vector<ClipPoint> out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const ClipPoint& current = in[i];
        const ClipPoint& previous = in[(i + in.size() - 1) % in.size()];
        const bool currentIn = inside(current);
        if (currentIn != inside(previous)) {
            out.push_back(cross(previous, current));
        }
        if (currentIn) {
            out.push_back(current);
        }
    }
    return out;
}

}  // namespace

std::vector<ClipPoint> ClipPolygon(const std::vector<ClipPoint>& points, const ClipBox& box) {
    auto atX = [](double x) {
        return [x](ClipPoint a, ClipPoint b) {
            return ClipPoint{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
        };
    };
    auto atY = [](double y) {
        return [y](ClipPoint a, ClipPoint b) {
            return ClipPoint{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
        };
    };
    std::vector<ClipPoint> out = points;
    out = KeepSide(
        out, [&](ClipPoint p) { return p.x >= box.left; }, atX(box.left));
    out = KeepSide(
        out, [&](ClipPoint p) { return p.x <= box.right; }, atX(box.right));
    out = KeepSide(
        out, [&](ClipPoint p) { return p.y >= box.top; }, atY(box.top));
    out = KeepSide(
        out, [&](ClipPoint p) { return p.y <= box.bottom; }, atY(box.bottom));
    return out;
}

}  // namespace isotri
