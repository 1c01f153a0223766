#include "companion/LevelLabels.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <optional>

#include "companion/RecycledMemory.h"

namespace isotri::gen {

namespace {

constexpr double kStep = 3.0;            // spacing of the candidate places along a piece, px
constexpr double kMaxCandidates = 2000;  // per piece, so huge pictures stay quick
constexpr double kMaxBend = 3.0;         // deviation from straight under the label, px
constexpr double kSpreadReach = 250;     // beyond this distance another label no longer matters
constexpr double kCellSize = 16;         // buckets of the line points, px

// A piece as a function of arc length; a closed piece is laid out twice so that a window may
// run over its start.
class ArcLine {
  public:
    explicit ArcLine(const TracedPiece& piece) : closed_(piece.closed) {
        points_ = piece.points;
        if (closed_) {
            points_.insert(points_.end(), piece.points.begin() + 1, piece.points.end());
        }
        arc_.resize(points_.size());
        arc_[0] = 0;
        for (std::size_t k = 1; k < points_.size(); ++k) {
            arc_[k] = arc_[k - 1] + Length(points_[k] - points_[k - 1]);
        }
        length_ = closed_ ? arc_[piece.points.size() - 1] : arc_.back();
    }

    bool Closed() const { return closed_; }
    double PieceLength() const { return length_; }
    const std::vector<Vec2>& Points() const { return points_; }
    const std::vector<double>& Arc() const { return arc_; }

    // The point at arc position s; `after` is the first line point beyond it.
    struct Mark {
        Vec2 at;
        std::size_t after;
    };
    Mark MarkAt(double s) const {
        s = std::clamp(s, 0.0, arc_.back());
        std::size_t k = std::upper_bound(arc_.begin(), arc_.end(), s) - arc_.begin();
        return {At(s, k), k};
    }
    // The same, stepping from a mark near s instead of searching the whole line.
    Mark MarkFrom(const Mark& near, double s) const {
        s = std::clamp(s, 0.0, arc_.back());
        std::size_t k = near.after;
        while (k > 0 && arc_[k - 1] > s) {
            --k;
        }
        while (k < arc_.size() && arc_[k] <= s) {
            ++k;
        }
        return {At(s, k), k};
    }

    // Largest distance of the line between arc positions a and b from their chord; infinite
    // when the stretch folds back on itself.
    double Bend(double a, const Mark& from, double b, const Mark& to) const {
        Vec2 chord = to.at - from.at;
        double len = Length(chord);
        if (len < 0.8 * (b - a)) {
            return INFINITY;
        }
        double worst = 0;
        for (std::size_t k = from.after; k < arc_.size() && arc_[k] < b; ++k) {
            worst = std::max(worst, std::fabs(Cross(chord, points_[k] - from.at)) / len);
        }
        return worst;
    }

  private:
    Vec2 At(double s, std::size_t k) const {
        if (k == 0) {
            return points_.front();
        }
        if (k >= points_.size()) {
            return points_.back();
        }
        double span = arc_[k] - arc_[k - 1];
        double w = span > 0 ? (s - arc_[k - 1]) / span : 0;
        return points_[k - 1] + w * (points_[k] - points_[k - 1]);
    }

    bool closed_;
    std::vector<Vec2> points_;
    std::vector<double> arc_;
    double length_ = 0;
};

struct PieceRef {
    int level;
    int piece;
    double length;
};

// Points of every piece in buckets, to tell how much of other lines a box would hide. The
// buckets form a dense grid over the points' extent, found when the last point is in.
class PointBuckets {
  public:
    void Add(Vec2 p, int owner) { points_.push_back({p, owner}); }

    void Build() {
        if (points_.empty()) {
            return;
        }
        double x0 = points_[0].p.x, y0 = points_[0].p.y, x1 = x0, y1 = y0;
        for (const Entry& e : points_) {
            x0 = std::min(x0, e.p.x);
            y0 = std::min(y0, e.p.y);
            x1 = std::max(x1, e.p.x);
            y1 = std::max(y1, e.p.y);
        }
        // Cells grow with a picture far beyond any screen, so that they stay fewer than points.
        const double limit = 4.0 * double(points_.size()) + 1024;
        while (((x1 - x0) / cell_ + 2) * ((y1 - y0) / cell_ + 2) > limit) {
            cell_ *= 2;
        }
        originX_ = Cell(x0);
        originY_ = Cell(y0);
        columns_ = Cell(x1) - originX_ + 1;
        rows_ = Cell(y1) - originY_ + 1;
        cells_.assign(static_cast<std::size_t>(columns_ * rows_), {});
        for (const Entry& e : points_) {
            cells_[static_cast<std::size_t>((Cell(e.p.y) - originY_) * columns_ + Cell(e.p.x) -
                                            originX_)]
                .push_back(e);
        }
    }

