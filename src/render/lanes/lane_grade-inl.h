// The grade in lanes: the colour model through the kernel's powers (the
// lanes they cannot vouch for recomputed by the scalar function), and what
// the lanes supply to the composed steps of a pixel.
//
// A piece of the vector kernel; see lane_kernel-inl.h for the rules every
// piece keeps.

#include <cstdint>

#include "render/accelerators/constant_powers.h"
#include "render/formula/pixel_composition-inl.h"
#include "render/formula/pixel_steps-inl.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/lane_fallbacks.h"
#include "render/lanes/lane_operations-inl.h"
#include "render/lanes/lane_powers-inl.h"
#include "render/lanes/power_fallback_tally.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
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
    double window_scale;           // KEEP_WINDOW_OVER_BOUND, or infinity: all fall back
    bool legacy;
    bool graded;  // a known colour model
    bool weight_matters;
};

struct Colours {
    VF red, green, blue;
};

// x^y for half of the lanes (PART): from the fixed-exponent tables where
// they serve and vouch for the lane, from the general power for the active
// lanes they leave. x and y are single-precision values, widened only for
// the general power.
template <int PART>
LANE_INLINE PowerLanes PowerOf(const Frame &frame, int channel, bool tables, const TableLookups &lookups, VFH x, VFH y,
                               VL active) {
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

// What lanes take their own way in the composed steps
// (pixel_composition-inl.h): the kernel's powers with their fallback, and
// the sectors of hues truncation cannot give, lane by lane.
struct LanePath {
    // Lanes on either side and in the band share a vector: each constant is
    // chosen lane by lane.
    static constexpr bool WHOLE_GRADE = false;
    const Frame *frame;
    PowerTally *tally;
    bool graded;

    LANE_INLINE VF GradeChannel(int channel, const Sides<VF, VI> &sides, VF value,
                                const ChannelConstants<VF> &constants, VI active) const {
        return GradeLanes(*frame, channel, sides.inside, sides.outside, value, constants.offset, constants.inv_gamma,
                          constants.gain, active, *tally);
    }

    LANE_INLINE static VF SectorOfRareHues(VF h6, VI truncates, VF sector) {
        for (std::uint32_t lanes = LaneBits(~truncates); lanes != 0; lanes &= lanes - 1) {
            const int i = __builtin_ctz(lanes);
            sector[i] = HueSectorLane(h6[i]);
        }
        return sector;
    }
};

ZONARA_END_LEVEL

#endif  // ZONARA_LANE_GRADE_INL_H_
