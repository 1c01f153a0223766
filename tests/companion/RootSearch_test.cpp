#include "companion/RootSearch.h"

#include <gtest/gtest.h>

#include <cmath>

namespace isotri::gen {
namespace {

struct Case {
    const char* name;
    double first;  // the first try; NaN for none
    int mostCalls;
};

TEST(RootSearch, AFirstTryInsideTheBracketIsTakenAndOneOutsideIsLeft) {
    // g(t) = t² - 2 on [0, 2]: the root is √2.
    const Case cases[] = {
        {"no first try", NAN, 7},
        {"first try on the root", std::sqrt(2.0), 1},
        {"first try near the root", std::sqrt(2.0) + 1e-4, 3},
        {"first try on an end", 2.0, 7},
        {"first try outside", 3.0, 7},
    };
    for (const Case& c : cases) {
        int calls = 0;
        auto g = [&](double t) {
            ++calls;
            return t * t - 2;
        };
        std::optional<double> root = SolveBracketed(g, 0.0, -2.0, 2.0, 2.0, 1e-6, c.first);
        ASSERT_TRUE(root) << c.name;
        EXPECT_NEAR(*root, std::sqrt(2.0), 1e-6) << c.name;
        EXPECT_LE(calls, c.mostCalls) << c.name;
    }
}

TEST(RootSearch, APoleIsNoRootWhereverTheSearchStarts) {
    // 1 / (t - 1) changes sides at t = 1 without a root.
    for (double first : {double(NAN), 0.999, 1.001}) {
        auto g = [](double t) { return 1 / (t - 1); };
        EXPECT_FALSE(SolveBracketed(g, 0.0, -1.0, 2.0, 1.0, 1e-6, first)) << first;
    }
}

}  // namespace
}  // namespace isotri::gen
