#include "companion/LevelTracer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#include "common/OtherCore.h"

#include "companion/CrossingNetwork.h"
#include "companion/LevelChains.h"
#include "companion/LevelSearch.h"
#include "companion/RootSearch.h"

namespace isotri::gen {

namespace {

// Farthest a corner is looked for from its chord, px.
constexpr double kCornerReach = 64;
// Directions at a chord's ends that differ more than this (cos 20°) make a corner.
constexpr double kCornerCos = 0.94;
// A chord whose middle the grid's slope puts within this share of the sag allowed is kept whole.
constexpr double kTrustedSag = 0.25;
// From this many levels and crossings on, the network of all but the first 1/kFirstShare of the
// levels is made on another core: it takes longer there than the first ones take to place, and
// less than the whole would take here.
constexpr int kSplitFrom = 16;
constexpr int kSplitDivisions = 128;  // a coarser grid holds too few crossings
constexpr std::int64_t kSplitCrossings = 10000;
constexpr int kFirstShare = 3;

// A short wait spins, as a thread put to sleep on a virtual machine may take a millisecond to
// wake; a long one lets the core go.
inline void Pause(int spins) {
#if defined(__x86_64__) || defined(__i386__)
    if (spins < 32768) {
        __builtin_ia32_pause();
        return;
    }
#endif
    (void)spins;
    std::this_thread::yield();
}

class PiecePlacer {
  public:
    PiecePlacer(ModelProbe& probe, SampleGrid& grid, const CrossingNetwork& network,
                const std::vector<double>& levels, std::int64_t limit, const TraceTolerances& tol)
        : probe_(probe),
          placement_(probe.Placement()),
          grid_(grid),
          network_(network),
          crossings_(network.Crossings()),
          levels_(levels),
          limit_(limit),
          tol_(tol),
          search_(probe, grid, tol.vertex),
          state_(crossings_.size(), kUntried) {
        // Room for every crossing, so that a placed point never moves.
        placed_.reserve(crossings_.size());
    }

    // Adds the pieces of the network's levels to `pieces`, by level, from the network's chains.
    void Run(const std::vector<CrossingChain>& chains,
             std::vector<std::vector<TracedPiece>>& pieces) {
        for (const CrossingChain& chain : chains) {
            search_.SetLevel(levels_[chain.level]);
            Place(chain, pieces[chain.level]);
        }
    }

  private:
    // The chain's crossings are only read off the grid; a few of them, as far apart as the grid
    // shows the line straight, are placed on the model and the chords between them refined.
    // Where a crossing cannot be placed (a pole or a jump, not a root), the line ends at the
    // nearest one that can.
    void Place(const CrossingChain& line, std::vector<TracedPiece>& out) {
        const std::vector<int>& chain = line.crossings;
        const bool closed = line.closed;
        struct Mark {
            std::size_t index;
            bool placed;
        };
        std::vector<Mark> marks;
        for (std::size_t k : line.anchors) {
            if (closed && k + 1 == chain.size()) {
                break;  // the first crossing again
            }
            bool placed = OnModel(chain[k]) != nullptr;
            if (!placed && state_[chain[k]] != kBroken) {
                continue;  // the chords beside it are searched instead
            }
            if (!marks.empty() && marks.back().placed != placed) {
                // The placeable crossing next to the break, between the two anchors.
                std::size_t good = placed ? k : marks.back().index;
                std::size_t bad = placed ? marks.back().index : k;
                while (good + 1 != bad && bad + 1 != good) {
                    std::size_t mid = (good + bad) / 2;
                    (OnModel(chain[mid]) != nullptr ? good : bad) = mid;
                }
                if (good != k && good != marks.back().index) {
                    marks.push_back({good, true});
                }
            }
            marks.push_back({k, placed});
        }
        bool whole =
            std::all_of(marks.begin(), marks.end(), [](const Mark& m) { return m.placed; });
        if (closed && !whole) {
            // A broken loop: read it from a break, once round.
            auto at =
                std::find_if(marks.begin(), marks.end(), [](const Mark& m) { return !m.placed; });
            std::rotate(marks.begin(), at, marks.end());
        }
        std::vector<LinePoint> run;
        auto emit = [&] {
            if (closed && whole && !run.empty()) {
                run.push_back(run.front());
            }
            if (run.size() >= 2) {
                TracedPiece piece = Refined(run, closed && whole);
                if (!piece.points.empty()) {
                    out.push_back(std::move(piece));
                }
            }
            run.clear();
        };
        for (const Mark& m : marks) {
            if (!m.placed) {
                emit();
                continue;
            }
            run.push_back(*OnModel(chain[m.index]));
        }
        emit();
    }

