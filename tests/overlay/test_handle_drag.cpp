// Dragging each handle kind: the values written, what is marked changed, and
// the end of the gesture.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "overlay/handle_drag.h"
#include "overlay/overlay_types.h"
#include "support/overlay_scene.h"

namespace {

using testhost::ViewKind;
using zonara_test::OverlayScene;
using zonara_test::ViewOf;

// A drag event of a gesture on `handle` with the mouse at `where`.
PF_EventExtra DragOn(OverlayScene &scene, A_intptr_t handle, PF_Point where = {0, 0}) {
    PF_EventExtra extra = scene.Event(PF_Event_DRAG);
    extra.u.do_click.continue_refcon[0] = handle;
    extra.u.do_click.screen_point = where;
    return extra;
}

// The effect's drag handler on `extra`, as the entry point reaches it.
PF_Err Drag(OverlayScene &scene, PF_EventExtra *extra) {
    return scene.Run([extra](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **params) {
        return zonara::HandleDrag(in_data, out_data, params, nullptr, extra);
    });
}

constexpr double UNCHANGED = -12345.0;  // a value no drag produces here

struct DragCase {
    std::string name;
    A_long handle;
    PF_RationalScale aspect;
    double angle_degrees;
    double mouse_dx, mouse_dy;                 // layer pixels from the centre (500, 300)
    double width, height, feather, angle_out;  // expected; UNCHANGED where not written
    double tolerance;
};

class HandleDragTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(HandleDragTest, WritesTheHandlesParametersAndMarksThemChanged) {
    const DragCase &c = GetParam();
    OverlayScene params;
    params.host().frame().pixel_aspect_ratio = c.aspect;
    params.Origin(500, 300).Width(200).Height(100).Feather(UNCHANGED).AngleDegrees(c.angle_degrees);
    PF_EventExtra extra = DragOn(
        params, c.handle, PF_Point{static_cast<A_long>(500 + c.mouse_dx), static_cast<A_long>(300 + c.mouse_dy)});

    EXPECT_EQ(Drag(params, &extra), PF_Err_NONE);
    EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
    EXPECT_EQ(extra.u.do_click.send_drag, 1);
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], c.handle) << "the gesture goes on";

    const auto expect_value = [&](int index, double expected, double got) {
        const bool written = expected != UNCHANGED;
        EXPECT_EQ(params[index].uu.change_flags, written ? PF_ChangeFlag_CHANGED_VALUE : 0) << index;
        if (written) {
            EXPECT_NEAR(got, expected, c.tolerance) << index;
        }
    };
    expect_value(zonara::PARAM_WIDTH, c.width, params[zonara::PARAM_WIDTH].u.fs_d.value);
    expect_value(zonara::PARAM_HEIGHT, c.height, params[zonara::PARAM_HEIGHT].u.fs_d.value);
    expect_value(zonara::PARAM_FEATHER, c.feather, params[zonara::PARAM_FEATHER].u.fs_d.value);
    expect_value(zonara::PARAM_ANGLE, c.angle_out, zonara::FixedToDouble(params[zonara::PARAM_ANGLE].u.ad.value));
    EXPECT_EQ(params[zonara::PARAM_ORIGIN].uu.change_flags, 0);
    EXPECT_EQ(params[zonara::PARAM_MIX].uu.change_flags, 0);
}

constexpr double U = UNCHANGED;
const PF_RationalScale SQUARE{1, 1};

