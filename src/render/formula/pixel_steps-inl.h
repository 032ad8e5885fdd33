// The pixel stage's steps, written once for one pixel (F a float, masks
// bool) and for vector lanes (F a vector of floats, masks vectors of
// integers): the window's coordinates and tests, the blend of both sides'
// constants, the colour models' arithmetic around the power, the codecs,
// Mix and the clamps. Each is the same IEEE operations in the same order
// whatever F is, so a lane's bits are the pixel's. The order they are taken
// in is pixel_composition-inl.h's, the feather band's curves
// falloff_curves-inl.h's; the power itself stays with the callers: the
// scalar path takes the host's power, the lanes the kernel's bounded one
// with its fallback.
//
// Compiled once for one pixel (pixel_steps.h, into zonara::steps) and once
// in each level of the vector kernel (into the level's own namespace, see
// level_namespace-inl.h), so that no copy compiled for a wider instruction
// set is shared with the rest of the effect.

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "render/frame/window_render_params.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

// One guard for the one-pixel copy, a toggle for the levels'.
#ifdef ZONARA_ONE_PIXEL_STEPS
#ifndef ZONARA_PIXEL_STEPS_ONE_PIXEL_H_
#define ZONARA_PIXEL_STEPS_ONE_PIXEL_H_
#define ZONARA_PIXEL_STEPS_BODY
#endif
#elif defined(ZONARA_PIXEL_STEPS_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_PIXEL_STEPS_INL_H_
#undef ZONARA_PIXEL_STEPS_INL_H_
#else
#define ZONARA_PIXEL_STEPS_INL_H_
#endif
#define ZONARA_PIXEL_STEPS_BODY
#endif

#ifdef ZONARA_PIXEL_STEPS_BODY
#undef ZONARA_PIXEL_STEPS_BODY

ZONARA_BEGIN_LEVEL

// Whether a mask holds any lane, and the correctly rounded square root, as
// one pixel takes them; the lanes specialise both for their vectors
// (lane_operations-inl.h).
template <class M>
ZONARA_STEP_INLINE bool AnyOf(M mask) {
    return mask;
}

template <class F>
ZONARA_STEP_INLINE F SquareRoot(F value) {
    return std::sqrt(value);
}

// A value in every lane (T a float, double or mask; for one pixel the value
// itself), and conversions between floats and 32-bit integers that
// truncate, as static_cast does; the lanes specialise them too.
template <class T, class S>
ZONARA_STEP_INLINE T Broadcast(S value) {
    return value;
}

template <class F>
ZONARA_STEP_INLINE auto ToInt32(F value) {
    return static_cast<std::int32_t>(value);
}

template <class I>
ZONARA_STEP_INLINE auto ToFloat(I value) {
    return static_cast<float>(value);
}

// Masks: for one pixel `|` of two bools is the same test as `||`.
template <class M>
ZONARA_STEP_INLINE M StepOr(M a, M b) {
    return a | b;
}

template <class M>
ZONARA_STEP_INLINE M StepAnd(M a, M b) {
    return a & b;
}

// ---------------------------------------------------------------- window

// A position's window coordinates: u along the width, v along the height,
// square-pixel units, the origin at the Point of origin.
template <class FX, class FY>
ZONARA_STEP_INLINE auto WindowCoordinateU(const WindowRenderParams &r, FX x, FY y) {
    return r.uy * y + r.ux * x + r.u_const;
}

template <class FX, class FY>
ZONARA_STEP_INLINE auto WindowCoordinateV(const WindowRenderParams &r, FX x, FY y) {
    return r.vx * x + r.vy * y + r.v_const;
}

// On or beyond the ellipse's outline, from the coordinates' squares.
template <class F>
ZONARA_STEP_INLINE auto BeyondEllipse(const WindowRenderParams &r, F uu, F vv) {
    return vv * r.inv_half_height_sq + uu * r.inv_half_width_sq >= 1.0f;
}