    // Counts up to `limit`: past it the count no longer changes the outcome.
    int CountInBox(Vec2 centre, double halfW, double halfH, int owner, int limit) const {
        int count = 0;
        long x0 = std::max(Cell(centre.x - halfW) - originX_, 0L);
        long x1 = std::min(Cell(centre.x + halfW) - originX_, columns_ - 1);
        long y0 = std::max(Cell(centre.y - halfH) - originY_, 0L);
        long y1 = std::min(Cell(centre.y + halfH) - originY_, rows_ - 1);
        for (long cy = y0; cy <= y1; ++cy) {
            for (long cx = x0; cx <= x1; ++cx) {
                for (const Entry& e : cells_[static_cast<std::size_t>(cy * columns_ + cx)]) {
                    if (e.owner != owner && std::fabs(e.p.x - centre.x) <= halfW &&
                        std::fabs(e.p.y - centre.y) <= halfH && ++count >= limit) {
                        return count;
                    }
                }
            }
        }
        return count;
    }

  private:
    struct Entry {
        Vec2 p;
        int owner;
    };
    long Cell(double c) const { return static_cast<long>(std::floor(c / cell_)); }
    double cell_ = kCellSize;
    Recycled<Entry> points_;
    std::vector<std::vector<Entry>> cells_;
    long originX_ = 0, originY_ = 0, columns_ = 0, rows_ = 0;
};

struct Candidate {
    double s, centrality;
};

// The candidates `subset` (ascending) from the most central out, as a stable sort by centrality
// would order them: the centrality rises to the piece's middle and falls beyond it.
std::vector<std::size_t> ByCentrality(const std::vector<Candidate>& candidates,
                                      const std::vector<std::size_t>& subset) {
    std::vector<std::size_t> order;
    order.reserve(subset.size());
    if (subset.empty()) {
        return order;
    }
    auto centrality = [&](std::size_t k) { return candidates[subset[k]].centrality; };
    std::size_t top = 0;
    for (std::size_t k = 1; k < subset.size(); ++k) {
        if (centrality(k) > centrality(top)) {
            top = k;
        }
    }
    // Equal centralities keep their order along the piece, so a plateau is read from its start.
    std::size_t left = top, right = top + 1;
    while (left > 0 && centrality(left - 1) == centrality(top)) {
        --left;
    }
    for (std::size_t k = left; k < right; ++k) {
        order.push_back(subset[k]);
    }
    while (right < subset.size() && centrality(right) == centrality(top)) {
        order.push_back(subset[right++]);
    }
    std::ptrdiff_t l = static_cast<std::ptrdiff_t>(left) - 1;
    while (l >= 0 || right < subset.size()) {
        bool takeLeft = right >= subset.size() ||
                        (l >= 0 && centrality(static_cast<std::size_t>(l)) >= centrality(right));
        order.push_back(takeLeft ? subset[static_cast<std::size_t>(l--)] : subset[right++]);
    }
    return order;
}

class Placer {
  public:
    Placer(const std::array<Vec2, 3>& vertices, const LabelBox& box)
        : box_(box),
          placed_(vertices, std::max({kSpreadReach, box.width + box.gap, box.height + box.gap})) {
        // Inward normals of the sides, whatever the triangle's orientation.
        double orientation =
            Cross(vertices[1] - vertices[0], vertices[2] - vertices[0]) > 0 ? 1 : -1;
        for (int k = 0; k < 3; ++k) {
            Vec2 a = vertices[k], b = vertices[(k + 1) % 3];
            Vec2 d = b - a;
            double len = Length(d);
            sides_[k] = {a, len > 0 ? (orientation / len) * Vec2{-d.y, d.x} : Vec2{}};
        }
    }

    // False when the box at c reaches past a side; `stuck` is then how far c may move and the
    // box still does.
    bool BoxInside(Vec2 c, double& stuck) const {
        double hw = box_.width / 2, hh = box_.height / 2;
        stuck = 0;
        for (const Side& s : sides_) {
            for (int corner = 0; corner < 4; ++corner) {
                Vec2 p{c.x + (corner & 1 ? hw : -hw), c.y + (corner & 2 ? hh : -hh)};
                double room = Dot(p - s.origin, s.inward) - box_.edgeMargin;
                if (!(room >= 0)) {
                    stuck = std::isfinite(room) ? -room : 0;
                    return false;
                }
            }
        }
        return true;
    }

