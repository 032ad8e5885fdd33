// An overlay in one view of the simulated host, for tests that call the
// overlay's handlers and geometry directly: the host answered by the linked
// effect and holding its default parameters, the view's context and
// callbacks, and a drawing session behind the drawing suites during every
// call, so that any drawing is recorded (and a call that should draw nothing
// can be seen to).
//
//   zonara_test::OverlayScene scene(HostApp::kPremiere, zonara_test::LayerView());
//   scene.Origin(500, 300).Width(200);
//   PF_EventExtra extra = scene.Event(PF_Event_DRAW);
//   scene.Run([&](PF_InData *in, PF_OutData *out, PF_ParamDef **params) {
//       zonara::DrawOverlay(in, out, params, &extra);
//       return PF_Err_NONE;
//   });
//   testhost::StrokedShapes(scene.drawn());
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/fixed_scale.h"
#include "params/param_index.h"
#include "pf_sdk.h"
#include "support/linked_effect.h"
#include "testhost/core/host.h"
#include "testhost/drawing/drawing_session.h"
#include "testhost/drawing/drawing_suites.h"
#include "testhost/drawing/event_context.h"
#include "testhost/drawing/views.h"

namespace zonara_test {

// A view of `kind` at `zoom`, scrolled by (pan_x, pan_y) frame pixels, with
// the layer placed at (offset_x, offset_y) in the composition.
inline testhost::View ViewOf(testhost::ViewKind kind, double zoom = 1.0, double pan_x = 0.0, double pan_y = 0.0,
                             double offset_x = 0.0, double offset_y = 0.0) {
    testhost::View view;
    view.kind = kind;
    view.zoom = zoom;
    view.pan_x = pan_x;
    view.pan_y = pan_y;
    view.placement.offset_x = offset_x;
    view.placement.offset_y = offset_y;
    return view;
}

inline testhost::View LayerView() { return ViewOf(testhost::ViewKind::kLayer); }

class OverlayScene {
public:
    explicit OverlayScene(testhost::HostApp app = testhost::HostApp::kAfterEffects,
                          const testhost::View &view = LayerView())
        : host_(HostWithDefaults(app)), context_(std::make_unique<testhost::ViewContext>(view)) {
        testhost::RegisterDrawingSuites(host_->suites());
    }

    testhost::Host &host() { return *host_; }

    // Another view for the events that follow.
    void SetView(const testhost::View &view) { context_ = std::make_unique<testhost::ViewContext>(view); }
    const testhost::View &view() const { return context_->view(); }
    const testhost::ConversionCounts &conversions() const { return context_->counts(); }

    // Where a layer pixel shows in the view, in frame pixels.
    double FrameX(double layer_x) const { return layer_x * Map().scale + Map().offset_x; }
    double FrameY(double layer_y) const { return layer_y * Map().scale + Map().offset_y; }

    // Parameter values in the host's store, in the units a user sees.
    PF_ParamDef &operator[](int index) { return host_->params().at(index); }
    OverlayScene &Origin(double x, double y) {
        (*this)[zonara::PARAM_ORIGIN].u.td.x_value = ToFixed(x);
        (*this)[zonara::PARAM_ORIGIN].u.td.y_value = ToFixed(y);
        return *this;
    }
    OverlayScene &Width(double v) { return Slider(zonara::PARAM_WIDTH, v); }
    OverlayScene &Height(double v) { return Slider(zonara::PARAM_HEIGHT, v); }
    OverlayScene &Feather(double v) { return Slider(zonara::PARAM_FEATHER, v); }
    OverlayScene &Mix(double v) { return Slider(zonara::PARAM_MIX, v); }
    OverlayScene &AngleDegrees(double degrees) {
        (*this)[zonara::PARAM_ANGLE].u.ad.value = ToFixed(degrees);
        return *this;
    }
    OverlayScene &WindowType(A_long choice) {
        (*this)[zonara::PARAM_WINDOW_TYPE].u.pd.value = choice;
        return *this;
    }

    // An event record in this view, as a host starts one.
    PF_EventExtra Event(PF_EventType type) {
        PF_EventExtra extra{};
        extra.contextH = context_->handle();
        extra.e_type = type;
        extra.cbs = context_->callbacks();
        return extra;
    }

    // Runs `body(in_data, out_data, params)` as the effect's work in an event
    // command of this host, with a fresh drawing session behind the view.
    template <class Body>
    PF_Err Run(Body body, const testhost::DrawingFaults &faults = {}) {
        context_->ResetCounts();
        testhost::DrawingSession session(faults);
        context_->set_drawing(&session);
        session_ = &session;
        const PF_Err result = host_->SendTo([&](PF_Cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **params,
                                                PF_LayerDef *, void *) { return body(in_data, out_data, params); },
                                            PF_Cmd_EVENT);
        context_->set_drawing(nullptr);
        session_ = nullptr;
        drawn_ = session.calls();
        misuse_ = session.misuse();
        return result;
    }

    // The drawing session of the Run in progress, for a body that looks at
    // the calls so far; null outside Run.
    const testhost::DrawingSession *drawing() const { return session_; }
    // The drawing calls of the last Run, and what the host found wrong in them.
    const std::vector<testhost::DrawCall> &drawn() const { return drawn_; }
    const std::vector<std::string> &misuse() const { return misuse_; }
    bool SuitesBalanced() const { return host_->suites().BalancedSinceLastCommand(); }

private:
    static PF_Fixed ToFixed(double value) { return static_cast<PF_Fixed>(std::lround(value * zonara::FIXED_ONE)); }
    OverlayScene &Slider(int index, double v) {
        (*this)[index].u.fs_d.value = v;
        return *this;
    }
    testhost::LayerToFrameMap Map() const { return testhost::LayerToFrame(context_->view()); }

    std::unique_ptr<testhost::Host> host_;
    std::unique_ptr<testhost::ViewContext> context_;
    const testhost::DrawingSession *session_ = nullptr;
    std::vector<testhost::DrawCall> drawn_;
    std::vector<std::string> misuse_;
};

}  // namespace zonara_test
