#include "render/misc.h"

#include <cmath>

namespace isotri {

// Components are computed in extended precision and stored back as single.
void VecAdd(TVec2f& dest, const TVec2f& a, const TVec2f& b) {
    dest.X = static_cast<float>(static_cast<long double>(a.X) + b.X);
    dest.Y = static_cast<float>(static_cast<long double>(a.Y) + b.Y);
}

void VecSub(TVec2f& dest, const TVec2f& a, const TVec2f& b) {
    dest.X = static_cast<float>(static_cast<long double>(a.X) - b.X);
    dest.Y = static_cast<float>(static_cast<long double>(a.Y) - b.Y);
}

void VecScale(TVec2f& dest, const TVec2f& source, float factor) {
    dest.X = static_cast<float>(static_cast<long double>(source.X) * factor);
    dest.Y = static_cast<float>(static_cast<long double>(source.Y) * factor);
}

float VecLength(const TVec2f& v) {
    const long double x = v.X;
    const long double y = v.Y;
    return static_cast<float>(std::sqrt(x * x + y * y));
}

void VecNormalize(TVec2f& dest, const TVec2f& source) {
    const auto reciprocal = static_cast<float>(1.0L / VecLength(source));
    VecScale(dest, source, reciprocal);
}

}  // namespace isotri
