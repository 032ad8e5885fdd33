// The feather band's falloff curves F(t), each written once for one pixel
// (D a double) and for vector lanes (D a vector of doubles), one per row of
// the falloff's table (common/choice_tables.h), by its choice.
//
// The curves made of products give `Of(t)`, exact in double in vectors as
// for one pixel. The curves with powers give `Of(t, powers)` through a
// power policy P, and with their value how far the exact curve may lie from
// it (the reach) and where the policy vouches for its powers:
//   powers.Raise(x, y)  -> {value, window, trusted}: x^y, the relative
//                          distance within which the C library's std::pow
//                          lies from it, and the lanes where that holds;
//   P::ROUNDING_SLACK   the power's own final rounding, as a window;
//   powers.Magnitude(d) |d|;  powers.Nowhere(): a mask trusting no lane.
// One pixel's policy is std::pow itself (windows of 0, trusted), whose
// reach nothing reads; the lanes' is the kernel's bounded power, whose lanes
// keep their single-precision result only where every value within reach
// rounds to it. So a curve's error growth is written beside its formula:
// each power's window, carried through the operations after it, and those
// operations' own roundings on both sides.
//
// Compiled like pixel_steps-inl.h: once for one pixel (pixel_steps.h, into
// zonara::steps) and once in each level of the vector kernel.

#include <cstddef>
#include <cstdint>

#include "common/choice_tables.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

// One guard for the one-pixel copy, a toggle for the levels'.
#ifdef ZONARA_ONE_PIXEL_STEPS
#ifndef ZONARA_FALLOFF_CURVES_ONE_PIXEL_H_
#define ZONARA_FALLOFF_CURVES_ONE_PIXEL_H_
#define ZONARA_FALLOFF_CURVES_BODY
#endif
#elif defined(ZONARA_FALLOFF_CURVES_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_FALLOFF_CURVES_INL_H_
#undef ZONARA_FALLOFF_CURVES_INL_H_
#else
#define ZONARA_FALLOFF_CURVES_INL_H_
#endif
#define ZONARA_FALLOFF_CURVES_BODY
#endif

#ifdef ZONARA_FALLOFF_CURVES_BODY
#undef ZONARA_FALLOFF_CURVES_BODY

ZONARA_BEGIN_LEVEL

constexpr std::size_t FALLOFF_ROWS = static_cast<std::size_t>(ChoiceCount(FALLOFF_CHOICES));

template <class D, class M>
struct CurveWithReach {
    D value;
    D reach;
    M trusted;
};

// The subtraction, product and division after the powers: at most three
// roundings of 2^-53 on each side.
constexpr double FALLOFF_ROUNDING_SLACK = 1.0 / 562949953421312.0;  // 2^-49

// Declared only: a falloff in the table without a curve here fails to
// compile (see the check below the curves).
template <FalloffChoice CHOICE>
struct FalloffCurve;

template <>
struct FalloffCurve<FALLOFF_LINEAR> {
    template <class D>
    ZONARA_STEP_INLINE static D Of(D t) {
        return t;
    }
};

template <>
struct FalloffCurve<FALLOFF_QUADRATIC> {
    template <class D>
    ZONARA_STEP_INLINE static D Of(D t) {
        return t * t;
    }
};

template <>
struct FalloffCurve<FALLOFF_CUBIC> {
    template <class D>
    ZONARA_STEP_INLINE static D Of(D t) {
        return t * t * t;
    }
};

template <>
struct FalloffCurve<FALLOFF_GAMMA_2_2> {
    template <class D, class P>
    ZONARA_STEP_INLINE static CurveWithReach<D, typename P::Mask> Of(D t, const P &powers) {
        // 0.454, not 1 / 2.2: the curve as users have always seen it.
        const auto power = powers.Raise(t, 0.454);
        return {power.value, (power.window + P::ROUNDING_SLACK) * power.value, power.trusted};
    }
};

template <>
struct FalloffCurve<FALLOFF_GAUSSIAN> {
    // ln 360 is 5.886: a change d of the inner power changes the outer
    // power 360^-d by a factor within 6 d of 1 (d is below 2^-40).
    static constexpr double EXPONENT_GROWTH = 6.0;

