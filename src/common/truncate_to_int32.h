// Float-to-integer conversion that is defined for every input.
#pragma once

#include <cstdint>

namespace zonara {

// A plain cast of NaN, an infinity or a value outside the 32-bit range is
// undefined in C++. The shipping x86-64 target's conversion instruction
// gives the lowest 32-bit integer for all of those, so this returns that
// explicitly and the result no longer depends on the compiler.
inline std::int32_t TruncateToInt32(double value) {
    constexpr double LOWEST = -2147483648.0;         // -2^31, representable
    constexpr double BEYOND_HIGHEST = 2147483648.0;  // 2^31
    if (!(value >= LOWEST && value < BEYOND_HIGHEST)) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace zonara
