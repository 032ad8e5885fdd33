// The editing host's 32-bit float frames, rendered by the effect's own row
// loop at the instruction-set level the frame may use.
#pragma once

#include "render/iterate_float_rows.h"
#include "render/power_fallback_tally.h"
#include "render/simd_level.h"
#include "render/window_render_params.h"

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

// Every pixel of span, as RenderFloatPixel renders it, at level: SCALAR walks
// the pixels one by one, the others run the level's vector kernel where the
// frame grades anything. The level must be one the processor has
// (FrameSimdLevel).
void RenderFloatFrame(const WindowRenderParams &record, const FloatRowSpan &span, SimdLevel level,
                      const FloatFrameProbe &probe = {});

}  // namespace zonara
