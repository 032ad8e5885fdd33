#include "overlay/overlay_event.h"

#include <cstdint>
#include <cstdlib>

#include "host/host_suites.h"
#include "overlay/draw_overlay.h"
#include "overlay/handle_drag.h"
#include "overlay/handle_points.h"
#include "overlay/overlay_inputs.h"
#include "overlay/overlay_types.h"
#include "params/param_array.h"

namespace zonara {
namespace {

// |difference| in whole pixels. The difference is formed in 64 bits, so that
// a handle far outside the view (its position near the ends of the 32-bit
// range) is far from the mouse rather than wrapping round next to it. After
// Effects takes the absolute value with the host's fabs, truncated back to
// an integer; an answer that is not a number in range counts as far away.
std::int64_t AbsoluteDistance(const PF_ANSICallbacksSuite1 *ansi, std::int64_t difference) {
    if (ansi == nullptr) {
        return std::llabs(difference);
    }
    constexpr double FAR_AWAY = 4294967296.0;  // beyond any two 32-bit values
    const double magnitude = ansi->fabs(static_cast<double>(difference));
    if (!(magnitude >= 0.0 && magnitude < FAR_AWAY)) {
        return static_cast<std::int64_t>(FAR_AWAY);
    }
    return static_cast<std::int64_t>(magnitude);
}

}  // namespace

bool HitTestHandles(PF_InData *in_data, PF_ParamDef *params[], PF_EventExtra *extra) {
    HostSuites suites(in_data->pica_basicP);
    const HandlePoints points = ComputeHandlePoints(in_data, params, extra);
    PF_DoClickEventInfo &click = extra->u.do_click;
    // The mouse is already in frame pixels.
    const std::int64_t mouse_x = click.screen_point.h;
    const std::int64_t mouse_y = click.screen_point.v;
    const bool premiere = IsPremiere(in_data);
    for (int i = 0; i < HANDLE_COUNT; ++i) {
        // The host's suite is acquired at its first use, once per test.
        const PF_ANSICallbacksSuite1 *ansi = premiere ? nullptr : suites.AnsiSuite();
        const std::int64_t distance =
            AbsoluteDistance(ansi, points[i].x - mouse_x) + AbsoluteDistance(ansi, points[i].y - mouse_y);
        if (distance < HANDLE_HIT_TOLERANCE) {
            click.send_drag = 1;
            click.continue_refcon[0] = i + 1;
            return true;
        }
    }
    return false;
}

PF_Err HandleClick(PF_InData *in_data, PF_OutData *, PF_ParamDef *params[], PF_LayerDef *, PF_EventExtra *extra) {
    if (!IsOverlayView(ViewType(extra))) {
        return PF_Err_NONE;
    }
    if (HitTestHandles(in_data, params, extra)) {
        extra->evt_out_flags = PF_EO_HANDLED_EVENT;
    }
    return PF_Err_NONE;
}

PF_Err HandleOverlayEvent(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *output,
                          PF_EventExtra *extra) {
    if (in_data == nullptr || extra == nullptr || !ParamArrayComplete(params)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (extra->e_type == PF_Event_DO_CLICK && extra->u.do_click.send_drag != 0) {
        extra->e_type = PF_Event_DRAG;
    }
    switch (extra->e_type) {
    case PF_Event_DO_CLICK:
        return HandleClick(in_data, out_data, params, output, extra);
    case PF_Event_DRAG:
        return HandleDrag(in_data, out_data, params, output, extra);
    case PF_Event_DRAW:
        if (IsOverlayView(ViewType(extra))) {
            DrawOverlay(in_data, out_data, params, extra);
            extra->evt_out_flags = PF_EO_HANDLED_EVENT;
        }
        return PF_Err_NONE;
    default:
        return PF_Err_NONE;
    }
}

}  // namespace zonara
