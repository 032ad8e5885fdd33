// The module's one export, declared for callers linking the effect directly.
#pragma once

#include "pf_sdk.h"

extern "C" PF_EXPORT PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[],
                                           PF_LayerDef *output, void *extra);
