#include "overlay/rotate_quad.h"

#include <cmath>

#include "host/host_suites.h"
#include "common/fixed_point.h"
#include "overlay/overlay_inputs.h"

namespace zonara {
namespace {

template <typename Real>
void RotatePoints(CornerQuad *quad, PF_FixedPoint centre, Real cos_a, Real sin_a) {
    for (PF_FixedPoint &point : *quad) {
        const Real dx = static_cast<Real>(SaturatingSub(point.x, centre.x));
        const Real dy = static_cast<Real>(SaturatingSub(point.y, centre.y));
        const Real x = dx * cos_a - dy * sin_a + static_cast<Real>(centre.x);
        const Real y = dy * cos_a + dx * sin_a + static_cast<Real>(centre.y);
        point.x = SaturateTruncate(x);
        point.y = SaturateTruncate(y);
    }
}

}  // namespace

void RotateQuad(const PF_InData *in_data, CornerQuad *quad, PF_FixedPoint centre, float angle) {
    if (IsPremiere(in_data)) {
        RotatePoints<float>(quad, centre, std::cos(angle), std::sin(angle));
        return;
    }
    HostSuites suites(in_data->pica_basicP);
    const PF_ANSICallbacksSuite1 *ansi = suites.AnsiSuite();
    const double cos_a = ansi->cos(static_cast<double>(angle));
    const double sin_a = ansi->sin(static_cast<double>(angle));
    RotatePoints<double>(quad, centre, cos_a, sin_a);
}

}  // namespace zonara
