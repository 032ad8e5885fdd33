// 16.16 fixed-point arithmetic with every result defined. Positions far
// outside the layer (an origin dragged away, a huge width) can leave the
// 32-bit range; such sums wrap as two's complement, as they would on the
// target, instead of being undefined, and conversions of values that fit no
// 32-bit integer give the x86-64 conversion result INT32_MIN.
#pragma once

#include <cstdint>

#include "common/fixed_scale.h"
#include "pf_sdk.h"
#include "common/truncate_to_int32.h"

namespace zonara {

inline constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

inline constexpr std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

inline constexpr std::int32_t WrapDouble(std::int32_t a) { return WrapAdd(a, a); }

// A whole number of pixels as 16.16.
inline constexpr PF_Fixed WholeToFixed(std::int32_t pixels) {
    return static_cast<PF_Fixed>(static_cast<std::uint32_t>(pixels) << 16);
}

// The integer part of a 16.16 value: an arithmetic shift, which rounds
// toward minus infinity.
inline constexpr std::int32_t IntegerPart(PF_Fixed value) { return value >> 16; }

// Rounds half away from zero: 0.5 is added to a non-negative value and
// subtracted from a negative one, then the sum is truncated toward zero. A
// float argument widens exactly, so the rounding is the exact one.
inline std::int32_t RoundHalfAwayFromZero(double value) {
    return TruncateToInt32(value >= 0.0 ? value + 0.5 : value - 0.5);
}

}  // namespace zonara
