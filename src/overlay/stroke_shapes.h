// Stroking one closed shape of the overlay: the window outline, a corner
// handle, the mix marker, the ellipse outline.
#pragma once

#include "host/drawbot_bundle.h"
#include "host/host_suites.h"
#include "overlay/overlay_types.h"
#include "pf_sdk.h"

namespace zonara {

// Strokes path as the host wants it: in After Effects through the host's
// overlay theme, with its shadow, the result becoming the status; in Premiere
// Pro on the view's surface with a pen of the given colour made for this
// stroke, whose own result is not examined. The caller's status gates the
// call.
PF_Err StrokeWithOwnPen(const PF_InData *in_data, HostSuites &suites, DRAWBOT_DrawRef draw_ref,
                        const DrawbotBundle &bundle, DRAWBOT_SupplierRef supplier, DRAWBOT_PathRef path,
                        const DRAWBOT_ColorRGBA &colour);

// The closed outline 0, 1, 3, 2 of a quad in CornerQuad order, stroked in
// OVERLAY_COLOR. Returns the first non-zero code of a drawing call, after
// which nothing more is drawn.
PF_Err StrokeQuad(const PF_InData *in_data, const PixelQuad &quad, DRAWBOT_DrawRef draw_ref,
                  const DrawbotBundle &bundle);

// The 64-point ellipse outline round centre (layer coordinates), half axes a
// and b in square-pixel units, turned by theta; stroked in
// ELLIPSE_OUTLINE_COLOR. Returns as StrokeQuad.
PF_Err StrokeEllipse(const PF_InData *in_data, PF_FixedPoint centre, double theta, double a, double b,
                     DRAWBOT_DrawRef draw_ref, const DrawbotBundle &bundle, const PF_EventExtra *extra);

}  // namespace zonara