    // The crossing placed on the model, or nothing when it cannot be.
    const LinePoint* OnModel(int id) {
        int& state = state_[id];
        if (state == kUntried) {
            const Crossing& c = crossings_[id];
            bool bracketed = false;
            std::optional<LinePoint> placed = c.onModel ? PointOf(c.p) : OnEdge(c, bracketed);
            if (placed) {
                state = static_cast<int>(placed_.size());
                placed_.push_back(*placed);
            } else {
                state = bracketed ? kBroken : kSkipped;
            }
        }
        return state >= 0 ? &placed_[state] : nullptr;
    }

    // The crossing searched on the model along the side it was met on. Where the grid's values
    // there were only means and the model's do not change sides, the level is looked for on the
    // nearest finest edges of that grid line, then from the grid's guess along the grid's slope.
    // A side whose values change sides without a root holds a pole or a jump: nothing.
    std::optional<LinePoint> OnEdge(const Crossing& c, bool& bracketed) {
        std::optional<LinePoint> found = search_.OnGridEdge(c.a, c.b, bracketed);
        if (found || bracketed) {
            return found;
        }
        const auto [fineA, fineB] = network_.FineEdge(c);
        const GridNode step{fineB.i - fineA.i, fineB.j - fineA.j};
        const double level = search_.Level();
        const bool rising = Below(grid_.Value(fineA.i, fineA.j) - level);
        const int n = grid_.Divisions();
        constexpr int kReach = 4;
        for (int m = 0; m <= 2 * kReach; ++m) {
            int shift = (m % 2 == 0 ? 1 : -1) * ((m + 1) / 2);
            GridNode p{fineA.i + shift * step.i, fineA.j + shift * step.j};
            GridNode q{p.i + step.i, p.j + step.j};
            if (std::min({p.i, p.j, q.i, q.j}) < 0 || std::max(p.i + p.j, q.i + q.j) > n) {
                continue;
            }
            // Only a change of the same way as the grid's: the other way is another crossing.
            if (Below(grid_.ModelValue(p.i, p.j) - level) != rising) {
                continue;
            }
            found = search_.OnGridEdge(p, q, bracketed);
            if (bracketed) {
                return found;
            }
        }
        Vec2 gradient;
        const LinePoint guess = PointOf(c.p);
        if (!grid_.LinearGradient(guess.u, guess.v, gradient) || !(Length(gradient) > 0)) {
            return std::nullopt;
        }
        Vec2 dir = (1 / Length(gradient)) * gradient;
        const double edge = Length(placement_.PointAt(double(step.i) / n, double(step.j) / n) -
                                   placement_.PointAt(0, 0));
        std::optional<double> s = search_.AlongNormal(c.p, dir, 2 * edge);
        if (!s) {
            return std::nullopt;
        }
        LinePoint point;
        point.p = c.p + *s * dir;
        placement_.WeightsOf(point.p, point.u, point.v);
        return point;
    }

    LinePoint PointOf(Vec2 p) const {
        LinePoint point;
        point.p = p;
        placement_.WeightsOf(p, point.u, point.v);
        return point;
    }

    TracedPiece Refined(const std::vector<LinePoint>& points, bool closed) {
        std::vector<LinePoint> line;
        line.reserve(2 * points.size());
        line.push_back(points[0]);
        for (std::size_t k = 1; k < points.size(); ++k) {
            const LinePoint& p = line.back();
            const LinePoint& q = points[k];
            // The line's directions at the chord's ends, from the chords beside it.
            Vec2 into = line.size() > 1 ? p.p - line[line.size() - 2].p : q.p - p.p;
            Vec2 outOf = k + 1 < points.size() ? points[k + 1].p - q.p : q.p - p.p;
            LinePoint start = p;
            Refine(start, q, into, outOf, 0, line);
            line.push_back(q);
        }
        return Finished(line, closed);
    }

    // Drops points that coincide in the picture's single precision with the one before them; a
    // piece left without extent is dropped whole.
    TracedPiece Finished(const std::vector<LinePoint>& line, bool closed) const {
        TracedPiece piece;
        piece.closed = closed;
        piece.points.reserve(line.size());
        piece.mixtures.reserve(line.size());
        float lastX = 0, lastY = 0;
        for (const LinePoint& v : line) {
            float x = static_cast<float>(v.p.x), y = static_cast<float>(v.p.y);
            if (!piece.points.empty() && x == lastX && y == lastY) {
                continue;
            }
            lastX = x;
            lastY = y;
            piece.points.push_back(v.p);
            piece.mixtures.push_back(placement_.MixtureAt(v.u, v.v));
        }
        std::size_t distinct = piece.points.size() - (closed ? 1 : 0);
        if (piece.points.size() < 2 || (closed && distinct < 3)) {
            return {};
        }
        return piece;
    }

