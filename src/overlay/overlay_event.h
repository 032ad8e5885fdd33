// The overlay's share of PF_Cmd_EVENT: sorting an event into click, drag or
// draw, and finding the handle under a click.
#pragma once

#include "pf_sdk.h"

namespace zonara {

// A click that arrives while a drag is under way (send_drag set) is a drag;
// the rewritten type stays in the host's record. Draw events are drawn, and
// marked handled, in the composition and layer views only. Returns 0, or
// PF_Err_BAD_CALLBACK_PARAM when the host passed no event record.
PF_Err HandleOverlayEvent(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *output,
                          PF_EventExtra *extra);

// Hit-tests the click in the composition and layer views; a hit marks the
// event handled. Returns 0.
PF_Err HandleClick(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *output,
                   PF_EventExtra *extra);

// Takes the first handle, in handle order, whose city-block distance from
// the mouse is below HANDLE_HIT_TOLERANCE: stores it in element 0 of
// continue_refcon and asks for drags. A miss writes nothing. Returns whether
// a handle was taken.
bool HitTestHandles(PF_InData *in_data, PF_ParamDef *params[], PF_EventExtra *extra);

}  // namespace zonara
