#include "testhost/drawing/views.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace testhost {
namespace {

// One in the interface's 16.16 fixed point. The host keeps its own: it
// knows the interface, not the effect's sources.
constexpr double FIXED_ONE = 65536.0;

// Rounds a 16.16 quantity held in a double to the nearest representable
// value, halves away from zero, saturating instead of overflowing: a point
// dragged far outside the view must not become undefined behaviour.
PF_Fixed RoundToFixed(double fixed) {
    const double rounded = std::round(fixed);
    if (!(rounded > static_cast<double>(std::numeric_limits<PF_Fixed>::min()))) {
        return std::numeric_limits<PF_Fixed>::min();
    }
    if (rounded >= static_cast<double>(std::numeric_limits<PF_Fixed>::max())) {
        return std::numeric_limits<PF_Fixed>::max();
    }
    return static_cast<PF_Fixed>(rounded);
}

// Applies value x scale + offset to a 16.16 point, offsets in whole pixels.
PF_FixedPoint Forward(PF_FixedPoint p, double scale, double offset_x, double offset_y) {
    return {RoundToFixed(static_cast<double>(p.x) * scale + offset_x * FIXED_ONE),
            RoundToFixed(static_cast<double>(p.y) * scale + offset_y * FIXED_ONE)};
}

PF_FixedPoint Backward(PF_FixedPoint p, double scale, double offset_x, double offset_y) {
    return {RoundToFixed((static_cast<double>(p.x) - offset_x * FIXED_ONE) / scale),
            RoundToFixed((static_cast<double>(p.y) - offset_y * FIXED_ONE) / scale)};
}

bool IsUsableScale(double s) { return std::isfinite(s) && s > 0.0; }

}  // namespace

PF_WindowType WindowTypeOf(ViewKind kind) {
    switch (kind) {
    case ViewKind::kComposition:
        return PF_Window_COMP;
    case ViewKind::kLayer:
        return PF_Window_LAYER;
    case ViewKind::kEffectControls:
        break;
    }
    return PF_Window_EFFECT;
}

bool ParseViewKind(const std::string &text, ViewKind *kind) {
    if (text == "comp") {
        *kind = ViewKind::kComposition;
    } else if (text == "layer") {
        *kind = ViewKind::kLayer;
    } else if (text == "effect") {
        *kind = ViewKind::kEffectControls;
    } else {
        return false;
    }
    return true;
}

std::string ValidateView(const View &view) {
    if (!IsUsableScale(view.zoom)) {
        return "zoom must be a finite number above 0";
    }
    if (!IsUsableScale(view.placement.scale)) {
        return "layer scale must be a finite number above 0";
    }
    if (!std::isfinite(view.pan_x) || !std::isfinite(view.pan_y)) {
        return "pan must be finite";
    }
    if (!std::isfinite(view.placement.offset_x) || !std::isfinite(view.placement.offset_y)) {
        return "layer offset must be finite";
    }
    return {};
}

PF_FixedPoint LayerToComp(const View &view, PF_FixedPoint point) {
    const LayerPlacement &p = view.placement;
    return Forward(point, p.scale, p.offset_x, p.offset_y);
}

PF_FixedPoint CompToLayer(const View &view, PF_FixedPoint point) {
    const LayerPlacement &p = view.placement;
    return Backward(point, p.scale, p.offset_x, p.offset_y);
}

PF_FixedPoint SourceToFrame(const View &view, PF_FixedPoint point) {
    return Forward(point, view.zoom, view.pan_x, view.pan_y);
}

PF_FixedPoint FrameToSource(const View &view, PF_FixedPoint point) {
    return Backward(point, view.zoom, view.pan_x, view.pan_y);
}

LayerToFrameMap LayerToFrame(const View &view) {
    if (view.kind == ViewKind::kLayer) {
        return {view.zoom, view.pan_x, view.pan_y};
    }
    const LayerPlacement &p = view.placement;
    return {p.scale * view.zoom, p.offset_x * view.zoom + view.pan_x, p.offset_y * view.zoom + view.pan_y};
}

}  // namespace testhost
