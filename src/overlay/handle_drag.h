// Turning a drag of a handle into new values of the parameters it controls.
#pragma once

#include "overlay/view_mapping.h"
#include "pf_sdk.h"

namespace zonara {

// For the handle stored by the click (element 0 of continue_refcon) writes
// the new parameter values into params and marks them changed; the event is
// then marked handled. A drag in another view, or without a handle, does
// nothing. Returns 0.
PF_Err HandleDrag(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *output,
                  PF_EventExtra *extra);

// The drag itself, with the mouse converted to layer coordinates by
// frame_to_layer. Asks for further drags, and on the gesture's last event
// forgets the handle and stops asking. Returns true.
bool ApplyHandleDrag(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], FrameToLayerFunc frame_to_layer,
                     PF_EventExtra *extra);

}  // namespace zonara
