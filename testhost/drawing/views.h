// The host's views of a layer: the composition view, the layer view and the
// effect controls window, each with its own zoom and scroll, and the layer's
// placement in the composition. The four point conversions an overlay asks
// for (layer <-> composition, source <-> frame) are real affine maps here,
// so that positions in a view can be worked out by hand:
//
//   composition = layer x scale + offset        (the layer's placement)
//   frame       = source x zoom + pan           (the view's zoom and scroll)
//
// where "source" is the composition in the composition view and the layer in
// the layer view. All points are 16.16 fixed; results are rounded to the
// nearest 1/65536, halves away from zero, and saturate at the range of a
// 32-bit value rather than wrapping.
#pragma once

#include <string>

#include "pf_sdk.h"

namespace testhost {

enum class ViewKind { kComposition, kLayer, kEffectControls };

// The PF_WindowType a host reports for a view.
PF_WindowType WindowTypeOf(ViewKind kind);
// "comp", "layer", "effect" (as the tool spells them); false when unknown.
bool ParseViewKind(const std::string &text, ViewKind *kind);

// Where the layer sits in the composition: its origin's composition position
// and a uniform scale.
struct LayerPlacement {
    double offset_x = 0.0;
    double offset_y = 0.0;
    double scale = 1.0;
};

struct View {
    ViewKind kind = ViewKind::kComposition;
    double zoom = 1.0;   // frame pixels per source pixel
    double pan_x = 0.0;  // frame pixels
    double pan_y = 0.0;
    LayerPlacement placement;
};

// Empty when the view can be used; otherwise what is wrong with it (a zoom or
// scale that is zero, negative or not finite, an offset or pan not finite).
std::string ValidateView(const View &view);

PF_FixedPoint LayerToComp(const View &view, PF_FixedPoint point);
PF_FixedPoint CompToLayer(const View &view, PF_FixedPoint point);
PF_FixedPoint SourceToFrame(const View &view, PF_FixedPoint point);
PF_FixedPoint FrameToSource(const View &view, PF_FixedPoint point);

// The whole map from layer pixels to frame pixels for this view, as
// frame = layer x scale + (offset_x, offset_y); used to place the rendered
// layer in a picture of the view.
struct LayerToFrameMap {
    double scale = 1.0;
    double offset_x = 0.0;
    double offset_y = 0.0;
};
LayerToFrameMap LayerToFrame(const View &view);

}  // namespace testhost
