// One draw event's worth of drawing, as the host sees it: the drawing
// reference, supplier and surface it hands out, every pen and path the
// overlay makes (counted from creation to release), every call in order, and
// the strokes painted onto the view's picture.
//
// Every object handed to the overlay is a DrawObject owned by the session
// and kept until the session ends, so a pen or path used after its release,
// released twice, or taken from another draw event is caught and reported
// instead of touching freed memory.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "pf_sdk.h"
#include "testhost/drawing/drawing_calls.h"
#include "testhost/drawing/drawing_canvas.h"

namespace testhost {

class DrawingSession;

struct DrawObject {
    enum class Kind { kDraw, kSupplier, kSurface, kPen, kPath };

    std::uint32_t magic = 0;
    DrawingSession *session = nullptr;
    Kind kind = Kind::kPath;
    int serial = 0;  // per kind, from 1
    bool live = true;
    DRAWBOT_ColorRGBA color{};  // pens
    float size = 0.0f;
    PathGeometry path;  // paths

    // The object behind a reference the host handed out, or null for null and
    // for any pointer value this host did not hand out.
    static DrawObject *From(const void *reference);
};

struct DrawingCounts {
    int pens_made = 0;
    int pens_released = 0;
    int paths_made = 0;
    int paths_released = 0;
    int strokes = 0;  // successful strokes, themed or with a pen

    int live_pens() const { return pens_made - pens_released; }
    int live_paths() const { return paths_made - paths_released; }
    int live() const { return live_pens() + live_paths(); }
};

// The compositing host's overlay look: a light line with a dark shadow one
// pixel down and to the right.
StrokeStyle HostOverlayTheme();

class DrawingSession {
public:
    // canvas may be null: calls are then recorded and counted, not painted.
    explicit DrawingSession(DrawingFaults faults = {}, Canvas *canvas = nullptr,
                            StrokeStyle theme = HostOverlayTheme());
    ~DrawingSession();
    DrawingSession(const DrawingSession &) = delete;
    DrawingSession &operator=(const DrawingSession &) = delete;

    const std::vector<DrawCall> &calls() const { return calls_; }
    const DrawingCounts &counts() const { return counts_; }
    // Protocol errors: objects used after release, released twice, of the
    // wrong kind or another event, null arguments. Empty when all was well.
    const std::vector<std::string> &misuse() const { return misuse_; }

    // The suite operations; the host's C suite tables forward to these once
    // they have found the session from the reference passed.
    SPErr GetDrawingReference(DRAWBOT_DrawRef *out_draw);
    SPErr ThemeStrokePath(DrawObject &draw, DRAWBOT_PathRef path, PF_Boolean draw_shadow);
    SPErr GetSupplier(DrawObject &draw, DRAWBOT_SupplierRef *out_supplier);
    SPErr GetSurface(DrawObject &draw, DRAWBOT_SurfaceRef *out_surface);
    SPErr NewPen(DrawObject &supplier, const DRAWBOT_ColorRGBA *color, float size, DRAWBOT_PenRef *out_pen);
    SPErr NewPath(DrawObject &supplier, DRAWBOT_PathRef *out_path);
    SPErr ReleaseObject(DrawObject &object);
    SPErr StrokePath(DrawObject &surface, DRAWBOT_PenRef pen, DRAWBOT_PathRef path);
    SPErr AddToPath(DrawObject &path, DrawOp op, const PathSegment &segment);
    // A call whose arguments the host cannot take (a null point): recorded,
    // noted as misuse, answered with an error.
    SPErr Reject(DrawOp op, DrawObject &first, const std::string &what);

private:
    DrawObject &Make(DrawObject::Kind kind);
    // The host's name of a reference, for the record ("path#2", "null").
    std::string NameOf(const void *reference) const;
    // Checks that `reference` is a live object of this session of the given
    // kind; notes the misuse and returns null otherwise.
    DrawObject *Expect(const void *reference, DrawObject::Kind kind, DrawOp op, const char *role);
    // The injected failure for this call of `op`, or 0. Counts the call.
    SPErr InjectedFailure(DrawOp op);
    void Record(DrawOp op, std::vector<DrawArg> args, SPErr result);
    void NoteMisuse(DrawOp op, const std::string &what);

    DrawingFaults faults_;
    Canvas *canvas_;
    StrokeStyle theme_;
    std::deque<DrawObject> objects_;  // stable addresses for the references
    std::map<DrawObject::Kind, int> serials_;
    std::map<DrawOp, int> op_calls_;
    DrawObject *draw_ = nullptr;
    DrawObject *supplier_ = nullptr;
    DrawObject *surface_ = nullptr;
    std::vector<DrawCall> calls_;
    DrawingCounts counts_;
    std::vector<std::string> misuse_;
};

}  // namespace testhost
