// Powers with a fixed exponent from tables. Where a float frame's weight is
// exactly 0 or 1, each channel's power has one exponent for the whole frame
// (the side's reciprocal gamma), and every base is a single-precision value.
// For a normal base x = 2^(E - 127) m with m in [1, 2),
// x^y = 2^((E - 127) y) c^y (1 + t)^y, where c is m cut to its first
// MANTISSA_BITS bits and t = (m - c) / c lies in [0, 2^-MANTISSA_BITS): the
// first two factors are looked up by the base's biased exponent E and its
// top mantissa bits, the third is a short binomial series. The vector kernel
// keeps such a power only where its stated bound proves the single precision
// rounding, exactly as it keeps its general power; every other lane takes
// the general power.
#pragma once

#include <cstdint>

#include "render/frame/window_render_params.h"

namespace zonara {

struct ConstantPowers {
    static constexpr int MANTISSA_BITS = 10;
    static constexpr int MANTISSA_ENTRIES = 1 << MANTISSA_BITS;
    // One entry per biased single-precision exponent; 0 (zero and the
    // subnormals) and 255 (infinities and not-a-number) are never used.
    static constexpr int EXPONENT_ENTRIES = 256;
    static constexpr int EXPONENT_BIAS = 127;
    // The mantissa bits below the cut, which make t.
    static constexpr int BITS_BELOW_CUT = 23 - MANTISSA_BITS;
    // Terms of (1 + t)^y after the 1.
    static constexpr int SERIES_TERMS = 4;
    // Exponents beyond this (and all below or at 0) take the general power:
    // the series' tail grows with the exponent.
    static constexpr double LARGEST_EXPONENT = 8.0;

    // 2^-23 / c for each cut mantissa c: times the bits below the cut, read
    // as an integer, it gives t.
    double reciprocal[MANTISSA_ENTRIES];
    // Per channel, both sides' tables one after the other (the side a
    // GradeSide): c^y for each cut mantissa at [side x MANTISSA_ENTRIES + j],
    // 2^((E - 127) y) for each biased exponent E at [side x EXPONENT_ENTRIES
    // + E] (0 where it leaves the range the kernel trusts, and for E = 0 and
    // 255).
    double mantissa_power[CHANNEL_COUNT][2 * MANTISSA_ENTRIES];
    double exponent_power[CHANNEL_COUNT][2 * EXPONENT_ENTRIES];
    // Indexed [channel][side]: the series' binomial coefficients for t^1 ...
    // t^SERIES_TERMS, the relative error bound of the whole power, and
    // whether the tables hold anything.
    double coefficient[CHANNEL_COUNT][2][SERIES_TERMS];
    double bound[CHANNEL_COUNT][2];
    bool usable[CHANNEL_COUNT][2];
};

// Zeroes every table, fills the shared reciprocals and marks every table
// unusable.
void ClearConstantPowers(ConstantPowers &powers);

// Fills the tables of one channel of one side for exponent y (marked
// unusable when y is not in (0, LARGEST_EXPONENT]).
void FillConstantPower(ConstantPowers &powers, int channel, int side, double y);

// Fills the tables of every graded channel of both sides of the record.
void BuildConstantPowers(const WindowRenderParams &record, ConstantPowers &powers);

}  // namespace zonara
