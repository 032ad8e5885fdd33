#include "render/render_float_frame.h"

#include "render/lane_kernels.h"
#include "render/power_fallback_tally.h"
#include "render/render_float_pixel.h"

namespace zonara {
namespace {

FloatRowKernel KernelFor(SimdLevel level) {
    switch (level) {
    case SimdLevel::SCALAR: return nullptr;
    case SimdLevel::BASELINE: return &lanes_baseline::RenderFloatRows;
    case SimdLevel::AVX2: return &lanes_avx2::RenderFloatRows;
    case SimdLevel::AVX512: return &lanes_avx512::RenderFloatRows;
    }
    return nullptr;
}

}  // namespace

void RenderFloatFrame(const WindowRenderParams &record, const FloatRowSpan &span, SimdLevel level) {
    const FloatRowKernel kernel = KernelFor(level);
    if (kernel == nullptr) {
        WalkFloatRows(span, [&record](A_long x, A_long y, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out) {
            RenderFloatPixel(record, x, y, in, out);
        });
        return;
    }
    PowerTally tally;
    kernel(record, span, EveryPowerFallsBack(), tally);
    AddPowerTally(tally);
}

}  // namespace zonara
