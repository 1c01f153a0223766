// Clipping of lines and polygons to an axis-parallel rectangle, for writers whose coordinates
// cannot reach far beyond the picture.
#pragma once

#include <optional>
#include <utility>
#include <vector>

namespace isotri {

struct ClipPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const ClipPoint&, const ClipPoint&) = default;
};

struct ClipBox {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    bool Contains(ClipPoint p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
};

// The part of the segment from a to b inside the box, in the same direction; none when it
// misses the box.
std::optional<std::pair<ClipPoint, ClipPoint>> ClipSegment(ClipPoint a, ClipPoint b,
                                                           const ClipBox& box);

// The pieces of a polyline inside the box, each of at least two points, in order.
std::vector<std::vector<ClipPoint>> ClipPolyline(const std::vector<ClipPoint>& points,
                                                 const ClipBox& box);

// The polygon cut to the box (its filled area within the box is the same); may be empty.
std::vector<ClipPoint> ClipPolygon(const std::vector<ClipPoint>& points, const ClipBox& box);

}  // namespace isotri
