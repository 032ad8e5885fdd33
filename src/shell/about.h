#pragma once

#include "pf_sdk.h"

namespace zonara {

// PF_Cmd_ABOUT: writes "<name> v<major>.<minor>\r<description>" into
// return_msg with the host's ANSI suite.
PF_Err About(const PF_InData *in_data, PF_OutData *out_data);

}  // namespace zonara