    // Adds the points between p and q (both on the level) that keep the chords on the line;
    // `into` and `outOf` are the line's directions at p and at q.
    // `expected`, when known, is the bend the parabola through the parent chord's ends and
    // middle gives this half of it.
    void Refine(const LinePoint& p, const LinePoint& q, Vec2 into, Vec2 outOf, int depth,
                std::vector<LinePoint>& out, double expected = -1) {
        Vec2 d = q.p - p.p;
        double len = Length(d);
        // Short chords are left alone, but at a corner the line turns so sharply that even a
        // short chord may cut its tip by the chord bound.
        bool corner = IsCorner(into, outOf);
        double shortest = corner ? tol_.minChord / 8 : tol_.minChord;
        if (len <= shortest || depth >= tol_.maxDepth || probe_.Count() >= limit_) {
            return;
        }
        // Half of a chord split for its length alone: it bends a quarter as much.
        if (expected >= 0 && expected <= 0.25 * tol_.sag && len <= tol_.maxChord && !corner) {
            return;
        }
        Vec2 mid = 0.5 * (p.p + q.p);
        if (!corner && len <= tol_.maxChord && NearLevel(mid)) {
            return;
        }
        std::optional<Vec2> found = Between(p.p, q.p, into, outOf, mid, len);
        if (!found) {
            return;
        }
        LinePoint c;
        c.p = *found;
        placement_.WeightsOf(c.p, c.u, c.v);
        double sag = std::fabs(Cross(d, c.p - p.p)) / len;
        // A point found off the chord's middle leaves a long part of the chord unchecked.
        double along = Dot(c.p - p.p, d) / (len * len);
        if (sag > tol_.sag || len > tol_.maxChord || along < 0.25 || along > 0.75) {
            bool lengthOnly = sag <= tol_.sag && along >= 0.4 && along <= 0.6;
            double half = lengthOnly ? 0.25 * sag : -1;
            Refine(p, c, into, q.p - c.p, depth + 1, out, half);
            out.push_back(c);
            Refine(c, q, c.p - p.p, outOf, depth + 1, out, half);
        } else {
            out.push_back(c);
        }
    }

    // Whether p lies so near the level, by the grid's slope there, that a chord through it
    // stays well within the sag allowed.
    bool NearLevel(Vec2 p) {
        const LevelSearch::Surroundings& around = search_.Around(p);
        if (!around.sloped) {
            return false;
        }
        double g = search_.ModelAt(p) - search_.Level();
        return std::isfinite(g) && std::fabs(g) <= kTrustedSag * tol_.sag * Length(around.gradient);
    }

    static bool IsCorner(Vec2 into, Vec2 outOf) {
        return Dot(into, outOf) < kCornerCos * Length(into) * Length(outOf);
    }

    // A corner of a line with kinks (a min or max in the model) can lie farther from its chord
    // than the search across the chord reaches: where the line's directions at both ends meet
    // ahead of them, the level is looked for from the chord's middle towards that meeting point.
    std::optional<Vec2> TowardsCorner(Vec2 p, Vec2 into, Vec2 q, Vec2 outOf, Vec2 mid) {
        double turn = Cross(into, outOf);
        if (!(std::fabs(turn) > 1e-9 * Length(into) * Length(outOf))) {
            return std::nullopt;
        }
        // p + a·into = q - b·outOf
        Vec2 d = q - p;
        double a = Cross(d, outOf) / turn;
        double b = Cross(into, d) / turn;
        if (!(a > 0 && b > 0)) {
            return std::nullopt;
        }
        Vec2 corner = p + a * into;
        Vec2 toCorner = corner - mid;
        double reach = Length(toCorner);
        if (!(reach > 0) || reach > kCornerReach) {
            return std::nullopt;
        }
        std::optional<double> t = search_.AlongNormal(mid, (1 / reach) * toCorner, 1.25 * reach);
        if (!t || !(*t > 0)) {
            return std::nullopt;
        }
        Vec2 c = mid + (*t / reach) * toCorner;
        double along = Dot(c - p, d) / Dot(d, d);
        if (!(along > 0 && along < 1)) {
            return std::nullopt;
        }
        return c;
    }

