#include "overlay/handle_drag.h"

#include <cmath>

#include "common/fixed_point.h"
#include "overlay/overlay_inputs.h"
#include "overlay/overlay_types.h"

namespace zonara {
namespace {

// Everything a handle needs to work out its values.
struct DragInputs {
    float aspect;          // P, horizontal layer pixels to square pixels
    float angle;           // window angle, radians
    PF_FixedPoint origin;  // window centre, layer coordinates
    PF_FixedPoint mouse;   // layer coordinates
    double width;
    double height;
};

void WriteFloatParam(PF_ParamDef *params[], ParamIndex index, double value) {
    params[index]->u.fs_d.value = value;
    params[index]->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
}

// The mouse's offset from the centre, doubled, turned back by the window
// angle into the window's own axes: the full Width and Height. A corner
// dragged across the centre gives a negative size.
void DragCorner(OverlayHandle handle, const DragInputs &in, PF_ParamDef *params[]) {
    const std::int32_t right = SaturatingDouble(SaturatingSub(in.mouse.x, in.origin.x));
    const std::int32_t left = SaturatingDouble(SaturatingSub(in.origin.x, in.mouse.x));
    const std::int32_t below = SaturatingDouble(SaturatingSub(in.mouse.y, in.origin.y));
    const std::int32_t above = SaturatingDouble(SaturatingSub(in.origin.y, in.mouse.y));
    std::int32_t ex = 0;
    std::int32_t ey = 0;
    float theta = 0.0f;
    switch (handle) {
    case HANDLE_CORNER_TOP_LEFT:
        ex = left, ey = above, theta = -in.angle;
        break;
    case HANDLE_CORNER_TOP_RIGHT:
        ex = right, ey = above, theta = in.angle;
        break;
    case HANDLE_CORNER_BOTTOM_LEFT:
        ex = left, ey = below, theta = in.angle;
        break;
    default:
        ex = right, ey = below, theta = -in.angle;
        break;
    }
    const float ex_square = static_cast<float>(FixedToDouble(ex)) * in.aspect;
    const float ey_square = static_cast<float>(FixedToDouble(ey));
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    WriteFloatParam(params, PARAM_WIDTH, static_cast<double>(c * ex_square - s * ey_square));
    WriteFloatParam(params, PARAM_HEIGHT, static_cast<double>(s * ex_square + c * ey_square));
}

// The mouse's bearing from the centre, clockwise from straight up, in
// [0, 360) degrees. No pixel-aspect correction is applied.
float BearingDegrees(std::int32_t dx, std::int32_t dy) {
    if (dy == 0) {
        return dx > 0 ? 90.0f : 270.0f;
    }
    if (dx == 0) {
        return dy > 0 ? 180.0f : 0.0f;
    }
    const float t = static_cast<float>(
        static_cast<double>(-std::atan(static_cast<float>(dx) / static_cast<float>(dy))) / DEGREES_TO_RADIANS);
    if (dy > 0) {
        return t + 180.0f;
    }
    return t < 0.0f ? t + 360.0f : t;
}

void DragAngle(const DragInputs &in, PF_ParamDef *params[]) {
    const float degrees =
        BearingDegrees(SaturatingSub(in.mouse.x, in.origin.x), SaturatingSub(in.mouse.y, in.origin.y));
    params[PARAM_ANGLE]->u.ad.value = RoundHalfAwayFromZero(degrees * FIXED_ONE_FLOAT);
    params[PARAM_ANGLE]->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
}

// Each feather handle puts its own edge of the (unrotated) feather rectangle
// through the mouse. Only the left one follows the angle and stops at 0.
void DragFeather(OverlayHandle handle, const DragInputs &in, PF_ParamDef *params[]) {
    const double aspect = static_cast<double>(in.aspect);
    const double half_width = in.width * 0.5;
    const double half_height = in.height * 0.5;
    float feather = 0.0f;
    switch (handle) {
    case HANDLE_FEATHER_LEFT:
        feather = static_cast<float>(static_cast<double>(std::cos(in.angle)) *
                                     (FixedToDouble(SaturatingSub(in.mouse.x, in.origin.x)) * aspect + half_width));
        if (!(feather > 0.0f)) {
            feather = 0.0f;
        }
        break;
    case HANDLE_FEATHER_RIGHT:
        feather = static_cast<float>(FixedToDouble(SaturatingSub(in.origin.x, in.mouse.x)) * aspect + half_width);
        break;
    default: {
        // The vertical inset is Feather x Height / Width, so the vertical
        // handles scale by Width / Height. Without a finite ratio (a window
        // of height 0) the vertical inset does not depend on Feather at all:
        // the handle cannot express a value and Feather is left as it is.
        const float ratio = static_cast<float>(in.width / in.height);
        if (!std::isfinite(ratio)) {
            return;
        }
        const std::int32_t offset = handle == HANDLE_FEATHER_TOP ? SaturatingSub(in.mouse.y, in.origin.y)
                                                                 : SaturatingSub(in.origin.y, in.mouse.y);
        feather = static_cast<float>((FixedToDouble(offset) + half_height) * static_cast<double>(ratio));
        break;
    }
    }
    WriteFloatParam(params, PARAM_FEATHER, static_cast<double>(feather));
}

// The slider lives in frame pixels: the mouse's height above the centre, in
// the view, sets Mix; 50 px above is 1, level is 0.5.
void DragMix(const PF_InData *in_data, const PF_EventExtra *extra, const DragInputs &in, PF_ParamDef *params[]) {
    PF_FixedPoint centre = in.origin;
    PF_FixedPoint mouse = in.mouse;
    LayerPointToFrame(in_data, extra, &centre);
    LayerPointToFrame(in_data, extra, &mouse);
    const std::int32_t dy = IntegerPart(SaturatingSub(mouse.y, centre.y));
    WriteFloatParam(params, PARAM_MIX, 0.5 - static_cast<double>(dy) / static_cast<double>(MIX_SLIDER_SCALE));
}

bool IsDraggableHandle(A_intptr_t value) { return value >= HANDLE_CORNER_TOP_LEFT && value <= HANDLE_MIX; }

}  // namespace

bool ApplyHandleDrag(PF_InData *in_data, PF_OutData *, PF_ParamDef *params[], FrameToLayerFunc frame_to_layer,
                     PF_EventExtra *extra) {
    PF_DoClickEventInfo &click = extra->u.do_click;
    DragInputs in{};
    in.aspect = PixelAspectRatio(in_data);
    in.angle = WindowAngleRadians(params);
    // The mouse is converted first, whatever the handle.
    in.mouse = frame_to_layer(in_data, extra, click.screen_point);
    in.origin = WindowOrigin(params);
    in.width = FloatParam(params, PARAM_WIDTH);
    in.height = FloatParam(params, PARAM_HEIGHT);

    const A_intptr_t stored = click.continue_refcon[0];
    const OverlayHandle handle = IsDraggableHandle(stored) ? static_cast<OverlayHandle>(stored) : HANDLE_NONE;
    switch (handle) {
    case HANDLE_CORNER_TOP_LEFT:
    case HANDLE_CORNER_TOP_RIGHT:
    case HANDLE_CORNER_BOTTOM_LEFT:
    case HANDLE_CORNER_BOTTOM_RIGHT:
        DragCorner(handle, in, params);
        break;
    case HANDLE_ANGLE:
        DragAngle(in, params);
        break;
    case HANDLE_FEATHER_LEFT:
    case HANDLE_FEATHER_RIGHT:
    case HANDLE_FEATHER_TOP:
    case HANDLE_FEATHER_BOTTOM:
        DragFeather(handle, in, params);
        break;
    case HANDLE_MIX:
        DragMix(in_data, extra, in, params);
        break;
    case HANDLE_NONE:
        break;
    }

    click.send_drag = 1;
    // The gesture's last event is still applied, then the drag is over.
    if (click.last_time != 0) {
        click.continue_refcon[0] = HANDLE_NONE;
        click.send_drag = 0;
    }
    return true;
}

PF_Err HandleDrag(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_LayerDef *,
                  PF_EventExtra *extra) {
    FrameToLayerFunc frame_to_layer = nullptr;
    switch (ViewType(extra)) {
    case PF_Window_LAYER:
        frame_to_layer = FrameToLayerLayerView;
        break;
    case PF_Window_COMP:
        frame_to_layer = FrameToLayerCompView;
        break;
    default:
        return PF_Err_NONE;
    }
    if (IsDraggableHandle(extra->u.do_click.continue_refcon[0])) {
        ApplyHandleDrag(in_data, out_data, params, frame_to_layer, extra);
        extra->evt_out_flags = PF_EO_HANDLED_EVENT;
    }
    return PF_Err_NONE;
}

}  // namespace zonara
