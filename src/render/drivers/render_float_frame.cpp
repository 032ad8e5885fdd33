#include "render/drivers/render_float_frame.h"

#include "render/drivers/render_float_pixel.h"
#include "render/frame/float_pixel_layout.h"
#include "render/lanes/lane_kernels.h"

namespace zonara {

namespace {

// The pixel loop in one channel order. The layer row is summed once a row;
// the column's sum is the loop's own count.
template <ChannelOrder ORDER>
void RenderFloatPixels(const PixelStage &stage, const FloatRowSpan &span) {
    using Pixel = typename FloatPixelLayout<ORDER>::Pixel;
    const WindowRenderParams &record = *stage.record;
    const WorldOrigin origin = stage.origin;
    WalkFloatRows<Pixel>(span, [&record, origin](A_long x, A_long y, Pixel *in, Pixel *out) {
        RenderFloatPixel(record, LayerPosition(origin.left, x), LayerPosition(origin.top, y), in, out);
    });
}

}  // namespace

void RenderFloatFrame(const PixelStage &stage, FloatRowKernel kernel, const FloatRowSpan &span,
                      const FloatFrameProbe &probe) {
    if (kernel == nullptr) {
        if (stage.float_order == ChannelOrder::ARGB) {
            RenderFloatPixels<ChannelOrder::ARGB>(stage, span);
        } else {
            RenderFloatPixels<ChannelOrder::BGRA>(stage, span);
        }
        return;
    }
    PowerTally tally;
    kernel(stage, span, probe.every_power_falls_back, tally);
    if (probe.tally != nullptr) {
        probe.tally->powers += tally.powers;
        probe.tally->fallbacks += tally.fallbacks;
    }
}

}  // namespace zonara
