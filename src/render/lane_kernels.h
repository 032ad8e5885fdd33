// The float row loop's vector kernels, one per instruction-set level, each
// built from lane_kernel.inc with its own compiler flags. Call a level only
// when FrameSimdLevel allows it.
#pragma once

#include <cstddef>

#include "render/iterate_float_rows.h"
#include "render/power_fallback_tally.h"
#include "render/window_render_params.h"

namespace zonara {

// Renders every pixel of span as RenderFloatPixel would, bit for bit, and
// adds the powers taken and the lanes that fell back to tally.
// every_power_falls_back: see FloatFrameProbe.
using FloatRowKernel = void (*)(const WindowRenderParams &record, const FloatRowSpan &span,
                                bool every_power_falls_back, PowerTally &tally);

// The kernel's power on its own, for testing its error bound: result[i] is
// the kernel's approximation of base[i] ^ exponent[i] and bound[i] the
// relative error it guarantees, or 0 where the kernel would not trust
// itself and falls back to the host's power.
using PowerBlock = void (*)(const double *base, const double *exponent, double *result, double *bound,
                            std::size_t count);

namespace lanes_baseline {
void RenderFloatRows(const WindowRenderParams &, const FloatRowSpan &, bool, PowerTally &);
void PowerOfBlock(const double *, const double *, double *, double *, std::size_t);
}  // namespace lanes_baseline
namespace lanes_avx2 {
void RenderFloatRows(const WindowRenderParams &, const FloatRowSpan &, bool, PowerTally &);
void PowerOfBlock(const double *, const double *, double *, double *, std::size_t);
}  // namespace lanes_avx2
namespace lanes_avx512 {
void RenderFloatRows(const WindowRenderParams &, const FloatRowSpan &, bool, PowerTally &);
void PowerOfBlock(const double *, const double *, double *, double *, std::size_t);
}  // namespace lanes_avx512

}  // namespace zonara
