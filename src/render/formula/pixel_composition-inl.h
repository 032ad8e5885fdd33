// The order of a pixel's steps, written once for one pixel and for the
// lanes of every level of the vector kernel: the Mix gate, the weight, each
// side's constants resolved or blended, the channels through the colour
// model, saturation with its hue sector, Mix and the clamps, and the finish
// of a side's graded values from the tables; and the rectangle's inner
// corners. F is a float or a vector of floats, M a bool or a vector mask.
//
// What differs between one pixel and lanes comes from a path type:
//
//   path.graded                 the frame grades at all (a known colour model)
//   Path::WHOLE_GRADE           the constants are chosen as a whole grade
//                               once (one pixel: a side's, or the blend),
//                               rather than constant by constant where
//                               each is needed (lanes, whose sides differ)
//   path.GradeChannel(k, sides, value, constants, active)
//                               one channel through the colour model and its
//                               power (one pixel: the record's power; lanes:
//                               the kernel's bounded power, the lanes it
//                               cannot vouch for by the one-pixel function)
//   Path::SectorOfRareHues(h6, truncates, sector)
//                               the sector of the hues truncation cannot
//                               give (lanes: lane by lane, out of line)
//
// Compiled like pixel_steps-inl.h: once for one pixel, once in each level.

#include <cstdint>
#include <type_traits>

#include "render/formula/pixel_steps-inl.h"
#include "render/frame/window_render_params.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

// One guard for the one-pixel copy, a toggle for the levels'.
#ifdef ZONARA_ONE_PIXEL_STEPS
#ifndef ZONARA_PIXEL_COMPOSITION_ONE_PIXEL_H_
#define ZONARA_PIXEL_COMPOSITION_ONE_PIXEL_H_
#define ZONARA_PIXEL_COMPOSITION_BODY
#endif
#elif defined(ZONARA_PIXEL_COMPOSITION_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_PIXEL_COMPOSITION_INL_H_
#undef ZONARA_PIXEL_COMPOSITION_INL_H_
#else
#define ZONARA_PIXEL_COMPOSITION_INL_H_
#endif
#define ZONARA_PIXEL_COMPOSITION_BODY
#endif

#ifdef ZONARA_PIXEL_COMPOSITION_BODY
#undef ZONARA_PIXEL_COMPOSITION_BODY

ZONARA_BEGIN_LEVEL

// ----------------------------------------------------------------- sides

// Which side's constants each pixel takes: inside at weight 1, outside at 0,
// the blend of both in between (the feather band).
template <class F, class M>
struct Sides {
    M inside;
    M outside;
    F weight;
    F rest;         // 1 - weight
    bool any_band;  // some valid pixel is in the band
};

template <class F, class M>
ZONARA_STEP_INLINE Sides<F, M> SidesAt(F weight, M valid) {
    const M inside = weight == 1.0f;
    const M outside = weight == 0.0f;
    return {inside, outside, weight, 1.0f - weight, AnyOf(StepAnd(valid, !StepOr(inside, outside)))};
}

// One constant for each pixel: its side's, or the blend, computed only
// where some pixel needs it (most pixels lie wholly inside or outside the
// band).
template <class F, class M, class Blend>
ZONARA_STEP_INLINE F Resolve(const Sides<F, M> &sides, float inside, float outside, Blend blended) {
    if (!sides.any_band) return sides.inside ? Broadcast<F>(inside) : Broadcast<F>(outside);
    return sides.inside ? Broadcast<F>(inside) : sides.outside ? Broadcast<F>(outside) : blended();
}

template <class F, class M>
ZONARA_STEP_INLINE M ResolveMask(const Sides<F, M> &sides, bool inside, bool outside, bool blended) {
    return sides.inside ? Broadcast<M>(inside) : sides.outside ? Broadcast<M>(outside) : Broadcast<M>(blended);
}

