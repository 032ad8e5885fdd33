// The pixel pipeline, ZONARA_LANES pixels at a time, for the float row loop
// and for runs of integer pixels: the steps and their order that one pixel
// takes too (formula/pixel_steps-inl.h, formula/pixel_composition-inl.h),
// instantiated for this level's vectors, so each lane's bits are one
// pixel's. Branches on the pixel become selects;
// the rare lanes whose work the vectors cannot do exactly (feather band
// weights, powers the kernel cannot vouch for, hues outside 0..7, integer
// codes beyond full scale) are handed one by one to the scalar functions.
//
// Included once per instruction-set level by lane_kernel_<level>.cpp, each
// compiled with its own flags, which defines ZONARA_LANES and
// ZONARA_LANE_NAMESPACE first. Its pieces (lanes/*-inl.h and
// formula/pixel_steps-inl.h) each include what they use and open the level's
// namespace themselves (level_namespace-inl.h). Everything they define has
// internal linkage, and only this file's entry points below are the level's
// own external functions; nothing calls an inline function of another
// header: an inline function compiled here for AVX-512 could be the copy the
// linker keeps for the whole module (a test checks the level objects define
// no shared symbol of that kind).
//
// Written with the compiler's generic vectors, which it lowers to the
// registers the level's flags allow; intrinsics only gather a mask's lanes
// into bits (LaneBits), look tables up (the gathers) and take square roots.

#include <cstddef>
#include <cstdint>

#include "pf_sdk.h"
#include "render/accelerators/constant_powers.h"
#include "render/accelerators/grade_tables.h"
#include "render/frame/float_pixel_layout.h"
#include "render/frame/float_row_span.h"
#include "render/frame/pixel_stage.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/lane_drivers-inl.h"
#include "render/lanes/lane_grade-inl.h"
#include "render/lanes/lane_kernels.h"
#include "render/lanes/lane_operations-inl.h"
#include "render/lanes/lane_powers-inl.h"
#include "render/lanes/lane_window-inl.h"
#include "render/lanes/power_fallback_tally.h"

// Last: the level namespace of the copy being compiled, after every header
// that may open another copy.
#include "render/formula/level_namespace-inl.h"

#if defined(ZONARA_LANE_KERNEL_INL_H_) == defined(ZONARA_LEVEL_TOGGLE)
#ifdef ZONARA_LANE_KERNEL_INL_H_
#undef ZONARA_LANE_KERNEL_INL_H_
#else
#define ZONARA_LANE_KERNEL_INL_H_
#endif

