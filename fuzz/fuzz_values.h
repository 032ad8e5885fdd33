// Values a host may send that the effect must survive: the ordinary ones,
// the edges of each type, and anything else the input's bytes spell.
#pragma once

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>

#include "pf_sdk.h"

namespace zonara_fuzz {

// Either one of the values that break arithmetic, or raw bytes.
inline double NastyDouble(FuzzedDataProvider &in) {
    constexpr double INF = std::numeric_limits<double>::infinity();
    static constexpr double TABLE[] = {
        0.0,
        -0.0,
        1.0,
        -1.0,
        0.5,
        2.0,
        10.0,
        100.0,
        1080.0,
        1920.0,
        15000.0,
        -15000.0,
        1e-300,
        4.9e-324,
        1e30,
        -1e30,
        3e9,
        -3e9,
        2147483647.0,
        2147483648.0,
        -2147483649.0,
        1.7976931348623157e308,
        -1.7976931348623157e308,
        INF,
        -INF,
        std::numeric_limits<double>::quiet_NaN(),
        -std::numeric_limits<double>::quiet_NaN(),
    };
    constexpr std::size_t TABLE_SIZE = sizeof(TABLE) / sizeof(TABLE[0]);
    const std::uint8_t pick = in.ConsumeIntegral<std::uint8_t>();
    if (pick < TABLE_SIZE * 6) return TABLE[pick % TABLE_SIZE];
    if (pick < 200) return in.ConsumeFloatingPointInRange(-20000.0, 20000.0);
    std::uint64_t bits = in.ConsumeIntegral<std::uint64_t>();
    double raw;
    static_assert(sizeof(raw) == sizeof(bits));
    __builtin_memcpy(&raw, &bits, sizeof(raw));
    return raw;
}

// A 32-bit integer near the edges or anywhere.
inline std::int32_t NastyInt32(FuzzedDataProvider &in) {
    static constexpr std::int32_t TABLE[] = {
        0,          1,          -1,         2,          3,         100,           65536,
        -65536,     0x7FFF,     0x8000,     0x7FFFFFFF, INT32_MIN, INT32_MIN + 1, 0x7FFF0000,
        1920 << 16, 1080 << 16, -(1 << 30), 1 << 30,
    };
    constexpr std::size_t TABLE_SIZE = sizeof(TABLE) / sizeof(TABLE[0]);
    const std::uint8_t pick = in.ConsumeIntegral<std::uint8_t>();
    if (pick < TABLE_SIZE * 8) return TABLE[pick % TABLE_SIZE];
    return in.ConsumeIntegral<std::int32_t>();
}

// A small value most of the time (sizes, counts), an edge value sometimes.
inline std::int32_t SmallOrNasty(FuzzedDataProvider &in, std::int32_t low, std::int32_t high) {
    return in.ConsumeIntegralInRange<std::uint8_t>(0, 7) == 0 ? NastyInt32(in) : in.ConsumeIntegralInRange(low, high);
}

inline PF_RationalScale NastyRatio(FuzzedDataProvider &in) {
    if (in.ConsumeBool()) return {1, 1};
    return {SmallOrNasty(in, -4, 4), static_cast<A_u_long>(SmallOrNasty(in, 0, 4))};
}

}  // namespace zonara_fuzz
