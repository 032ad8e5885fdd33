// The window's outer (bounding) and inner (feather) rectangles in layer
// coordinates, unrotated, from the current parameter values.
#pragma once

#include "overlay/overlay_types.h"
#include "pf_sdk.h"

namespace zonara {

// Width, Height and Feather are square-pixel units: horizontal lengths are
// scaled into layer pixels by the pixel aspect ratio, vertical ones are not.
// The feather rectangle is the outer one scaled about the centre by
// 1 - 2 x Feather / Width; a Feather above Width / 2 inverts it.
WindowRects ComputeWindowRects(const PF_InData *in_data, PF_ParamDef *params[]);

}  // namespace zonara
