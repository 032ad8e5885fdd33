// Where the ten handles lie in the host's view. Drawing and hit testing both
// start from here, so a handle is found where it is drawn.
#pragma once

#include <array>

#include "overlay/overlay_types.h"
#include "pf_sdk.h"

namespace zonara {

// The angle handle in layer coordinates: height / 5 square pixels from the
// origin along the window's upward axis. The horizontal offset is divided by
// the pixel aspect ratio so the distance is the same in square pixels at
// every angle.
PF_FixedPoint AngleHandleLayerPoint(const PF_InData *in_data, PF_FixedPoint origin, float angle);

// The outer and inner CornerQuads in frame coordinates, turned by the window
// angle about the frame-space centre, and the feather handles: the middles
// of the inner edges (left, right, top, bottom), 16.16.
//
// A middle is taken from the edge's true ends and only then held at the
// 16.16 range: halfway between ends already held would put the handle of a
// window reaching past the range well off its edge's centre. Where the host
// held an end, the host converts the edge's middle itself instead, for the
// end's true position is lost. `feather_ends_held` says where an end was
// held (by the host or by the turn), so that the handle is not halfway
// between the inner corners as they stand.
inline constexpr int FEATHER_HANDLE_COUNT = 4;
enum FeatherHandle : int { FEATHER_LEFT = 0, FEATHER_RIGHT = 1, FEATHER_TOP = 2, FEATHER_BOTTOM = 3 };
struct FrameCorners {
    PF_FixedPoint centre;
    CornerQuad outer;
    CornerQuad inner;
    std::array<PF_FixedPoint, FEATHER_HANDLE_COUNT> feather;
    std::array<bool, FEATHER_HANDLE_COUNT> feather_ends_held;
};
FrameCorners ComputeFrameCorners(const PF_InData *in_data, PF_ParamDef *params[], const PF_EventExtra *extra);

// All ten handle positions, whole frame pixels.
HandlePoints ComputeHandlePoints(const PF_InData *in_data, PF_ParamDef *params[], const PF_EventExtra *extra);

}  // namespace zonara