// The level's entry points, declared in lane_kernels.h.
namespace zonara::ZONARA_LANE_NAMESPACE {

namespace {

// The rows in one channel order: the layer positions of a group's first
// pixel are summed once a group, from the world's integer columns. Of this
// level alone, as every piece's functions are.
template <ChannelOrder ORDER>
void RenderFloatRowsIn(const Frame &frame, WorldOrigin origin, const FloatRowSpan &span, PowerTally &tally) {
    using Pixel = typename FloatPixelLayout<ORDER>::Pixel;
    const std::int64_t left = origin.left;
    for (std::int64_t y = span.first; y < span.end; ++y) {
        // Signed row distances, so bottom-up buffers work.
        const auto *in = reinterpret_cast<const Pixel *>(span.source_base + y * span.source_rowbytes);
        auto *out = reinterpret_cast<Pixel *>(span.destination_base + y * span.destination_rowbytes);
        const std::int64_t layer_y = origin.top + y;
        for (std::int64_t x = 0; x < span.columns; x += LANES) {
            const std::int64_t left_in_row = span.columns - x;
            const int count = left_in_row < LANES ? static_cast<int>(left_in_row) : LANES;
            RenderLanes<ORDER>(frame, left + x, layer_y, in + x, out + x, count, tally);
        }
    }
}

}  // namespace

void RenderFloatRows(const PixelStage &stage, const FloatRowSpan &span, bool every_power_falls_back,
                     PowerTally &tally) {
    const Frame frame = FrameOf(*stage.record, stage.constant_powers, every_power_falls_back);
    if (stage.float_order == ChannelOrder::ARGB) {
        RenderFloatRowsIn<ChannelOrder::ARGB>(frame, stage.origin, span, tally);
    } else {
        RenderFloatRowsIn<ChannelOrder::BGRA>(frame, stage.origin, span, tally);
    }
}

std::uint32_t RenderPixelRun(const WindowRenderParams &record, const GradeTables &tables, PixelFormat layout,
                             std::int64_t x0, std::int64_t y, int count, const unsigned char *source,
                             unsigned char *rendered) {
    switch (layout) {
    case PixelFormat::ARGB8:
        return RenderRun<PixelFormat::ARGB8>(record, tables, x0, y, count, source, rendered);
    case PixelFormat::BGRA8:
        return RenderRun<PixelFormat::BGRA8>(record, tables, x0, y, count, source, rendered);
    case PixelFormat::ARGB16:
        return RenderRun<PixelFormat::ARGB16>(record, tables, x0, y, count, source, rendered);
    // Float frames are walked in rows, never in runs of codes.
    case PixelFormat::BGRA32F:
    case PixelFormat::ARGB32F:
        break;
    }
    return (count >= 32 ? 0u : (1u << count)) - 1u;
}

void PowerOfBlock(const double *base, const double *exponent, double *result, double *bound, std::size_t count) {
    for (std::size_t start = 0; start < count; start += HALF) {
        const std::size_t left = count - start;
        const int n = left < static_cast<std::size_t>(HALF) ? static_cast<int>(left) : HALF;
        VD x = Splat<VD>(1.0), y = VD{};
        for (int i = 0; i < n; ++i) {
            x[i] = base[start + i];
            y[i] = exponent[start + i];
        }
        const PowerLanes power = Power(x, y);
        const VD error_bound = power.bound;
        for (int i = 0; i < n; ++i) {
            result[start + i] = power.value[i];
            bound[start + i] = power.trusted[i] != 0 ? error_bound[i] : 0.0;
        }
    }
}

template <int PART>
void StoreFalloffs(const FalloffHalf &half, std::size_t start, std::size_t count, float *result, std::uint8_t *kept) {
    for (int i = 0; i < HALF; ++i) {
        const std::size_t at = start + PART * HALF + static_cast<std::size_t>(i);
        if (at >= count) return;
        result[at] = half.single[i];
        kept[at] = half.keep[i] != 0 ? 1 : 0;
    }
}

void FalloffOfBlock(std::int32_t falloff, const float *t, float *result, std::uint8_t *kept, std::size_t count) {
    for (std::size_t start = 0; start < count; start += LANES) {
        VF x{};
        for (std::size_t i = start; i < count && i < start + LANES; ++i) x[i - start] = t[i];
        StoreFalloffs<0>(PowerFalloffHalf<0>(falloff, x, KEEP_WINDOW_OVER_BOUND), start, count, result, kept);
        StoreFalloffs<1>(PowerFalloffHalf<1>(falloff, x, KEEP_WINDOW_OVER_BOUND), start, count, result, kept);
    }
}

template <int PART>
void StoreConstantPowers(const ConstantPowers &powers, int channel, const TableLookups &lookups, std::size_t start,
                         std::size_t count, double *result, double *bound) {
    const PowerLanes power = ConstantPower<PART>(powers, channel, lookups);
    for (int i = 0; i < HALF; ++i) {
        const std::size_t at = start + PART * HALF + static_cast<std::size_t>(i);
        if (at >= count) return;
        result[at] = power.value[i];
        bound[at] = power.trusted[i] != 0 ? power.bound[i] : 0.0;
    }
}

void ConstantPowerOfBlock(const ConstantPowers &powers, int channel, int side, const float *base, double *result,
                          double *bound, std::size_t count) {
    const VI inside = MaskOf(side == SIDE_INSIDE);
    const VI eligible = MaskOf(powers.usable[channel][side]);
    for (std::size_t start = 0; start < count; start += LANES) {
        VF x = Splat<VF>(1.0f);
        for (std::size_t i = start; i < count && i < start + LANES; ++i) x[i - start] = base[i];
        const TableLookups lookups = LookUpTables(x, inside, eligible);
        StoreConstantPowers<0>(powers, channel, lookups, start, count, result, bound);
        StoreConstantPowers<1>(powers, channel, lookups, start, count, result, bound);
    }
}

}  // namespace zonara::ZONARA_LANE_NAMESPACE

#endif  // ZONARA_LANE_KERNEL_INL_H_
