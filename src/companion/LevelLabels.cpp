#include "companion/LevelLabels.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <optional>
#include <stdexcept>

#include "companion/LabelNeighbourhood.h"

namespace isotri::gen {

namespace {

constexpr double kStep = 3.0;            // spacing of the candidate places along a piece, px
constexpr double kMaxCandidates = 2000;  // per piece, so huge pictures stay quick
constexpr double kMaxBend = 3.0;         // deviation from straight under the label, px

// A piece as a function of arc length; a closed piece is laid out twice so that a window may
// run over its start. One line serves piece after piece and keeps its memory.
class ArcLine {
  public:
    void Assign(const TracedPiece& piece) {
        closed_ = piece.closed;
        const std::vector<Vec2>& given = piece.points;
        if (closed_) {
            doubled_.assign(given.begin(), given.end());
            doubled_.insert(doubled_.end(), given.begin() + 1, given.end());
            points_ = doubled_.data();
            count_ = doubled_.size();
        } else {
            points_ = given.data();
            count_ = given.size();
        }
        arc_.resize(count_);
        arc_[0] = 0;
        low_ = high_ = points_[0];
        for (std::size_t k = 1; k < count_; ++k) {
            arc_[k] = arc_[k - 1] + Length(points_[k] - points_[k - 1]);
            low_ = {std::min(low_.x, points_[k].x), std::min(low_.y, points_[k].y)};
            high_ = {std::max(high_.x, points_[k].x), std::max(high_.y, points_[k].y)};
        }
        length_ = closed_ ? arc_[given.size() - 1] : arc_.back();
    }

    bool Closed() const { return closed_; }
    double PieceLength() const { return length_; }
    // Corners of the box around the points.
    Vec2 Low() const { return low_; }
    Vec2 High() const { return high_; }

