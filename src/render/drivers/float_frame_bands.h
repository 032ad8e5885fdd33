// The editing host's float frames shared out over the host's threads: the
// rows are cut into bands, and the 8-bit iterate suite's generic iteration
// renders one band per call wherever the host has a thread free. Every band
// is rendered exactly as the whole frame would be, so how the host shares
// them out never changes a bit.
#pragma once

#include "pf_sdk.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/frame/simd_level.h"
#include "render/frame/window_render_params.h"

namespace zonara {

// Rows a band holds at least: enough that a call's overhead is lost in its
// work, few enough that two threads finish a 4K frame at about the same time.
constexpr std::int64_t FLOAT_BAND_ROWS = 16;
// Bands a frame is cut into at most; a taller frame gets taller bands.
constexpr std::int64_t MAX_FLOAT_BANDS = 512;

// Renders every pixel of span as RenderFloatFrame does. Through iterate8's
// generic iteration when the host offers it and the frame has more than one
// band; any band the host did not get to (a refused or failed call) is
// rendered on the calling thread afterwards, and none is rendered twice, so
// buffers rendered in place stay right.
void RenderFloatFrameInBands(const WindowRenderParams &record, const FloatRowSpan &span, SimdLevel level,
                             const PF_Iterate8Suite1 *iterate8);

}  // namespace zonara