    // False when the box at c would overlap a placed label, `stuck` telling how far c may move
    // and the box still does; else `nearest` is the distance to the nearest one, up to the reach
    // beyond which it no longer matters.
    bool ClearOfLabels(Vec2 c, double& nearest, double& stuck) const {
        double best = kSpreadReach * kSpreadReach;
        long cx = placed_.CellX(c.x), cy = placed_.CellY(c.y);
        for (long y = cy - 1; y <= cy + 1; ++y) {
            for (long x = cx - 1; x <= cx + 1; ++x) {
                for (const Vec2& o : placed_.At(x, y)) {
                    Vec2 d = c - o;
                    double overlapX = box_.width + box_.gap - std::fabs(d.x);
                    double overlapY = box_.height + box_.gap - std::fabs(d.y);
                    if (overlapX > 0 && overlapY > 0) {
                        stuck = std::min(overlapX, overlapY);
                        return false;
                    }
                    best = std::min(best, Dot(d, d));
                }
            }
        }
        nearest = std::sqrt(best);
        return true;
    }

    // Best place on the piece, or nothing.
    std::optional<Vec2> Choose(const ArcLine& line, const PointBuckets& buckets, int owner) const {
        double half = box_.width / 2;
        double length = line.PieceLength();
        if (length < box_.width + 2 * box_.gap) {
            return std::nullopt;
        }
        double first = line.Closed() ? 0 : half;
        double last = line.Closed() ? length : length - half;
        double offset = line.Closed() ? half : 0;  // keeps the window inside the doubled loop
        double step = std::max(kStep, (last - first) / kMaxCandidates);
        std::vector<Candidate> candidates;
        for (double s = first; s <= last; s += step) {
            candidates.push_back({s, line.Closed() ? 1.0 : 1.0 - std::fabs(2 * s / length - 1)});
        }
        // The best place is the first of the highest score along the piece. Places are tried from
        // the highest bound on their score down, so that most are left before the costly terms;
        // every eighth first, then those beside the best of them, and all only when none of
        // those fits.
        std::optional<Vec2> best;
        double bestScore = -INFINITY;
        std::size_t bestIndex = 0;
        auto beats = [&](double score, std::size_t index) {
            return score > bestScore || (score == bestScore && index < bestIndex);
        };
        // Places are tried from the most central out, or along the piece; along it, a place
        // whose box is stuck past a side or on a label passes over the places its box would stay
        // stuck from, since the box moves no farther than the line does.
        auto tryPlaces = [&](const std::vector<std::size_t>& subset, bool alongPiece) {
            double stuckUntil = -INFINITY;
            for (std::size_t index : alongPiece ? subset : ByCentrality(candidates, subset)) {
                const Candidate& candidate = candidates[index];
                // The distance to other labels adds at most 1, and the other terms only lower it.
                if (!beats(1.0 + 0.5 * candidate.centrality, index)) {
                    if (alongPiece) {
                        continue;
                    }
                    break;
                }
                double at = candidate.s + offset;
                if (at < stuckUntil) {
                    continue;
                }
                const ArcLine::Mark centre = line.MarkAt(at);
                Vec2 c = centre.at;
                double nearest = 0, stuck = 0;
                if (!BoxInside(c, stuck) || !ClearOfLabels(c, nearest, stuck)) {
                    if (alongPiece) {
                        stuckUntil = at + stuck;
                    }
                    continue;
                }
                double score = nearest / kSpreadReach + 0.5 * candidate.centrality;
                if (!beats(score, index)) {
                    continue;
                }
                double bend = line.Bend(at - half, line.MarkFrom(centre, at - half), at + half,
                                        line.MarkFrom(centre, at + half));
                if (!(bend <= kMaxBend)) {
                    continue;
                }
                score -= 0.3 * bend / kMaxBend;
                if (!beats(score, index)) {
                    continue;
                }
                // Hidden points lower the score by 0.1 each, up to ten.
                int limit = 1;
                while (limit < 10 && beats(score - 0.1 * limit, index)) {
                    ++limit;
                }
                int hidden = buckets.CountInBox(c, half, box_.height / 2, owner, limit);
                score -= 0.1 * std::min(hidden, 10);
                if (beats(score, index)) {
                    bestScore = score;
                    bestIndex = index;
                    best = c;
                }
            }
        };
        constexpr std::size_t kCoarse = 8;
        std::vector<std::size_t> coarse, fine;
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            (k % kCoarse == 0 ? coarse : fine).push_back(k);
        }
        tryPlaces(coarse, false);
        if (best) {
            std::vector<std::size_t> beside;
            for (std::size_t k = bestIndex > kCoarse ? bestIndex - kCoarse + 1 : 0;
                 k < std::min(candidates.size(), bestIndex + kCoarse); ++k) {
                if (k % kCoarse != 0) {
                    beside.push_back(k);
                }
            }
            tryPlaces(beside, false);
        } else {
            tryPlaces(fine, true);
        }
        return best;
    }

