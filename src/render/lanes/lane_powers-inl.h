// The kernel's two powers, each with the error bound it guarantees: the
// general power exp(y ln x) and the fixed-exponent power from the frame's
// tables; and the rounding window that decides which lanes keep them.
//
// A piece of the vector kernel; see lane_kernel-inl.h for the rules every
// piece keeps.

#include <cstdint>

#include "render/accelerators/constant_powers.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/lane_operations-inl.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

#if defined(ZONARA_LANE_POWERS_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_LANE_POWERS_INL_H_
#undef ZONARA_LANE_POWERS_INL_H_
#else
#define ZONARA_LANE_POWERS_INL_H_
#endif

ZONARA_BEGIN_LEVEL

// ------------------------------------------------------------------ power

// The kernel's power x^y = exp(y ln x) for positive normal x and finite y
// with |y ln x| below 700 (and +0 to a positive power), so that neither the result nor any step
// overflows or leaves the normal range. Its relative error is below
// (|y ln x| + |y| + 1) x 2^-49 (see POWER_ERROR_BOUND_SCALE and the test that
// checks it): ln x carries an absolute error of a few units of 2^-53 of its
// magnitude plus a few of 2^-53, which y multiplies into an absolute error of
// y ln x, which exp turns into a relative error of the result; the
// polynomials' own errors are far below.
constexpr double POWER_ERROR_BOUND_SCALE = 1.0 / 562949953421312.0;  // 2^-49
constexpr double POWER_EXPONENT_LIMIT = 700.0;

constexpr double SQRT2 = 1.4142135623730951;
// ln 2 split so that a product of its high part with an integer below 2^11
// is exact.
constexpr double LN2_HI = 6.93147180369123816490e-01;
constexpr double LN2_LO = 1.90821492927058770002e-10;
constexpr double INV_LN2 = 1.44269504088896338700e+00;
// Adding 1.5 x 2^52 rounds a double below 2^51 to an integer, held in the
// low bits of the sum.
constexpr double ROUNDING_SHIFTER = 6755399441055744.0;
constexpr double TWO_TO_52 = 4503599627370496.0;

struct PowerLanes {
    VD value;
    VD bound;    // the relative error bound of each lane's value
    VL trusted;  // lanes inside the domain above
};

