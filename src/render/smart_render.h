// The handlers of the smart commands, through which a host asks for part of
// a frame, and a compositing host for 32-bit float frames. Pre-render reads
// the parameter values, builds the frame's record and says what the effect
// will produce of the request; render then grades exactly that rectangle
// from the record pre-render left. PF_Cmd_RENDER stays for hosts that do not
// send these commands.
#pragma once

#include "pf_sdk.h"
#include "pf_smart_render.h"

namespace zonara {

// The number by which pre-render checks out the input layer and render asks
// for its pixels again.
inline constexpr A_long INPUT_CHECKOUT_ID = 1;

// Checks out the input for the request and answers the part of it the input
// can give (every pixel is graded from the same pixel alone, so the effect
// produces exactly what it is given), the input's whole extent as the most
// it could ever produce, and the input's solidity. Hangs a copy of the
// frame's record on pre_render_data, which the host then owns. A missing
// record or table is a damaged call; a host refusal is the result as given.
PF_Err SmartPreRender(PF_InData *in_data, PF_OutData *out_data, PF_PreRenderExtra *extra);

// Grades the output world from the input's pixels with the record
// pre-render left, placing both in layer pixels by their origins; refuses
// an input that does not cover the output rather than read outside it, and
// a pixel format it does not know. The input is checked in on every path.
PF_Err SmartRender(PF_InData *in_data, PF_OutData *out_data, PF_SmartRenderExtra *extra);

}  // namespace zonara