// Beyond the inner ellipse: in the feather band when within the outline.
template <class F>
ZONARA_STEP_INLINE auto BeyondInnerEllipse(const WindowRenderParams &r, F uu, F vv) {
    return vv * r.inv_inner_half_height_sq + uu * r.inv_inner_half_width_sq > 1.0f;
}

// On or beyond the rectangle's outline, from the coordinates' magnitudes.
template <class F>
ZONARA_STEP_INLINE auto BeyondRectangle(const WindowRenderParams &r, F au, F av) {
    return StepOr(au >= r.half_width, av >= r.half_height);
}

// Beyond the inner rectangle: in the feather band when within the outline.
template <class F>
ZONARA_STEP_INLINE auto BeyondInnerRectangle(const WindowRenderParams &r, F au, F av) {
    return StepOr(au >= r.inner_half_width, av >= r.inner_half_height);
}

// Where a pixel in the ellipse's feather band lies along the ray from the
// centre through it, from the inner ellipse (0) to the outline (1), so that
// the falloff is the same in every direction.
template <class F>
ZONARA_STEP_INLINE F EllipseBandPosition(const WindowRenderParams &r, F u, F v, F uu, F vv) {
    const F radius = SquareRoot(vv + uu);
    const F cu = u / radius;
    const F sv = v / radius;
    const F r_in = r.inner_ab / SquareRoot(cu * r.inner_half_height_sq * cu + sv * r.inner_half_width_sq * sv);
    const F r_out = r.outer_ab / SquareRoot(sv * r.half_width_sq * sv + cu * r.half_height_sq * cu);
    return (radius - r_in) / (r_out - r_in);
}

// The weight from the outside fraction, swapped by Invert.
template <class F>
ZONARA_STEP_INLINE F WeightOfOutsideFraction(const WindowRenderParams &r, F outside_fraction) {
    return r.invert ? outside_fraction : 1.0f - outside_fraction;
}

// ------------------------------------------------------ blended constants

// In the feather band both sides' constants are blended by the weight (rest
// is 1 - weight), each in the order it has always been summed: the offset
// and saturation outside first, the reciprocal gamma and gain inside first.
template <class F>
ZONARA_STEP_INLINE F BlendOutsideFirst(F weight, F rest, float inside, float outside) {
    return rest * outside + weight * inside;
}

template <class F>
ZONARA_STEP_INLINE F BlendInsideFirst(F weight, F rest, float inside, float outside) {
    return weight * inside + rest * outside;
}

template <class F>
struct ChannelConstants {
    F offset;
    F inv_gamma;
    F gain;
};

template <class F>
ZONARA_STEP_INLINE ChannelConstants<F> BlendChannel(F weight, F rest, const ChannelGrade &inside,
                                                    const ChannelGrade &outside) {
    return {BlendOutsideFirst(weight, rest, inside.offset, outside.offset),
            BlendInsideFirst(weight, rest, inside.inv_gamma, outside.inv_gamma),
            BlendInsideFirst(weight, rest, inside.gain, outside.gain)};
}

// A blended channel is left alone only when both sides leave it; saturation
// runs where either side asks for it.
ZONARA_STEP_INLINE bool BlendedIdentity(const ChannelGrade &inside, const ChannelGrade &outside) {
    return inside.identity && outside.identity;
}

ZONARA_STEP_INLINE bool BlendedSaturates(const EffectiveGrade &inside, const EffectiveGrade &outside) {
    return inside.apply_saturation || outside.apply_saturation;
}

template <class F>
ZONARA_STEP_INLINE F BlendSaturation(F weight, F rest, const EffectiveGrade &inside, const EffectiveGrade &outside) {
    return BlendOutsideFirst(weight, rest, inside.saturation, outside.saturation);
}

// ----------------------------------------------------------- colour models