LANE_INLINE PowerLanes Power(VD x, VD y) {
    constexpr double SMALLEST_NORMAL = 2.2250738585072014e-308;
    constexpr double LARGEST = 1.7976931348623157e308;
    VL trusted = (x >= SMALLEST_NORMAL) & (x <= LARGEST) & (y >= -LARGEST) & (y <= LARGEST);

    // x = m 2^e with m in [sqrt(1/2), sqrt(2)).
    const VUL bits = __builtin_bit_cast(VUL, x);
    const VUL biased_exponent = (bits >> 52) & 0x7FFull;
    VD m = __builtin_bit_cast(VD, (bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
    VD e = __builtin_bit_cast(VD, biased_exponent | 0x4330000000000000ull) - TWO_TO_52 - 1023.0;
    const VL high = m > SQRT2;
    m = high ? m * 0.5 : m;
    e = high ? e + 1.0 : e;

    // ln m = 2 atanh(s), s = (m - 1)/(m + 1), |s| < 0.1716: the series to
    // s^21 leaves a truncation error below 2^-60 of ln m.
    const VD s = (m - 1.0) / (m + 1.0);
    const VD s2 = s * s;
    // Estrin's scheme rather than Horner's: the same terms in a shallower
    // tree, so the processor overlaps them instead of waiting on each.
    const VD s4 = s2 * s2;
    const VD s8 = s4 * s4;
    const VD series = ((1.0 / 3.0 + s2 * (1.0 / 5.0)) + s4 * (1.0 / 7.0 + s2 * (1.0 / 9.0))) +
                      s8 * (((1.0 / 11.0 + s2 * (1.0 / 13.0)) + s4 * (1.0 / 15.0 + s2 * (1.0 / 17.0))) +
                            s8 * (1.0 / 19.0 + s2 * (1.0 / 21.0)));
    const VD two_s = 2.0 * s;
    const VD ln_m = two_s + two_s * (s2 * series);
    const VD ln_x = e * LN2_HI + (e * LN2_LO + ln_m);
    const VD z = y * ln_x;
    trusted &= (z > -POWER_EXPONENT_LIMIT) & (z < POWER_EXPONENT_LIMIT);

    // exp z = 2^k exp r, k the integer nearest z / ln 2, |r| <= ln 2 / 2:
    // the Taylor series to r^13 leaves a truncation error below 2^-57, summed
    // by Estrin's scheme too.
    const VD shifted = z * INV_LN2 + ROUNDING_SHIFTER;
    const VD k = shifted - ROUNDING_SHIFTER;
    const VD r = (z - k * LN2_HI) - k * LN2_LO;
    const VD r2 = r * r;
    const VD r4 = r2 * r2;
    const VD r8 = r4 * r4;
    const VD first_terms = ((1.0 + r) + r2 * (0.5 + r * (1.0 / 6.0))) +
                           r4 * ((1.0 / 24.0 + r * (1.0 / 120.0)) + r2 * (1.0 / 720.0 + r * (1.0 / 5040.0)));
    const VD last_terms = ((1.0 / 40320.0 + r * (1.0 / 362880.0)) + r2 * (1.0 / 3628800.0 + r * (1.0 / 39916800.0))) +
                          r4 * (1.0 / 479001600.0 + r * (1.0 / 6227020800.0));
    const VD exp_r = first_terms + r8 * last_terms;
    // 2^k built from its bits; k lies within +-1011 in the domain.
    const VUL k_bits = __builtin_bit_cast(VUL, shifted) - __builtin_bit_cast(VUL, Splat<VD>(ROUNDING_SHIFTER));
    const VD two_to_k = __builtin_bit_cast(VD, (k_bits + 1023ull) << 52);
    // A base of +0 (the CDL model's clamped black) with a positive exponent
    // is +0 exactly, in any power function worth the name.
    const VL zero_base = (bits == 0ull) & (y > 0.0) & (y <= LARGEST);
    const VD bound = ((zero_base ? VD{} : Abs(z)) + Abs(y) + 1.0) * POWER_ERROR_BOUND_SCALE;
    return {zero_base ? VD{} : exp_r * two_to_k, bound, trusted | zero_base};
}

// Where a channel's fixed-exponent tables (see constant_powers.h) are
// looked up, found once for all the lanes from the bits of the bases, which
// are single-precision values (as every grade base is): a float 2^(E-127) m
// with m = 1 + f 2^-23 has its cut mantissa c in the top MANTISSA_BITS bits
// of f, and m - c = (the bits below them) x 2^-23 exactly. Every lane looks
// up its side's tables by the exponent and mantissa bits alone (the sign
// left out), which always lie within them. Only positive normal finite
// bases are trusted, and +0, whose power is +0 for every exponent the tables
// serve (all positive): its entries are those for E = 0, stored as 0 (no
// normal base has it), and c = 1, so the product is +0. The others
// (subnormals, negatives, -0, infinities, not-a-number) take the general
// power.
struct TableLookups {
    VI cut;        // index of the cut mantissa, for the reciprocals
    VI mantissa;   // of c^y, in the lane's side's table
    VI exponent;   // of 2^((E - 127) y), in the lane's side's table
    VI below_cut;  // the bits of f below the cut, as an integer
    VI inside;     // lanes whose side is the inside
    VI trusted;    // positive normal bases
    VI zero;       // +0 bases
};

LANE_INLINE TableLookups LookUpTables(VF base, VI inside, VI eligible) {
    constexpr int CUT_SHIFT = ConstantPowers::BITS_BELOW_CUT;
    const VU bits = __builtin_bit_cast(VU, base);
    // Biased exponents 1 to 254 with the sign clear, in one comparison.
    const VI trusted = eligible & __builtin_bit_cast(VI, bits - 0x00800000u < 0x7F000000u);
    const VI cut = __builtin_bit_cast(VI, (bits >> CUT_SHIFT) & (ConstantPowers::MANTISSA_ENTRIES - 1u));
    static_assert(ConstantPowers::EXPONENT_ENTRIES == 256, "one entry for each 8-bit biased exponent");
    const VI exponent = __builtin_bit_cast(VI, (bits >> 23) & 0xFFu);
    return {cut,
            cut + (inside & ConstantPowers::MANTISSA_ENTRIES),
            exponent + (inside & ConstantPowers::EXPONENT_ENTRIES),
            __builtin_bit_cast(VI, bits & ((1u << CUT_SHIFT) - 1u)),
            inside,
            trusted,
            eligible & __builtin_bit_cast(VI, bits == 0u)};
}

// The lanes of half of the lanes (PART) the tables serve: trusted bases and
// +0.
template <int PART>
LANE_INLINE VL ServedHalf(const TableLookups &lookups) {
    return WidenMask(HalfOf<VIH, PART>(lookups.trusted | lookups.zero));
}

// x^y from the frame's fixed-exponent tables for half of the lanes (PART),
// x^y = 2^((E - 127) y) c^y (1 + t)^y with t = (m - c) / c. Trusted where the
// lookups are and 2^((E - 127) y) lies in the tables' range, and at +0.
template <int PART>
LANE_INLINE PowerLanes ConstantPower(const ConstantPowers &p, int channel, const TableLookups &lookups) {
    const VL inside = WidenMask(HalfOf<VIH, PART>(lookups.inside));
    const VL trusted_lookup = WidenMask(HalfOf<VIH, PART>(lookups.trusted));
    const VL served = ServedHalf<PART>(lookups);
    // The bits below the cut times the table's 2^-23 / c (1 / c rounded,
    // then scaled exactly) give t as (m - c) x (1 / c) would.
    const VD t = WidenInteger(HalfOf<VIH, PART>(lookups.below_cut)) *
                 GatherDoubles(p.reciprocal, HalfOf<VIH, PART>(lookups.cut));
    static_assert(ConstantPowers::SERIES_TERMS == 4, "the series below has four terms after the 1");
    auto series_of = [&t](auto term) ZONARA_LAMBDA_INLINE {
        return 1.0 + t * (term(0) + t * (term(1) + t * (term(2) + t * term(3))));
    };
    // Nearly always every lane is on one side: its coefficients then go to
    // the arithmetic as they are, rather than chosen lane by lane.
    const double *inside_terms = p.coefficient[channel][SIDE_INSIDE];
    const double *outside_terms = p.coefficient[channel][SIDE_OUTSIDE];
    VD series;
    if (!AnyWideLane(served & ~inside)) {
        series = series_of([inside_terms](int n) ZONARA_LAMBDA_INLINE { return inside_terms[n]; });
    } else if (!AnyWideLane(served & inside)) {
        series = series_of([outside_terms](int n) ZONARA_LAMBDA_INLINE { return outside_terms[n]; });
    } else {
        series = series_of([&](int n) ZONARA_LAMBDA_INLINE {
            return inside ? Splat<VD>(inside_terms[n]) : Splat<VD>(outside_terms[n]);
        });
    }
    const VD mantissa_power = GatherDoubles(p.mantissa_power[channel], HalfOf<VIH, PART>(lookups.mantissa));
    const VD scale = GatherDoubles(p.exponent_power[channel], HalfOf<VIH, PART>(lookups.exponent));
    const VL trusted = (trusted_lookup & (scale != 0.0)) | (served & ~trusted_lookup);
    const VD bound = inside ? Splat<VD>(p.bound[channel][SIDE_INSIDE]) : Splat<VD>(p.bound[channel][SIDE_OUTSIDE]);
    return {(scale * mantissa_power) * series, bound, trusted};
}

// A lane's power is kept only where every value within this window of it
// rounds to the same single-precision result: eight times the kernel's own
// bound, so the result is the host's for any host power within seven times
// that bound of the true power (a correctly rounded power is within 2^-53).
constexpr double KEEP_WINDOW_OVER_BOUND = 8.0;
// The difference the double-precision multiply and add of the Legacy model
// can make between two nearly equal powers, relative to their magnitudes.
constexpr double ROUNDING_SLACK = 1.0 / 1125899906842624.0;  // 2^-50

// Keep lanes whose two window ends round to the same single, compared as
// bits so that -0 and +0 differ; not-a-number ends never match. Where they
// match, the value between them rounds to that single too (rounding is
// monotonic), so the low end's single is the lane's result.
struct WindowRounding {
    VFH single;
    VIH same;
};

LANE_INLINE WindowRounding RoundWindow(VD low, VD high) {
    const VFH low_single = Narrow(low);
    const VFH high_single = Narrow(high);
    return {low_single, (low_single == high_single) &
                            (__builtin_bit_cast(VIH, low_single) == __builtin_bit_cast(VIH, high_single))};
}

ZONARA_END_LEVEL

#endif  // ZONARA_LANE_POWERS_INL_H_
