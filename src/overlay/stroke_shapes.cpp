#include "overlay/stroke_shapes.h"

#include "host/drawbot_refs.h"
#include "overlay/drawing_style.h"
#include "overlay/ellipse_points.h"
#include "overlay/overlay_inputs.h"

namespace zonara {

PF_Err StrokeWithOwnPen(const PF_InData *in_data, HostSuites &suites, DRAWBOT_DrawRef draw_ref,
                        const DrawbotBundle &bundle, DRAWBOT_SupplierRef supplier, DRAWBOT_PathRef path,
                        const DRAWBOT_ColorRGBA &colour) {
    if (!IsPremiere(in_data)) {
        return suites.OverlayThemeSuite()->PF_StrokePath(draw_ref, path, 1);
    }
    DRAWBOT_SurfaceRef surface = nullptr;
    // Without the surface there is nothing to stroke on: the code ends the
    // drawing like any other failed drawing call.
    const PF_Err err = suites.DrawSuite()->GetSurface(draw_ref, &surface);
    if (err != PF_Err_NONE) {
        return err;
    }
    const DRAWBOT_PenP pen(bundle.supplier, supplier, colour, OVERLAY_PEN_WIDTH);
    bundle.surface->StrokePath(surface, pen.Held(), path);
    return PF_Err_NONE;
}

PF_Err StrokeQuad(const PF_InData *in_data, const PixelQuad &quad, DRAWBOT_DrawRef draw_ref,
                  const DrawbotBundle &bundle) {
    HostSuites suites(in_data->pica_basicP);
    DRAWBOT_SupplierRef supplier = nullptr;
    PF_Err status = bundle.draw->GetSupplier(draw_ref, &supplier);
    // No path is asked of a supplier the host did not give.
    if (status != PF_Err_NONE) {
        return status;
    }
    const DRAWBOT_PathP path(bundle.supplier, supplier);
    const DRAWBOT_PathSuite1 *path_suite = bundle.path;
    const auto x = [&](int i) { return static_cast<float>(quad[i].x); };
    const auto y = [&](int i) { return static_cast<float>(quad[i].y); };
    status = path_suite->MoveTo(path.Held(), x(CORNER_TOP_LEFT), y(CORNER_TOP_LEFT));
    if (status == PF_Err_NONE) {
        status = path_suite->LineTo(path.Held(), x(CORNER_TOP_RIGHT), y(CORNER_TOP_RIGHT));
    }
    if (status == PF_Err_NONE) {
        status = path_suite->LineTo(path.Held(), x(CORNER_BOTTOM_RIGHT), y(CORNER_BOTTOM_RIGHT));
    }
    if (status == PF_Err_NONE) {
        status = path_suite->LineTo(path.Held(), x(CORNER_BOTTOM_LEFT), y(CORNER_BOTTOM_LEFT));
    }
    if (status == PF_Err_NONE) {
        status = path_suite->Close(path.Held());
    }
    if (status == PF_Err_NONE) {
        status = StrokeWithOwnPen(in_data, suites, draw_ref, bundle, supplier, path.Held(), OVERLAY_COLOR);
    }
    return status;
}

PF_Err StrokeEllipse(const PF_InData *in_data, PF_FixedPoint centre, double theta, double a, double b,
                     DRAWBOT_DrawRef draw_ref, const DrawbotBundle &bundle, const PF_EventExtra *extra) {
    HostSuites suites(in_data->pica_basicP);
    DRAWBOT_SupplierRef supplier = nullptr;
    PF_Err status = bundle.draw->GetSupplier(draw_ref, &supplier);
    if (status != PF_Err_NONE) {
        return status;
    }
    const DRAWBOT_PathP path(bundle.supplier, supplier);
    EllipsePoints points;
    ComputeEllipsePoints(in_data, centre, theta, a, b, &points, extra);
    const DRAWBOT_PathSuite1 *path_suite = bundle.path;
    status = path_suite->MoveTo(path.Held(), points[0].x, points[0].y);
    for (int i = 1; i < ELLIPSE_POINT_COUNT && status == PF_Err_NONE; ++i) {
        status = path_suite->LineTo(path.Held(), points[i].x, points[i].y);
    }
    // Closed by a last segment back to the first point, not by Close.
    if (status == PF_Err_NONE) {
        status = path_suite->LineTo(path.Held(), points[0].x, points[0].y);
    }
    if (status == PF_Err_NONE) {
        status = StrokeWithOwnPen(in_data, suites, draw_ref, bundle, supplier, path.Held(), ELLIPSE_OUTLINE_COLOR);
    }
    return status;
}

}  // namespace zonara
