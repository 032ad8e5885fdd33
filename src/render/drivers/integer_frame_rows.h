// Integer frames the effect walks itself, row by row, where the host hands
// over whole worlds rather than calling the effect once a pixel (the smart
// commands): each row in runs through the plan's run kernel, or pixel by
// pixel through the plan's plain path, in bands on the host's threads where
// it offers them. Every pixel gets the bits the iterate-suite walk gives it.
#pragma once

#include "pf_sdk.h"
#include "render/plan/frame_plan.h"

namespace zonara {

// Renders rows 0 to `rows` of output from source, both of the plan's
// integer format, within what both buffers hold.
void RenderIntegerFrameInRows(const FramePlan &plan, const PF_LayerDef &source, PF_LayerDef &output, A_long rows,
                              const PF_Iterate8Suite1 *iterate8);

}  // namespace zonara
