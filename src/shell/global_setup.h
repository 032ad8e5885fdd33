#pragma once

#include "pf_sdk.h"

namespace zonara {

// PF_Cmd_GLOBAL_SETUP: declares the effect's version and capability flags
// and, in the editing host, the pixel formats it renders.
PF_Err GlobalSetup(const PF_InData *in_data, PF_OutData *out_data);

}  // namespace zonara
