// Overlay events through the loaded module, in both hosts and every view:
// a draw gives back every pen, path and suite; a gesture is carried in the
// host's record from the click to the last drag, and only values the effect
// marked changed reach the host's store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params/param_index.h"
#include "testhost/core/host.h"
#include "testhost/drawing/event_overlay.h"
#include "testhost/loading/module.h"

namespace testhost {
namespace {

std::shared_ptr<const Module> LoadedModule() {
    static const std::shared_ptr<const Module> module = Module::Load(DefaultModulePath());
    return module;
}

std::unique_ptr<Host> StartedHost(HostApp app) {
    auto host = std::make_unique<Host>(LoadedModule(), app);
    EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
    return host;
}

View ViewOf(ViewKind kind, double zoom = 1, double pan_x = 0, double pan_y = 0) {
    View view;
    view.kind = kind;
    view.zoom = zoom;
    view.pan_x = pan_x;
    view.pan_y = pan_y;
    return view;
}

// A window that is easy to follow by hand: centred on the 1920x1080 layer
// at (960, 540), 800 x 400, feather 50, mix 0.5. Its bottom-right corner
// handle is at (1360, 740) in a view at zoom 1.
void SetSimpleWindow(Host &host) {
    ParamStore &p = host.params();
    p.at(zonara::PARAM_WIDTH).u.fs_d.value = 800;
    p.at(zonara::PARAM_HEIGHT).u.fs_d.value = 400;
    p.at(zonara::PARAM_FEATHER).u.fs_d.value = 50;
    p.at(zonara::PARAM_MIX).u.fs_d.value = 0.5;
}

int Count(const DrawOutcome &outcome, DrawOp op) {
    int n = 0;
    for (const DrawCall &call : outcome.calls) {
        n += call.op == op ? 1 : 0;
    }
    return n;
}

struct DrawCase {
    HostApp app;
    ViewKind kind;
    zonara::WindowTypeChoice window_type;
};

TEST(OverlayThroughModule, DrawGivesBackEveryPenPathAndSuite) {
    const std::vector<DrawCase> cases{
        {HostApp::kAfterEffects, ViewKind::kComposition, zonara::WINDOW_TYPE_ELLIPSE},
        {HostApp::kAfterEffects, ViewKind::kLayer, zonara::WINDOW_TYPE_RECTANGLE},
        {HostApp::kPremiere, ViewKind::kComposition, zonara::WINDOW_TYPE_RECTANGLE},
        {HostApp::kPremiere, ViewKind::kLayer, zonara::WINDOW_TYPE_ELLIPSE},
    };
    for (const DrawCase &c : cases) {
        SCOPED_TRACE(std::string(c.app == HostApp::kPremiere ? "premiere" : "ae") + " view " +
                     std::to_string(static_cast<int>(c.kind)) + " " +
                     zonara::WINDOW_TYPE_CHOICES[c.window_type - 1].label);
        auto host = StartedHost(c.app);
        host->params().at(zonara::PARAM_WINDOW_TYPE).u.pd.value = c.window_type;
        OverlayEvents events(*host, ViewOf(c.kind, 2, 5, 5));
        const DrawOutcome drawn = events.Draw();
        EXPECT_EQ(drawn.result, PF_Err_NONE);
        EXPECT_EQ(drawn.out_flags, PF_EO_HANDLED_EVENT);
        EXPECT_EQ(drawn.objects.live(), 0);
        EXPECT_GT(drawn.objects.paths_made, 0);
        EXPECT_TRUE(drawn.misuse.empty()) << drawn.misuse.front();
        EXPECT_TRUE(drawn.unbalanced_suites.empty()) << drawn.unbalanced_suites.front();
        EXPECT_TRUE(drawn.changed.empty());
        // Each host's way of stroking, and nothing of the other's.
        const bool premiere = c.app == HostApp::kPremiere;
        EXPECT_EQ(Count(drawn, DrawOp::kThemeStrokePath) > 0, !premiere);
        EXPECT_EQ(Count(drawn, DrawOp::kStrokePath) > 0, premiere);
        EXPECT_EQ(drawn.objects.pens_made > 0, premiere);
        // The layer view needs no composition conversion.
        if (c.kind == ViewKind::kLayer) {
            EXPECT_EQ(drawn.conversions.layer_to_comp, 0);
            EXPECT_EQ(drawn.conversions.comp_to_layer, 0);
        } else {
            EXPECT_GT(drawn.conversions.layer_to_comp, 0);
        }
        EXPECT_EQ(drawn.conversions.bad_calls, 0);
    }
}

TEST(OverlayThroughModule, EffectControlsWindowIsNotDrawnInto) {
    auto host = StartedHost(HostApp::kAfterEffects);
    OverlayEvents events(*host, ViewOf(ViewKind::kEffectControls));
    const DrawOutcome drawn = events.Draw();
    EXPECT_EQ(drawn.result, PF_Err_NONE);
    EXPECT_EQ(drawn.out_flags, PF_EO_NONE);
    EXPECT_TRUE(drawn.calls.empty());
}

TEST(OverlayThroughModule, DrawingFaultsLeaveNothingBehind) {
    struct Case {
        const char *what;
        HostApp app;
        DrawingFaults faults;
    };
    const std::vector<Case> cases{
        {"third NewPath fails", HostApp::kAfterEffects, {{{DrawOp::kNewPath, 4, 3}}, false}},
        {"NewPen fails", HostApp::kPremiere, {{{DrawOp::kNewPen, 4, 1}}, false}},
        {"fifth LineTo fails", HostApp::kAfterEffects, {{{DrawOp::kLineTo, 7, 5}}, false}},
        {"theme stroke fails", HostApp::kAfterEffects, {{{DrawOp::kThemeStrokePath, 9, 2}}, false}},
        {"surface stroke fails", HostApp::kPremiere, {{{DrawOp::kStrokePath, 9, 4}}, false}},
        {"AddArc fails", HostApp::kPremiere, {{{DrawOp::kAddArc, 3, 0}}, false}},
        {"no drawing reference", HostApp::kAfterEffects, {{}, true}},
        {"drawing reference refused", HostApp::kPremiere, {{{DrawOp::kGetDrawingReference, 6, 0}}, false}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto host = StartedHost(c.app);
        OverlayEvents events(*host, ViewOf(ViewKind::kComposition));
        const DrawOutcome drawn = events.Draw(nullptr, c.faults);
        EXPECT_EQ(drawn.objects.live(), 0);
        EXPECT_TRUE(drawn.misuse.empty()) << drawn.misuse.front();
        EXPECT_TRUE(drawn.unbalanced_suites.empty()) << drawn.unbalanced_suites.front();
        EXPECT_FALSE(host->exception_escaped());
    }
}

TEST(OverlayThroughModule, RefusedDrawingSuiteLeavesNothingAcquired) {
    for (const char *suite : {kDRAWBOT_DrawSuite, kDRAWBOT_SupplierSuite, kDRAWBOT_SurfaceSuite, kDRAWBOT_PathSuite,
                              kPFEffectCustomUISuite, kPFEffectCustomUIOverlayThemeSuite}) {
        SCOPED_TRACE(suite);
        auto host = StartedHost(HostApp::kAfterEffects);
        OverlayEvents events(*host, ViewOf(ViewKind::kLayer));
        host->suites().Refuse(suite);
        const DrawOutcome drawn = events.Draw();
        EXPECT_EQ(drawn.objects.live(), 0);
        EXPECT_TRUE(drawn.unbalanced_suites.empty()) << drawn.unbalanced_suites.front();
        EXPECT_FALSE(host->exception_escaped());
    }
}

TEST(OverlayThroughModule, GestureIsCarriedInTheHostsRecord) {
    for (DragDelivery delivery : {DragDelivery::kDragEvents, DragDelivery::kRepeatedClicks}) {
        auto host = StartedHost(HostApp::kAfterEffects);
        SetSimpleWindow(*host);
        OverlayEvents events(*host, ViewOf(ViewKind::kComposition));
        events.set_drag_delivery(delivery);

        const EventOutcome click = events.Click({1360, 740});
        EXPECT_EQ(click.out_flags, PF_EO_HANDLED_EVENT);
        EXPECT_EQ(events.taken_refcon(), 4);  // the bottom-right corner
        EXPECT_TRUE(events.record().u.do_click.send_drag);

        const EventOutcome middle = events.Drag({1410, 765}, false);
        EXPECT_EQ(middle.e_type, PF_Event_DRAG);  // a repeated click is rewritten to a drag
        EXPECT_EQ(middle.changed, (std::vector<int>{zonara::PARAM_WIDTH, zonara::PARAM_HEIGHT}));
        EXPECT_EQ(host->params().at(zonara::PARAM_WIDTH).u.fs_d.value, 900);
        EXPECT_EQ(events.record().u.do_click.continue_refcon[0], 4);

        const EventOutcome last = events.Drag({1460, 790}, true);
        EXPECT_EQ(last.changed.size(), 2u);
        EXPECT_EQ(host->params().at(zonara::PARAM_WIDTH).u.fs_d.value, 1000);
        EXPECT_EQ(host->params().at(zonara::PARAM_HEIGHT).u.fs_d.value, 500);
        EXPECT_EQ(events.record().u.do_click.continue_refcon[0], 0);
        EXPECT_FALSE(events.record().u.do_click.send_drag);
        EXPECT_TRUE(last.unbalanced_suites.empty());

        // The gesture is over: a further drag changes nothing.
        const EventOutcome after = events.Drag({100, 100}, true);
        EXPECT_TRUE(after.changed.empty());
        EXPECT_EQ(host->params().at(zonara::PARAM_WIDTH).u.fs_d.value, 1000);
    }
}

TEST(OverlayThroughModule, ClickAwayFromEveryHandleStartsNoGesture) {
    auto host = StartedHost(HostApp::kPremiere);
    SetSimpleWindow(*host);
    OverlayEvents events(*host, ViewOf(ViewKind::kLayer));
    const std::vector<EventOutcome> outcomes = events.Gesture({5, 5}, {500, 500}, 4);
    ASSERT_EQ(outcomes.size(), 1u);  // the click only: no drags were asked for
    EXPECT_EQ(outcomes[0].out_flags, PF_EO_NONE);
    EXPECT_EQ(events.taken_refcon(), 0);
}

// Effects written carelessly on purpose, to show what the host catches.

TEST(OverlayEventsHost, TakesOverOnlyValuesMarkedChanged) {
    auto host = StartedHost(HostApp::kAfterEffects);
    const double height_before = host->params().at(zonara::PARAM_HEIGHT).u.fs_d.value;
    const EffectFunction careless = [](PF_Cmd cmd, PF_InData *, PF_OutData *, PF_ParamDef *params[], PF_LayerDef *,
                                       void *) -> PF_Err {
        EXPECT_EQ(cmd, PF_Cmd_EVENT);
        EXPECT_EQ(params[zonara::PARAM_WIDTH]->uu.change_flags, PF_ChangeFlag_NONE);
        params[zonara::PARAM_WIDTH]->u.fs_d.value = 123;
        params[zonara::PARAM_WIDTH]->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
        params[zonara::PARAM_HEIGHT]->u.fs_d.value = 456;  // not marked: a host never sees it
        return PF_Err_NONE;
    };
    OverlayEvents events(*host, ViewOf(ViewKind::kLayer), careless);
    const EventOutcome outcome = events.Click({10, 10});
    EXPECT_EQ(outcome.changed, std::vector<int>{zonara::PARAM_WIDTH});
    EXPECT_EQ(host->params().at(zonara::PARAM_WIDTH).u.fs_d.value, 123);
    EXPECT_EQ(host->params().at(zonara::PARAM_HEIGHT).u.fs_d.value, height_before);
}

TEST(OverlayEventsHost, CatchesPensPathsAndSuitesNotGivenBack) {
    auto host = StartedHost(HostApp::kPremiere);
    const EffectFunction leaky = [](PF_Cmd, PF_InData *in_data, PF_OutData *, PF_ParamDef *[], PF_LayerDef *,
                                    void *extra) -> PF_Err {
        const SPBasicSuite *basic = in_data->pica_basicP;
        const void *ui = nullptr;
        const void *draw = nullptr;
        const void *supplier = nullptr;
        basic->AcquireSuite(kPFEffectCustomUISuite, 1, &ui);
        basic->AcquireSuite(kDRAWBOT_DrawSuite, 1, &draw);
        basic->AcquireSuite(kDRAWBOT_SupplierSuite, 1, &supplier);
        DRAWBOT_DrawRef ref = nullptr;
        static_cast<const PF_EffectCustomUISuite1 *>(ui)->PF_GetDrawingReference(
            static_cast<PF_EventExtra *>(extra)->contextH, &ref);
        DRAWBOT_SupplierRef maker = nullptr;
        static_cast<const DRAWBOT_DrawbotSuite1 *>(draw)->GetSupplier(ref, &maker);
        const DRAWBOT_ColorRGBA colour{1, 1, 1, 1};
        DRAWBOT_PenRef pen = nullptr;
        DRAWBOT_PathRef path = nullptr;
        auto *suite = static_cast<const DRAWBOT_SupplierSuite1 *>(supplier);
        suite->NewPen(maker, &colour, 1.0f, &pen);
        suite->NewPath(maker, &path);
        suite->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(path));
        suite->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(path));  // twice
        basic->ReleaseSuite(kDRAWBOT_DrawSuite, 1);
        basic->ReleaseSuite(kDRAWBOT_SupplierSuite, 1);
        return PF_Err_NONE;  // the pen and the custom UI suite are kept
    };
    OverlayEvents events(*host, ViewOf(ViewKind::kComposition), leaky);
    const DrawOutcome drawn = events.Draw();
    EXPECT_EQ(drawn.objects.live_pens(), 1);
    EXPECT_EQ(drawn.objects.live_paths(), 0);
    ASSERT_EQ(drawn.misuse.size(), 1u);
    EXPECT_NE(drawn.misuse[0].find("released"), std::string::npos) << drawn.misuse[0];
    ASSERT_EQ(drawn.unbalanced_suites.size(), 1u);
    EXPECT_NE(drawn.unbalanced_suites[0].find(kPFEffectCustomUISuite), std::string::npos);
}

}  // namespace
}  // namespace testhost
