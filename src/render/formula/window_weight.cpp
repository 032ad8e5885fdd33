#include "render/formula/window_weight.h"

#include <cmath>

namespace zonara {

namespace {

// One pixel's powers are the C library's own: the curves' values are
// exact by definition, so there is no window to carry and every value is
// trusted.
struct LibraryPowers {
    using Mask = bool;
    struct Result {
        double value;
        double window;
        bool trusted;
    };
    static constexpr double ROUNDING_SLACK = 0.0;
    static Result Raise(double x, double y) { return {std::pow(x, y), 0.0, true}; }
    static double Magnitude(double d) { return std::fabs(d); }
    static bool Nowhere() { return false; }
};

}  // namespace

double ApplyFalloff(const WindowRenderParams &record, double t) {
    if (steps::FalloffTakesPowers(record.falloff)) {
        return steps::PowerFalloff(record.falloff, t, LibraryPowers{}).value;
    }
    return steps::ProductFalloff(record.falloff, t);
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
