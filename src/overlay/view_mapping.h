// Moving points between layer coordinates and the frame coordinates of the
// host's view, through the host's event callbacks. In the composition view a
// layer point passes through composition coordinates; in the layer view it
// goes straight to the frame.
#pragma once

#include "overlay/overlay_types.h"
#include "pf_sdk.h"

namespace zonara {

// Converts point in place; returns the code of the last host callback. The
// codes are not examined by the overlay: a point the host failed to convert
// keeps whatever the host left in it.
PF_Err LayerPointToFrame(const PF_InData *in_data, const PF_EventExtra *extra, PF_FixedPoint *point);

// The rectangle's four corners in frame coordinates, unrotated, in
// CornerQuad order.
CornerQuad RectToFrameCorners(const PF_InData *in_data, const PF_EventExtra *extra, const FixedRect &rect);

// The mouse (whole frame pixels) in 16.16 layer coordinates, one form per
// view, sharing one signature so that a drag can be handed either.
PF_FixedPoint FrameToLayerCompView(const PF_InData *in_data, const PF_EventExtra *extra, PF_Point frame_point);
PF_FixedPoint FrameToLayerLayerView(const PF_InData *in_data, const PF_EventExtra *extra, PF_Point frame_point);

using FrameToLayerFunc = PF_FixedPoint (*)(const PF_InData *, const PF_EventExtra *, PF_Point);

}  // namespace zonara