INSTANTIATE_TEST_SUITE_P(
    Handles, HandleDragTest,
    ::testing::Values(
        DragCase{"bottom_right", zonara::HANDLE_CORNER_BOTTOM_RIGHT, SQUARE, 0, 100, 50, 200, 100, U, U, 0},
        DragCase{"top_left", zonara::HANDLE_CORNER_TOP_LEFT, SQUARE, 0, -100, -50, 200, 100, U, U, 0},
        DragCase{"top_right", zonara::HANDLE_CORNER_TOP_RIGHT, SQUARE, 0, 100, -50, 200, 100, U, U, 0},
        DragCase{"bottom_left", zonara::HANDLE_CORNER_BOTTOM_LEFT, SQUARE, 0, -100, 50, 200, 100, U, U, 0},
        DragCase{"corner_across_the_centre", zonara::HANDLE_CORNER_BOTTOM_RIGHT, SQUARE, 0, -30, -20, -60, -40, U, U,
                 0},
        DragCase{"aspect_2", zonara::HANDLE_CORNER_BOTTOM_RIGHT, {2, 1}, 0, 100, 50, 400, 100, U, U, 0},
        DragCase{"angle_90", zonara::HANDLE_CORNER_BOTTOM_RIGHT, SQUARE, 90, -50, 100, 200, 100, U, U, 1e-4},
        DragCase{"angle_90_top_left", zonara::HANDLE_CORNER_TOP_LEFT, SQUARE, 90, 50, -100, 200, 100, U, U, 1e-4},
        DragCase{"angle_up", zonara::HANDLE_ANGLE, SQUARE, 0, 0, -100, U, U, U, 0, 0},
        DragCase{"angle_right", zonara::HANDLE_ANGLE, SQUARE, 0, 100, 0, U, U, U, 90, 0},
        DragCase{"angle_down", zonara::HANDLE_ANGLE, SQUARE, 0, 0, 100, U, U, U, 180, 0},
        DragCase{"angle_left", zonara::HANDLE_ANGLE, SQUARE, 0, -100, 0, U, U, U, 270, 0},
        DragCase{"angle_up_right", zonara::HANDLE_ANGLE, SQUARE, 0, 70, -70, U, U, U, 45, 0},
        DragCase{"angle_down_right", zonara::HANDLE_ANGLE, SQUARE, 0, 70, 70, U, U, U, 135, 0},
        DragCase{"angle_up_left", zonara::HANDLE_ANGLE, SQUARE, 0, -70, -70, U, U, U, 315, 0},
        DragCase{"angle_on_centre", zonara::HANDLE_ANGLE, SQUARE, 0, 0, 0, U, U, U, 270, 0},
        // No aspect correction for the bearing.
        DragCase{"angle_ignores_aspect", zonara::HANDLE_ANGLE, {2, 1}, 0, 70, -70, U, U, U, 45, 0},
        DragCase{"feather_left", zonara::HANDLE_FEATHER_LEFT, SQUARE, 0, -80, 7, U, U, 20, U, 0},
        DragCase{"feather_right", zonara::HANDLE_FEATHER_RIGHT, SQUARE, 0, 80, 7, U, U, 20, U, 0},
        DragCase{"feather_left_beyond_edge_stops_at_0", zonara::HANDLE_FEATHER_LEFT, SQUARE, 0, -120, 0, U, U, 0, U, 0},
        DragCase{"feather_right_beyond_edge_goes_negative", zonara::HANDLE_FEATHER_RIGHT, SQUARE, 0, 120, 0, U, U, -20,
                 U, 0},
        DragCase{"feather_left_follows_angle", zonara::HANDLE_FEATHER_LEFT, SQUARE, 60, -80, 0, U, U, 10, U, 1e-5},
        DragCase{"feather_right_ignores_angle", zonara::HANDLE_FEATHER_RIGHT, SQUARE, 60, 80, 0, U, U, 20, U, 0},
        DragCase{"feather_left_aspect_2", zonara::HANDLE_FEATHER_LEFT, {2, 1}, 0, -40, 0, U, U, 20, U, 0},
        // Width / Height = 2: the vertical inset is half the Feather.
        DragCase{"feather_top", zonara::HANDLE_FEATHER_TOP, SQUARE, 0, 9, -40, U, U, 20, U, 0},
        DragCase{"feather_bottom", zonara::HANDLE_FEATHER_BOTTOM, SQUARE, 0, 9, 40, U, U, 20, U, 0}),
    [](const auto &info) { return info.param.name; });

struct MixCase {
    std::string name;
    ViewKind view_type;
    double zoom;
    double frame_dy;  // frame pixels below the centre
    double mix;
};

class MixDragTest : public ::testing::TestWithParam<MixCase> {};

