// Arithmetic on 2-D single-precision vectors and formatted prints to the console.
#pragma once

#include <cstdint>

#include "render/NumberText.h"

namespace isotri {

struct TVec2f {
    float X = 0;
    float Y = 0;
};

// The destination may be an operand.
void VecAdd(TVec2f& dest, const TVec2f& a, const TVec2f& b);
void VecSub(TVec2f& dest, const TVec2f& a, const TVec2f& b);
void VecScale(TVec2f& dest, const TVec2f& source, float factor);
float VecLength(const TVec2f& v);
// Divides by the length: the zero vector gives non-finite components (callers avoid it).
void VecNormalize(TVec2f& dest, const TVec2f& source);

// printf-style prints through con_puts / con_lputs. Floating-point conversions (f, e, g) use the
// separator of `numbers`; %s, %d, %i, %u, %c, %x, %% as printf. The text is printed unchanged,
// so a line ends only where the format holds "\r".
void ConPrintf(const NumberText& numbers, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void ConLevelPrintf(const NumberText& numbers, std::int32_t level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace isotri
