// The scale of the host's 16.16 fixed point (PF_Fixed): 65536 is one. Kept
// apart from the arithmetic in fixed_point.h so that code outside the effect
// (the simulated host) can share the one definition.
#pragma once

#include <cstdint>

namespace zonara {

inline constexpr double FIXED_ONE = 65536.0;
// Exact: the scale is a power of two, so multiplying by it equals dividing
// by FIXED_ONE to the bit.
inline constexpr double FIXED_TO_DOUBLE = 1.0 / FIXED_ONE;
// In single precision, where a value is formed as a float product.
inline constexpr float FIXED_ONE_FLOAT = 65536.0f;

inline constexpr double FixedToDouble(std::int32_t value) { return static_cast<double>(value) * FIXED_TO_DOUBLE; }

}  // namespace zonara
