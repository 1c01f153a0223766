// printf-style prints to the console with the locale's decimal separator.
#pragma once

#include <cstdint>

#include "common/NumberText.h"

namespace isotri {

// printf-style prints through con_puts / con_lputs. Floating-point conversions (f, e, g) use the
// separator of `numbers`; %s, %d, %i, %u, %c, %x, %% as printf. The text is printed unchanged,
// so a line ends only where the format holds "\r".
void ConPrintf(const NumberText& numbers, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void ConLevelPrintf(const NumberText& numbers, std::int32_t level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace isotri
