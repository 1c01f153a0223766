#include "render/misc.h"

#include <gtest/gtest.h>

#include <cmath>

namespace isotri {
namespace {

TEST(VecTest, ArithmeticAndInPlace) {
    TVec2f a{1.5F, -2.0F};
    const TVec2f b{0.25F, 4.0F};
    TVec2f d;
    VecAdd(d, a, b);
    EXPECT_EQ(d.X, 1.75F);
    EXPECT_EQ(d.Y, 2.0F);
    VecSub(d, a, b);
    EXPECT_EQ(d.X, 1.25F);
    EXPECT_EQ(d.Y, -6.0F);
    VecScale(d, b, -2.0F);
    EXPECT_EQ(d.X, -0.5F);
    EXPECT_EQ(d.Y, -8.0F);
    VecAdd(a, a, b);
    EXPECT_EQ(a.X, 1.75F);
    EXPECT_EQ(a.Y, 2.0F);
}

TEST(VecTest, LengthAndNormalize) {
    TVec2f v{3.0F, 4.0F};
    EXPECT_EQ(VecLength(v), 5.0F);
    VecNormalize(v, v);
    EXPECT_EQ(v.X, 0.6F);
    EXPECT_EQ(v.Y, 0.8F);
}

TEST(VecTest, SingleRoundingOfExtendedResult) {
    // 1 + 2^-24 is not a single; the sum rounds to even, i.e. back to 1.
    TVec2f d;
    VecAdd(d, TVec2f{1.0F, 16777216.0F}, TVec2f{std::ldexp(1.0F, -24), 1.0F});
    EXPECT_EQ(d.X, 1.0F);
    EXPECT_EQ(d.Y, 16777216.0F);
    // Squares beyond the single range are fine in extended precision.
    EXPECT_EQ(VecLength(TVec2f{3e30F, 4e30F}), 5e30F);
    TVec2f tiny{3e-30F, 4e-30F};
    VecNormalize(tiny, tiny);
    EXPECT_NEAR(tiny.X, 0.6F, 1e-7F);
    EXPECT_NEAR(tiny.Y, 0.8F, 1e-7F);
}

TEST(VecTest, NormalizeZeroIsNotFinite) {
    TVec2f v;
    VecNormalize(v, TVec2f{});
    EXPECT_FALSE(std::isfinite(v.X));
}

}  // namespace
}  // namespace isotri
