#include "render/formula/window_weight.h"

#include <cmath>

namespace zonara {

double ApplyFalloff(const WindowRenderParams &record, double t) {
    switch (record.falloff) {
    case FALLOFF_GAMMA_2_2:
        // 0.454, not 1 / 2.2: the curve as users have always seen it.
        return std::pow(t, 0.454);
    case FALLOFF_GAUSSIAN:
        return 1.0 - std::pow(360.0, -std::pow(t, 2.5));
    case FALLOFF_EXPONENTIAL:
        // The product with 2.5 comes before the division so that F(1) is 1.
        return (1.0 - std::pow(2.5, -t)) * 2.5 / 1.5;
    default:
        // Quadratic, cubic, and linear for any other value.
        return steps::ArithmeticFalloff(record.falloff, t);
    }
}

float EllipseBandFraction(const WindowRenderParams &record, float u, float v, float uu, float vv) {
    const double t = static_cast<double>(steps::EllipseBandPosition(record, u, v, uu, vv));
    return static_cast<float>(ApplyFalloff(record, t));
}

float RectangleBandFraction(const WindowRenderParams &record, float au, float av) {
    const bool in_horizontal_band = au >= record.inner_half_width;
    const bool in_vertical_band = av >= record.inner_half_height;
    if (!in_horizontal_band && !in_vertical_band) return 0.0f;
    const float tx = (au - record.inner_half_width) * record.inv_feather;
    const float ty = (av - record.inner_half_height) * record.inv_vertical_feather;
    if (in_horizontal_band && in_vertical_band) {
        return static_cast<float>(steps::RectangleCorner(ApplyFalloff(record, tx), ApplyFalloff(record, ty)));
    }
    if (in_horizontal_band) return static_cast<float>(ApplyFalloff(record, tx));
    return static_cast<float>(ApplyFalloff(record, ty));
}

}  // namespace zonara
