// The scalar pixel functions the vector kernels hand single lanes to: a lane
// whose power the kernel cannot vouch for, or whose hue lies where the
// kernel's sector test does not reach. Out of line and compiled once, for
// the baseline processor, so that no kernel compiled for a wider instruction
// set shares an inline copy with the rest of the effect.
#pragma once

#include "render/formula/hsv.h"
#include "render/frame/window_render_params.h"

namespace zonara {

// GradeChannel for one channel of one pixel whose (possibly blended)
// constants are given.
float GradeChannelLane(const WindowRenderParams &record, float offset, float inv_gamma, float gain, float value);

// ScaleSaturation for one pixel.
Rgb ScaleSaturationLane(float red, float green, float blue, float saturation_scale);

}  // namespace zonara
