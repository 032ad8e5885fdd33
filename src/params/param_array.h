// Whether the host passed a whole parameter array: every handler that reads
// values checks this once, so a damaged call is answered with an error code
// instead of a crash.
#pragma once

#include "params/param_index.h"
#include "pf_sdk.h"

namespace zonara {

inline bool ParamArrayComplete(PF_ParamDef *const params[]) {
    if (params == nullptr) return false;
    for (int index = 0; index < PARAM_COUNT; ++index) {
        if (params[index] == nullptr) return false;
    }
    return true;
}

}  // namespace zonara
