// The one-pixel functions the vector kernels hand single lanes to: a lane
// whose power the kernel cannot vouch for, or whose hue lies where
// truncation is not the floor; and whether a frame grades at all. Out of
// line and compiled once, for the baseline processor, so that no kernel
// compiled for a wider instruction set shares an inline copy with the rest
// of the effect.
#pragma once

#include "render/frame/window_render_params.h"

namespace zonara {

// GradeChannel for one channel of one pixel whose (possibly blended)
// constants are given.
float GradeChannelLane(const WindowRenderParams &record, float offset, float inv_gamma, float gain, float value);

// The sector of one hue (h6, in sixths of a turn) as one pixel finds it.
float HueSectorLane(float h6);

// GradeEnabled: a known colour model.
bool FrameGrades(const WindowRenderParams &record);

}  // namespace zonara
