// The drawing side of a fake host, on top of zonara_test::FakeHost: the
// custom UI and overlay theme suites, the four DRAWBOT suites, views with
// zoom and pan for the event callbacks, and a parameter array for overlay
// events.
//
//   zonara_test::FakeHost host(PF_APPL_ID_PREMIERE);
//   zonara_test::FakeDrawingHost drawing(host);    // serves the suites
//   zonara_test::FakeView view(PF_Window_COMP, 2.0, 10, 20);
//   zonara_test::OverlayParams params;              // defaults of a new effect
//   PF_EventExtra extra = view.Event(PF_Event_DRAW);
//   zonara::DrawOverlay(&host.in_data, &host.out_data, params.List(), &extra);
//   drawing.Shapes(); drawing.AllObjectsReleased(); host.SuitesBalanced();
//
// Every drawing call is recorded in order; pens and paths get ids 1, 2, ...
// from a shared counter, and each must be handed to ReleaseObject exactly
// once. Any call can be made to fail on its n-th use with a given code.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "params/param_index.h"
#include "pf_sdk.h"
#include "support/fake_host.h"

namespace zonara_test {

struct DrawCall {
    enum Op {
        GET_DRAWING_REFERENCE,
        GET_SUPPLIER,
        GET_SURFACE,
        NEW_PEN,
        NEW_PATH,
        RELEASE_OBJECT,
        MOVE_TO,
        LINE_TO,
        ADD_ARC,
        CLOSE,
        THEME_STROKE,
        SURFACE_STROKE,
        OP_COUNT
    };
    DrawCall(Op op_, int object_ = 0, int pen_ = 0, std::vector<float> values_ = {})
        : op(op_), object(object_), pen(pen_), values(std::move(values_)) {}

