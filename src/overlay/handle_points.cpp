#include "overlay/handle_points.h"

#include <cmath>

#include "common/fixed_point.h"
#include "overlay/overlay_inputs.h"
#include "overlay/rotate_quad.h"
#include "overlay/view_mapping.h"
#include "overlay/window_rects.h"

namespace zonara {
namespace {

PixelPoint WholePixels(PF_FixedPoint point) { return PixelPoint{IntegerPart(point.x), IntegerPart(point.y)}; }

// Midpoint of two 16.16 values: the sum halved toward zero, then whole
// pixels. The sum is taken wide: two edges within the range can sum beyond
// it (at zoom 16 a 1000-pixel window's right edge already does).
std::int32_t MidpointPixel(PF_Fixed a, PF_Fixed b) { return IntegerPart(FixedMidpoint(a, b)); }

PixelPoint EdgeMidpoint(PF_FixedPoint a, PF_FixedPoint b) {
    return PixelPoint{MidpointPixel(a.x, b.x), MidpointPixel(a.y, b.y)};
}

}  // namespace

PF_FixedPoint AngleHandleLayerPoint(const PF_InData *in_data, PF_FixedPoint origin, float angle) {
    const double radius = static_cast<double>(in_data->height) / ANGLE_HANDLE_RADIUS_DIVISOR;
    // The standard library's single-precision sine and cosine in both hosts.
    const std::int32_t offset_x = RoundHalfAwayFromZero(static_cast<double>(std::sin(angle)) * radius * FIXED_ONE);
    const std::int32_t offset_y = RoundHalfAwayFromZero(static_cast<double>(std::cos(angle)) * radius * FIXED_ONE);
    const float aspect = PixelAspectRatio(in_data);
    return PF_FixedPoint{SaturateTruncate(static_cast<float>(offset_x) / aspect + static_cast<float>(origin.x)),
                         SaturatingSub(origin.y, offset_y)};
}

FrameCorners ComputeFrameCorners(const PF_InData *in_data, PF_ParamDef *params[], const PF_EventExtra *extra) {
    FrameCorners corners;
    corners.centre = WindowOrigin(params);
    LayerPointToFrame(in_data, extra, &corners.centre);
    const WindowRects rects = ComputeWindowRects(in_data, params);
    corners.outer = RectToFrameCorners(in_data, extra, rects.outer);
    corners.inner = RectToFrameCorners(in_data, extra, rects.inner);
    // Turned in frame coordinates, about the frame-space centre.
    const float angle = WindowAngleRadians(params);
    RotateQuad(in_data, &corners.outer, corners.centre, angle);
    RotateQuad(in_data, &corners.inner, corners.centre, angle);
    return corners;
}

HandlePoints ComputeHandlePoints(const PF_InData *in_data, PF_ParamDef *params[], const PF_EventExtra *extra) {
    const FrameCorners corners = ComputeFrameCorners(in_data, params, extra);
    HandlePoints points;
    for (int corner = 0; corner < 4; ++corner) {
        points[HANDLE_CORNER_TOP_LEFT - 1 + corner] = WholePixels(corners.outer[corner]);
    }

    // The mix slider lives in frame pixels beside the frame-space centre:
    // Mix 1 at its top end, 0 at its bottom end.
    const double mix = FloatParam(params, PARAM_MIX);
    const std::int32_t mix_offset = RoundHalfAwayFromZero(
        (static_cast<double>(MIX_SLIDER_HALF_LENGTH) - static_cast<double>(MIX_SLIDER_SCALE) * mix) * FIXED_ONE);
    points[HANDLE_MIX - 1] = PixelPoint{IntegerPart(SaturatingSub(corners.centre.x, WholeToFixed(MIX_SLIDER_OFFSET_X))),
                                         IntegerPart(SaturatingAdd(corners.centre.y, mix_offset))};

    // The angle handle is placed from the layer-space origin.
    PF_FixedPoint angle_handle = AngleHandleLayerPoint(in_data, WindowOrigin(params), WindowAngleRadians(params));
    LayerPointToFrame(in_data, extra, &angle_handle);
    points[HANDLE_ANGLE - 1] = WholePixels(angle_handle);

    const CornerQuad &inner = corners.inner;
    points[HANDLE_FEATHER_LEFT - 1] = EdgeMidpoint(inner[CORNER_TOP_LEFT], inner[CORNER_BOTTOM_LEFT]);
    points[HANDLE_FEATHER_RIGHT - 1] = EdgeMidpoint(inner[CORNER_TOP_RIGHT], inner[CORNER_BOTTOM_RIGHT]);
    points[HANDLE_FEATHER_TOP - 1] = EdgeMidpoint(inner[CORNER_TOP_LEFT], inner[CORNER_TOP_RIGHT]);
    points[HANDLE_FEATHER_BOTTOM - 1] = EdgeMidpoint(inner[CORNER_BOTTOM_LEFT], inner[CORNER_BOTTOM_RIGHT]);
    return points;
}

}  // namespace zonara
