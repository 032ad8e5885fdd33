// Overlay events as a host sends them in one view: draw events with a
// drawing session behind the drawing suites, clicks, and the drags of a
// gesture. The host keeps the click's event record for the drags that follow
// (continue_refcon, send_drag, and the event type as the effect rewrote it),
// sets last_time on the last drag, and after every event takes over the
// parameter values the effect marked PF_ChangeFlag_CHANGED_VALUE, each kept
// within the range the effect declared for it (ParamStore::TakeEffectValue);
// values changed without the mark are not taken (a host passes the effect a
// copy).
#pragma once

#include <string>
#include <vector>

#include "pf_sdk.h"
#include "testhost/core/host.h"
#include "testhost/drawing/drawing_calls.h"
#include "testhost/drawing/drawing_canvas.h"
#include "testhost/drawing/drawing_session.h"
#include "testhost/drawing/event_context.h"
#include "testhost/drawing/views.h"

namespace testhost {

// How the host delivers the drags of a gesture: as PF_Event_DRAG, or as
// further PF_Event_DO_CLICK events with send_drag still set, which the effect
// is to treat as drags.
enum class DragDelivery { kDragEvents, kRepeatedClicks };

struct EventOutcome {
    PF_Err result = PF_Err_NONE;
    // The record after the effect returned.
    PF_EventType e_type = PF_Event_NEW_CONTEXT;
    PF_EventOutFlags out_flags = PF_EO_NONE;
    // Parameter positions the effect marked changed, in order; their values
    // are now in the host's store.
    std::vector<int> changed;
    // Suites acquired in the event but not released (or released without
    // being acquired), as the registry words them.
    std::vector<std::string> unbalanced_suites;
    ConversionCounts conversions;
};

struct DrawOutcome : EventOutcome {
    std::vector<DrawCall> calls;
    DrawingCounts objects;
    std::vector<std::string> misuse;
};

class OverlayEvents {
public:
    // Registers the drawing suites with the host if it lacks them. Throws
    // std::invalid_argument for a view that cannot be used (ValidateView).
    // Events go to the host's module, or to `effect` when one is given
    // (effect code linked into a test, see Host::SendTo).
    OverlayEvents(Host &host, const View &view, EffectFunction effect = nullptr);
    OverlayEvents(const OverlayEvents &) = delete;
    OverlayEvents &operator=(const OverlayEvents &) = delete;

    const View &view() const { return context_.view(); }
    void set_drag_delivery(DragDelivery delivery) { delivery_ = delivery; }

    // A draw event. Strokes are painted onto `canvas` when one is given.
    DrawOutcome Draw(Canvas *canvas = nullptr, const DrawingFaults &faults = {});
    // A click at a frame pixel; it starts a new gesture record.
    EventOutcome Click(PF_Point where);
    // A drag event of the current gesture, whatever the effect asked for
    // (see Gesture for a host's own judgement).
    EventOutcome Drag(PF_Point where, bool last);

    // The host's own way through a gesture: a click at `from`, then, only if
    // the effect asked for drags, `steps` drags along the straight line to
    // `to`, the last with last_time set, stopping early if the effect stops
    // asking. Returns the outcome of every event, the click first.
    std::vector<EventOutcome> Gesture(PF_Point from, PF_Point to, int steps);

    // The record the host keeps from a click to its drags.
    const PF_EventExtra &record() const { return record_; }
    // Element 0 of continue_refcon as the click left it (what the effect
    // stored for the gesture), or 0 when it did not ask for drags.
    A_intptr_t taken_refcon() const { return taken_refcon_; }
    ViewContext &context() { return context_; }

private:
    EventOutcome Send(PF_EventExtra &extra);

    Host &host_;
    EffectFunction effect_;
    ViewContext context_;
    DragDelivery delivery_ = DragDelivery::kDragEvents;
    PF_EventExtra record_{};
    A_intptr_t taken_refcon_ = 0;
    A_u_long clock_ = 0;  // the record's `when`, one tick per event
};

}  // namespace testhost
