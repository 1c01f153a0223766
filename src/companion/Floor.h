// Floors of doubles without the library call, which std::floor is on the baseline x86-64.
#pragma once

#include <cmath>

namespace isotri::gen {

// The floor, the same as std::floor for any value a long holds, and left to the library
// otherwise.
inline long FloorToLong(double v) {
    if (!(std::fabs(v) < 0x1p62)) {
        return static_cast<long>(std::floor(v));
    }
    long t = static_cast<long>(v);
    return double(t) > v ? t - 1 : t;
}

// The floor of v clamped to 0..high; 0 for NaN. Clamped before truncation, which is then the
// floor: no value, however far off, overflows.
inline long ClampedFloor(double v, long high) {
    return !(v > 0) ? 0 : v >= double(high) ? high : static_cast<long>(v);
}

}  // namespace isotri::gen
