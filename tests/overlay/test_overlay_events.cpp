// Event dispatch and hit testing: which click takes which handle, and what a
// click leaves in the host's event record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "overlay/overlay_event.h"
#include "overlay/overlay_types.h"
#include "support/fake_drawing_host.h"

namespace {

using zonara_test::FakeDrawingHost;
using zonara_test::FakeHost;
using zonara_test::FakeView;
using zonara_test::OverlayParams;

// Values a host might leave in the record; a miss must not touch them.
constexpr A_intptr_t HOST_REFCON = 77;
constexpr PF_EventOutFlags HOST_OUT_FLAGS = PF_EO_ALWAYS_UPDATE;

struct Scene {
    explicit Scene(A_long host_id = PF_APPL_ID_AFTER_EFFECTS, PF_WindowType view_type = PF_Window_LAYER)
        : host(host_id), drawing(host), view(view_type) {
        host.in_data.height = 1000;  // angle handle 200 px from the centre
        // Handles, in frame pixels at zoom 1: corners (400, 250) (600, 250)
        // (400, 350) (600, 350); angle (500, 100); feather (410, 300)
        // (590, 300) (500, 255) (500, 345); mix (460, 300).
        params.Origin(500, 300).Width(200).Height(100).Feather(10).Mix(0.5);
    }
    PF_EventExtra Click(A_long x, A_long y) {
        PF_EventExtra extra = view.Event(PF_Event_DO_CLICK);
        extra.u.do_click.screen_point = PF_Point{x, y};
        extra.u.do_click.continue_refcon[0] = HOST_REFCON;
        extra.evt_out_flags = HOST_OUT_FLAGS;
        return extra;
    }
    PF_Err Handle(PF_EventExtra *extra) {
        return zonara::HandleOverlayEvent(&host.in_data, &host.out_data, params.List(), nullptr, extra);
    }

    FakeHost host;
    FakeDrawingHost drawing;
    FakeView view;
    OverlayParams params;
};

struct ClickCase {
    std::string name;
    double width, feather, mix;
    A_long x, y;
    A_long handle;  // 0: a miss
};

class HitTestTest : public ::testing::TestWithParam<std::tuple<A_long, ClickCase>> {};

TEST_P(HitTestTest, FirstHandleWithinSixteenCityBlockPixelsIsTaken) {
    const auto &[host_id, c] = GetParam();
    Scene scene(host_id);
    scene.params.Width(c.width).Feather(c.feather).Mix(c.mix);
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
    EXPECT_EQ(scene.host.AcquireCount(kPFANSISuite) > 0, host_id != PF_APPL_ID_PREMIERE);
    EXPECT_TRUE(scene.host.SuitesBalanced());
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, HitTestTest,
    ::testing::Combine(
        ::testing::Values(PF_APPL_ID_AFTER_EFFECTS, PF_APPL_ID_PREMIERE),
        ::testing::Values(
            ClickCase{"on_top_left", 200, 10, 0.5, 400, 250, zonara::HANDLE_CORNER_TOP_LEFT},
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
            ClickCase{"corner_beats_nearer_feather", 20, 0, 0.5, 496, 250, zonara::HANDLE_CORNER_TOP_LEFT},
            // Width 80, Feather 0: the left feather handle sits where the mix
            // handle is, and comes first.
            ClickCase{"feather_beats_mix", 80, 0, 0.5, 460, 300, zonara::HANDLE_FEATHER_LEFT},
            ClickCase{"nowhere", 200, 10, 0.5, 520, 320, zonara::HANDLE_NONE})),
    [](const auto &info) {
        return std::string(std::get<0>(info.param) == PF_APPL_ID_PREMIERE ? "premiere_" : "aftereffects_") +
               std::get<1>(info.param).name;
    });

TEST(OverlayEventTest, HandlesAreFoundAtTheViewsZoomAndPan) {
    Scene scene(PF_APPL_ID_AFTER_EFFECTS, PF_Window_COMP);
    scene.view = FakeView(PF_Window_COMP, 2.0, -100, 50, 20, 10);
    // Bottom-right corner (600, 350) in layer pixels.
    PF_EventExtra extra = scene.Click(static_cast<A_long>(scene.view.FrameX(600)) + 3,
                                      static_cast<A_long>(scene.view.FrameY(350)) - 3);
    scene.Handle(&extra);
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], zonara::HANDLE_CORNER_BOTTOM_RIGHT);
}

TEST(OverlayEventTest, OtherViewsAndEventsAreLeftAlone) {
    for (const PF_EventType type : {PF_Event_DO_CLICK, PF_Event_DRAG, PF_Event_DRAW}) {
        Scene scene(PF_APPL_ID_AFTER_EFFECTS, PF_Window_EFFECT);
        PF_EventExtra extra = scene.Click(400, 250);
        extra.e_type = type;
        if (type == PF_Event_DRAG) {
            extra.u.do_click.continue_refcon[0] = zonara::HANDLE_MIX;
        }
        EXPECT_EQ(scene.Handle(&extra), PF_Err_NONE);
        EXPECT_EQ(extra.evt_out_flags, HOST_OUT_FLAGS) << type;
        EXPECT_TRUE(scene.drawing.calls.empty());
        EXPECT_TRUE(scene.host.suite_calls.empty());
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
    EXPECT_EQ(scene.params[zonara::PARAM_MIX].u.fs_d.value, 1.0);
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], zonara::HANDLE_MIX);
    EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
}

TEST(OverlayEventTest, DrawIsMarkedHandledWhateverTheDrawingStatus) {
    Scene scene;
    scene.drawing.FailCall(zonara_test::DrawCall::MOVE_TO, 1, 99);
    PF_EventExtra extra = scene.view.Event(PF_Event_DRAW);
    EXPECT_EQ(scene.Handle(&extra), PF_Err_NONE);
    EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
}

TEST(OverlayEventTest, MissingHostSuiteEndsTheEventUntouched) {
    Scene scene;
    scene.host.RefuseSuite(kPFANSISuite);
    PF_EventExtra extra = scene.Click(400, 250);
    try {
        scene.Handle(&extra);
        ADD_FAILURE() << "no error thrown";
    } catch (PF_Err err) {
        EXPECT_EQ(err, PF_Err_BAD_CALLBACK_PARAM);
    }
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], HOST_REFCON);
    EXPECT_EQ(extra.u.do_click.send_drag, 0);
    EXPECT_TRUE(scene.host.SuitesBalanced());
}

TEST(OverlayEventTest, MissingEventRecordIsAnError) {
    Scene scene;
    EXPECT_EQ(scene.Handle(nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

TEST(OverlayEventTest, ParameterArrayWithAHoleIsAnErrorAndTouchesNothing) {
    Scene scene;
    PF_ParamDef **list = scene.params.List();
    list[zonara::PARAM_MIX] = nullptr;
    PF_EventExtra extra = scene.Click(460, 300);  // on the mix handle
    EXPECT_EQ(zonara::HandleOverlayEvent(&scene.host.in_data, &scene.host.out_data, list, nullptr, &extra),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], HOST_REFCON);
    EXPECT_EQ(extra.evt_out_flags, HOST_OUT_FLAGS);
    EXPECT_TRUE(scene.host.SuitesBalanced());
}

}  // namespace