// The CDL model's base of the power: gain and offset in single precision,
// limited at 0 by Clamp input black.
template <class F>
ZONARA_STEP_INLINE F CdlBase(const WindowRenderParams &r, F value, F gain, F offset) {
    const F base = gain * value + offset;
    return r.clamp_in_black ? (base <= 0.0f ? F{} : base) : base;
}

// The Legacy model after its power: gain and offset in double.
template <class D>
ZONARA_STEP_INLINE D LegacyAfterPower(D power, D gain, D offset) {
    return power * gain + offset;
}

// -------------------------------------------------------------- saturation
//
// The saturation control: a colour taken to hue, saturation and value (hue
// a fraction of a full turn), its saturation scaled, and taken back, in two
// steps around the hue's sector (HueSector, pixel_composition-inl.h).

// std::max and std::min, not-a-number behaviour included: the first
// argument unless the comparison says otherwise.
template <class F>
ZONARA_STEP_INLINE F StepMax(F a, F b) {
    return a < b ? b : a;
}

template <class F>
ZONARA_STEP_INLINE F StepMin(F a, F b) {
    return b < a ? b : a;
}

template <class F>
struct ScaledHsv {
    F value;   // the largest channel
    F scaled;  // the scaled saturation; 0 leaves a grey of the value
    F h6;      // the hue in sixths of a turn
};

// RGB to HSV with the saturation scaled, the same operations in the same
// order as the two conversions apart, so the result is the same to the bit.
template <class F>
ZONARA_STEP_INLINE ScaledHsv<F> ScaleSaturationToHsv(F red, F green, F blue, F saturation_scale) {
    const F largest = StepMax(StepMax(red, green), blue);
    const F smallest = StepMin(StepMin(red, green), blue);
    const auto chromatic = largest != smallest;
    const F delta = largest - smallest;
    const auto red_largest = largest == red;
    const auto green_largest = red_largest ? decltype(red_largest){} : largest == green;
    const F numerator = red_largest ? green - blue : green_largest ? blue - red : red - green;
    const F quotient = numerator / delta;
    const F sixths = red_largest     ? (blue > green ? quotient + 6.0f : quotient)
                     : green_largest ? quotient + 2.0f
                                     : quotient + 4.0f;
    const F hue = chromatic ? sixths / 6.0f : F{};
    const F saturation = chromatic ? delta / largest : F{};
    return {largest, saturation * saturation_scale, hue * 6.0f};
}

// HSV back to RGB for the hue's sector (0 to 255): sector 6, a hue that
// rounded up to a full turn, is red again as sector 0 (left in the last
// sector it would come back magenta), and sectors 7 and up are the last.
template <class F>
ZONARA_STEP_INLINE void RgbOfSector(const ScaledHsv<F> &hsv, F sector, F &red, F &green, F &blue) {
    const F value = hsv.value;
    const F f = hsv.h6 - sector;
    const F p = (1.0f - hsv.scaled) * value;
    if constexpr (std::is_same_v<F, float>) {
        // One pixel: the sector changes rarely from one pixel to the next,
        // so a predicted branch lets the processor work on the outputs
        // before the hue is known, and only t or q is computed.
        const auto t = [&] { return (1.0f - (1.0f - f) * hsv.scaled) * value; };
        const auto q = [&] { return (1.0f - f * hsv.scaled) * value; };
        switch (static_cast<int>(sector)) {
        case 0:
        case 6:
            red = value, green = t(), blue = p;
            return;
        case 1:
            red = q(), green = value, blue = p;
            return;
        case 2:
            red = p, green = value, blue = t();
            return;
        case 3:
            red = p, green = q(), blue = value;
            return;
        case 4:
            red = t(), green = p, blue = value;
            return;
        default:
            red = value, green = p, blue = q();
            return;
        }
    }
    const F t = (1.0f - (1.0f - f) * hsv.scaled) * value;
    const F q = (1.0f - f * hsv.scaled) * value;
    const auto s0 = sector == 0.0f, s1 = sector == 1.0f, s2 = sector == 2.0f, s3 = sector == 3.0f;
    const auto s4 = sector == 4.0f, s6 = sector == 6.0f;
    red = s1 ? q : StepOr(s2, s3) ? p : s4 ? t : value;
    green = StepOr(s0, s6) ? t : StepOr(s1, s2) ? value : s3 ? q : p;
    blue = StepOr(StepOr(s0, s1), s6) ? p : s2 ? t : StepOr(s3, s4) ? value : q;
}

