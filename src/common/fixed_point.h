// 16.16 fixed-point arithmetic with every result defined. Positions far
// outside the layer (an origin dragged away, a huge width, a deep zoom) can
// leave the 32-bit range. Such a position is held at the range's end, as the
// host holds the positions it converts, so a handle beyond the view stays
// beyond it on the same side; wrapping would bring it back in on the other.
#pragma once

#include <cstdint>
#include <limits>

#include "common/fixed_scale.h"
#include "common/truncate_to_int32.h"
#include "pf_sdk.h"

namespace zonara {

inline constexpr std::int32_t SaturateToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

inline constexpr std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
    return SaturateToInt32(static_cast<std::int64_t>(a) + static_cast<std::int64_t>(b));
}

inline constexpr std::int32_t SaturatingSub(std::int32_t a, std::int32_t b) {
    return SaturateToInt32(static_cast<std::int64_t>(a) - static_cast<std::int64_t>(b));
}

inline constexpr std::int32_t SaturatingDouble(std::int32_t a) { return SaturatingAdd(a, a); }

// Halfway between two 16.16 values, toward zero; always within the range.
inline constexpr std::int32_t FixedMidpoint(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(a) + static_cast<std::int64_t>(b)) / 2);
}

// A float position truncated toward zero, held at the range's ends beyond
// them. Not a number has no side to be held at: it gives the lowest value,
// as the target's conversion does.
inline std::int32_t SaturateTruncate(double value) {
    if (value != value) return std::numeric_limits<std::int32_t>::min();
    if (value >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
    return TruncateToInt32(value);  // below -2^31 that is the lowest too
}

// A whole number of pixels as 16.16.
inline constexpr PF_Fixed WholeToFixed(std::int32_t pixels) {
    return SaturateToInt32(static_cast<std::int64_t>(pixels) * 65536);
}

// The integer part of a 16.16 value: an arithmetic shift, which rounds
// toward minus infinity.
inline constexpr std::int32_t IntegerPart(PF_Fixed value) { return value >> 16; }

// Rounds half away from zero: 0.5 is added to a non-negative value and
// subtracted from a negative one, then the sum is truncated toward zero. A
// float argument widens exactly, so the rounding is the exact one. Beyond
// the range the result is held at its ends.
inline std::int32_t RoundHalfAwayFromZero(double value) {
    return SaturateTruncate(value >= 0.0 ? value + 0.5 : value - 0.5);
}

}  // namespace zonara
