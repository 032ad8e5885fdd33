#include "overlay/window_rects.h"

#include "common/fixed_point.h"
#include "overlay/overlay_inputs.h"

namespace zonara {

WindowRects ComputeWindowRects(const PF_InData *in_data, PF_ParamDef *params[]) {
    const float k = SquareToLayerScale(in_data);
    const PF_FixedPoint origin = WindowOrigin(params);
    const double width = FloatParam(params, PARAM_WIDTH);
    const double height = FloatParam(params, PARAM_HEIGHT);
    const double feather = FloatParam(params, PARAM_FEATHER);

    WindowRects rects;
    FixedRect &outer = rects.outer;
    // The horizontal half-width is scaled into layer pixels in single
    // precision, which is what places the drawn edges.
    const std::int32_t half_width = RoundHalfAwayFromZero(width * 0.5 * FIXED_ONE);
    outer.left = SaturateTruncate(static_cast<float>(origin.x) - static_cast<float>(half_width) * k);
    outer.right = SaturateTruncate(static_cast<float>(half_width) * k + static_cast<float>(origin.x));
    const std::int32_t half_height = RoundHalfAwayFromZero(height * 0.5 * FIXED_ONE);
    outer.top = SaturatingSub(origin.y, half_height);
    outer.bottom = SaturatingAdd(origin.y, half_height);

    // The vertical inset is Feather x Height / Width, so that the feather
    // rectangle keeps the window's proportions.
    const double ratio = height != 0.0 ? width / height : 0.0;
    const std::int32_t inset_x = RoundHalfAwayFromZero(static_cast<double>(k) * feather * FIXED_ONE);
    // A window without width or without height has no proportions to keep:
    // its vertical inset would be Feather / 0. Such a window is a line or a
    // point whose vertical extent the feather cannot shrink, so the inset is
    // taken as 0 and the feather rectangle's top and bottom stay on the
    // outer ones.
    const std::int32_t inset_y = ratio != 0.0 ? RoundHalfAwayFromZero(feather / ratio * FIXED_ONE) : 0;

    FixedRect &inner = rects.inner;
    inner.left = SaturatingAdd(outer.left, inset_x);
    inner.right = SaturatingSub(outer.right, inset_x);
    inner.top = SaturatingAdd(outer.top, inset_y);
    inner.bottom = SaturatingSub(outer.bottom, inset_y);
    return rects;
}

}  // namespace zonara
