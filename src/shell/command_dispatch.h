#pragma once

#include "pf_sdk.h"

namespace zonara {

// Routes one host command to its handler and returns the handler's result.
// Commands without a handler are answered with PF_Err_NONE and nothing done.
// in_data and out_data are never null here. May throw; the entry point
// maps exceptions to results.
PF_Err DispatchCommand(PF_Cmd cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *output,
                       void *extra);

}  // namespace zonara
