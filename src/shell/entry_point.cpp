// The module's one export: every command from the host arrives here.
#include "shell/entry_point.h"

#include "common/standard_float_mode.h"
#include "shell/command_dispatch.h"
#include "shell/handler_guard.h"

extern "C" PF_EXPORT PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[],
                                           PF_LayerDef *output, void *extra) {
    // Hosts always pass both records; a call without them cannot be answered
    // and must not be dereferenced.
    if (in_data == nullptr || out_data == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    // Every command computes in the standard floating-point mode, whatever
    // mode the host's thread is in, and leaves the thread as it came.
    const zonara::StandardFloatMode standard_mode;
    return zonara::RunHandlerGuarded(
        [&] { return zonara::DispatchCommand(cmd, in_data, out_data, params, output, extra); });
}
