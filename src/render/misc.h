// Arithmetic on 2-D single-precision vectors.
#pragma once

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

}  // namespace isotri