// Both sides' constants blended at once, for a pixel in the band whose
// grade is chosen as a whole.
ZONARA_STEP_INLINE const EffectiveGrade &BlendGrade(float weight, const EffectiveGrade &inside,
                                                    const EffectiveGrade &outside, EffectiveGrade &blended) {
    const float rest = 1.0f - weight;
    for (int k = 0; k < CHANNEL_COUNT; ++k) {
        const ChannelGrade &gi = inside.channel[k];
        const ChannelGrade &go = outside.channel[k];
        const ChannelConstants<float> c = BlendChannel(weight, rest, gi, go);
        blended.channel[k] = {c.offset, c.inv_gamma, c.gain, BlendedIdentity(gi, go)};
    }
    blended.saturation = BlendSaturation(weight, rest, inside, outside);
    blended.apply_saturation = BlendedSaturates(inside, outside);
    return blended;
}

// A channel's constants for each pixel.
template <class F, class M>
ZONARA_STEP_INLINE ChannelConstants<F> ResolveChannel(const Sides<F, M> &sides, const ChannelGrade &inside,
                                                      const ChannelGrade &outside) {
    return {Resolve(sides, inside.offset, outside.offset,
                    [&] { return BlendChannel(sides.weight, sides.rest, inside, outside).offset; }),
            Resolve(sides, inside.inv_gamma, outside.inv_gamma,
                    [&] { return BlendChannel(sides.weight, sides.rest, inside, outside).inv_gamma; }),
            Resolve(sides, inside.gain, outside.gain,
                    [&] { return BlendChannel(sides.weight, sides.rest, inside, outside).gain; })};
}

// ------------------------------------------------------------ saturation

// Hues at or above this are not all integers apart, and truncation is no
// longer the floor of every one of them.
constexpr float TRUNCATION_IS_FLOOR_BELOW = 8388608.0f;  // 2^23

// The hue's sector for RgbOfSector: the floor of h6, of which only the low
// 8 bits count. Truncation is the floor from 0 to 2^23, where every hue that
// saturation produces lies; the others (not a number, negative or huge,
// from colours that are) go to the path.
template <class Path, class F>
ZONARA_STEP_INLINE F HueSector(F h6) {
    const auto truncates = StepAnd(h6 >= 0.0f, h6 < TRUNCATION_IS_FLOOR_BELOW);
    // Other hues convert a 0 instead, so that no conversion leaves the
    // integers' range.
    const F sector = ToFloat(ToInt32(truncates ? h6 : F{}) & 0xFF);
    if (!AnyOf(!truncates)) return sector;
    return Path::SectorOfRareHues(h6, truncates, sector);
}

// Saturation scaled, for the pixels in active; the others keep c. No
// limit: a saturation above 1 may push a channel below 0.
template <class Path, class Colours, class F, class M>
ZONARA_STEP_INLINE Colours ScaleSaturationWhere(const Colours &c, F scale, M active) {
    // One pixel branches where lanes select: a grey needs no hue.
    if constexpr (std::is_same_v<M, bool>) {
        if (!active) return c;
        const ScaledHsv<F> hsv = ScaleSaturationToHsv(c.red, c.green, c.blue, scale);
        Colours out = c;
        if (hsv.scaled == 0.0f) {
            out.red = out.green = out.blue = hsv.value;
        } else {
            RgbOfSector(hsv, HueSector<Path>(hsv.h6), out.red, out.green, out.blue);
        }
        return out;
    }
    const ScaledHsv<F> hsv = ScaleSaturationToHsv(c.red, c.green, c.blue, scale);
    const M grey = hsv.scaled == 0.0f;
    F red, green, blue;
    RgbOfSector(hsv, HueSector<Path>(hsv.h6), red, green, blue);
    Colours out = c;
    out.red = active ? (grey ? hsv.value : red) : c.red;
    out.green = active ? (grey ? hsv.value : green) : c.green;
    out.blue = active ? (grey ? hsv.value : blue) : c.blue;
    return out;
}

// --------------------------------------------------------------- a pixel

// Channel k through the colour model for the valid pixels whose side
// changes it. Each channel is named by the caller, not reached through an
// array of pointers, so that the colours stay in registers.
template <class Path, class F, class M>
ZONARA_STEP_INLINE void GradeChannelWhereChanged(const Path &path, const EffectiveGrade &in, const EffectiveGrade &out,
                                                 const Sides<F, M> &sides, M valid, int k, F &value) {
    const ChannelGrade &gi = in.channel[k];
    const ChannelGrade &go = out.channel[k];
    const M active = StepAnd(valid, !ResolveMask(sides, gi.identity, go.identity, BlendedIdentity(gi, go)));
    if (!AnyOf(active)) return;
    value = path.GradeChannel(k, sides, value, ResolveChannel(sides, gi, go), active);
}

