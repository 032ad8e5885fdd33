// The kernel's drivers: a group of float pixels through the whole pipeline,
// and a run of integer pixels from the frame's tables, with the feather
// band through the float pipeline.
//
// A piece of the vector kernel; see lane_kernel-inl.h for the rules every
// piece keeps.

#include <cstdint>

#include "pf_sdk.h"
#include "render/accelerators/constant_powers.h"
#include "render/accelerators/grade_tables.h"
#include "render/formula/pixel_composition-inl.h"
#include "render/formula/pixel_steps-inl.h"
#include "render/frame/float_pixel_layout.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/lane_fallbacks.h"
#include "render/lanes/lane_grade-inl.h"
#include "render/lanes/lane_kernels.h"
#include "render/lanes/lane_operations-inl.h"
#include "render/lanes/lane_pixels-inl.h"
#include "render/lanes/lane_powers-inl.h"
#include "render/lanes/lane_window-inl.h"
#include "render/lanes/power_fallback_tally.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

#if defined(ZONARA_LANE_DRIVERS_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_LANE_DRIVERS_INL_H_
#undef ZONARA_LANE_DRIVERS_INL_H_
#else
#define ZONARA_LANE_DRIVERS_INL_H_
#endif

ZONARA_BEGIN_LEVEL

// A group of float pixels at layer positions (x0, y) on, in either channel
// order.
template <ChannelOrder ORDER>
LANE_INLINE void RenderLanes(const Frame &frame, std::int64_t x0, std::int64_t y,
                             const typename FloatPixelLayout<ORDER>::Pixel *in,
                             typename FloatPixelLayout<ORDER>::Pixel *out, int count, PowerTally &tally) {
    const WindowRenderParams &r = *frame.record;
    const Pixels pixels = Load<ORDER>(in, count);
    Colours source = pixels.colours;
    ClampSourceBlack(r, source);
    const VI valid = ValidLanes(count);
    const Colours result =
        GradePixelFrom(LanePath{&frame, &tally, frame.graded}, r, source, valid, [&]() ZONARA_LAMBDA_INLINE {
            return frame.weight_matters ? Weight(r, x0, y, valid, frame.window_scale) : Splat<VF>(1.0f);
        });
    Store<ORDER>(result, pixels.alpha, out, count);
}

// The codes of one side's lanes from its tables: its output codes, or its
// graded values finished and encoded.
LANE_INLINE CodeLanes SideCodes(const WindowRenderParams &r, const GradeTables &t, int side, const CodeLanes &in,
                                VI active) {
    const int count = t.code_count;
    if (t.kind[side] == SideTableKind::OUTPUT_CODES) {
        if (t.codes_unchanged[side]) return in;
        const std::uint16_t *codes = t.output_codes[side];
        return {GatherCodes(codes, in.red), GatherCodes(codes + count, in.green),
                GatherCodes(codes + 2 * count, in.blue)};
    }
    const float full_scale = static_cast<float>(count - 1);
    const float *values = t.graded_values[side];
    Colours finished{GatherFloats(values, in.red), GatherFloats(values + count, in.green),
                     GatherFloats(values + 2 * count, in.blue)};
    FinishSide<LanePath>(
        r, r.side_grade[side], [&]() ZONARA_LAMBDA_INLINE { return DecodeCodes(in, count); }, finished, active);
    return {EncodeCodes(finished.red, full_scale), EncodeCodes(finished.green, full_scale),
            EncodeCodes(finished.blue, full_scale)};
}

Frame FrameOf(const WindowRenderParams &record, const ConstantPowers *powers, bool every_power_falls_back) {
    Frame frame;
    frame.record = &record;
    frame.powers = powers;
    frame.window_scale = every_power_falls_back ? __builtin_inf() : KEEP_WINDOW_OVER_BOUND;
    frame.legacy = record.color_model == COLOR_MODEL_LEGACY;
    frame.graded = FrameGrades(record);
    frame.weight_matters = record.weight_matters;
    return frame;
}

// A run of integer pixels: the lanes at weight 0 or 1 from the side's
// tables, the feather band's through the float pipeline on decoded codes.
// Returns the lanes left to the plain path.
template <PixelFormat LAYOUT>
std::uint32_t RenderRun(const WindowRenderParams &r, const GradeTables &t, std::int64_t x0, std::int64_t y, int count,
                        const unsigned char *source, unsigned char *rendered) {
    static_assert(CODE_RUN_PIXELS % LANES == 0, "a run is whole vectors");
    constexpr int PIXEL_BYTES = LAYOUT == PixelFormat::ARGB16 ? 8 : 4;
    const int max_code = t.code_count - 1;
    const float full_scale = static_cast<float>(max_code);
    // Integer frames take their tables per code, not the powers'.
    const Frame frame = FrameOf(r, nullptr, false);
    PowerTally tally;
    std::uint32_t scalar_lanes = 0;
    for (int start = 0; start < count; start += LANES) {
        const PixelWords words = LoadWords<LAYOUT>(source + start * PIXEL_BYTES);
        CodeLanes in = CodesOfWords<LAYOUT>(words);
        const VI valid = ValidLanes(count - start);
        // Damaged 16-bit buffers may hold codes beyond full scale, which
        // index no table.
        const VI in_tables = valid & (in.red <= max_code) & (in.green <= max_code) & (in.blue <= max_code);
        const SideLanes sides = SidesOf(r, x0 + start, y);
        const VI inside = sides.inside & in_tables;
        const VI outside = sides.outside & in_tables;
        const VI band = in_tables & ~(sides.inside | sides.outside);
        scalar_lanes |= LaneBits(valid & ~in_tables) << start;
        in = {in_tables ? in.red : VI{}, in_tables ? in.green : VI{}, in_tables ? in.blue : VI{}};
        CodeLanes out = in;
        if (AnyLane(inside)) out = SideCodes(r, t, SIDE_INSIDE, in, inside);
        if (AnyLane(outside)) {
            const CodeLanes other = SideCodes(r, t, SIDE_OUTSIDE, in, outside);
            out = {outside ? other.red : out.red, outside ? other.green : out.green, outside ? other.blue : out.blue};
        }
        if (AnyLane(band)) {
            const Colours result = GradePixelFrom(
                LanePath{&frame, &tally, frame.graded}, r, DecodeCodes(in, t.code_count), band,
                [&]() ZONARA_LAMBDA_INLINE { return Weight(r, x0 + start, y, band, frame.window_scale); });
            out = {band ? EncodeCodes(result.red, full_scale) : out.red,
                   band ? EncodeCodes(result.green, full_scale) : out.green,
                   band ? EncodeCodes(result.blue, full_scale) : out.blue};
        }
        StoreWords<LAYOUT>(WordsOfCodes<LAYOUT>(words, out), rendered + start * PIXEL_BYTES);
    }
    return scalar_lanes;
}

ZONARA_END_LEVEL

#endif  // ZONARA_LANE_DRIVERS_INL_H_
