// The grade in lanes: each side's constants resolved or blended by the
// weight, the colour model through the kernel's powers (the lanes they
// cannot vouch for recomputed by the scalar function), saturation, Mix and
// the output clamps.
//
// A piece of the vector kernel; see lane_kernel-inl.h for the rules every
// piece keeps.

#include <cstdint>

#include "render/accelerators/constant_powers.h"
#include "render/formula/hsv.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/lane_fallbacks.h"
#include "render/lanes/power_fallback_tally.h"
#include "render/formula/pixel_steps-inl.h"
#include "render/lanes/lane_operations-inl.h"
#include "render/lanes/lane_powers-inl.h"
#include "render/formula/level_namespace-inl.h"

#if defined(ZONARA_LANE_GRADE_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_LANE_GRADE_INL_H_
#undef ZONARA_LANE_GRADE_INL_H_
#else
#define ZONARA_LANE_GRADE_INL_H_
#endif

ZONARA_BEGIN_LEVEL

// ------------------------------------------------------------ the frame

struct Frame {
    const WindowRenderParams *record;
    const ConstantPowers *powers;  // the frame's, or null
    double window_scale;  // KEEP_WINDOW_OVER_BOUND, or infinity: all fall back
    bool legacy;
    bool graded;          // a known colour model
    bool weight_matters;
};

struct Colours {
    VF red, green, blue;
};

// Which side's constants each lane takes: inside at weight 1, outside at 0,
// the blend in between.
struct Sides {
    VI inside;
    VI outside;
    VF weight;
    VF rest;        // 1 - weight
    bool any_band;  // some valid lane is neither (the feather band)
};

// The blend is computed only where some lane needs it: most groups lie
// wholly inside or outside the band.
template <class Blend>
LANE_INLINE VF Resolve(const Sides &sides, float inside, float outside, Blend blended) {
    if (!sides.any_band) return sides.inside ? Splat<VF>(inside) : Splat<VF>(outside);
    return sides.inside ? Splat<VF>(inside) : sides.outside ? Splat<VF>(outside) : blended();
}

LANE_INLINE VI ResolveMask(const Sides &sides, bool inside, bool outside, bool blended) {
    return sides.inside ? MaskOf(inside) : sides.outside ? MaskOf(outside) : MaskOf(blended);
}

// x^y for half of the lanes (PART): from the fixed-exponent tables where
// they serve and vouch for the lane, from the general power for the active
// lanes they leave. x and y are single-precision values, widened only for
// the general power.
template <int PART>
LANE_INLINE PowerLanes PowerOf(const Frame &frame, int channel, bool tables, const TableLookups &lookups, VFH x,
                               VFH y, VL active) {
    if (!tables || !AnyWideLane(ServedHalf<PART>(lookups))) return Power(Widen(x), Widen(y));
    const PowerLanes fixed = ConstantPower<PART>(*frame.powers, channel, lookups);
    if (!AnyWideLane(active & ~fixed.trusted)) return fixed;
    const PowerLanes general = Power(Widen(x), Widen(y));
    return {fixed.trusted ? fixed.value : general.value, fixed.trusted ? fixed.bound : general.bound,
            fixed.trusted | general.trusted};
}

// One channel through the colour model for half of the lanes (PART), from
// the power's base (the value in the Legacy model, the CDL base otherwise):
// the graded values where the kernel's power may stand for them (keep), and
// which those are; the other lanes' values are recomputed or not used.
struct GradedHalf {
    VFH graded;
    VIH keep;
};

template <int PART>
LANE_INLINE GradedHalf GradeHalf(const Frame &frame, int channel, bool tables, const TableLookups &lookups, VI active,
                                 VF base, VF offset, VF inv_gamma, VF gain) {
    const PowerLanes power = PowerOf<PART>(frame, channel, tables, lookups, HalfOf<VFH, PART>(base),
                                           HalfOf<VFH, PART>(inv_gamma), WideHalf<PART>(active));
    const VD window = power.bound * frame.window_scale;
    if (frame.legacy) {
        // Power first, then gain and offset, all in double; the product is
        // also what the rounding window's reach is measured from.
        const VD wide_gain = Widen(HalfOf<VFH, PART>(gain));
        const VD scaled = power.value * wide_gain;
        const VD result = LegacyAfterPower(power.value, wide_gain, Widen(HalfOf<VFH, PART>(offset)));
        const VD reach = (window + ROUNDING_SLACK) * Abs(scaled) + ROUNDING_SLACK * Abs(result);
        const WindowRounding rounded = RoundWindow(result - reach, result + reach);
        return {rounded.single, NarrowMask(power.trusted) & rounded.same};
    }
    const VD reach = (window + ROUNDING_SLACK) * power.value;
    const WindowRounding rounded = RoundWindow(power.value - reach, power.value + reach);
    return {rounded.single, NarrowMask(power.trusted) & rounded.same};
}