    template <class D, class P>
    ZONARA_STEP_INLINE static CurveWithReach<D, typename P::Mask> Of(D t, const P &powers) {
        const auto inner = powers.Raise(t, 2.5);
        const auto outer = powers.Raise(360.0, -inner.value);
        const D value = 1.0 - outer.value;
        const D inner_window = inner.window * inner.value;
        const D outer_window = outer.window + EXPONENT_GROWTH * inner_window;
        const D reach =
            (outer_window + P::ROUNDING_SLACK) * outer.value + FALLOFF_ROUNDING_SLACK * powers.Magnitude(value);
        const typename P::Mask trusted = inner.trusted & outer.trusted;
        return {value, reach, trusted};
    }
};

template <>
struct FalloffCurve<FALLOFF_EXPONENTIAL> {
    // (1 - x) 2.5 / 1.5 magnifies a change of x by 5/3, held above here.
    static constexpr double GROWTH = 1.7;

    template <class D, class P>
    ZONARA_STEP_INLINE static CurveWithReach<D, typename P::Mask> Of(D t, const P &powers) {
        const auto power = powers.Raise(2.5, -t);
        // The product with 2.5 comes before the division so that F(1) is 1.
        const D value = (1.0 - power.value) * 2.5 / 1.5;
        const D reach = GROWTH * (power.window + P::ROUNDING_SLACK) * power.value +
                        FALLOFF_ROUNDING_SLACK * powers.Magnitude(value);
        return {value, reach, power.trusted};
    }
};

template <FalloffChoice CHOICE>
concept HasFalloffCurve = requires {
    sizeof(FalloffCurve<CHOICE>);
};

template <std::size_t ROW = 0>
constexpr bool EveryFalloffHasACurve() {
    if constexpr (ROW == FALLOFF_ROWS) {
        return true;
    } else {
        return HasFalloffCurve<FALLOFF_CHOICES[ROW].value> && EveryFalloffHasACurve<ROW + 1>();
    }
}

static_assert(EveryFalloffHasACurve(), "every falloff in the table needs its curve here");

// Whether the falloff's curve takes powers; any value not in the table is
// linear, made of products.
ZONARA_STEP_INLINE bool FalloffTakesPowers(std::int32_t falloff) {
    for (const FalloffRow &row : FALLOFF_CHOICES) {
        if (row.value == falloff) return row.form == FalloffForm::POWERS;
    }
    return false;
}

// The curve of a falloff made of products; linear for any other value.
template <class D, std::size_t ROW = 0>
ZONARA_STEP_INLINE D ProductFalloff(std::int32_t falloff, D t) {
    if constexpr (ROW == FALLOFF_ROWS) {
        return FalloffCurve<FALLOFF_LINEAR>::Of(t);
    } else {
        constexpr FalloffRow row = FALLOFF_CHOICES[ROW];
        if constexpr (row.form == FalloffForm::PRODUCTS) {
            if (falloff == row.value) return FalloffCurve<row.value>::Of(t);
        }
        return ProductFalloff<D, ROW + 1>(falloff, t);
    }
}

// The curve of a falloff with powers, by the policy's powers; for any other
// value (the caller asks FalloffTakesPowers first) the linear curve,
// trusted nowhere.
template <class D, class P, std::size_t ROW = 0>
ZONARA_STEP_INLINE CurveWithReach<D, typename P::Mask> PowerFalloff(std::int32_t falloff, D t, const P &powers) {
    if constexpr (ROW == FALLOFF_ROWS) {
        return {t, D{}, powers.Nowhere()};
    } else {
        constexpr FalloffRow row = FALLOFF_CHOICES[ROW];
        if constexpr (row.form == FalloffForm::POWERS) {
            if (falloff == row.value) return FalloffCurve<row.value>::Of(t, powers);
        }
        return PowerFalloff<D, P, ROW + 1>(falloff, t, powers);
    }
}

ZONARA_END_LEVEL

#endif  // ZONARA_FALLOFF_CURVES_BODY
