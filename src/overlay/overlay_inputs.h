// What the overlay reads from the host on every event: the parameter values,
// the host, the pixel aspect ratio and the view. Nothing is kept between
// events, so every operation reads these afresh.
#pragma once

#include "common/fixed_scale.h"
#include "overlay/overlay_types.h"
#include "params/param_index.h"
#include "pf_sdk.h"

namespace zonara {

// Premiere Pro is told by its application id; every other host is treated
// as After Effects.
inline bool IsPremiere(const PF_InData *in_data) { return in_data->appl_id == PF_APPL_ID_PREMIERE; }

// P = num / den, single precision: turns horizontal layer pixels into
// square-pixel units.
inline float PixelAspectRatio(const PF_InData *in_data) {
    return static_cast<float>(in_data->pixel_aspect_ratio.num) / static_cast<float>(in_data->pixel_aspect_ratio.den);
}

// k = den / num, single precision: layer pixels per horizontal square pixel.
inline float SquareToLayerScale(const PF_InData *in_data) {
    return static_cast<float>(in_data->pixel_aspect_ratio.den) / static_cast<float>(in_data->pixel_aspect_ratio.num);
}

inline double FloatParam(PF_ParamDef *params[], ParamIndex index) { return params[index]->u.fs_d.value; }

inline PF_FixedPoint WindowOrigin(PF_ParamDef *params[]) {
    return PF_FixedPoint{params[PARAM_ORIGIN]->u.td.x_value, params[PARAM_ORIGIN]->u.td.y_value};
}

// The window angle in radians: formed in double, kept in single precision.
// A positive angle turns the window clockwise on screen (y points down).
inline float WindowAngleRadians(PF_ParamDef *params[]) {
    return static_cast<float>(FixedToDouble(params[PARAM_ANGLE]->u.ad.value) * DEGREES_TO_RADIANS);
}

// A view type no overlay view has, for an event without a context.
inline constexpr PF_WindowType VIEW_UNKNOWN = -1;

// The context arrives as a handle (a pointer to the host's pointer to it);
// either level may be missing in a damaged event.
inline PF_WindowType ViewType(const PF_EventExtra *extra) {
    if (extra->contextH == nullptr || *extra->contextH == nullptr) {
        return VIEW_UNKNOWN;
    }
    return (*extra->contextH)->w_type;
}

// The overlay is registered for the composition and layer views only.
inline bool IsOverlayView(PF_WindowType view) { return view == PF_Window_COMP || view == PF_Window_LAYER; }

}  // namespace zonara
