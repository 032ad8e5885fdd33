#include "overlay/draw_overlay.h"

#include "common/fixed_point.h"
#include "host/drawbot_bundle.h"
#include "host/drawbot_refs.h"
#include "host/host_suites.h"
#include "overlay/drawing_style.h"
#include "overlay/handle_points.h"
#include "overlay/overlay_inputs.h"
#include "overlay/stroke_shapes.h"
#include "overlay/view_mapping.h"

namespace zonara {
namespace {

// A 16.16 frame coordinate to the nearest whole pixel, halves upward, held
// in 16 bits as the view's pixel coordinates are.
A_long RoundToPixel(PF_Fixed value) { return static_cast<std::int16_t>(IntegerPart(SaturatingAdd(value, 0x8000))); }

PixelQuad RoundToPixels(const CornerQuad &quad) {
    PixelQuad pixels;
    for (int i = 0; i < 4; ++i) {
        pixels[i] = PixelPoint{RoundToPixel(quad[i].x), RoundToPixel(quad[i].y)};
    }
    return pixels;
}

DRAWBOT_PointF32 ToFloatPoint(PF_FixedPoint point) {
    return DRAWBOT_PointF32{static_cast<float>(FixedToDouble(point.x)), static_cast<float>(FixedToDouble(point.y))};
}

DRAWBOT_PointF32 Midpoint(PixelPoint a, PixelPoint b) {
    return DRAWBOT_PointF32{static_cast<float>(static_cast<double>(a.x + b.x) * 0.5),
                            static_cast<float>(static_cast<double>(a.y + b.y) * 0.5)};
}

// The square drawn round a corner; it does not turn with the window.
PixelQuad CornerHandleSquare(PixelPoint corner) {
    const A_long s = CORNER_HANDLE_HALF_SIZE;
    return PixelQuad{PixelPoint{corner.x - s, corner.y - s}, PixelPoint{corner.x + s, corner.y - s},
                     PixelPoint{corner.x - s, corner.y + s}, PixelPoint{corner.x + s, corner.y + s}};
}

// What the handle shapes of one draw event share: the drawing reference, the
// suites, the one path remade for each shape and, in Premiere Pro, the
// surface and the one pen.
struct HandleCanvas {
    const PF_InData *in_data;
    HostSuites &suites;
    const DrawbotBundle &bundle;
    DRAWBOT_DrawRef draw_ref;
    DRAWBOT_SupplierRef supplier;
    DRAWBOT_SurfaceRef surface;
    DRAWBOT_PenRef pen;  // null in After Effects
    DRAWBOT_PathP &path;

