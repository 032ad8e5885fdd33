// 32-bit float frames, in either channel order, rendered by the effect's own
// row loop through the vector kernel the frame's plan chose.
#pragma once

#include "render/drivers/iterate_float_rows.h"
#include "render/frame/pixel_stage.h"
#include "render/lanes/lane_kernels.h"
#include "render/lanes/power_fallback_tally.h"

namespace zonara {

// What a benchmark or a test may ask of a frame beyond its pixels; a host's
// render asks nothing.
struct FloatFrameProbe {
    // Widens the window a vectorised power must clear to infinity, so every
    // lane falls back to the host's power: the fallback path on whole frames.
    bool every_power_falls_back = false;
    // Where to add the frame's power counts; null counts nothing.
    PowerTally *tally = nullptr;
};

// Every pixel of span, as RenderFloatPixel renders it at its layer position
// (the stage's origin added) in the stage's channel order: through the row
// kernel the frame's plan chose, or pixel by pixel where it chose none. The
// kernel must be of a level the processor has (FrameSimdLevel).
void RenderFloatFrame(const PixelStage &stage, FloatRowKernel kernel, const FloatRowSpan &span,
                      const FloatFrameProbe &probe = {});

}  // namespace zonara