    Op op;
    int object = 0;             // the pen or path made, released or used
    int pen = 0;                // SURFACE_STROKE: the pen
    std::vector<float> values;  // points, arc (cx, cy, r, start, sweep), pen (r, g, b, a, width), shadow
};

// One stroked shape: the path operations since the path was made, with
// what stroked it.
struct Shape {
    DrawCall::Op stroke;  // THEME_STROKE or SURFACE_STROKE
    int path = 0;
    int pen = 0;
    std::vector<float> pen_values;  // colour and width of the pen, if any
    std::vector<DrawCall> ops;
    float shadow = 0.0f;
};

class FakeDrawingHost;
namespace detail {
inline FakeDrawingHost *g_live_drawing_host = nullptr;
}

class FakeDrawingHost {
public:
    explicit FakeDrawingHost(FakeHost &host) : host_(host) {
        detail::g_live_drawing_host = this;
        custom_ui_.PF_GetDrawingReference = [](PF_ContextH, DRAWBOT_DrawRef *ref) -> PF_Err {
            FakeDrawingHost &self = Live();
            const SPErr err = self.Record({DrawCall::GET_DRAWING_REFERENCE});
            *ref = self.null_drawing_reference ? nullptr : reinterpret_cast<DRAWBOT_DrawRef>(&self);
            return err;
        };
        theme_.PF_StrokePath = [](DRAWBOT_DrawRef, DRAWBOT_PathRef path, PF_Boolean shadow) -> PF_Err {
            return Live().Record({DrawCall::THEME_STROKE, Id(path), 0, {static_cast<float>(shadow)}});
        };
        draw_.GetSupplier = [](DRAWBOT_DrawRef, DRAWBOT_SupplierRef *supplier) -> SPErr {
            *supplier = reinterpret_cast<DRAWBOT_SupplierRef>(&Live());
            return Live().Record({DrawCall::GET_SUPPLIER});
        };
        draw_.GetSurface = [](DRAWBOT_DrawRef, DRAWBOT_SurfaceRef *surface) -> SPErr {
            *surface = reinterpret_cast<DRAWBOT_SurfaceRef>(&Live());
            return Live().Record({DrawCall::GET_SURFACE});
        };
        supplier_.NewPen = [](DRAWBOT_SupplierRef, const DRAWBOT_ColorRGBA *c, float width, DRAWBOT_PenRef *pen) {
            FakeDrawingHost &self = Live();
            const int id = self.next_id_;
            const SPErr err = self.Record({DrawCall::NEW_PEN, id, 0, {c->red, c->green, c->blue, c->alpha, width}});
            if (err == kSPNoError) {
                ++self.next_id_;
                self.made_[id] = 0;
                *pen = MakeRef<DRAWBOT_PenRef>(id);
            }
            return err;
        };
        supplier_.NewPath = [](DRAWBOT_SupplierRef, DRAWBOT_PathRef *path) {
            FakeDrawingHost &self = Live();
            const int id = self.next_id_;
            const SPErr err = self.Record({DrawCall::NEW_PATH, id});
            if (err == kSPNoError) {
                ++self.next_id_;
                self.made_[id] = 0;
                *path = MakeRef<DRAWBOT_PathRef>(id);
            }
            return err;
        };
        // A refused release still counts as the effect's attempt: what is
        // checked is that every object made was handed back once.
        supplier_.ReleaseObject = [](DRAWBOT_ObjectRef object) {
            FakeDrawingHost &self = Live();
            ++self.made_[Id(object)];
            return self.Record({DrawCall::RELEASE_OBJECT, Id(object)});
        };
        surface_.StrokePath = [](DRAWBOT_SurfaceRef, DRAWBOT_PenRef pen, DRAWBOT_PathRef path) {
            return Live().Record({DrawCall::SURFACE_STROKE, Id(path), Id(pen)});
        };
        path_.MoveTo = [](DRAWBOT_PathRef path, float x, float y) {
            return Live().Record({DrawCall::MOVE_TO, Id(path), 0, {x, y}});
        };
        path_.LineTo = [](DRAWBOT_PathRef path, float x, float y) {
            return Live().Record({DrawCall::LINE_TO, Id(path), 0, {x, y}});
        };
        path_.AddArc = [](DRAWBOT_PathRef path, const DRAWBOT_PointF32 *c, float radius, float start, float sweep) {
            return Live().Record({DrawCall::ADD_ARC, Id(path), 0, {c->x, c->y, radius, start, sweep}});
        };
        path_.Close = [](DRAWBOT_PathRef path) { return Live().Record({DrawCall::CLOSE, Id(path)}); };

        host_.ProvideSuite(kPFEffectCustomUISuite, &custom_ui_);
        host_.ProvideSuite(kPFEffectCustomUIOverlayThemeSuite, &theme_);
        host_.ProvideSuite(kDRAWBOT_DrawSuite, &draw_);
        host_.ProvideSuite(kDRAWBOT_SupplierSuite, &supplier_);
        host_.ProvideSuite(kDRAWBOT_SurfaceSuite, &surface_);
        host_.ProvideSuite(kDRAWBOT_PathSuite, &path_);
    }
    ~FakeDrawingHost() { detail::g_live_drawing_host = nullptr; }
    FakeDrawingHost(const FakeDrawingHost &) = delete;
    FakeDrawingHost &operator=(const FakeDrawingHost &) = delete;

    static FakeDrawingHost &Live() { return *detail::g_live_drawing_host; }

    // The n-th call (from 1) of op returns code; objects are then not made.
    void FailCall(DrawCall::Op op, int n, SPErr code) { failures_[op] = {n, code}; }
    bool null_drawing_reference = false;

    std::vector<DrawCall> calls;

    int Count(DrawCall::Op op) const {
        int n = 0;
        for (const DrawCall &call : calls) {
            n += call.op == op ? 1 : 0;
        }
        return n;
    }
    int ObjectsMade() const { return static_cast<int>(made_.size()); }
    // Every pen and path made was handed to ReleaseObject exactly once, and
    // nothing else was.
    bool AllObjectsReleased() const {
        for (const auto &[id, releases] : made_) {
            if (releases != 1) {
                return false;
            }
        }
        return true;
    }