    void Take(Vec2 c) { placed_.Add(c); }

  private:
    struct Side {
        Vec2 origin;
        Vec2 inward;
    };
    // Placed labels in square cells no smaller than the reach of any of their checks, so that
    // the cells around a place hold every label that matters to it.
    class Cells {
      public:
        Cells(const std::array<Vec2, 3>& vertices, double size) : size_(size) {
            double x0 = vertices[0].x, y0 = vertices[0].y, x1 = x0, y1 = y0;
            for (const Vec2& v : vertices) {
                x0 = std::min(x0, v.x);
                y0 = std::min(y0, v.y);
                x1 = std::max(x1, v.x);
                y1 = std::max(y1, v.y);
            }
            x0_ = x0;
            y0_ = y0;
            columns_ = std::clamp(Cell(x1 - x0) + 1, 1L, 4096L);
            rows_ = std::clamp(Cell(y1 - y0) + 1, 1L, 4096L);
            cells_.resize(static_cast<std::size_t>(columns_ * rows_));
        }
        long CellX(double x) const { return Cell(x - x0_); }
        long CellY(double y) const { return Cell(y - y0_); }
        void Add(Vec2 c) {
            long x = std::clamp(CellX(c.x), 0L, columns_ - 1);
            long y = std::clamp(CellY(c.y), 0L, rows_ - 1);
            cells_[static_cast<std::size_t>(y * columns_ + x)].push_back(c);
        }
        const std::vector<Vec2>& At(long x, long y) const {
            if (x < 0 || y < 0 || x >= columns_ || y >= rows_) {
                return none_;
            }
            return cells_[static_cast<std::size_t>(y * columns_ + x)];
        }

      private:
        long Cell(double c) const { return static_cast<long>(std::floor(c / size_)); }
        double size_;
        double x0_ = 0, y0_ = 0;
        long columns_ = 1, rows_ = 1;
        std::vector<std::vector<Vec2>> cells_;
        std::vector<Vec2> none_;
    };

    LabelBox box_;
    std::array<Side, 3> sides_;
    Cells placed_;
};

}  // namespace

std::string LevelText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, value);
    if (result.ec != std::errc()) {
        std::snprintf(buffer, sizeof buffer, "%.17g", value);
        return buffer;
    }
    return std::string(buffer, result.ptr);
}

std::vector<std::vector<TLevelLabel>> PlaceLabels(
    const std::array<Vec2, 3>& vertices, const std::vector<std::vector<TracedPiece>>& levels,
    const std::vector<double>& values, const LabelBox& box) {
    std::vector<std::vector<TLevelLabel>> labels(levels.size());
    std::vector<PieceRef> order;
    PointBuckets buckets;
    int owner = 0;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        std::string text = LevelText(values[k]);
        for (std::size_t j = 0; j < levels[k].size(); ++j, ++owner) {
            const TracedPiece& piece = levels[k][j];
            TLevelLabel label{};
            label.X = static_cast<float>(piece.points.front().x);
            label.Y = static_cast<float>(piece.points.front().y);
            label.Flags = kNoLabel;
            std::strncpy(label.Text, text.c_str(), sizeof label.Text - 1);
            labels[k].push_back(label);
            double length = 0;
            for (std::size_t p = 0; p < piece.points.size(); ++p) {
                buckets.Add(piece.points[p], owner);
                if (p > 0) {
                    length += Length(piece.points[p] - piece.points[p - 1]);
                }
            }
            order.push_back({static_cast<int>(k), static_cast<int>(j), length});
        }
    }
    buckets.Build();
    std::vector<int> owners(order.size());
    std::iota(owners.begin(), owners.end(), 0);
    std::stable_sort(owners.begin(), owners.end(),
                     [&](int a, int b) { return order[a].length > order[b].length; });
    Placer placer(vertices, box);
    for (int o : owners) {
        const PieceRef& ref = order[o];
        ArcLine line(levels[ref.level][ref.piece]);
        std::optional<Vec2> place = placer.Choose(line, buckets, o);
        if (!place) {
            continue;
        }
        placer.Take(*place);
        TLevelLabel& label = labels[ref.level][ref.piece];
        label.X = static_cast<float>(place->x);
        label.Y = static_cast<float>(place->y);
        label.Flags = 0;
    }
    return labels;
}

}  // namespace isotri::gen