    // The point at arc position s; `after` is the first line point beyond it.
    struct Mark {
        Vec2 at;
        std::size_t after;
    };
    // Found stepping from another mark, and searching only when that is far.
    Mark MarkFrom(const Mark& near, double s) const {
        constexpr int kSteps = 8;
        s = std::clamp(s, 0.0, arc_.back());
        std::size_t k = near.after;
        for (int steps = 0; k > 0 && arc_[k - 1] > s; ++steps, --k) {
            if (steps == kSteps) {
                k = std::upper_bound(arc_.begin(), arc_.begin() + (k - 1), s) - arc_.begin();
                break;
            }
        }
        for (int steps = 0; k < count_ && arc_[k] <= s; ++steps, ++k) {
            if (steps == kSteps) {
                k = std::upper_bound(arc_.begin() + (k + 1), arc_.end(), s) - arc_.begin();
                break;
            }
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
        for (std::size_t k = from.after; k < count_ && arc_[k] < b; ++k) {
            worst = std::max(worst, std::fabs(Cross(chord, points_[k] - from.at)) / len);
        }
        return worst;
    }

  private:
    Vec2 At(double s, std::size_t k) const {
        if (k == 0) {
            return points_[0];
        }
        if (k >= count_) {
            return points_[count_ - 1];
        }
        double span = arc_[k] - arc_[k - 1];
        double w = span > 0 ? (s - arc_[k - 1]) / span : 0;
        return points_[k - 1] + w * (points_[k] - points_[k - 1]);
    }

    bool closed_ = false;
    const Vec2* points_ = nullptr;
    std::size_t count_ = 0;
    std::vector<Vec2> doubled_;
    std::vector<double> arc_;
    double length_ = 0;
    Vec2 low_, high_;
};

struct PieceRef {
    int level;
    int piece;
    double length;
};

struct Candidate {
    double s, centrality;
};

// The candidates `subset` (ascending) from the most central out, as a stable sort by centrality
// would order them: the centrality rises to the piece's middle and falls beyond it.
void ByCentrality(const std::vector<Candidate>& candidates, const std::vector<std::size_t>& subset,
                  std::vector<std::size_t>& order) {
    order.clear();
    if (subset.empty()) {
        return;
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
}

class Placer {
  public:
    Placer(const std::array<Vec2, 3>& vertices, const LabelBox& box)
        : box_(box), placed_(vertices, box) {
        // Inward normals of the sides, whatever the triangle's orientation.
        double orientation =
            Cross(vertices[1] - vertices[0], vertices[2] - vertices[0]) > 0 ? 1 : -1;
        for (int k = 0; k < 3; ++k) {
            Vec2 a = vertices[k], b = vertices[(k + 1) % 3];
            Vec2 d = b - a;
            double len = Length(d);
            Side& side = sides_[k];
            side.origin = a;
            side.inward = len > 0 ? (orientation / len) * Vec2{-d.y, d.x} : Vec2{};
            // How far the box's nearest corner lies behind its centre, and the sizes that
            // round along with it.
            double hw = std::fabs(box.width / 2), hh = std::fabs(box.height / 2);
            side.spread = hw * std::fabs(side.inward.x) + hh * std::fabs(side.inward.y);
            side.extent = std::fabs(a.x) + std::fabs(a.y) + hw + hh;
            side.norm = std::fabs(side.inward.x) + std::fabs(side.inward.y);
        }
    }

    // False when the box at c reaches past a side; `stuck` is then how far c may move and the
    // box still does.
    bool BoxInside(Vec2 c, double& stuck) const {
        double hw = box_.width / 2, hh = box_.height / 2;
        stuck = 0;
        // Far enough inside every side, the box is inside whatever the rounding of its corners.
        bool clear = true;
        for (const Side& s : sides_) {
            double room = Dot(c - s.origin, s.inward) - s.spread - box_.edgeMargin;
            clear = clear && room > s.tolerance;
        }
        if (clear) {
            return true;
        }
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

    // Best place on the piece, or nothing.
    std::optional<Vec2> Choose(const ArcLine& line, const PointBuckets& buckets, int owner) {
        double half = box_.width / 2;
        double length = line.PieceLength();
        // An endless piece would never run out of candidates.
        if (!(length >= box_.width + 2 * box_.gap) || !std::isfinite(length)) {
            return std::nullopt;
        }
        double first = line.Closed() ? 0 : half;
        double last = line.Closed() ? length : length - half;
        double offset = line.Closed() ? half : 0;  // keeps the window inside the doubled loop
        placed_.NewPiece(line.Low(), line.High());
        // Bounds the rounding of the corners of any box on the piece.
        double scale = std::max(std::fabs(line.Low().x), std::fabs(line.High().x)) +
                       std::max(std::fabs(line.Low().y), std::fabs(line.High().y)) + 1;
        for (Side& side : sides_) {
            side.tolerance =
                1e-9 * (1 + (scale + side.extent) * side.norm + std::fabs(box_.edgeMargin));
        }
        double step = std::max(kStep, (last - first) / kMaxCandidates);
        candidates_.clear();
        for (double s = first; s <= last; s += step) {
            candidates_.push_back({s, line.Closed() ? 1.0 : 1.0 - std::fabs(2 * s / length - 1)});
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
        double stuckUntil = -INFINITY;
        // Going out both ways from the middle, or along the piece, a place lies near one of the
        // last two, and its mark is found from there.
        ArcLine::Mark walks[2] = {{{}, 0}, {{}, 0}};
        double walked[2] = {0, 0};
        // False when no place after this one in centrality order can win.
        auto tryPlace = [&](std::size_t index, bool alongPiece) {
            const Candidate& candidate = candidates_[index];
            // The distance to other labels adds at most 1, and the other terms only lower it.
            if (!beats(1.0 + 0.5 * candidate.centrality, index)) {
                return alongPiece;
            }
            double at = candidate.s + offset;
            if (at < stuckUntil) {
                return true;
            }
            int w = std::fabs(at - walked[0]) <= std::fabs(at - walked[1]) ? 0 : 1;
            const ArcLine::Mark centre = line.MarkFrom(walks[w], at);
            walks[w] = centre;
            walked[w] = at;
            Vec2 c = centre.at;
            double nearest = 0, stuck = 0;
            if (!BoxInside(c, stuck) || !placed_.Clear(c, nearest, stuck)) {
                if (alongPiece) {
                    stuckUntil = at + stuck;
                }
                return true;
            }
            double score = nearest / kSpreadReach + 0.5 * candidate.centrality;
            if (!beats(score, index)) {
                return true;
            }
            double bend = line.Bend(at - half, line.MarkFrom(centre, at - half), at + half,
                                    line.MarkFrom(centre, at + half));
            if (!(bend <= kMaxBend)) {
                return true;
            }
            score -= 0.3 * bend / kMaxBend;
            if (!beats(score, index)) {
                return true;
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
            return true;
        };
        auto byCentrality = [&]() {
            ByCentrality(candidates_, subset_, order_);
            for (std::size_t index : order_) {
                if (!tryPlace(index, false)) {
                    break;
                }
            }
        };
        constexpr std::size_t kCoarse = 8;
        subset_.clear();
        for (std::size_t k = 0; k < candidates_.size(); k += kCoarse) {
            subset_.push_back(k);
        }
        byCentrality();
        if (best) {
            subset_.clear();
            for (std::size_t k = bestIndex > kCoarse ? bestIndex - kCoarse + 1 : 0;
                 k < std::min(candidates_.size(), bestIndex + kCoarse); ++k) {
                if (k % kCoarse != 0) {
                    subset_.push_back(k);
                }
            }
            byCentrality();
        } else {
            for (std::size_t k = 0; k < candidates_.size(); ++k) {
                if (k % kCoarse != 0) {
                    tryPlace(k, true);
                }
            }
        }
        return best;
    }

    void Take(Vec2 c) { placed_.Add(c); }

  private:
    struct Side {
        Vec2 origin;
        Vec2 inward;
        double spread, extent, norm;
        double tolerance;  // for the piece at hand
    };

    LabelBox box_;
    std::array<Side, 3> sides_;
    PlacedLabels placed_;
    // Kept from piece to piece for their memory.
    std::vector<Candidate> candidates_;
    std::vector<std::size_t> subset_, order_;
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
    if (values.size() < levels.size()) {
        throw std::invalid_argument("PlaceLabels: fewer values than levels");
    }
    std::vector<std::vector<TLevelLabel>> labels(levels.size());
    std::vector<PieceRef> order;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        std::string text = LevelText(values[k]);
        labels[k].reserve(levels[k].size());
        for (std::size_t j = 0; j < levels[k].size(); ++j) {
            const std::vector<Vec2>& points = levels[k][j].points;
            TLevelLabel label{};
            if (!points.empty()) {
                label.X = static_cast<float>(points.front().x);
                label.Y = static_cast<float>(points.front().y);
            }
            label.Flags = kNoLabel;
            std::strncpy(label.Text, text.c_str(), sizeof label.Text - 1);
            labels[k].push_back(label);
            double length = 0;
            for (std::size_t p = 1; p < points.size(); ++p) {
                length += Length(points[p] - points[p - 1]);
            }
            order.push_back({static_cast<int>(k), static_cast<int>(j), length});
        }
    }
    PointBuckets buckets;
    buckets.Build(levels);
    std::vector<int> owners(order.size());
    std::iota(owners.begin(), owners.end(), 0);
    std::stable_sort(owners.begin(), owners.end(),
                     [&](int a, int b) { return order[a].length > order[b].length; });
    Placer placer(vertices, box);
    ArcLine line;
    for (int o : owners) {
        const PieceRef& ref = order[o];
        const TracedPiece& piece = levels[ref.level][ref.piece];
        // The piece's length is its arc's end to the bit, so a short piece is passed over
        // before its arc is laid out.
        if (piece.points.empty() || !(ref.length >= box.width + 2 * box.gap)) {
            continue;
        }
        line.Assign(piece);
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
