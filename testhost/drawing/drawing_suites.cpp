#include "testhost/drawing/drawing_suites.h"

#include <exception>

#include "testhost/drawing/drawing_session.h"
#include "testhost/drawing/event_context.h"

namespace testhost {
namespace {

// The session a reference belongs to, or null for a reference this host did
// not hand out.
DrawingSession *SessionOf(DrawObject *object) { return object != nullptr ? object->session : nullptr; }

// No exception may travel back through the effect's call into the host.
template <class Work>
SPErr Guarded(Work work) {
    try {
        return work();
    } catch (...) {
        return PF_Err_OUT_OF_MEMORY;
    }
}

PF_Err GetDrawingReference(PF_ContextH context, DRAWBOT_DrawRef *draw_ref) {
    return Guarded([&]() -> SPErr {
        ViewContext *view = ViewContext::FromHandle(context);
        DrawingSession *session = view != nullptr ? view->drawing() : nullptr;
        if (session == nullptr) {
            // No draw event in progress in this context: nothing to draw into.
            if (draw_ref != nullptr) {
                *draw_ref = nullptr;
            }
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        return session->GetDrawingReference(draw_ref);
    });
}

PF_Err ThemeStrokePath(DRAWBOT_DrawRef draw_ref, DRAWBOT_PathRef path, PF_Boolean draw_shadow) {
    return Guarded([&]() -> SPErr {
        DrawObject *draw = DrawObject::From(draw_ref);
        DrawingSession *session = SessionOf(draw);
        return session ? session->ThemeStrokePath(*draw, path, draw_shadow) : PF_Err_BAD_CALLBACK_PARAM;
    });
}

SPErr GetSupplier(DRAWBOT_DrawRef draw_ref, DRAWBOT_SupplierRef *out_supplier) {
    return Guarded([&]() -> SPErr {
        DrawObject *draw = DrawObject::From(draw_ref);
        DrawingSession *session = SessionOf(draw);
        return session ? session->GetSupplier(*draw, out_supplier) : PF_Err_BAD_CALLBACK_PARAM;
    });
}

SPErr GetSurface(DRAWBOT_DrawRef draw_ref, DRAWBOT_SurfaceRef *out_surface) {
    return Guarded([&]() -> SPErr {
        DrawObject *draw = DrawObject::From(draw_ref);
        DrawingSession *session = SessionOf(draw);
        return session ? session->GetSurface(*draw, out_surface) : PF_Err_BAD_CALLBACK_PARAM;
    });
}

SPErr NewPen(DRAWBOT_SupplierRef supplier_ref, const DRAWBOT_ColorRGBA *color, float size, DRAWBOT_PenRef *out_pen) {
    return Guarded([&]() -> SPErr {
        DrawObject *supplier = DrawObject::From(supplier_ref);
        DrawingSession *session = SessionOf(supplier);
        return session ? session->NewPen(*supplier, color, size, out_pen) : PF_Err_BAD_CALLBACK_PARAM;
    });
}

SPErr NewPath(DRAWBOT_SupplierRef supplier_ref, DRAWBOT_PathRef *out_path) {
    return Guarded([&]() -> SPErr {
        DrawObject *supplier = DrawObject::From(supplier_ref);
        DrawingSession *session = SessionOf(supplier);
        return session ? session->NewPath(*supplier, out_path) : PF_Err_BAD_CALLBACK_PARAM;
    });
}

SPErr ReleaseObject(DRAWBOT_ObjectRef object_ref) {
    return Guarded([&]() -> SPErr {
        DrawObject *object = DrawObject::From(object_ref);
        DrawingSession *session = SessionOf(object);
        return session ? session->ReleaseObject(*object) : PF_Err_BAD_CALLBACK_PARAM;
    });
}

SPErr StrokePath(DRAWBOT_SurfaceRef surface_ref, DRAWBOT_PenRef pen, DRAWBOT_PathRef path) {
    return Guarded([&]() -> SPErr {
        DrawObject *surface = DrawObject::From(surface_ref);
        DrawingSession *session = SessionOf(surface);
        return session ? session->StrokePath(*surface, pen, path) : PF_Err_BAD_CALLBACK_PARAM;
    });
}

SPErr AddSegment(DRAWBOT_PathRef path_ref, DrawOp op, const PathSegment &segment) {
    return Guarded([&]() -> SPErr {
        DrawObject *path = DrawObject::From(path_ref);
        DrawingSession *session = SessionOf(path);
        return session ? session->AddToPath(*path, op, segment) : PF_Err_BAD_CALLBACK_PARAM;
    });
}

SPErr MoveTo(DRAWBOT_PathRef path, float x, float y) {
    return AddSegment(path, DrawOp::kMoveTo, {PathSegment::Kind::kMoveTo, x, y});
}

SPErr LineTo(DRAWBOT_PathRef path, float x, float y) {
    return AddSegment(path, DrawOp::kLineTo, {PathSegment::Kind::kLineTo, x, y});
}

SPErr AddArc(DRAWBOT_PathRef path_ref, const DRAWBOT_PointF32 *center, float radius, float start_angle, float sweep) {
    if (center == nullptr) {
        return Guarded([&]() -> SPErr {
            DrawObject *path = DrawObject::From(path_ref);
            DrawingSession *session = SessionOf(path);
            return session ? session->Reject(DrawOp::kAddArc, *path, "null centre") : PF_Err_BAD_CALLBACK_PARAM;
        });
    }
    return AddSegment(path_ref, DrawOp::kAddArc,
                      {PathSegment::Kind::kArc, center->x, center->y, radius, start_angle, sweep});
}

SPErr Close(DRAWBOT_PathRef path) { return AddSegment(path, DrawOp::kClose, {PathSegment::Kind::kClose}); }

// Each table fills the slots the effect calls, each at its own place; the
// others stay null, as a host leaves a service it does not offer.
constexpr PF_EffectCustomUISuite1 CUSTOM_UI_SUITE = [] {
    PF_EffectCustomUISuite1 suite{};
    suite.PF_GetDrawingReference = &GetDrawingReference;
    return suite;
}();
constexpr PF_EffectCustomUIOverlayThemeSuite1 OVERLAY_THEME_SUITE = [] {
    PF_EffectCustomUIOverlayThemeSuite1 suite{};
    suite.PF_StrokePath = &ThemeStrokePath;
    return suite;
}();
constexpr DRAWBOT_DrawbotSuite1 DRAW_SUITE = [] {
    DRAWBOT_DrawbotSuite1 suite{};
    suite.GetSupplier = &GetSupplier;
    suite.GetSurface = &GetSurface;
    return suite;
}();
constexpr DRAWBOT_SupplierSuite1 SUPPLIER_SUITE = [] {
    DRAWBOT_SupplierSuite1 suite{};
    suite.NewPen = &NewPen;
    suite.NewPath = &NewPath;
    suite.ReleaseObject = &ReleaseObject;
    return suite;
}();
constexpr DRAWBOT_SurfaceSuite1 SURFACE_SUITE = [] {
    DRAWBOT_SurfaceSuite1 suite{};
    suite.StrokePath = &StrokePath;
    return suite;
}();
constexpr DRAWBOT_PathSuite1 PATH_SUITE = [] {
    DRAWBOT_PathSuite1 suite{};
    suite.MoveTo = &MoveTo;
    suite.LineTo = &LineTo;
    suite.AddArc = &AddArc;
    suite.Close = &Close;
    return suite;
}();

}  // namespace

void RegisterDrawingSuites(SuiteRegistry &registry) {
    registry.Register(kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1, &CUSTOM_UI_SUITE);
    registry.Register(kPFEffectCustomUIOverlayThemeSuite, kPFEffectCustomUIOverlayThemeSuiteVersion1,
                      &OVERLAY_THEME_SUITE);
    registry.Register(kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1, &DRAW_SUITE);
    registry.Register(kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1, &SUPPLIER_SUITE);
    registry.Register(kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version1, &SURFACE_SUITE);
    registry.Register(kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1, &PATH_SUITE);
}

}  // namespace testhost