// One channel through the colour model, for the lanes in active; the lanes
// the kernel's power cannot stand for are recomputed with the host's.
// inside and outside are the lanes at weight 1 and 0.
LANE_INLINE VF GradeLanes(const Frame &frame, int channel, VI inside, VI outside, VF value, VF offset, VF inv_gamma,
                          VF gain, VI active, PowerTally &tally) {
    const WindowRenderParams &r = *frame.record;
    VF base = value;
    if (!frame.legacy) {
        // CDL: gain and offset first, in single precision, then the power.
        base = CdlBase(r, value, gain, offset);
    }
    // The tables serve the lanes at weight 1 or 0 whose side has them.
    VI eligible = VI{};
    if (frame.powers != nullptr) {
        eligible = (inside & MaskOf(frame.powers->usable[channel][SIDE_INSIDE])) |
                   (outside & MaskOf(frame.powers->usable[channel][SIDE_OUTSIDE]));
    }
    const bool tables = AnyLane(eligible);
    // Filled only where the tables serve: PowerOf reads it only then, and
    // zeroing its seven vectors for every band group costs a block fill.
    TableLookups lookups;
    if (tables) lookups = LookUpTables(base, inside, eligible);
    const GradedHalf first = GradeHalf<0>(frame, channel, tables, lookups, active, base, offset, inv_gamma, gain);
    const GradedHalf second = GradeHalf<1>(frame, channel, tables, lookups, active, base, offset, inv_gamma, gain);
    VF graded = Join<VF>(first.graded, second.graded);
    const VI keep = Join<VI>(first.keep, second.keep);
    const VI fallback = active & ~keep;
    tally.powers += static_cast<std::uint64_t>(__builtin_popcount(LaneBits(active)));
    for (std::uint32_t lanes = LaneBits(fallback); lanes != 0; lanes &= lanes - 1) {
        const int i = __builtin_ctz(lanes);
        ++tally.fallbacks;
        graded[i] = GradeChannelLane(r, offset[i], inv_gamma[i], gain[i], value[i]);
    }
    return active ? graded : value;
}

// ScaleSaturation of hsv.h in vectors, through the same steps; the sector
// is found by truncation where it is the floor.
LANE_INLINE Colours ScaleSaturationLanes(const Colours &c, VF scale, VI active) {
    const ScaledHsv<VF> hsv = ScaleSaturationToHsv(c.red, c.green, c.blue, scale);
    const VI grey = hsv.scaled == 0.0f;
    const VF largest = hsv.value;
    // The sector is the floor of h6 for 0 <= h6 < 7, where it is the
    // library's floor; other lanes (not-a-number colours, say) go to the
    // scalar function. Truncation is the floor there; the other lanes
    // convert a 0 instead, so that no conversion leaves the integers' range.
    const VI in_sectors = (hsv.h6 >= 0.0f) & (hsv.h6 < 7.0f);
    const VF sector = __builtin_convertvector(__builtin_convertvector(in_sectors ? hsv.h6 : VF{}, VI), VF);
    VF red, green, blue;
    RgbOfSector(hsv, sector, red, green, blue);

    Colours out{grey ? largest : red, grey ? largest : green, grey ? largest : blue};
    const VI scalar = active & ~grey & ~in_sectors;
    if (AnyLane(scalar)) {
        for (int i = 0; i < LANES; ++i) {
            if (scalar[i] == 0) continue;
            const Rgb rgb = ScaleSaturationLane(c.red[i], c.green[i], c.blue[i], scale[i]);
            out.red[i] = rgb.red;
            out.green[i] = rgb.green;
            out.blue[i] = rgb.blue;
        }
    }
    return {active ? out.red : c.red, active ? out.green : c.green, active ? out.blue : c.blue};
}

LANE_INLINE Colours GradeAndSaturate(const Frame &frame, const Colours &source, VF weight, VI valid,
                                     PowerTally &tally) {
    const WindowRenderParams &r = *frame.record;
    const EffectiveGrade &in = r.side_grade[SIDE_INSIDE];
    const EffectiveGrade &out = r.side_grade[SIDE_OUTSIDE];
    const VI inside = weight == 1.0f;
    const VI outside = weight == 0.0f;
    const Sides sides{inside, outside, weight, 1.0f - weight, AnyLane(valid & ~(inside | outside))};
    Colours c = source;
    VF *channel[CHANNEL_COUNT] = {&c.red, &c.green, &c.blue};
    for (int k = 0; k < CHANNEL_COUNT; ++k) {
        const ChannelGrade &gi = in.channel[k];
        const ChannelGrade &go = out.channel[k];
        const VI identity = ResolveMask(sides, gi.identity, go.identity, gi.identity && go.identity);
        if (!AnyLane(valid & ~identity)) continue;
        // The blends in the order BlendGrades writes them.
        const VF offset = Resolve(sides, gi.offset, go.offset,
                                  [&] { return BlendOutsideFirst(sides.weight, sides.rest, gi.offset, go.offset); });
        const VF inv_gamma = Resolve(sides, gi.inv_gamma, go.inv_gamma, [&] {
            return BlendInsideFirst(sides.weight, sides.rest, gi.inv_gamma, go.inv_gamma);
        });
        const VF gain =
            Resolve(sides, gi.gain, go.gain, [&] { return BlendInsideFirst(sides.weight, sides.rest, gi.gain, go.gain); });
        *channel[k] = GradeLanes(frame, k, sides.inside, sides.outside, *channel[k], offset, inv_gamma, gain,
                                 valid & ~identity, tally);
    }
    const VI saturate = valid & ResolveMask(sides, in.apply_saturation, out.apply_saturation,
                                            in.apply_saturation || out.apply_saturation);
    if (AnyLane(saturate)) {
        const VF scale = Resolve(sides, in.saturation, out.saturation, [&] {
            return BlendOutsideFirst(sides.weight, sides.rest, in.saturation, out.saturation);
        });
        c = ScaleSaturationLanes(c, scale, saturate);
    }
    return c;
}

ZONARA_END_LEVEL

#endif  // ZONARA_LANE_GRADE_INL_H_
