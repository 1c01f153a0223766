#include "companion/LevelChains.h"

#include <cmath>

namespace isotri::gen {

namespace {

class ChainReader {
  public:
    ChainReader(const CrossingNetwork& network, const TraceTolerances& tolerances)
        : crossings_(network.Crossings()),
          links_(network.Links()),
          tol_(tolerances),
          visited_(crossings_.size(), 0) {}

    std::vector<CrossingChain> Read() {
        std::vector<CrossingChain> chains;
        // Open pieces first, from either end, then whatever is left forms loops.
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t s = 0; s < crossings_.size(); ++s) {
                if (visited_[s] || links_[s].Count() != (pass == 0 ? 1 : 2)) {
                    continue;
                }
                CrossingChain chain;
                chain.crossings = Walk(static_cast<int>(s));
                chain.closed = pass == 1;
                if (chain.closed) {
                    chain.crossings.push_back(chain.crossings.front());
                }
                chain.anchors = Anchors(chain.crossings);
                chain.level = crossings_[s].level;
                chains.push_back(std::move(chain));
            }
        }
        return chains;
    }

  private:
    std::vector<int> Walk(int start) {
        std::vector<int> chain;
        int prev = -1, cur = start;
        while (cur >= 0 && !visited_[cur]) {
            const Neighbours& c = links_[cur];
            visited_[cur] = 1;
            chain.push_back(cur);
            int next = c.to[0] != prev ? c.to[0] : c.to[1];
            prev = cur;
            cur = next;
        }
        return chain;
    }

    // Positions of the chain's crossings to place on the model: the ends, every crossing already
    // on the model, and enough between them that the crossings skipped lie along their chord.
    std::vector<std::size_t> Anchors(const std::vector<int>& chain) {
        // The chain's points side by side, as its chords are tried many times over.
        const std::size_t n = chain.size();
        points_.resize(n);
        for (std::size_t k = 0; k < n; ++k) {
            points_[k] = crossings_[chain[k]].p;
        }
        std::vector<std::size_t> anchors{0};
        std::size_t s = 0;
        while (s + 1 < n) {
            std::size_t best = s + 1;
            for (std::size_t e = s + 2; e < n; ++e) {
                if (crossings_[chain[e - 1]].onModel || !Straight(s, e)) {
                    break;
                }
                best = e;
            }
            anchors.push_back(best);
            s = best;
        }
        return anchors;
    }

    bool Straight(std::size_t s, std::size_t e) const {
        Vec2 p = points_[s], q = points_[e];
        Vec2 d = q - p;
        double len2 = Dot(d, d);
        if (!(len2 > 0) || len2 > tol_.maxChord * tol_.maxChord) {
            return false;
        }
        double len = std::sqrt(len2);
        for (std::size_t m = s + 1; m < e; ++m) {
            Vec2 r = points_[m] - p;
            double along = Dot(r, d);
            if (!(along > 0 && along < len2) || std::fabs(Cross(d, r)) > tol_.sag * len) {
                return false;
            }
        }
        return true;
    }

    const Recycled<Crossing>& crossings_;
    const Recycled<Neighbours>& links_;
    TraceTolerances tol_;
    Recycled<char> visited_;
    std::vector<Vec2> points_;  // of the chain being read
};

}  // namespace

std::vector<CrossingChain> ReadChains(const CrossingNetwork& network,
                                      const TraceTolerances& tolerances) {
    return ChainReader(network, tolerances).Read();
}

}  // namespace isotri::gen
