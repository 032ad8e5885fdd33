// PF_Cmd_EVENT in every view: draw events with drawing calls failing
// anywhere, clicks and drags with any point, handle number and flag. Every
// pen, path and suite must be given back, and the drawing protocol kept.
#include <cmath>
#include <memory>

#include "fuzz_session.h"
#include "fuzz_values.h"
#include "testhost/drawing/drawing_session.h"
#include "testhost/drawing/drawing_suites.h"
#include "testhost/drawing/event_context.h"

namespace zonara_fuzz {
namespace {

double FiniteOr(double value, double fallback) { return std::isfinite(value) ? value : fallback; }

testhost::View DecodeView(FuzzedDataProvider &in) {
    testhost::View view;
    view.kind = static_cast<testhost::ViewKind>(in.ConsumeIntegralInRange<int>(0, 2));
    if (in.ConsumeBool()) {
        view.zoom = FiniteOr(NastyDouble(in), 1.0);
        view.pan_x = FiniteOr(NastyDouble(in), 0.0);
        view.pan_y = FiniteOr(NastyDouble(in), 0.0);
        view.placement.offset_x = FiniteOr(NastyDouble(in), 0.0);
        view.placement.offset_y = FiniteOr(NastyDouble(in), 0.0);
        view.placement.scale = FiniteOr(NastyDouble(in), 1.0);
    }
    // A host offers only views it can show.
    if (!testhost::ValidateView(view).empty()) {
        const testhost::ViewKind kind = view.kind;
        view = testhost::View{};
        view.kind = kind;
    }
    return view;
}

PF_Point DecodePoint(FuzzedDataProvider &in) {
    if (in.ConsumeIntegralInRange<int>(0, 3) == 0) return {NastyInt32(in), NastyInt32(in)};
    return {in.ConsumeIntegralInRange<A_long>(-100, 300), in.ConsumeIntegralInRange<A_long>(-100, 300)};
}

testhost::DrawingFaults DecodeDrawingFaults(FuzzedDataProvider &in) {
    testhost::DrawingFaults faults;
    faults.null_drawing_reference = in.ConsumeIntegralInRange<int>(0, 7) == 0;
    const int count = in.ConsumeIntegralInRange<int>(0, 7) < 5 ? 0 : in.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < count; ++i) {
        testhost::DrawFault fault;
        fault.op = static_cast<testhost::DrawOp>(in.ConsumeIntegralInRange<int>(0, 11));
        fault.code = NastyInt32(in);
        if (fault.code == 0) fault.code = -1;
        fault.on_call = in.ConsumeIntegralInRange<int>(0, 40);
        faults.failures.push_back(fault);
    }
    return faults;
}

// The drawing session is reachable through the context only while its
// event runs.
class DrawingInProgress {
public:
    DrawingInProgress(testhost::ViewContext &context, testhost::DrawingSession &session) : context_(context) {
        context_.set_drawing(&session);
    }
    ~DrawingInProgress() { context_.set_drawing(nullptr); }
    DrawingInProgress(const DrawingInProgress &) = delete;
    DrawingInProgress &operator=(const DrawingInProgress &) = delete;

private:
    testhost::ViewContext &context_;
};

void CheckEventEnded(const testhost::Host &host, const testhost::ViewContext &context, const char *what) {
    CheckCommandEnded(host, what);
    if (context.counts().bad_calls != 0) {
        Fail(std::string("a point conversion was called with a foreign context or null point during ") + what);
    }
}

void SendDraw(FuzzedDataProvider &in, testhost::Host &host, testhost::ViewContext &context) {
    PF_EventExtra extra{};
    extra.contextH = context.handle();
    extra.e_type = PF_Event_DRAW;
    extra.u.draw.update_rect = {0, 0, host.frame().layer_width, host.frame().layer_height};
    extra.u.draw.depth = 32;
    extra.cbs = context.callbacks();
    extra.evt_in_flags = in.ConsumeIntegral<A_long>();

    testhost::DrawingSession session(DecodeDrawingFaults(in));
    {
        DrawingInProgress drawing(context, session);
        CallEffect(host, PF_Cmd_EVENT, nullptr, &extra);
    }
    CheckEventEnded(host, context, "a draw event");
    if (!session.misuse().empty()) Fail("drawing protocol broken: " + session.misuse().front());
    // A release the host refused leaves its object live; nothing else may.
    int refused_releases = 0;
    for (const testhost::DrawCall &call : session.calls()) {
        if (call.op == testhost::DrawOp::kReleaseObject && call.result != kSPNoError) ++refused_releases;
    }
    if (session.counts().live() > refused_releases) Fail("a pen or path was not given back after a draw event");
}

void SendPointerEvent(FuzzedDataProvider &in, testhost::Host &host, testhost::ViewContext &context,
                      PF_EventExtra &record, PF_EventType type) {
    record.contextH = context.handle();
    record.cbs = context.callbacks();
    record.e_type = type;
    record.u.do_click.when += 1;
    record.u.do_click.screen_point = DecodePoint(in);
    record.u.do_click.modifiers = in.ConsumeIntegral<A_long>();
    record.evt_out_flags = PF_EO_NONE;
    CallEffect(host, PF_Cmd_EVENT, nullptr, &record);
    CheckEventEnded(host, context, "a click or drag event");
}

// A click and the drags a host sends after it, with the record kept from
// one event to the next; the input may meddle with the record in between,
// as a confused host might.
void SendGesture(FuzzedDataProvider &in, testhost::Host &host, testhost::ViewContext &context) {
    PF_EventExtra record{};
    record.u.do_click.num_clicks = static_cast<A_short>(in.ConsumeIntegralInRange<int>(0, 3));
    if (in.ConsumeIntegralInRange<int>(0, 3) == 0) {
        // A drag without a click: whatever handle number and flags.
        record.u.do_click.continue_refcon[0] =
            in.ConsumeBool() ? in.ConsumeIntegralInRange<A_intptr_t>(-2, 12) : in.ConsumeIntegral<A_intptr_t>();
        record.u.do_click.send_drag = in.ConsumeBool();
        record.u.do_click.last_time = in.ConsumeBool();
        SendPointerEvent(in, host, context, record, in.ConsumeBool() ? PF_Event_DRAG : PF_Event_DO_CLICK);
        return;
    }
    record.u.do_click.send_drag = in.ConsumeIntegralInRange<int>(0, 7) == 0;
    SendPointerEvent(in, host, context, record, PF_Event_DO_CLICK);
    const int drags = in.ConsumeIntegralInRange<int>(0, 4);
    for (int i = 1; i <= drags; ++i) {
        if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
            record.u.do_click.continue_refcon[0] = in.ConsumeIntegral<A_intptr_t>();
        }
        record.u.do_click.last_time = i == drags || in.ConsumeIntegralInRange<int>(0, 7) == 0;
        SendPointerEvent(in, host, context, record, in.ConsumeBool() ? PF_Event_DRAG : PF_Event_DO_CLICK);
    }
}

}  // namespace

