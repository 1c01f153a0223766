// Model values on a regular triangular grid over the placed triangle, made finer where the model
// bends too much between grid points for the levels to be followed from them.
#pragma once

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "companion/RecycledMemory.h"
#include "companion/TrianglePlacement.h"

namespace isotri::gen {

class SampleGrid {
  public:
    // Vertex (i, j), i + j <= N, has the weights u = i / N, v = j / N.
    explicit SampleGrid(ModelProbe& probe);

    // Samples at `divisions`.
    void Sample(int divisions);
    // Doubles the divisions, reusing every value, while the model bends enough between grid
    // points for one of `lineCount` levels, equally spaced inside (low, high), to hide there,
    // up to `maxDivisions`. Only the neighbourhood of such places is sampled anew; elsewhere a
    // new vertex takes the mean of the two it halves, which keeps the grid's linear picture of
    // the model, and so its crossings, as they were.
    void Refine(int maxDivisions, double low, double high, int lineCount);

    int Divisions() const { return n_; }
    // The divisions sampled first; each refinement doubled them.
    int FirstDivisions() const { return first_; }
    // The vertex holds the model's value, not a mean.
    bool Sampled(int i, int j) const { return sampled_[Index(i, j)] != 0; }
    // The value the grid's topology is read from: the model's, or the mean of two vertices.
    double Value(int i, int j) const { return values_[Index(i, j)]; }
    // The values of the vertices (i, 0) to (i, Divisions() - i), one after another.
    const double* Row(int i) const { return values_.data() + Index(i, 0); }
    // The model's own value, sampled on first use where the grid only holds a mean.
    double ModelValue(int i, int j);
    bool HasFiniteValue() const { return finiteCount_ > 0; }
    double Min() const { return min_; }
    double Max() const { return max_; }

    // Gradient in picture units of the linear interpolant of the grid cell around weights (u, v);
    // false where that cell has no finite values or the triangle no extent.
    bool LinearGradient(double u, double v, Vec2& gradient) const;

  private:
    int Index(int i, int j) const { return i * (n_ + 1) + j; }
    void Double(const Recycled<char>& sampleNear);
    // The extremes of the finite values, and their count.
    struct Range {
        double min = INFINITY, max = -INFINITY;
        std::int64_t count = 0;
        void Add(double f) {
            if (std::isfinite(f)) {
                min = f < min ? f : min;
                max = f > max ? f : max;
                ++count;
            }
        }
    };
    void UpdateRange();
    void TakeRange(const Range& range);
    // The vertices to sample anew around the places where a level may hide; empty for none.
    Recycled<char> PlacesWhereALevelMayHide(double low, double high, int lineCount) const;
    void MarkSaddlesAndTurns(double low, double high, int lineCount, Recycled<char>& marks) const;

    ModelProbe& probe_;
    int n_ = 0;
    int first_ = 0;
    Recycled<double> values_;
    Recycled<char> sampled_;                               // the value is the model's
    std::unordered_map<std::size_t, double> modelValues_;  // of vertices that hold a mean
    std::int64_t finiteCount_ = 0;
    double min_ = 0;
    double max_ = 0;
};

}  // namespace isotri::gen
