// Where the ten handles lie in the host's view. Drawing and hit testing both
// start from here, so a handle is found where it is drawn.
#pragma once

#include "overlay/overlay_types.h"
#include "pf_sdk.h"

namespace zonara {

// The angle handle in layer coordinates: height / 5 square pixels from the
// origin along the window's upward axis. The horizontal offset is divided by
// the pixel aspect ratio so the distance is the same in square pixels at
// every angle.
PF_FixedPoint AngleHandleLayerPoint(const PF_InData *in_data, PF_FixedPoint origin, float angle);

// The outer and inner CornerQuads in frame coordinates, turned by the window
// angle about the frame-space centre.
struct FrameCorners {
    PF_FixedPoint centre;
    CornerQuad outer;
    CornerQuad inner;
};
FrameCorners ComputeFrameCorners(const PF_InData *in_data, PF_ParamDef *params[], const PF_EventExtra *extra);

// All ten handle positions, whole frame pixels.
HandlePoints ComputeHandlePoints(const PF_InData *in_data, PF_ParamDef *params[], const PF_EventExtra *extra);

}  // namespace zonara
