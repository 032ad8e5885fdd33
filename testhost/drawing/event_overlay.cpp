#include "testhost/drawing/event_overlay.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "testhost/drawing/drawing_suites.h"

namespace testhost {
namespace {

// The drawing session is reachable through the context only while its draw
// event runs, also when the event ends in an exception.
class DrawingInProgress {
public:
    DrawingInProgress(ViewContext &context, DrawingSession &session) : context_(context) {
        context_.set_drawing(&session);
    }
    ~DrawingInProgress() { context_.set_drawing(nullptr); }
    DrawingInProgress(const DrawingInProgress &) = delete;
    DrawingInProgress &operator=(const DrawingInProgress &) = delete;

private:
    ViewContext &context_;
};

const View &Checked(const View &view) {
    const std::string problem = ValidateView(view);
    if (!problem.empty()) {
        throw std::invalid_argument(problem);
    }
    return view;
}

// A point `i` steps of `steps` along the line, to the nearest whole pixel.
PF_Point Along(PF_Point from, PF_Point to, int i, int steps) {
    const double t = static_cast<double>(i) / steps;
    return {static_cast<A_long>(std::lround(from.h + (static_cast<double>(to.h) - from.h) * t)),
            static_cast<A_long>(std::lround(from.v + (static_cast<double>(to.v) - from.v) * t))};
}

}  // namespace

OverlayEvents::OverlayEvents(Host &host, const View &view, EffectFunction effect)
    : host_(host), effect_(std::move(effect)), context_(Checked(view)) {
    RegisterDrawingSuites(host_.suites());
}

EventOutcome OverlayEvents::Send(PF_EventExtra &extra) {
    // The effect works on the host's values; what it changes without marking
    // it changed is put back afterwards, as if it had been handed a copy,
    // and of what it marked only the value is taken, within its range.
    ParamStore &store = host_.params();
    store.ClearChangeFlags();
    std::vector<PF_ParamDef> before;
    before.reserve(static_cast<std::size_t>(store.size()));
    for (int i = 0; i < store.size(); ++i) {
        before.push_back(store.at(i));
    }
    context_.ResetCounts();

    EventOutcome outcome;
    outcome.result =
        effect_ ? host_.SendTo(effect_, PF_Cmd_EVENT, nullptr, &extra) : host_.Send(PF_Cmd_EVENT, nullptr, &extra);
    for (int i = 0; i < store.size(); ++i) {
        const PF_ParamDef &held = before[static_cast<std::size_t>(i)];
        if ((store.at(i).uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) != 0) {
            outcome.changed.push_back(i);
            store.TakeEffectValue(i, held);
        } else {
            store.at(i) = held;
        }
    }
    outcome.e_type = extra.e_type;
    outcome.out_flags = extra.evt_out_flags;
    outcome.unbalanced_suites = host_.suites().UnbalancedSinceLastCommand();
    outcome.conversions = context_.counts();
    return outcome;
}

DrawOutcome OverlayEvents::Draw(Canvas *canvas, const DrawingFaults &faults) {
    PF_EventExtra extra{};
    extra.contextH = context_.handle();
    extra.e_type = PF_Event_DRAW;
    extra.u.draw.update_rect = canvas != nullptr ? PF_Rect{0, 0, canvas->width(), canvas->height()}
                                                 : PF_Rect{0, 0, host_.frame().layer_width, host_.frame().layer_height};
    extra.u.draw.depth = 32;
    extra.cbs = context_.callbacks();

    DrawingSession session(faults, canvas);
    DrawOutcome outcome;
    {
        DrawingInProgress drawing(context_, session);
        static_cast<EventOutcome &>(outcome) = Send(extra);
    }
    outcome.calls = session.calls();
    outcome.objects = session.counts();
    outcome.misuse = session.misuse();
    return outcome;
}

EventOutcome OverlayEvents::Click(PF_Point where) {
    record_ = PF_EventExtra{};
    record_.contextH = context_.handle();
    record_.e_type = PF_Event_DO_CLICK;
    record_.u.do_click.when = ++clock_;
    record_.u.do_click.screen_point = where;
    record_.u.do_click.num_clicks = 1;
    record_.cbs = context_.callbacks();
    EventOutcome outcome = Send(record_);
    taken_refcon_ = record_.u.do_click.send_drag ? record_.u.do_click.continue_refcon[0] : 0;
    return outcome;
}

EventOutcome OverlayEvents::Drag(PF_Point where, bool last) {
    // Everything else in the record (continue_refcon, send_drag) is as the
    // previous event of the gesture left it.
    record_.e_type = delivery_ == DragDelivery::kDragEvents ? PF_Event_DRAG : PF_Event_DO_CLICK;
    record_.u.do_click.when = ++clock_;
    record_.u.do_click.screen_point = where;
    record_.u.do_click.last_time = last ? 1 : 0;
    record_.evt_out_flags = PF_EO_NONE;
    return Send(record_);
}

std::vector<EventOutcome> OverlayEvents::Gesture(PF_Point from, PF_Point to, int steps) {
    steps = std::max(1, steps);
    std::vector<EventOutcome> outcomes{Click(from)};
    for (int i = 1; i <= steps && record_.u.do_click.send_drag != 0; ++i) {
        outcomes.push_back(Drag(Along(from, to, i, steps), i == steps));
    }
    return outcomes;
}

}  // namespace testhost
