// The editing host's 32-bit float frames, rendered by the effect's own row
// loop at the instruction-set level the frame may use.
#pragma once

#include "render/iterate_float_rows.h"
#include "render/simd_level.h"
#include "render/window_render_params.h"

namespace zonara {

// Every pixel of span, as RenderFloatPixel renders it, at level: SCALAR walks
// the pixels one by one, the others run the level's vector kernel where the
// frame grades anything. The level must be one the processor has
// (FrameSimdLevel).
void RenderFloatFrame(const WindowRenderParams &record, const FloatRowSpan &span, SimdLevel level);

}  // namespace zonara