TEST_P(MixDragTest, HeightInTheViewSetsMix) {
    const MixCase &c = GetParam();
    OverlayScene params(testhost::HostApp::kAfterEffects, ViewOf(c.view_type, c.zoom, 16, -8, 40, 20));
    params.Origin(500, 300);
    // Far to the side: only the height counts.
    PF_EventExtra extra = DragOn(
        params, zonara::HANDLE_MIX,
        PF_Point{static_cast<A_long>(params.FrameX(500)) + 300, static_cast<A_long>(params.FrameY(300) + c.frame_dy)});
    Drag(params, &extra);
    EXPECT_DOUBLE_EQ(params[zonara::PARAM_MIX].u.fs_d.value, c.mix);
    EXPECT_EQ(params[zonara::PARAM_MIX].uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
    EXPECT_EQ(params[zonara::PARAM_WIDTH].uu.change_flags, 0);
}

INSTANTIATE_TEST_SUITE_P(Mix, MixDragTest,
                         ::testing::Values(MixCase{"top", ViewKind::kLayer, 1, -50, 1.0},
                                           MixCase{"level", ViewKind::kLayer, 1, 0, 0.5},
                                           MixCase{"bottom", ViewKind::kLayer, 1, 50, 0.0},
                                           MixCase{"beyond_top_unclamped", ViewKind::kLayer, 1, -100, 1.5},
                                           MixCase{"comp_zoom_2_top", ViewKind::kComposition, 2, -50, 1.0},
                                           MixCase{"comp_zoom_half_bottom", ViewKind::kComposition, 0.5, 50, 0.0}),
                         [](const auto &info) { return info.param.name; });

TEST(HandleDragTest, LastEventIsAppliedThenTheGestureEnds) {
    OverlayScene params(testhost::HostApp::kAfterEffects, ViewOf(ViewKind::kComposition));
    params.Origin(500, 300);
    PF_EventExtra extra = DragOn(params, zonara::HANDLE_CORNER_BOTTOM_RIGHT, PF_Point{600, 350});
    extra.u.do_click.last_time = 1;
    extra.u.do_click.send_drag = 1;
    Drag(params, &extra);
    EXPECT_EQ(params[zonara::PARAM_WIDTH].u.fs_d.value, 200.0);
    EXPECT_EQ(params[zonara::PARAM_HEIGHT].u.fs_d.value, 100.0);
    EXPECT_EQ(extra.u.do_click.continue_refcon[0], zonara::HANDLE_NONE);
    EXPECT_EQ(extra.u.do_click.send_drag, 0);
    EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
}

TEST(HandleDragTest, NoHandleOrNoOverlayViewIsANoOp) {
    struct NoOp {
        ViewKind view;
        A_intptr_t handle;
    };
    for (const NoOp &c :
         {NoOp{ViewKind::kLayer, zonara::HANDLE_NONE}, NoOp{ViewKind::kLayer, 11}, NoOp{ViewKind::kComposition, -1},
          NoOp{ViewKind::kComposition, A_intptr_t{1} << 32}, NoOp{ViewKind::kEffectControls, zonara::HANDLE_MIX}}) {
        OverlayScene params(testhost::HostApp::kAfterEffects, ViewOf(c.view));
        PF_EventExtra extra = DragOn(params, c.handle);
        extra.evt_out_flags = PF_EO_ALWAYS_UPDATE;
        EXPECT_EQ(Drag(params, &extra), PF_Err_NONE);
        EXPECT_EQ(extra.evt_out_flags, PF_EO_ALWAYS_UPDATE) << c.handle;
        EXPECT_EQ(extra.u.do_click.send_drag, 0);
        EXPECT_EQ(params.conversions().frame_to_source, 0);
        for (int i = 0; i < zonara::PARAM_COUNT; ++i) {
            EXPECT_EQ(params[i].uu.change_flags, 0) << i;
        }
    }
}

TEST(HandleDragTest, VerticalFeatherHandlesOfAFlatWindowLeaveFeatherAlone) {
    for (const A_long handle : {zonara::HANDLE_FEATHER_TOP, zonara::HANDLE_FEATHER_BOTTOM}) {
        for (const double width : {200.0, 0.0}) {
            OverlayScene params;
            params.Origin(500, 300).Width(width).Height(0).Feather(33);
            PF_EventExtra extra = DragOn(params, handle, PF_Point{500, 280});
            Drag(params, &extra);
            EXPECT_EQ(params[zonara::PARAM_FEATHER].u.fs_d.value, 33.0);
            EXPECT_EQ(params[zonara::PARAM_FEATHER].uu.change_flags, 0);
            EXPECT_EQ(extra.u.do_click.send_drag, 1) << "the gesture still goes on";
        }
    }
}

TEST(HandleDragTest, OffsetsBeyondTheFixedRangeStayDefined) {
    OverlayScene params;
    params.Origin(-30000, -30000);
    PF_EventExtra extra = DragOn(params, zonara::HANDLE_NONE, PF_Point{30000, 30000});
    for (A_long handle = zonara::HANDLE_CORNER_TOP_LEFT; handle <= zonara::HANDLE_MIX; ++handle) {
        extra.u.do_click.continue_refcon[0] = handle;
        Drag(params, &extra);
    }
    // Doubled offsets wrap; what matters is that every value is a number.
    EXPECT_TRUE(std::isfinite(params[zonara::PARAM_WIDTH].u.fs_d.value));
    EXPECT_TRUE(std::isfinite(params[zonara::PARAM_FEATHER].u.fs_d.value));
    EXPECT_TRUE(std::isfinite(params[zonara::PARAM_MIX].u.fs_d.value));
}

}  // namespace
