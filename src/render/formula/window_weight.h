// The window weight of a pixel: 1 inside the feathered core, 0 on and beyond
// the outline, a falloff curve of the position in the band between, swapped
// by Invert.
#pragma once

#include <cmath>

#include "render/formula/hot_inline.h"
#include "render/formula/pixel_steps.h"
#include "render/frame/window_render_params.h"

namespace zonara {

// The edge curve F(t) selected by the record's falloff (FalloffChoice);
// unknown values are linear.
double ApplyFalloff(const WindowRenderParams &record, double t);

// The outside fraction of a pixel in the feather band; kept out of line
// because only band pixels need roots and powers.
float EllipseBandFraction(const WindowRenderParams &record, float u, float v, float uu, float vv);
float RectangleBandFraction(const WindowRenderParams &record, float au, float av);

inline float ApplyInvert(const WindowRenderParams &record, float outside_fraction) {
    return steps::WeightOfOutsideFraction(record, outside_fraction);
}

inline float WindowU(const WindowRenderParams &record, float x, float y) {
    return steps::WindowCoordinateU(record, x, y);
}

inline float WindowV(const WindowRenderParams &record, float x, float y) {
    return steps::WindowCoordinateV(record, x, y);
}

ZONARA_HOT_INLINE float EllipseWeight(const WindowRenderParams &record, A_long x, A_long y) {
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float u = WindowU(record, fx, fy);
    const float v = WindowV(record, fx, fy);
    const float uu = u * u;
    const float vv = v * v;
    float outside_fraction = 1.0f;
    if (!steps::BeyondEllipse(record, uu, vv)) {
        outside_fraction = 0.0f;
        if (record.feather != 0.0f && steps::BeyondInnerEllipse(record, uu, vv)) {
            outside_fraction = EllipseBandFraction(record, u, v, uu, vv);
        }
    }
    return ApplyInvert(record, outside_fraction);
}

ZONARA_HOT_INLINE float RectangleWeight(const WindowRenderParams &record, A_long x, A_long y) {
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float au = std::fabs(WindowU(record, fx, fy));
    const float av = std::fabs(WindowV(record, fx, fy));
    float outside_fraction = 1.0f;
    if (!steps::BeyondRectangle(record, au, av)) {
        outside_fraction = 0.0f;
        if (record.feather != 0.0f) {
            outside_fraction = RectangleBandFraction(record, au, av);
        }
    }
    return ApplyInvert(record, outside_fraction);
}

ZONARA_HOT_INLINE float WindowWeight(const WindowRenderParams &record, A_long x, A_long y) {
    return record.is_ellipse ? EllipseWeight(record, x, y) : RectangleWeight(record, x, y);
}

}  // namespace zonara