    PF_Err Stroke() const {
        if (!IsPremiere(in_data)) {
            return suites.OverlayThemeSuite()->PF_StrokePath(draw_ref, path.Held(), 1);
        }
        return bundle.surface->StrokePath(surface, pen, path.Held());
    }
    PF_Err AddCircle(DRAWBOT_PointF32 centre, float radius) const {
        return bundle.path->AddArc(path.Held(), &centre, radius, FULL_CIRCLE_START, FULL_CIRCLE_SWEEP);
    }
};

// Steps run while the status is 0; the first failure ends the drawing.
PF_Err DrawHandles(const HandleCanvas &canvas, PF_ParamDef *params[], const PF_EventExtra *extra,
                   const FrameCorners &corners) {
    const PixelQuad inner = RoundToPixels(corners.inner);
    const DRAWBOT_PathSuite1 *path_suite = canvas.bundle.path;

    // Feather handles: four circles, one stroke. Halfway between the drawn
    // corners, except where a corner was held at the 16.16 range: the circle
    // is then drawn where the handle is found.
    const auto feather_centre = [&](int handle, int a, int b) {
        return corners.feather_ends_held[handle] ? ToFloatPoint(corners.feather[handle]) : Midpoint(inner[a], inner[b]);
    };
    const DRAWBOT_PointF32 feather_centres[4] = {
        feather_centre(FEATHER_TOP, CORNER_TOP_LEFT, CORNER_TOP_RIGHT),
        feather_centre(FEATHER_BOTTOM, CORNER_BOTTOM_LEFT, CORNER_BOTTOM_RIGHT),
        feather_centre(FEATHER_LEFT, CORNER_TOP_LEFT, CORNER_BOTTOM_LEFT),
        feather_centre(FEATHER_RIGHT, CORNER_BOTTOM_RIGHT, CORNER_TOP_RIGHT),
    };
    PF_Err status = PF_Err_NONE;
    for (const DRAWBOT_PointF32 &centre : feather_centres) {
        if (status == PF_Err_NONE) {
            status = canvas.AddCircle(centre, FEATHER_HANDLE_RADIUS);
        }
    }
    if (status == PF_Err_NONE) {
        status = canvas.Stroke();
    }
    if (status != PF_Err_NONE) {
        return status;
    }

    // Angle line from the centre to the handle, at the handle's exact
    // position rather than a whole pixel.
    const DRAWBOT_PointF32 centre = ToFloatPoint(corners.centre);
    PF_FixedPoint handle = AngleHandleLayerPoint(canvas.in_data, WindowOrigin(params), WindowAngleRadians(params));
    LayerPointToFrame(canvas.in_data, extra, &handle);
    const DRAWBOT_PointF32 angle_handle = ToFloatPoint(handle);
    canvas.path.Remake(canvas.supplier);
    status = path_suite->MoveTo(canvas.path.Held(), centre.x, centre.y);
    if (status == PF_Err_NONE) {
        status = path_suite->LineTo(canvas.path.Held(), angle_handle.x, angle_handle.y);
    }
    if (status == PF_Err_NONE) {
        status = canvas.Stroke();
    }
    if (status != PF_Err_NONE) {
        return status;
    }

    // Angle handle.
    canvas.path.Remake(canvas.supplier);
    status = canvas.AddCircle(angle_handle, ANGLE_HANDLE_RING_RADIUS);
    if (status == PF_Err_NONE) {
        status = canvas.Stroke();
    }
    if (status != PF_Err_NONE) {
        return status;
    }

    // Mix slider: a 100 px line 40 px left of the centre, from 50 px above
    // to 50 px below it.
    const float slider_x = centre.x - static_cast<float>(MIX_SLIDER_OFFSET_X);
    const float slider_top = centre.y - static_cast<float>(MIX_SLIDER_HALF_LENGTH);
    canvas.path.Remake(canvas.supplier);
    status = path_suite->MoveTo(canvas.path.Held(), slider_x, slider_top);
    if (status == PF_Err_NONE) {
        status = path_suite->LineTo(canvas.path.Held(), slider_x,
                                    slider_top + static_cast<float>(2 * MIX_SLIDER_HALF_LENGTH));
    }
    if (status == PF_Err_NONE) {
        status = canvas.Stroke();
    }
    if (status != PF_Err_NONE) {
        return status;
    }

    // Mix marker: Mix 1 at the top end of the line, 0 at the bottom end.
    const double mix = FloatParam(params, PARAM_MIX);
    const float marker_y = slider_top + static_cast<float>(static_cast<double>(MIX_SLIDER_SCALE) -
                                                           static_cast<double>(MIX_SLIDER_SCALE) * mix);
    const A_long x0 = SaturateTruncate(slider_x - MIX_MARKER_LEFT);
    const A_long x1 = SaturateTruncate(slider_x + MIX_MARKER_RIGHT);
    const A_long y0 = SaturateTruncate(marker_y - MIX_MARKER_HALF_HEIGHT);
    const A_long y1 = SaturateTruncate(marker_y + MIX_MARKER_HALF_HEIGHT);
    const PixelQuad marker{PixelPoint{x0, y0}, PixelPoint{x1, y0}, PixelPoint{x0, y1}, PixelPoint{x1, y1}};
    return StrokeQuad(canvas.in_data, marker, canvas.draw_ref, canvas.bundle);
}

}  // namespace

void DrawOverlay(PF_InData *in_data, PF_OutData *out_data, PF_ParamDef *params[], PF_EventExtra *extra) {
    HostSuites suites(in_data->pica_basicP);
    const bool premiere = IsPremiere(in_data);
    const float theta = WindowAngleRadians(params);
    const PF_FixedPoint layer_centre = WindowOrigin(params);
    const FrameCorners corners = ComputeFrameCorners(in_data, params, extra);
    const PixelQuad outer = RoundToPixels(corners.outer);

    // Declared before every pen and path, so it is given back after them.
    const ScopedDrawbotBundle drawbot(in_data, out_data);
    const DrawbotBundle &bundle = drawbot.Suites();
    // Every shape needs the supplier and path suites, and Premiere Pro also
    // the surface suite; a partial bundle draws nothing and calls through no
    // suite it lacks. The user has been told by the acquire.
    if (!bundle.IsComplete()) {
        return;
    }

    DRAWBOT_DrawRef draw_ref = nullptr;
    PF_Err status = suites.CustomUISuite()->PF_GetDrawingReference(extra->contextH, &draw_ref);
    if (draw_ref == nullptr) {
        return;
    }
    DRAWBOT_SurfaceRef surface = nullptr;
    if (premiere && status == PF_Err_NONE) {
        status = suites.DrawSuite()->GetSurface(draw_ref, &surface);
    }

    // An elliptical window shows its bounding rectangle as well.
    if (status == PF_Err_NONE && params[PARAM_WINDOW_TYPE]->u.pd.value == WINDOW_TYPE_ELLIPSE) {
        status = StrokeEllipse(in_data, layer_centre, static_cast<double>(theta), FloatParam(params, PARAM_WIDTH) * 0.5,
                               FloatParam(params, PARAM_HEIGHT) * 0.5, draw_ref, bundle, extra);
    }
    if (status == PF_Err_NONE) {
        status = StrokeQuad(in_data, outer, draw_ref, bundle);
    }
    // Corner squares, in the order of a walk round the window.
    for (const int corner : {CORNER_TOP_LEFT, CORNER_TOP_RIGHT, CORNER_BOTTOM_RIGHT, CORNER_BOTTOM_LEFT}) {
        if (status == PF_Err_NONE) {
            status = StrokeQuad(in_data, CornerHandleSquare(outer[corner]), draw_ref, bundle);
        }
    }
    if (status != PF_Err_NONE) {
        return;
    }

    DRAWBOT_SupplierRef supplier = nullptr;
    if (suites.DrawSuite()->GetSupplier(draw_ref, &supplier) != PF_Err_NONE) {
        return;
    }
    DRAWBOT_PathP path(bundle.supplier, supplier);
    if (premiere) {
        const DRAWBOT_PenP pen(bundle.supplier, supplier, OVERLAY_COLOR, OVERLAY_PEN_WIDTH);
        DrawHandles(HandleCanvas{in_data, suites, bundle, draw_ref, supplier, surface, pen.Held(), path}, params, extra,
                    corners);
    } else {
        DrawHandles(HandleCanvas{in_data, suites, bundle, draw_ref, supplier, surface, nullptr, path}, params, extra,
                    corners);
    }
}

}  // namespace zonara