    // The strokes in order, each with the operations on its path.
    std::vector<Shape> Shapes() const {
        std::vector<Shape> shapes;
        std::map<int, std::vector<DrawCall>> path_ops;
        std::map<int, std::vector<float>> pens;
        for (const DrawCall &call : calls) {
            switch (call.op) {
            case DrawCall::NEW_PEN: pens[call.object] = call.values; break;
            case DrawCall::MOVE_TO:
            case DrawCall::LINE_TO:
            case DrawCall::ADD_ARC:
            case DrawCall::CLOSE: path_ops[call.object].push_back(call); break;
            case DrawCall::THEME_STROKE:
            case DrawCall::SURFACE_STROKE: {
                Shape shape{call.op, call.object, call.pen, pens[call.pen], path_ops[call.object], 0.0f};
                if (call.op == DrawCall::THEME_STROKE) {
                    shape.shadow = call.values.at(0);
                }
                shapes.push_back(shape);
                break;
            }
            default: break;
            }
        }
        return shapes;
    }

private:
    template <typename R>
    static R MakeRef(int id) {
        return reinterpret_cast<R>(static_cast<std::uintptr_t>(id) * 16u);
    }
    template <typename R>
    static int Id(R ref) {
        return static_cast<int>(reinterpret_cast<std::uintptr_t>(ref) / 16u);
    }

    SPErr Record(DrawCall call) {
        calls.push_back(call);
        const int used = ++uses_[call.op];
        auto failure = failures_.find(call.op);
        if (failure != failures_.end() && failure->second.first == used) {
            return failure->second.second;
        }
        return kSPNoError;
    }

    FakeHost &host_;
    PF_EffectCustomUISuite1 custom_ui_{};
    PF_EffectCustomUIOverlayThemeSuite1 theme_{};
    DRAWBOT_DrawbotSuite1 draw_{};
    DRAWBOT_SupplierSuite1 supplier_{};
    DRAWBOT_SurfaceSuite1 surface_{};
    DRAWBOT_PathSuite1 path_{};
    std::map<DrawCall::Op, std::pair<int, SPErr>> failures_;
    std::map<DrawCall::Op, int> uses_;
    std::map<int, int> made_;  // object id -> ReleaseObject calls
    int next_id_ = 1;
};

// A view of the layer: in the composition view the layer sits at
// (offset_x, offset_y) composition pixels; the frame shows the view's source
// (composition or layer) at zoom, scrolled by (pan_x, pan_y) frame pixels.
// Conversions round to the nearest 1/65536.
class FakeView {
public:
    FakeView(PF_WindowType type, double zoom = 1.0, double pan_x = 0.0, double pan_y = 0.0, double offset_x = 0.0,
             double offset_y = 0.0)
        : zoom_(zoom), pan_x_(pan_x), pan_y_(pan_y), offset_x_(offset_x), offset_y_(offset_y) {
        context_.w_type = type;
    }

    PF_EventExtra Event(PF_EventType type) {
        PF_EventExtra extra{};
        // Set here rather than at construction: a view may have been copied.
        context_pointer_ = &context_;
        extra.contextH = &context_pointer_;
        extra.e_type = type;
        extra.cbs.refcon = this;
        extra.cbs.layer_to_comp = [](PF_EventRefcon refcon, PF_ContextH, A_long, A_long, PF_FixedPoint *pt) -> PF_Err {
            auto *self = static_cast<FakeView *>(refcon);
            ++self->layer_to_comp_calls;
            *pt = Map(*pt, 1.0, self->offset_x_, self->offset_y_);
            return PF_Err_NONE;
        };
        extra.cbs.comp_to_layer = [](PF_EventRefcon refcon, PF_ContextH, A_long, A_long, PF_FixedPoint *pt) -> PF_Err {
            auto *self = static_cast<FakeView *>(refcon);
            ++self->comp_to_layer_calls;
            *pt = Map(*pt, 1.0, -self->offset_x_, -self->offset_y_);
            return PF_Err_NONE;
        };
        extra.cbs.source_to_frame = [](PF_EventRefcon refcon, PF_ContextH, PF_FixedPoint *pt) -> PF_Err {
            auto *self = static_cast<FakeView *>(refcon);
            ++self->source_to_frame_calls;
            *pt = Map(*pt, self->zoom_, self->pan_x_, self->pan_y_);
            return PF_Err_NONE;
        };
        extra.cbs.frame_to_source = [](PF_EventRefcon refcon, PF_ContextH, PF_FixedPoint *pt) -> PF_Err {
            auto *self = static_cast<FakeView *>(refcon);
            ++self->frame_to_source_calls;
            *pt = Map(PF_FixedPoint{pt->x - Fixed(self->pan_x_), pt->y - Fixed(self->pan_y_)}, 1.0 / self->zoom_, 0.0,
                      0.0);
            return PF_Err_NONE;
        };
        return extra;
    }

