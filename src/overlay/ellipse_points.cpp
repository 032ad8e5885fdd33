#include "overlay/ellipse_points.h"

#include <cmath>

#include "common/fixed_point.h"
#include "host/host_suites.h"
#include "overlay/overlay_inputs.h"
#include "overlay/view_mapping.h"

namespace zonara {
namespace {

// The sine and cosine of the host in After Effects, of the standard library
// in Premiere Pro; both double precision.
class Trigonometry {
public:
    explicit Trigonometry(const PF_ANSICallbacksSuite1 *ansi) : ansi_(ansi) {}
    double Cos(double x) const { return ansi_ != nullptr ? ansi_->cos(x) : std::cos(x); }
    double Sin(double x) const { return ansi_ != nullptr ? ansi_->sin(x) : std::sin(x); }

private:
    const PF_ANSICallbacksSuite1 *ansi_;
};

void FillPoints(const PF_InData *in_data, PF_FixedPoint centre, double theta, double a, double b,
                const Trigonometry &trig, EllipsePoints *points, const PF_EventExtra *extra) {
    const double aspect = static_cast<double>(PixelAspectRatio(in_data));
    const double cos_theta = trig.Cos(theta);
    const double sin_theta = trig.Sin(theta);
    for (int i = 0; i < ELLIPSE_POINT_COUNT; ++i) {
        const double t = static_cast<double>(i) * 6.283185307179586 * 0.015625;
        const double cos_t = trig.Cos(t);
        const double sin_t = trig.Sin(t);
        const double x = a * cos_t * cos_theta - b * sin_t * sin_theta;
        const double y = a * cos_t * sin_theta + b * sin_t * cos_theta;
        // Only the horizontal offset is taken from square into layer pixels.
        PF_FixedPoint point{SaturatingAdd(centre.x, RoundHalfAwayFromZero(x / aspect * FIXED_ONE)),
                            SaturatingAdd(centre.y, RoundHalfAwayFromZero(y * FIXED_ONE))};
        LayerPointToFrame(in_data, extra, &point);
        (*points)[i] =
            DRAWBOT_PointF32{static_cast<float>(FixedToDouble(point.x)), static_cast<float>(FixedToDouble(point.y))};
    }
}

}  // namespace

void ComputeEllipsePoints(const PF_InData *in_data, PF_FixedPoint centre, double theta, double a, double b,
                          EllipsePoints *points, const PF_EventExtra *extra) {
    if (IsPremiere(in_data)) {
        FillPoints(in_data, centre, theta, a, b, Trigonometry(nullptr), points, extra);
        return;
    }
    HostSuites suites(in_data->pica_basicP);
    FillPoints(in_data, centre, theta, a, b, Trigonometry(suites.AnsiSuite()), points, extra);
}

}  // namespace zonara
