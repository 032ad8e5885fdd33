// The editing host's 32-bit float frames, rendered by the effect's own row
// loop at the instruction-set level the frame may use.
#pragma once

#include <memory>

#include "render/accelerators/constant_powers.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/lanes/power_fallback_tally.h"
#include "render/frame/simd_level.h"
#include "render/frame/window_render_params.h"

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

// Builds the fixed-exponent power tables of a frame the kernel of level will
// grade into storage and points the record at them; a frame without them
// renders the same bits, more slowly. Tables are an accelerator only: if
// their memory cannot be had, the record is left without them.
void AttachConstantPowers(WindowRenderParams &record, SimdLevel level, std::unique_ptr<ConstantPowers> &storage);

}  // namespace zonara
