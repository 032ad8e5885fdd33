#include "shell/command_dispatch.h"

#include "overlay/overlay_event.h"
#include "params/params_setup.h"
#include "render/render_frame.h"
#include "render/smart_render.h"
#include "shell/about.h"
#include "shell/global_setup.h"

namespace zonara {

PF_Err DispatchCommand(PF_Cmd cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *output,
                       void *extra) {
    switch (cmd) {
    case PF_Cmd_ABOUT:
        return About(in_data, out_data);
    case PF_Cmd_GLOBAL_SETUP:
        return GlobalSetup(in_data, out_data);
    case PF_Cmd_PARAMS_SETUP:
        return ParamsSetup(in_data, out_data);
    case PF_Cmd_RENDER:
        return RenderFrame(in_data, out_data, params, output);
    case PF_Cmd_SMART_PRE_RENDER:
        return SmartPreRender(in_data, out_data, static_cast<PF_PreRenderExtra *>(extra));
    case PF_Cmd_SMART_RENDER:
        return SmartRender(in_data, out_data, static_cast<PF_SmartRenderExtra *>(extra));
    case PF_Cmd_EVENT:
        return HandleOverlayEvent(in_data, out_data, params, output, static_cast<PF_EventExtra *>(extra));
    default:
        // Set-down, sequence and UI-update commands need nothing from an
        // effect that keeps no state.
        return PF_Err_NONE;
    }
}

}  // namespace zonara
