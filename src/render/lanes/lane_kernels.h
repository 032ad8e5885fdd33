// The vector kernels, one set per instruction-set level, each built from
// lane_kernel-inl.h with its own compiler flags: float rows, runs of integer
// pixels, and the powers on their own for testing. Call a level only when
// FrameSimdLevel allows it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/frame/float_row_span.h"
#include "render/frame/pixel_format.h"
#include "render/frame/pixel_stage.h"
#include "render/frame/simd_level.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/power_fallback_tally.h"

namespace zonara {

struct GradeTables;
struct ConstantPowers;

// Pixels a run renders at most.
constexpr int CODE_RUN_PIXELS = 32;

// Renders the run of count pixels at (x0, y) ... (x0 + count - 1, y) from
// the frame's tables (which the record points to) as the integer pixel
// callbacks would, bit for bit. source and rendered hold CODE_RUN_PIXELS
// pixels of an integer format (past count their contents do not matter).
// Returns the lanes (bit i for pixel i) not rendered, whose codes lie beyond
// the tables and which must take the plain per-pixel path.
using PixelRunKernel = std::uint32_t (*)(const WindowRenderParams &record, const GradeTables &tables,
                                         PixelFormat layout, std::int64_t x0, std::int64_t y, int count,
                                         const unsigned char *source, unsigned char *rendered);

// Renders every pixel of span as one pixel is rendered, bit for bit, and
// adds the powers taken and the lanes that fell back to tally. From the
// stage: the record, the fixed-exponent power tables (or null to take the
// general power everywhere), where the span's pixel (0, 0) lies in the
// layer and the pixels' channel order. every_power_falls_back: see
// FloatFrameProbe.
using FloatRowKernel = void (*)(const PixelStage &stage, const FloatRowSpan &span, bool every_power_falls_back,
                                PowerTally &tally);

// The kernel's power on its own, for testing its error bound: result[i] is
// the kernel's approximation of base[i] ^ exponent[i] and bound[i] the
// relative error it guarantees, or 0 where the kernel would not trust
// itself and falls back to the host's power.
using PowerBlock = void (*)(const double *base, const double *exponent, double *result, double *bound,
                            std::size_t count);

// The kernel's fixed-exponent power on its own, likewise, for the tables of
// one channel of one side.
using ConstantPowerBlock = void (*)(const ConstantPowers &powers, int channel, int side, const float *base,
                                    double *result, double *bound, std::size_t count);

// The feather band's curves with powers on their own, for testing their
// rounding windows: result[i] is the kernel's single-precision falloff of
// t[i], kept[i] 1 where the kernel keeps it and 0 where the lane takes the
// scalar function instead.
using FalloffBlock = void (*)(std::int32_t falloff, const float *t, float *result, std::uint8_t *kept,
                              std::size_t count);

namespace lanes_baseline {
void ConstantPowerOfBlock(const ConstantPowers &, int, int, const float *, double *, double *, std::size_t);
void RenderFloatRows(const PixelStage &, const FloatRowSpan &, bool, PowerTally &);
std::uint32_t RenderPixelRun(const WindowRenderParams &, const GradeTables &, PixelFormat, std::int64_t, std::int64_t,
                             int, const unsigned char *, unsigned char *);
void PowerOfBlock(const double *, const double *, double *, double *, std::size_t);
void FalloffOfBlock(std::int32_t, const float *, float *, std::uint8_t *, std::size_t);
}  // namespace lanes_baseline
namespace lanes_avx2 {
void ConstantPowerOfBlock(const ConstantPowers &, int, int, const float *, double *, double *, std::size_t);
void RenderFloatRows(const PixelStage &, const FloatRowSpan &, bool, PowerTally &);
std::uint32_t RenderPixelRun(const WindowRenderParams &, const GradeTables &, PixelFormat, std::int64_t, std::int64_t,
                             int, const unsigned char *, unsigned char *);
void PowerOfBlock(const double *, const double *, double *, double *, std::size_t);
void FalloffOfBlock(std::int32_t, const float *, float *, std::uint8_t *, std::size_t);
}  // namespace lanes_avx2
namespace lanes_avx512 {
void ConstantPowerOfBlock(const ConstantPowers &, int, int, const float *, double *, double *, std::size_t);
void RenderFloatRows(const PixelStage &, const FloatRowSpan &, bool, PowerTally &);
std::uint32_t RenderPixelRun(const WindowRenderParams &, const GradeTables &, PixelFormat, std::int64_t, std::int64_t,
                             int, const unsigned char *, unsigned char *);
void PowerOfBlock(const double *, const double *, double *, double *, std::size_t);
void FalloffOfBlock(std::int32_t, const float *, float *, std::uint8_t *, std::size_t);
}  // namespace lanes_avx512

// The kernels of an instruction-set level; null at SCALAR.
struct LaneKernels {
    FloatRowKernel float_rows;
    PixelRunKernel pixel_run;
};
LaneKernels LaneKernelsAt(SimdLevel level);

}  // namespace zonara
