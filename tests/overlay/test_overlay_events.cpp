// Event dispatch and hit testing: which click takes which handle, and what a
// click leaves in the host's event record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "overlay/overlay_event.h"
#include "overlay/overlay_types.h"
#include "support/overlay_scene.h"
#include "testhost/drawing/stroked_shapes.h"

namespace {

using testhost::HostApp;
using testhost::ViewKind;
using zonara_test::OverlayScene;
using zonara_test::ViewOf;

// Values a host might leave in the record; a miss must not touch them.
constexpr A_intptr_t HOST_REFCON = 77;
constexpr PF_EventOutFlags HOST_OUT_FLAGS = PF_EO_ALWAYS_UPDATE;

struct Scene : OverlayScene {
    explicit Scene(HostApp app = HostApp::kAfterEffects, ViewKind view = ViewKind::kLayer)
        : OverlayScene(app, ViewOf(view)) {
        host().frame().layer_height = 1000;  // angle handle 200 px from the centre
        // Handles, in frame pixels at zoom 1: corners (400, 250) (600, 250)
        // (400, 350) (600, 350); angle (500, 100); feather (410, 300)
        // (590, 300) (500, 255) (500, 345); mix (460, 300).
        Origin(500, 300).Width(200).Height(100).Feather(10).Mix(0.5);
    }
    PF_EventExtra Click(A_long x, A_long y) {
        PF_EventExtra extra = Event(PF_Event_DO_CLICK);
        extra.u.do_click.screen_point = PF_Point{x, y};
        extra.u.do_click.continue_refcon[0] = HOST_REFCON;
        extra.evt_out_flags = HOST_OUT_FLAGS;
        return extra;
    }
    // The overlay's event handler as the entry point reaches it.
    PF_Err Handle(PF_EventExtra *extra, const testhost::DrawingFaults &faults = {}) {
        return Run(
            [extra](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **params) {
                return zonara::HandleOverlayEvent(in_data, out_data, params, nullptr, extra);
            },
            faults);
    }
};

struct ClickCase {
    std::string name;
    double width, feather, mix;
    A_long x, y;
    A_long handle;  // 0: a miss
};

class HitTestTest : public ::testing::TestWithParam<std::tuple<HostApp, ClickCase>> {};

TEST_P(HitTestTest, FirstHandleWithinSixteenCityBlockPixelsIsTaken) {
    const auto &[app, c] = GetParam();
    Scene scene(app);
    scene.Width(c.width).Feather(c.feather).Mix(c.mix);
    PF_EventExtra extra = scene.Click(c.x, c.y);
    EXPECT_EQ(scene.Handle(&extra), PF_Err_NONE);
    if (c.handle == zonara::HANDLE_NONE) {
        EXPECT_EQ(extra.u.do_click.continue_refcon[0], HOST_REFCON);
        EXPECT_EQ(extra.u.do_click.send_drag, 0);
        EXPECT_EQ(extra.evt_out_flags, HOST_OUT_FLAGS);
    } else {
        EXPECT_EQ(extra.u.do_click.continue_refcon[0], c.handle);
        EXPECT_EQ(extra.u.do_click.send_drag, 1);
        EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
    }
    EXPECT_EQ(extra.e_type, PF_Event_DO_CLICK);
    // After Effects measures with the host's fabs; Premiere Pro needs no suite.
    EXPECT_EQ(zonara_test::UseOf(scene.host(), kPFANSISuite).acquired > 0, app != HostApp::kPremiere);
    EXPECT_TRUE(scene.SuitesBalanced());
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, HitTestTest,
    ::testing::Combine(
        ::testing::Values(HostApp::kAfterEffects, HostApp::kPremiere),
        ::testing::Values(ClickCase{"on_top_left", 200, 10, 0.5, 400, 250, zonara::HANDLE_CORNER_TOP_LEFT},
                          ClickCase{"fifteen_away", 200, 10, 0.5, 615, 350, zonara::HANDLE_CORNER_BOTTOM_RIGHT},
                          ClickCase{"seven_and_eight_away", 200, 10, 0.5, 607, 242, zonara::HANDLE_CORNER_TOP_RIGHT},
                          ClickCase{"eight_and_eight_away_misses", 200, 10, 0.5, 408, 258, zonara::HANDLE_NONE},
                          ClickCase{"angle", 200, 10, 0.5, 505, 95, zonara::HANDLE_ANGLE},
                          ClickCase{"feather_left", 200, 10, 0.5, 412, 300, zonara::HANDLE_FEATHER_LEFT},
                          ClickCase{"feather_bottom", 200, 10, 0.5, 500, 347, zonara::HANDLE_FEATHER_BOTTOM},
                          ClickCase{"mix_beside_centre", 200, 10, 0.5, 460, 300, zonara::HANDLE_MIX},
                          ClickCase{"mix_at_top", 200, 10, 1.0, 460, 252, zonara::HANDLE_MIX},
                          // Feather 0 puts the feather handles on the outer edges: a corner
                          // within reach wins although the feather handle is nearer.
                          ClickCase{"corner_beats_nearer_feather", 20, 0, 0.5, 496, 250,
                                    zonara::HANDLE_CORNER_TOP_LEFT},
                          // Width 80, Feather 0: the left feather handle sits where the mix
                          // handle is, and comes first.
                          ClickCase{"feather_beats_mix", 80, 0, 0.5, 460, 300, zonara::HANDLE_FEATHER_LEFT},
                          ClickCase{"nowhere", 200, 10, 0.5, 520, 320, zonara::HANDLE_NONE})),
    [](const auto &info) {
        return std::string(std::get<0>(info.param) == HostApp::kPremiere ? "premiere_" : "aftereffects_") +
               std::get<1>(info.param).name;
    });

TEST(OverlayEventTest, HandlesAreFoundAtTheViewsZoomAndPan) {
    Scene scene(HostApp::kAfterEffects, ViewKind::kComposition);
    scene.SetView(ViewOf(ViewKind::kComposition, 2.0, -100, 50, 20, 10));
    // Bottom-right corner (600, 350) in layer pixels.
    PF_EventExtra extra =
        scene.Click(static_cast<A_long>(scene.FrameX(600)) + 3, static_cast<A_long>(scene.FrameY(350)) - 3);
    scene.Handle(&extra);
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], zonara::HANDLE_CORNER_BOTTOM_RIGHT);
}