    // Where a layer pixel shows in the frame, in frame pixels.
    double FrameX(double layer_x) const { return (layer_x + Offset(offset_x_)) * zoom_ + pan_x_; }
    double FrameY(double layer_y) const { return (layer_y + Offset(offset_y_)) * zoom_ + pan_y_; }

    int layer_to_comp_calls = 0;
    int comp_to_layer_calls = 0;
    int source_to_frame_calls = 0;
    int frame_to_source_calls = 0;

private:
    static PF_Fixed Fixed(double pixels) { return static_cast<PF_Fixed>(std::lround(pixels * 65536.0)); }
    static PF_FixedPoint Map(PF_FixedPoint pt, double scale, double add_x, double add_y) {
        return PF_FixedPoint{static_cast<PF_Fixed>(std::lround(pt.x * scale + add_x * 65536.0)),
                             static_cast<PF_Fixed>(std::lround(pt.y * scale + add_y * 65536.0))};
    }
    double Offset(double offset) const { return context_.w_type == PF_Window_COMP ? offset : 0.0; }

    PF_Context context_{};
    PF_Context *context_pointer_ = nullptr;  // what the event's handle points at
    double zoom_;
    double pan_x_;
    double pan_y_;
    double offset_x_;
    double offset_y_;
};

// The parameter array of an overlay event, valued as a freshly applied
// effect except where a test sets otherwise.
class OverlayParams {
public:
    OverlayParams() {
        for (int i = 0; i < zonara::PARAM_COUNT; ++i) {
            list_[i] = &defs_[i];
        }
        defs_[zonara::PARAM_WINDOW_TYPE].u.pd.value = zonara::WINDOW_TYPE_ELLIPSE;
        Origin(960, 540).Width(1920).Height(1080).Feather(100).Mix(1.0);
    }
    OverlayParams &Origin(double x, double y) {
        defs_[zonara::PARAM_ORIGIN].u.td.x_value = static_cast<PF_Fixed>(std::lround(x * 65536.0));
        defs_[zonara::PARAM_ORIGIN].u.td.y_value = static_cast<PF_Fixed>(std::lround(y * 65536.0));
        return *this;
    }
    OverlayParams &Width(double v) { return Float(zonara::PARAM_WIDTH, v); }
    OverlayParams &Height(double v) { return Float(zonara::PARAM_HEIGHT, v); }
    OverlayParams &Feather(double v) { return Float(zonara::PARAM_FEATHER, v); }
    OverlayParams &Mix(double v) { return Float(zonara::PARAM_MIX, v); }
    OverlayParams &AngleDegrees(double degrees) {
        defs_[zonara::PARAM_ANGLE].u.ad.value = static_cast<PF_Fixed>(std::lround(degrees * 65536.0));
        return *this;
    }
    OverlayParams &WindowType(A_long choice) {
        defs_[zonara::PARAM_WINDOW_TYPE].u.pd.value = choice;
        return *this;
    }

    PF_ParamDef **List() { return list_.data(); }
    PF_ParamDef &operator[](int index) { return defs_[index]; }

private:
    OverlayParams &Float(int index, double v) {
        defs_[index].u.fs_d.value = v;
        return *this;
    }
    std::array<PF_ParamDef, zonara::PARAM_COUNT> defs_{};
    std::array<PF_ParamDef *, zonara::PARAM_COUNT> list_{};
};

}  // namespace zonara_test