// ------------------------------------------------------------------ codecs

// An 8-bit or 16-bit code (converted to float) as a value, and a value
// scaled to full scale limited to 0..full scale (not-a-number becoming 0)
// before it is truncated to a code.
template <class F>
ZONARA_STEP_INLINE F DecodeCode8(F code) {
    return code / 255.0f;
}

template <class F>
ZONARA_STEP_INLINE F DecodeCode16(F code) {
    return code * (1.0f / 32768.0f);
}

template <class F>
ZONARA_STEP_INLINE F LimitToFullScale(F scaled, float full_scale) {
    return scaled > 0.0f ? (scaled < full_scale ? scaled : F{} + full_scale) : F{};
}

// --------------------------------------------------------- Mix and clamps

template <class F>
ZONARA_STEP_INLINE F ClampBelowZero(F value) {
    return value < 0.0f ? F{} : value;
}

template <class F>
ZONARA_STEP_INLINE F ClampAboveOne(F value) {
    return value > 1.0f ? F{} + 1.0f : value;
}

// Clamp input black on a float source's colours (integer codes cannot be
// negative).
template <class Colours>
ZONARA_STEP_INLINE void ClampSourceBlack(const WindowRenderParams &r, Colours &c) {
    if (!r.clamp_in_black) return;
    c.red = ClampBelowZero(c.red);
    c.green = ClampBelowZero(c.green);
    c.blue = ClampBelowZero(c.blue);
}

// A graded colour that is not a number is the one quiet not-a-number: where
// two meet in an operation, which one's sign and payload survive depends on
// the order the compiler gave the operands, so lanes and one pixel would
// otherwise part in those bits. Such colours are rare, so one test of all
// three channels spares the common pixel three selects. A frame that grades
// nothing joins no two colours (Mix joins a colour with itself), so its
// colours keep their bits.
template <class F>
ZONARA_STEP_INLINE F OneNotANumber(F value) {
    return value != value ? F{} + __builtin_nanf("") : value;
}

template <class Colours>
ZONARA_STEP_INLINE void OneNotANumberInEach(Colours &c) {
    if (!AnyOf(StepOr(StepOr(c.red != c.red, c.green != c.green), c.blue != c.blue))) return;
    c.red = OneNotANumber(c.red);
    c.green = OneNotANumber(c.green);
    c.blue = OneNotANumber(c.blue);
}

// Mix with the source, then the output clamps, on the graded colours.
template <class Colours>
ZONARA_STEP_INLINE void MixAndClamp(const WindowRenderParams &r, const Colours &source, Colours &result) {
    const float mix = r.mix;
    if (mix < 1.0f) {
        const float keep = 1.0f - mix;
        result.red = keep * source.red + mix * result.red;
        result.green = keep * source.green + mix * result.green;
        result.blue = keep * source.blue + mix * result.blue;
    }
    if (r.clamp_out_black) {
        result.red = ClampBelowZero(result.red);
        result.green = ClampBelowZero(result.green);
        result.blue = ClampBelowZero(result.blue);
    }
    if (r.clamp_out_white) {
        result.red = ClampAboveOne(result.red);
        result.green = ClampAboveOne(result.green);
        result.blue = ClampAboveOne(result.blue);
    }
    if (r.grades_colours) OneNotANumberInEach(result);
}

ZONARA_END_LEVEL

#endif  // ZONARA_PIXEL_STEPS_BODY