TEST(OverlayEventTest, OtherViewsAndEventsAreLeftAlone) {
    for (const PF_EventType type : {PF_Event_DO_CLICK, PF_Event_DRAG, PF_Event_DRAW}) {
        Scene scene(HostApp::kAfterEffects, ViewKind::kEffectControls);
        PF_EventExtra extra = scene.Click(400, 250);
        extra.e_type = type;
        if (type == PF_Event_DRAG) {
            extra.u.do_click.continue_refcon[0] = zonara::HANDLE_MIX;
        }
        EXPECT_EQ(scene.Handle(&extra), PF_Err_NONE);
        EXPECT_EQ(extra.evt_out_flags, HOST_OUT_FLAGS) << type;
        EXPECT_TRUE(scene.drawn().empty());
        EXPECT_TRUE(scene.host().suites().calls_of_last_command().empty());
    }
    Scene scene;
    PF_EventExtra extra = scene.Click(400, 250);
    extra.e_type = PF_Event_IDLE;
    EXPECT_EQ(scene.Handle(&extra), PF_Err_NONE);
    EXPECT_EQ(extra.evt_out_flags, HOST_OUT_FLAGS);
    // No view, or a handle to no view: nothing to test against.
    PF_Context *no_context = nullptr;
    for (PF_ContextH handle : {static_cast<PF_ContextH>(nullptr), &no_context}) {
        extra.contextH = handle;
        extra.e_type = PF_Event_DO_CLICK;
        EXPECT_EQ(scene.Handle(&extra), PF_Err_NONE);
        EXPECT_EQ(extra.u.do_click.continue_refcon[0], HOST_REFCON);
    }
}

TEST(OverlayEventTest, ClickDuringADragIsADrag) {
    Scene scene;
    PF_EventExtra extra = scene.Click(460, 250);  // 50 px above the centre
    extra.u.do_click.send_drag = 1;
    extra.u.do_click.continue_refcon[0] = zonara::HANDLE_MIX;
    EXPECT_EQ(scene.Handle(&extra), PF_Err_NONE);
    EXPECT_EQ(extra.e_type, PF_Event_DRAG);
    EXPECT_EQ(scene[zonara::PARAM_MIX].u.fs_d.value, 1.0);
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], zonara::HANDLE_MIX);
    EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
}

TEST(OverlayEventTest, DrawIsMarkedHandledWhateverTheDrawingStatus) {
    Scene scene;
    PF_EventExtra extra = scene.Event(PF_Event_DRAW);
    EXPECT_EQ(scene.Handle(&extra, testhost::DrawingFaults{{{testhost::DrawOp::kMoveTo, 99, 1}}}), PF_Err_NONE);
    EXPECT_EQ(testhost::CountCalls(scene.drawn(), testhost::DrawOp::kMoveTo), 1) << "the failure happened";
    EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
}

TEST(OverlayEventTest, MissingHostSuiteEndsTheEventUntouched) {
    Scene scene;
    scene.host().suites().Refuse(kPFANSISuite);
    PF_EventExtra extra = scene.Click(400, 250);
    scene.Handle(&extra);
    EXPECT_EQ(scene.host().escaped_error_code(), PF_Err_BAD_CALLBACK_PARAM) << "thrown as the code";
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], HOST_REFCON);
    EXPECT_EQ(extra.u.do_click.send_drag, 0);
    EXPECT_TRUE(scene.SuitesBalanced());
}

TEST(OverlayEventTest, MissingEventRecordIsAnError) {
    Scene scene;
    EXPECT_EQ(scene.Handle(nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

TEST(OverlayEventTest, ParameterArrayWithAHoleIsAnErrorAndTouchesNothing) {
    Scene scene;
    PF_EventExtra extra = scene.Click(460, 300);  // on the mix handle
    EXPECT_EQ(scene.Run([&](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **params) {
        std::vector<PF_ParamDef *> list(params, params + zonara::PARAM_COUNT);
        list[zonara::PARAM_MIX] = nullptr;
        return zonara::HandleOverlayEvent(in_data, out_data, list.data(), nullptr, &extra);
    }),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], HOST_REFCON);
    EXPECT_EQ(extra.evt_out_flags, HOST_OUT_FLAGS);
    EXPECT_TRUE(scene.SuitesBalanced());
}

}  // namespace