    // A point of the level near the middle of the chord pq: across the chord, or towards a
    // corner, or else down the model's slope, where a line turning sharply is met sooner. The
    // last must lie beside the chord, not beyond either end.
    std::optional<Vec2> Between(Vec2 p, Vec2 q, Vec2 into, Vec2 outOf, Vec2 mid, double len) {
        Vec2 d = q - p;
        Vec2 normal{-d.y / len, d.x / len};
        // Where the line turns sharply, the search across the chord lands beside the corner.
        bool turns = IsCorner(into, outOf);
        if (turns) {
            if (std::optional<Vec2> corner = TowardsCorner(p, into, q, outOf, mid)) {
                return corner;
            }
        }
        if (std::optional<double> t = search_.AlongNormal(mid, normal, len)) {
            return mid + *t * normal;
        }
        if (!turns) {
            if (std::optional<Vec2> corner = TowardsCorner(p, into, q, outOf, mid)) {
                return corner;
            }
        }
        double h = std::min(0.25, 0.1 * len);
        double f = search_.ModelAt(mid);
        Vec2 slope{(probe_.AtPoint(mid + Vec2{h, 0}) - f) / h,
                   (probe_.AtPoint(mid + Vec2{0, h}) - f) / h};
        double norm = Length(slope);
        if (!(norm > 0) || !std::isfinite(norm)) {
            return std::nullopt;
        }
        Vec2 dir = (1 / norm) * slope;
        std::optional<double> t = search_.AlongNormal(mid, dir, len);
        if (!t) {
            return std::nullopt;
        }
        Vec2 c = mid + *t * dir;
        double along = Dot(c - p, d) / (len * len);
        if (!(along > 0 && along < 1)) {
            return std::nullopt;
        }
        return c;
    }

    ModelProbe& probe_;
    const TrianglePlacement& placement_;
    SampleGrid& grid_;
    const CrossingNetwork& network_;
    const Recycled<Crossing>& crossings_;
    const std::vector<double>& levels_;
    std::int64_t limit_;
    TraceTolerances tol_;
    LevelSearch search_;
    // Per crossing: where it was placed, or why not.
    static constexpr int kUntried = -1;
    static constexpr int kSkipped = -2;  // no root near: the chords beside it are searched
    static constexpr int kBroken = -3;   // the model changes sides there without a root
    Recycled<int> state_;
    Recycled<LinePoint> placed_;
};

}  // namespace

std::vector<std::vector<TracedPiece>> TraceLevels(ModelProbe& probe, SampleGrid& grid,
                                                  const std::vector<double>& levels,
                                                  std::int64_t evaluationLimit,
                                                  const TraceTolerances& tolerances,
                                                  int helperFrom) {
    if (grid.Divisions() < 1 || probe.Placement().Det() == 0) {
        return std::vector<std::vector<TracedPiece>>(levels.size());
    }
    const int count = static_cast<int>(levels.size());
    std::vector<std::vector<TracedPiece>> pieces(count);
    // With many crossings, the network of all but the first few levels is made on another core
    // while this thread, the model's, places the first ones; the model is asked on this thread
    // only. The helper is started on the chance, before the crossings are counted, so that it
    // runs by the time they are.
    const bool automatic = helperFrom == kHelperChosen;
    const bool helped = (automatic ? count >= kSplitFrom && grid.Divisions() >= kSplitDivisions
                                   : helperFrom < count) &&
                        OtherCoreAllowed();
    int split = automatic ? count : std::clamp(helperFrom, 0, count);
    std::optional<LevelGrid> levelGrid;
    std::optional<CrossingNetwork> later;
    // Read before the saddles are searched on the model, which seldom change the network.
    std::vector<CrossingChain> laterChains;
    std::exception_ptr laterFailed;
    auto makeLater = [&] {
        try {
            later.emplace(probe, grid, *levelGrid, levels, split, count, tolerances.vertex);
            laterChains = ReadChains(*later, tolerances);
        } catch (...) {
            laterFailed = std::current_exception();
        }
    };
    std::atomic<bool> ready{false};
    OtherCoreThread helper;
    if (helped) {
        try {
            // Started before the grid is read for the levels, so that it runs by then.
            helper = OtherCoreThread([&] {
                for (int spins = 0; !ready.load(std::memory_order_acquire); ++spins) {
                    Pause(spins);
                }
                // Nothing to make when the grid could not be read.
                if (levelGrid && split < count) {
                    makeLater();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: the later levels are made here, after the first.
        }
    }
    {
        // The helper is let go whatever happens, or the wait for it would never end.
        struct Release {
            std::atomic<bool>& ready;
            ~Release() { ready.store(true, std::memory_order_release); }
        } release{ready};
        levelGrid.emplace(grid, levels);
        if (automatic && helped && levelGrid->CrossingCount() >= kSplitCrossings) {
            split = count / kFirstShare;
        }
    }
    CrossingNetwork first(probe, grid, *levelGrid, levels, 0, split, tolerances.vertex);
    first.PairAcrossSaddles();
    PiecePlacer(probe, grid, first, levels, evaluationLimit, tolerances)
        .Run(ReadChains(first, tolerances), pieces);
    if (split < count) {
        if (helper.joinable()) {
            helper.join();
        } else {
            makeLater();
        }
        if (laterFailed) {
            std::rethrow_exception(laterFailed);
        }
        if (later->PairAcrossSaddles()) {
            laterChains = ReadChains(*later, tolerances);
        }
        PiecePlacer(probe, grid, *later, levels, evaluationLimit, tolerances)
            .Run(laterChains, pieces);
    }
    return pieces;
}

}  // namespace isotri::gen
