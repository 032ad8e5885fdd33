// The handler of PF_Cmd_RENDER.
#pragma once

#include "pf_sdk.h"

namespace zonara {

// Renders the input layer (params[PARAM_INPUT]) into output: After Effects
// through the host's 8-bit or 16-bit iterate suite by the output's deep flag,
// Premiere Pro by the output's pixel format. Returns the command's result;
// throws PF_Err_BAD_CALLBACK_PARAM (through HostSuites) when a suite it
// cannot do without is missing.
PF_Err RenderFrame(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *output);

}  // namespace zonara
