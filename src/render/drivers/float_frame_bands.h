// Frames the effect walks itself shared out over the host's threads: the
// rows are cut into bands, and the 8-bit iterate suite's generic iteration
// renders one band per call wherever the host has a thread free. Every band
// is rendered exactly as the whole frame would be, so how the host shares
// them out never changes a bit.
#pragma once

#include "pf_sdk.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/plan/frame_plan.h"

namespace zonara {

// Renders every pixel of span as RenderFloatFrame does with the plan's
// kernel. Through iterate8's generic iteration when the plan cut the frame
// into bands and the host offers it; any band the host did not get to (a
// refused or failed call) is rendered on the calling thread afterwards, and
// none is rendered twice, so buffers rendered in place stay right.
void RenderFloatFrameInBands(const FramePlan &plan, const FloatRowSpan &span, const PF_Iterate8Suite1 *iterate8);

// Renders the rows of a span (any pixel format) along the frame's plan.
using RowsRenderer = void (*)(const FramePlan &plan, const FloatRowSpan &rows);

// The rows of span through render_rows, in bands through iterate8's generic
// iteration where it is given and the frame is tall enough, as above.
void RenderRowsInBands(const FramePlan &plan, const FloatRowSpan &span, const PF_Iterate8Suite1 *iterate8,
                       RowsRenderer render_rows);

}  // namespace zonara