void FuzzOverlayEvent(FuzzedDataProvider &in, testhost::Host &host) {
    testhost::RegisterDrawingSuites(host.suites());
    host.frame().layer_width = SmallOrNasty(in, 0, 256);
    host.frame().layer_height = SmallOrNasty(in, 0, 256);
    host.frame().pixel_aspect_ratio = NastyRatio(in);
    host.frame().downsample_x = NastyRatio(in);
    host.frame().downsample_y = NastyRatio(in);
    host.frame().time_scale = static_cast<A_u_long>(SmallOrNasty(in, 0, 30));

    testhost::ViewContext context(DecodeView(in));
    if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
        (*context.handle())->w_type = static_cast<PF_WindowType>(NastyInt32(in));
    }
    RefuseSomeSuites(in, host);
    host.faults().no_basic_suite = in.ConsumeIntegralInRange<int>(0, 15) == 0;

    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
    case 1:
        SendDraw(in, host, context);
        break;
    case 2:
        SendGesture(in, host, context);
        break;
    default: {
        // Event types the overlay does not handle, and ones no host sends.
        PF_EventExtra record{};
        SendPointerEvent(in, host, context, record, static_cast<PF_EventType>(in.ConsumeIntegralInRange<int>(-1, 14)));
        break;
    }
    }
    host.faults().no_basic_suite = false;
    host.suites().AllowAll();
}

}  // namespace zonara_fuzz