// The graded colours before Mix: each channel the colour model changes for
// some valid pixel, then saturation where either side asks for it.
template <class Path, class Colours, class F, class M>
ZONARA_STEP_INLINE Colours GradeAndSaturate(const Path &path, const EffectiveGrade &in, const EffectiveGrade &out,
                                            const Sides<F, M> &sides, M valid, const Colours &source) {
    Colours c = source;
    GradeChannelWhereChanged(path, in, out, sides, valid, 0, c.red);
    GradeChannelWhereChanged(path, in, out, sides, valid, 1, c.green);
    GradeChannelWhereChanged(path, in, out, sides, valid, 2, c.blue);
    const M saturate =
        StepAnd(valid, ResolveMask(sides, in.apply_saturation, out.apply_saturation, BlendedSaturates(in, out)));
    if (AnyOf(saturate)) {
        const F scale = Resolve(sides, in.saturation, out.saturation,
                                [&] { return BlendSaturation(sides.weight, sides.rest, in, out); });
        c = ScaleSaturationWhere<Path>(c, scale, saturate);
    }
    return c;
}

// The whole pixel (or group of pixels) from its source colours: weight_of()
// gives the window weight, taken only when the frame grades.
template <class Path, class Colours, class M, class WeightOf>
ZONARA_STEP_INLINE Colours GradePixelFrom(const Path &path, const WindowRenderParams &r, const Colours &source, M valid,
                                          WeightOf weight_of) {
    Colours result = source;
    // Mix 0 (or not a number) leaves the source as it is, unclamped.
    if (!(r.mix > 0.0f)) return result;
    // An unknown colour model skips the grade and the saturation alike.
    if (path.graded) {
        const EffectiveGrade &in = r.side_grade[SIDE_INSIDE];
        const EffectiveGrade &out = r.side_grade[SIDE_OUTSIDE];
        if constexpr (Path::WHOLE_GRADE) {
            // The pixel's grade by reference (or its blend), then the steps
            // as for a pixel wholly inside that grade: every constant is a
            // plain load, not a choice between the sides.
            const float weight = weight_of();
            EffectiveGrade blended;
            const EffectiveGrade &grade = weight == 1.0f   ? in
                                          : weight == 0.0f ? out
                                                           : BlendGrade(weight, in, out, blended);
            const Sides<float, bool> whole{true, false, 1.0f, 0.0f, false};
            result = GradeAndSaturate(path, grade, grade, whole, valid, source);
        } else {
            result = GradeAndSaturate(path, in, out, SidesAt(weight_of(), valid), valid, source);
        }
    }
    MixAndClamp(r, source, result);
    return result;
}

// A side's pixels finished from the graded values its tables hold:
// saturation (when the side asks for it), Mix with the source and the
// clamps. The source is decoded (decoded_source()) only for Mix, the one
// step that reads it.
template <class Path, class Colours, class M, class Source>
ZONARA_STEP_INLINE void FinishSide(const WindowRenderParams &r, const EffectiveGrade &grade, Source decoded_source,
                                   Colours &result, M active) {
    if (grade.apply_saturation) {
        result = ScaleSaturationWhere<Path>(result, Broadcast<decltype(result.red)>(grade.saturation), active);
    }
    const Colours source = r.mix < 1.0f ? decoded_source() : Colours{};
    MixAndClamp(r, source, result);
}

// ----------------------------------------------------------------- window

// Where a rectangle's feather bands meet (its inner corners), the outside
// fraction is the length of both directions' curves, capped at 1: this
// rounds the band's corners. Elsewhere in the band it is the curve of the
// direction the pixel lies across. In double, as the curves are.
template <class D>
ZONARA_STEP_INLINE D RectangleCorner(D across_curve, D down_curve) {
    const D length = SquareRoot(across_curve * across_curve + down_curve * down_curve);
    return length < 1.0 ? length : Broadcast<D>(1.0);
}

ZONARA_END_LEVEL

#endif  // ZONARA_PIXEL_COMPOSITION_BODY
