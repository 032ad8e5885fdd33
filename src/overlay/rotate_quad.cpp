#include "overlay/rotate_quad.h"

#include <cmath>
#include <limits>

#include "common/fixed_point.h"
#include "host/host_suites.h"
#include "overlay/overlay_inputs.h"

namespace zonara {
namespace {

// Far beyond any sum of two 16.16 values; holding there only keeps the
// conversion to an integer defined.
constexpr double WIDE_LIMIT = 4611686018427387904.0;  // 2^62

// Truncated toward zero, not held at the 32-bit range. Not a number gives
// the lowest 32-bit value, as SaturateTruncate gives it.
std::int64_t TruncateWide(double value) {
    if (value != value) return std::numeric_limits<std::int32_t>::min();
    if (value >= WIDE_LIMIT) return static_cast<std::int64_t>(WIDE_LIMIT);
    if (value <= -WIDE_LIMIT) return -static_cast<std::int64_t>(WIDE_LIMIT);
    return static_cast<std::int64_t>(value);
}

// One point's offset from the centre turned and put back: the same
// arithmetic for the held and the wide results, so they agree to the bit
// wherever nothing is held.
template <typename Real>
void Turn(Real dx, Real dy, PF_FixedPoint centre, Real cos_a, Real sin_a, Real &x, Real &y) {
    x = dx * cos_a - dy * sin_a + static_cast<Real>(centre.x);
    y = dy * cos_a + dx * sin_a + static_cast<Real>(centre.y);
}

template <typename Real>
void RotatePoints(CornerQuad *quad, PF_FixedPoint centre, Real cos_a, Real sin_a,
                  std::span<const PF_FixedPoint> wide_points, std::span<WidePoint> wide_turned) {
    for (PF_FixedPoint &point : *quad) {
        Real x;
        Real y;
        Turn(static_cast<Real>(SaturatingSub(point.x, centre.x)), static_cast<Real>(SaturatingSub(point.y, centre.y)),
             centre, cos_a, sin_a, x, y);
        point.x = SaturateTruncate(x);
        point.y = SaturateTruncate(y);
    }
    for (std::size_t i = 0; i < wide_points.size() && i < wide_turned.size(); ++i) {
        const PF_FixedPoint point = wide_points[i];
        Real x;
        Real y;
        Turn(static_cast<Real>(static_cast<std::int64_t>(point.x) - centre.x),
             static_cast<Real>(static_cast<std::int64_t>(point.y) - centre.y), centre, cos_a, sin_a, x, y);
        wide_turned[i] = WidePoint{TruncateWide(x), TruncateWide(y)};
    }
}

}  // namespace

void RotateQuad(const PF_InData *in_data, CornerQuad *quad, PF_FixedPoint centre, float angle,
                std::span<const PF_FixedPoint> wide_points, std::span<WidePoint> wide_turned) {
    if (IsPremiere(in_data)) {
        RotatePoints<float>(quad, centre, std::cos(angle), std::sin(angle), wide_points, wide_turned);
        return;
    }
    HostSuites suites(in_data->pica_basicP);
    const PF_ANSICallbacksSuite1 *ansi = suites.AnsiSuite();
    const double cos_a = ansi->cos(static_cast<double>(angle));
    const double sin_a = ansi->sin(static_cast<double>(angle));
    RotatePoints<double>(quad, centre, cos_a, sin_a, wide_points, wide_turned);
}

}  // namespace zonara
