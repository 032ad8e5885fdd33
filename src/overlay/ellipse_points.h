// The ellipse outline as a fixed polyline in frame coordinates.
#pragma once

#include <array>

#include "overlay/drawing_style.h"
#include "pf_sdk.h"

namespace zonara {

using EllipsePoints = std::array<DRAWBOT_PointF32, ELLIPSE_POINT_COUNT>;

// 64 points evenly spaced in the ellipse's parameter angle, half axes a and
// b in square-pixel units, turned by theta (clockwise on screen). Point 0 is
// the right end of the unturned horizontal axis and the points run
// clockwise. Each point is converted from layer to frame coordinates on its
// own, so the outline follows the view exactly. After Effects takes sin and
// cos from the host ("PF ANSI Suite", acquired for this call).
void ComputeEllipsePoints(const PF_InData *in_data, PF_FixedPoint centre, double theta, double a, double b,
                          EllipsePoints *points, const PF_EventExtra *extra);

}  // namespace zonara
