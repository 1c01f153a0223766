// Where every level crosses the sample grid's edges, and how the crossings join into lines:
// through the grid's cells, and around the model's saddles where two cells meet at one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "companion/GridCells.h"
#include "companion/LevelGrid.h"
#include "companion/RecycledMemory.h"
#include "companion/SampleGrid.h"
#include "companion/TrianglePlacement.h"

namespace isotri::gen {

struct LinePoint {
    Vec2 p;
    double u = 0, v = 0;  // weights on the placed triangle
};

// A grid node as a crossing keeps it: the finest grid has far fewer than 32 768 divisions.
struct NodeOf {
    std::int16_t i = 0, j = 0;
    NodeOf() = default;
    NodeOf(GridNode n) : i(static_cast<std::int16_t>(n.i)), j(static_cast<std::int16_t>(n.j)) {}
    operator GridNode() const { return {i, j}; }
};

struct Crossing {
    Vec2 p;  // on the model when `onModel`, else read off the grid's linear picture
    std::int16_t level = 0;
    bool onModel = false;
    NodeOf a, b;  // the longest grid side it was met on
};

// The crossings next to one along its line, apart from the crossings themselves: following a
// line reads only these.
struct Neighbours {
    int to[2] = {-1, -1};
    int Count() const { return (to[0] >= 0) + (to[1] >= 0); }
};

// The network of the levels first..last - 1 of `levels`: the networks of other levels never meet
// it, so that each can be made on a core of its own.
class CrossingNetwork {
  public:
    // `levels` ascend; `vertexTolerance` is the accuracy of points placed near saddles, px.
    // Places the crossings and joins them through the cells without asking the model, so that
    // it may run on any thread while the model's thread goes on.
    CrossingNetwork(ModelProbe& probe, SampleGrid& grid, const LevelGrid& levelGrid,
                    const std::vector<double>& levels, int first, int last, double vertexTolerance);

    // Joins the lines around the model's saddles, which are searched on the model: on the
    // model's thread only. True when that changed the network.
    bool PairAcrossSaddles();

    const Recycled<Crossing>& Crossings() const { return crossings_; }
    const Recycled<Neighbours>& Links() const { return links_; }
    // The finest edge of the crossing's grid side that its level crosses; kept out of the
    // crossing itself, as only a rare search asks for it.
    std::pair<GridNode, GridNode> FineEdge(const Crossing& c) const;

  private:
    struct Saddle {
        LinePoint at;
        double value;
    };
    using Corners = std::array<GridNode, 3>;

    int Key(GridNode a, int dir) const { return 3 * (a.i * (n_ + 1) + a.j) + dir; }
    int EdgeKey(GridNode a, GridNode b) const;
    double G(GridNode a) const { return grid_.Value(a.i, a.j); }
    int Bin(GridNode a) const { return levelGrid_.Bin(a); }
    static constexpr int kNoValue = LevelGrid::kNoValue;
    // The levels of this network among those from `from` to `to` - 1.
    int From(int from) const { return std::max(from, first_); }
    int To(int to) const { return std::min(to, last_); }

    // The finest edge xy of the leaf side ab, of `size`, that `level` crosses; false for none.
    bool EdgeCrossed(GridNode a, GridNode b, int size, int level, GridNode& x, GridNode& y) const;
    int CrossingOn(GridNode a, GridNode b, int size, int level);
    void PlaceCrossings(GridNode a, GridNode b, int size, int* at);
    void Cell(const Corners& corners, const std::array<int*, 3>& at);
    void PairAcross(GridNode a, GridNode b, GridNode c, GridNode d, int size);
    void Via(int x, int y, const Saddle& saddle, GridNode corner, int level);
    std::optional<LinePoint> LevelBetween(const Saddle& saddle, GridNode corner, int level);
    int Add(const LinePoint& at, int level, GridNode corner, int x, int y);
    std::optional<Saddle> SaddleNear(GridNode a, GridNode b, int size);
    void EndOnSide(GridNode a, GridNode b, GridNode c, int size);
    std::optional<Saddle> ExtremumBetween(GridNode a, GridNode b, bool nearLevel);
    bool SideMayTurn(GridNode a, GridNode b) const;
    bool Linked(int x, int y) const;
    void Link(int from, int to);
    void Relink(int at, int from, int to);

    ModelProbe& probe_;
    const TrianglePlacement& placement_;
    SampleGrid& grid_;
    const LevelGrid& levelGrid_;
    const GridCells& cells_;
    int n_;
    const std::vector<double>& levels_;
    int first_, last_;
    double tolerance_;
    Recycled<char> crossed_;  // by leaf: one of this network's levels crosses it
    // Per finest edge: one past its first crossing, shifted past the log2 of the longest leaf
    // side it was met on (read here, the crossings themselves are far apart); 0 for none.
    static constexpr int kSideBits = 5;
    static constexpr int kSideMask = (1 << kSideBits) - 1;
    Recycled<int> offset_;
    Recycled<Crossing> crossings_;
    Recycled<Neighbours> links_;
    bool changed_ = false;  // by the saddles
};

}  // namespace isotri::gen
