#pragma once

#include "pf_sdk.h"

namespace zonara {

// PF_Cmd_PARAMS_SETUP: declares parameters 1 to 47 in ParamIndex order,
// registers the overlay for the composition and layer views, and sets
// num_params to PARAM_COUNT.
PF_Err ParamsSetup(const PF_InData *in_data, PF_OutData *out_data);

}  // namespace zonara
