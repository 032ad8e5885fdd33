#include "render/drivers/render_float_frame.h"

#include <new>

#include "render/lanes/lane_kernels.h"
#include "render/drivers/render_float_pixel.h"

namespace zonara {

void RenderFloatFrame(const WindowRenderParams &record, const FloatRowSpan &span, SimdLevel level,
                      const FloatFrameProbe &probe) {
    // A frame that grades nothing (both sides at identity, Mix 0, an unknown
    // colour model) only copies and clamps. There the kernel's shuffles beat
    // the pixel loop at AVX-512 only (measured: 23 against 34 ms a 4K frame;
    // 50 and 55 ms at AVX2 and baseline); where powers and saturation run,
    // which is exactly where the weight matters, the kernel pays at AVX2 and
    // AVX-512.
    const bool kernel_pays = record.weight_matters || level == SimdLevel::AVX512;
    const FloatRowKernel kernel = kernel_pays ? LaneKernelsAt(level).float_rows : nullptr;
    if (kernel == nullptr) {
        WalkFloatRows(span, [&record](A_long x, A_long y, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out) {
            RenderFloatPixel(record, x, y, in, out);
        });
        return;
    }
    PowerTally tally;
    kernel(record, span, probe.every_power_falls_back, tally);
    if (probe.tally != nullptr) {
        probe.tally->powers += tally.powers;
        probe.tally->fallbacks += tally.fallbacks;
    }
}

void AttachConstantPowers(WindowRenderParams &record, SimdLevel level, std::unique_ptr<ConstantPowers> &storage) {
    record.constant_powers = nullptr;
    if (level == SimdLevel::SCALAR || !record.weight_matters) return;
    try {
        storage = std::make_unique<ConstantPowers>();
    } catch (const std::bad_alloc &) {
        return;
    }
    BuildConstantPowers(record, *storage);
    record.constant_powers = storage.get();
}

}  // namespace zonara
