#include "testhost/drawing/drawing_session.h"

#include <utility>

namespace testhost {
namespace {

// Marks a drawing object made by this host ('ZnDo').
constexpr std::uint32_t OBJECT_MAGIC = 0x5A6E446Fu;

const char *KindName(DrawObject::Kind kind) {
    switch (kind) {
    case DrawObject::Kind::kDraw:
        return "draw";
    case DrawObject::Kind::kSupplier:
        return "supplier";
    case DrawObject::Kind::kSurface:
        return "surface";
    case DrawObject::Kind::kPen:
        return "pen";
    case DrawObject::Kind::kPath:
        break;
    }
    return "path";
}

DrawArg Number(const char *name, double value) { return {name, value}; }
DrawArg Object(const char *name, std::string value) { return {name, std::move(value)}; }

}  // namespace

DrawObject *DrawObject::From(const void *reference) {
    if (reference == nullptr) {
        return nullptr;
    }
    auto *object = static_cast<DrawObject *>(const_cast<void *>(reference));
    return object->magic == OBJECT_MAGIC ? object : nullptr;
}

StrokeStyle HostOverlayTheme() {
    StrokeStyle theme;
    theme.color = {0.92f, 0.92f, 0.92f, 1.0f};
    theme.width = 1.0f;
    theme.shadow = true;
    theme.shadow_color = {0.0f, 0.0f, 0.0f, 0.75f};
    theme.shadow_dx = 1.0f;
    theme.shadow_dy = 1.0f;
    return theme;
}

DrawingSession::DrawingSession(DrawingFaults faults, Canvas *canvas, StrokeStyle theme)
    : faults_(std::move(faults)), canvas_(canvas), theme_(theme) {
    draw_ = &Make(DrawObject::Kind::kDraw);
    supplier_ = &Make(DrawObject::Kind::kSupplier);
    surface_ = &Make(DrawObject::Kind::kSurface);
}

DrawingSession::~DrawingSession() {
    // References kept by a careless caller must not look valid afterwards.
    for (DrawObject &object : objects_) {
        object.magic = 0;
        object.live = false;
    }
}

DrawObject &DrawingSession::Make(DrawObject::Kind kind) {
    DrawObject &object = objects_.emplace_back();
    object.magic = OBJECT_MAGIC;
    object.session = this;
    object.kind = kind;
    object.serial = ++serials_[kind];
    return object;
}

std::string DrawingSession::NameOf(const void *reference) const {
    if (reference == nullptr) {
        return "null";
    }
    const DrawObject *object = DrawObject::From(reference);
    if (object == nullptr || object->session != this) {
        return "foreign";
    }
    return std::string(KindName(object->kind)) + "#" + std::to_string(object->serial);
}

void DrawingSession::NoteMisuse(DrawOp op, const std::string &what) {
    misuse_.push_back(std::string(OperationNameOf(op)) + ": " + what);
}

DrawObject *DrawingSession::Expect(const void *reference, DrawObject::Kind kind, DrawOp op, const char *role) {
    DrawObject *object = DrawObject::From(reference);
    std::string problem;
    if (reference == nullptr) {
        problem = "null ";
    } else if (object == nullptr || object->session != this) {
        problem = "foreign ";
    } else if (object->kind != kind) {
        problem = std::string("a ") + KindName(object->kind) + " given as ";
    } else if (!object->live) {
        problem = "released ";
    } else {
        return object;
    }
    NoteMisuse(op, problem + role + " " + NameOf(reference));
    return nullptr;
}

SPErr DrawingSession::InjectedFailure(DrawOp op) {
    const int call = ++op_calls_[op];
    for (const DrawFault &fault : faults_.failures) {
        if (fault.op == op && (fault.on_call == 0 || fault.on_call == call)) {
            return fault.code;
        }
    }
    return kSPNoError;
}

void DrawingSession::Record(DrawOp op, std::vector<DrawArg> args, SPErr result) {
    calls_.push_back({op, std::move(args), result});
}

SPErr DrawingSession::GetDrawingReference(DRAWBOT_DrawRef *out_draw) {
    const DrawOp op = DrawOp::kGetDrawingReference;
    if (out_draw == nullptr) {
        NoteMisuse(op, "null out pointer");
        Record(op, {}, PF_Err_BAD_CALLBACK_PARAM);
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    SPErr err = InjectedFailure(op);
    *out_draw =
        (err == kSPNoError && !faults_.null_drawing_reference) ? reinterpret_cast<DRAWBOT_DrawRef>(draw_) : nullptr;
    Record(op, {Object("out_draw_ref", NameOf(*out_draw))}, err);
    return err;
}

SPErr DrawingSession::GetSupplier(DrawObject &draw, DRAWBOT_SupplierRef *out_supplier) {
    const DrawOp op = DrawOp::kGetSupplier;
    std::vector<DrawArg> args{Object("draw_ref", NameOf(&draw))};
    SPErr err = PF_Err_BAD_CALLBACK_PARAM;
    if (out_supplier == nullptr) {
        NoteMisuse(op, "null out pointer");
    } else if (Expect(&draw, DrawObject::Kind::kDraw, op, "drawing reference") != nullptr) {
        err = InjectedFailure(op);
        *out_supplier = err == kSPNoError ? reinterpret_cast<DRAWBOT_SupplierRef>(supplier_) : nullptr;
        args.push_back(Object("out_supplier", NameOf(*out_supplier)));
    }
    Record(op, std::move(args), err);
    return err;
}

SPErr DrawingSession::GetSurface(DrawObject &draw, DRAWBOT_SurfaceRef *out_surface) {
    const DrawOp op = DrawOp::kGetSurface;
    std::vector<DrawArg> args{Object("draw_ref", NameOf(&draw))};
    SPErr err = PF_Err_BAD_CALLBACK_PARAM;
    if (out_surface == nullptr) {
        NoteMisuse(op, "null out pointer");
    } else if (Expect(&draw, DrawObject::Kind::kDraw, op, "drawing reference") != nullptr) {
        err = InjectedFailure(op);
        *out_surface = err == kSPNoError ? reinterpret_cast<DRAWBOT_SurfaceRef>(surface_) : nullptr;
        args.push_back(Object("out_surface", NameOf(*out_surface)));
    }
    Record(op, std::move(args), err);
    return err;
}

SPErr DrawingSession::NewPen(DrawObject &supplier, const DRAWBOT_ColorRGBA *color, float size,
                             DRAWBOT_PenRef *out_pen) {
    const DrawOp op = DrawOp::kNewPen;
    std::vector<DrawArg> args{Object("supplier", NameOf(&supplier))};
    if (color != nullptr) {
        args.push_back(Number("red", color->red));
        args.push_back(Number("green", color->green));
        args.push_back(Number("blue", color->blue));
        args.push_back(Number("alpha", color->alpha));
    }
    args.push_back(Number("size", size));
    SPErr err = PF_Err_BAD_CALLBACK_PARAM;
    if (color == nullptr || out_pen == nullptr) {
        NoteMisuse(op, color == nullptr ? "null colour" : "null out pointer");
    } else if (Expect(&supplier, DrawObject::Kind::kSupplier, op, "supplier") != nullptr) {
        err = InjectedFailure(op);
        *out_pen = nullptr;
        if (err == kSPNoError) {
            DrawObject &pen = Make(DrawObject::Kind::kPen);
            pen.color = *color;
            pen.size = size;
            ++counts_.pens_made;
            *out_pen = reinterpret_cast<DRAWBOT_PenRef>(&pen);
        }
        args.push_back(Object("out_pen", NameOf(*out_pen)));
    }
    Record(op, std::move(args), err);
    return err;
}

SPErr DrawingSession::NewPath(DrawObject &supplier, DRAWBOT_PathRef *out_path) {
    const DrawOp op = DrawOp::kNewPath;
    std::vector<DrawArg> args{Object("supplier", NameOf(&supplier))};
    SPErr err = PF_Err_BAD_CALLBACK_PARAM;
    if (out_path == nullptr) {
        NoteMisuse(op, "null out pointer");
    } else if (Expect(&supplier, DrawObject::Kind::kSupplier, op, "supplier") != nullptr) {
        err = InjectedFailure(op);
        *out_path = nullptr;
        if (err == kSPNoError) {
            DrawObject &path = Make(DrawObject::Kind::kPath);
            ++counts_.paths_made;
            *out_path = reinterpret_cast<DRAWBOT_PathRef>(&path);
        }
        args.push_back(Object("out_path", NameOf(*out_path)));
    }
    Record(op, std::move(args), err);
    return err;
}

SPErr DrawingSession::ReleaseObject(DrawObject &object) {
    const DrawOp op = DrawOp::kReleaseObject;
    std::vector<DrawArg> args{Object("object", NameOf(&object))};
    SPErr err = PF_Err_BAD_CALLBACK_PARAM;
    const bool releasable = object.kind == DrawObject::Kind::kPen || object.kind == DrawObject::Kind::kPath;
    if (!releasable) {
        NoteMisuse(op, std::string("the ") + KindName(object.kind) + " is the host's, not to be released");
    } else if (Expect(&object, object.kind, op, "object") != nullptr) {
        err = InjectedFailure(op);
        // A release the host refused leaves the object alive: it is then
        // counted as not given back.
        if (err == kSPNoError) {
            object.live = false;
            ++(object.kind == DrawObject::Kind::kPen ? counts_.pens_released : counts_.paths_released);
        }
    }
    Record(op, std::move(args), err);
    return err;
}

SPErr DrawingSession::ThemeStrokePath(DrawObject &draw, DRAWBOT_PathRef path, PF_Boolean draw_shadow) {
    const DrawOp op = DrawOp::kThemeStrokePath;
    std::vector<DrawArg> args{Object("draw_ref", NameOf(&draw)), Object("path", NameOf(path)),
                              Number("draw_shadow", draw_shadow)};
    SPErr err = PF_Err_BAD_CALLBACK_PARAM;
    DrawObject *drawing = Expect(&draw, DrawObject::Kind::kDraw, op, "drawing reference");
    DrawObject *shape = Expect(path, DrawObject::Kind::kPath, op, "path");
    if (drawing != nullptr && shape != nullptr) {
        err = InjectedFailure(op);
        if (err == kSPNoError) {
            ++counts_.strokes;
            if (canvas_ != nullptr) {
                StrokeStyle style = theme_;
                style.shadow = style.shadow && draw_shadow != 0;
                canvas_->Stroke(shape->path, style);
            }
        }
    }
    Record(op, std::move(args), err);
    return err;
}

SPErr DrawingSession::StrokePath(DrawObject &surface, DRAWBOT_PenRef pen, DRAWBOT_PathRef path) {
    const DrawOp op = DrawOp::kStrokePath;
    std::vector<DrawArg> args{Object("surface", NameOf(&surface)), Object("pen", NameOf(pen)),
                              Object("path", NameOf(path))};
    SPErr err = PF_Err_BAD_CALLBACK_PARAM;
    DrawObject *target = Expect(&surface, DrawObject::Kind::kSurface, op, "surface");
    DrawObject *stroker = Expect(pen, DrawObject::Kind::kPen, op, "pen");
    DrawObject *shape = Expect(path, DrawObject::Kind::kPath, op, "path");
    if (target != nullptr && stroker != nullptr && shape != nullptr) {
        err = InjectedFailure(op);
        if (err == kSPNoError) {
            ++counts_.strokes;
            if (canvas_ != nullptr) {
                StrokeStyle style;
                style.color = {stroker->color.red, stroker->color.green, stroker->color.blue, stroker->color.alpha};
                style.width = stroker->size;
                canvas_->Stroke(shape->path, style);
            }
        }
    }
    Record(op, std::move(args), err);
    return err;
}

SPErr DrawingSession::Reject(DrawOp op, DrawObject &first, const std::string &what) {
    NoteMisuse(op, what);
    Record(op, {Object("object", NameOf(&first))}, PF_Err_BAD_CALLBACK_PARAM);
    return PF_Err_BAD_CALLBACK_PARAM;
}

SPErr DrawingSession::AddToPath(DrawObject &path, DrawOp op, const PathSegment &segment) {
    std::vector<DrawArg> args{Object("path", NameOf(&path))};
    switch (op) {
    case DrawOp::kMoveTo:
    case DrawOp::kLineTo:
        args.push_back(Number("x", segment.x));
        args.push_back(Number("y", segment.y));
        break;
    case DrawOp::kAddArc:
        args.push_back(Number("center_x", segment.x));
        args.push_back(Number("center_y", segment.y));
        args.push_back(Number("radius", segment.radius));
        args.push_back(Number("start_angle", segment.start_degrees));
        args.push_back(Number("sweep", segment.sweep_degrees));
        break;
    default:
        break;
    }
    SPErr err = PF_Err_BAD_CALLBACK_PARAM;
    if (Expect(&path, DrawObject::Kind::kPath, op, "path") != nullptr) {
        err = InjectedFailure(op);
        if (err == kSPNoError) {
            path.path.push_back(segment);
        }
    }
    Record(op, std::move(args), err);
    return err;
}

}  // namespace testhost
