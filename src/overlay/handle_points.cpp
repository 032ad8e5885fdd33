#include "overlay/handle_points.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/fixed_point.h"
#include "overlay/overlay_inputs.h"
#include "overlay/rotate_quad.h"
#include "overlay/view_mapping.h"
#include "overlay/window_rects.h"

namespace zonara {
namespace {

PixelPoint WholePixels(PF_FixedPoint point) { return PixelPoint{IntegerPart(point.x), IntegerPart(point.y)}; }

// The inner corners at the ends of each feather handle's edge, in the
// order of FrameCorners::feather.
struct EdgeEnds {
    int first;
    int second;
};
constexpr EdgeEnds FeatherEdge(int handle) {
    switch (handle) {
    case FEATHER_LEFT:
        return {CORNER_TOP_LEFT, CORNER_BOTTOM_LEFT};
    case FEATHER_RIGHT:
        return {CORNER_TOP_RIGHT, CORNER_BOTTOM_RIGHT};
    case FEATHER_TOP:
        return {CORNER_TOP_LEFT, CORNER_TOP_RIGHT};
    default:
        return {CORNER_BOTTOM_LEFT, CORNER_BOTTOM_RIGHT};
    }
}

bool IsAtRangeEnd(PF_Fixed value) {
    return value == std::numeric_limits<PF_Fixed>::max() || value == std::numeric_limits<PF_Fixed>::min();
}

bool IsHeld(PF_FixedPoint point) { return IsAtRangeEnd(point.x) || IsAtRangeEnd(point.y); }

// The rectangle's corners in layer coordinates, in CornerQuad order.
CornerQuad LayerCorners(const FixedRect &rect) {
    return CornerQuad{PF_FixedPoint{rect.left, rect.top}, PF_FixedPoint{rect.right, rect.top},
                      PF_FixedPoint{rect.left, rect.bottom}, PF_FixedPoint{rect.right, rect.bottom}};
}

// Halfway between two wide values toward zero, as FixedMidpoint, then held.
PF_Fixed HeldMidpoint(std::int64_t a, std::int64_t b) { return SaturateToInt32((a + b) / 2); }

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

    // Each feather handle from its edge's two ends, or twice from the edge's
    // middle where the host held an end.
    const CornerQuad layer_inner = LayerCorners(rects.inner);
    std::array<PF_FixedPoint, 2 * FEATHER_HANDLE_COUNT> ends;
    for (int handle = 0; handle < FEATHER_HANDLE_COUNT; ++handle) {
        const EdgeEnds edge = FeatherEdge(handle);
        PF_FixedPoint first = corners.inner[edge.first];
        PF_FixedPoint second = corners.inner[edge.second];
        corners.feather_ends_held[handle] = IsHeld(first) || IsHeld(second);
        if (corners.feather_ends_held[handle]) {
            const PF_FixedPoint a = layer_inner[edge.first];
            const PF_FixedPoint b = layer_inner[edge.second];
            PF_FixedPoint middle{FixedMidpoint(a.x, b.x), FixedMidpoint(a.y, b.y)};
            LayerPointToFrame(in_data, extra, &middle);
            first = middle;
            second = middle;
        }
        ends[2 * handle] = first;
        ends[2 * handle + 1] = second;
    }

    // Turned in frame coordinates, about the frame-space centre.
    const float angle = WindowAngleRadians(params);
    RotateQuad(in_data, &corners.outer, corners.centre, angle);
    std::array<WidePoint, 2 * FEATHER_HANDLE_COUNT> turned_ends;
    RotateQuad(in_data, &corners.inner, corners.centre, angle, ends, turned_ends);
    for (int handle = 0; handle < FEATHER_HANDLE_COUNT; ++handle) {
        const WidePoint &first = turned_ends[2 * handle];
        const WidePoint &second = turned_ends[2 * handle + 1];
        corners.feather[handle] = PF_FixedPoint{HeldMidpoint(first.x, second.x), HeldMidpoint(first.y, second.y)};
        const EdgeEnds edge = FeatherEdge(handle);
        corners.feather_ends_held[handle] = corners.feather_ends_held[handle] || IsHeld(corners.inner[edge.first]) ||
                                            IsHeld(corners.inner[edge.second]);
    }
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

    for (int handle = 0; handle < FEATHER_HANDLE_COUNT; ++handle) {
        // The feather handles are numbered in FeatherHandle's order.
        points[HANDLE_FEATHER_LEFT - 1 + handle] = WholePixels(corners.feather[handle]);
    }
    return points;
}

}  // namespace zonara
