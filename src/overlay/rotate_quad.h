// Turning the window's corners by the window angle, in frame coordinates
// about the frame-space centre.
#pragma once

#include "overlay/overlay_types.h"
#include "pf_sdk.h"

namespace zonara {

// Rotates the four points in place by angle radians (clockwise on screen
// for a positive angle). After Effects computes in double precision with the
// host's own sin and cos ("PF ANSI Suite", acquired for this call); Premiere
// Pro in single precision with the standard library's. Each result is
// truncated toward zero into 16.16.
void RotateQuad(const PF_InData *in_data, CornerQuad *quad, PF_FixedPoint centre, float angle);

}  // namespace zonara
