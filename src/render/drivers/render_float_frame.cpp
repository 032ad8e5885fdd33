#include "render/drivers/render_float_frame.h"

#include "render/drivers/render_float_pixel.h"
#include "render/lanes/lane_kernels.h"

namespace zonara {

void RenderFloatFrame(const PixelStage &stage, FloatRowKernel kernel, const FloatRowSpan &span,
                      const FloatFrameProbe &probe) {
    const WindowRenderParams &record = *stage.record;
    if (kernel == nullptr) {
        WalkFloatRows(span, [&record](A_long x, A_long y, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out) {
            RenderFloatPixel(record, x, y, in, out);
        });
        return;
    }
    PowerTally tally;
    kernel(record, stage.constant_powers, span, probe.every_power_falls_back, tally);
    if (probe.tally != nullptr) {
        probe.tally->powers += tally.powers;
        probe.tally->fallbacks += tally.fallbacks;
    }
}

}  // namespace zonara
