// Window rectangles, rotation, view conversions and handle positions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/fixed_point.h"
#include "overlay/handle_points.h"
#include "overlay/rotate_quad.h"
#include "overlay/view_mapping.h"
#include "overlay/window_rects.h"
#include "support/overlay_scene.h"

namespace {

using testhost::HostApp;
using testhost::ViewKind;
using zonara::FixedRect;
using zonara_test::OverlayScene;
using zonara_test::ViewOf;

constexpr PF_Fixed Px(double pixels) { return static_cast<PF_Fixed>(pixels * zonara::FIXED_ONE); }

// Runs `body(in_data, params)` inside an event command of the scene's host.
template <class Body>
void InEvent(OverlayScene &scene, Body body) {
    scene.Run([&](PF_InData *in_data, PF_OutData *, PF_ParamDef **params) {
        body(in_data, params);
        return PF_Err_NONE;
    });
}

struct RectsCase {
    std::string name;
    PF_RationalScale aspect;
    double origin_x, origin_y, width, height, feather;
    FixedRect outer, inner;
};

class WindowRectsTest : public ::testing::TestWithParam<RectsCase> {};

TEST_P(WindowRectsTest, OuterAndFeatherRectangles) {
    const RectsCase &c = GetParam();
    OverlayScene scene;
    scene.host().frame().pixel_aspect_ratio = c.aspect;
    scene.Origin(c.origin_x, c.origin_y).Width(c.width).Height(c.height).Feather(c.feather);
    zonara::WindowRects rects{};
    InEvent(scene,
            [&](PF_InData *in_data, PF_ParamDef **params) { rects = zonara::ComputeWindowRects(in_data, params); });
    const auto expect_rect = [](const FixedRect &got, const FixedRect &want, const char *which) {
        EXPECT_EQ(got.left, want.left) << which;
        EXPECT_EQ(got.top, want.top) << which;
        EXPECT_EQ(got.right, want.right) << which;
        EXPECT_EQ(got.bottom, want.bottom) << which;
    };
    expect_rect(rects.outer, c.outer, "outer");
    expect_rect(rects.inner, c.inner, "inner");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Geometry, WindowRectsTest,
    ::testing::Values(
        RectsCase{"square_pixels", {1, 1}, 100, 100, 200, 100, 10,
                  {Px(0), Px(50), Px(200), Px(150)}, {Px(10), Px(55), Px(190), Px(145)}},
        // Width 1920 spans 960 layer pixels; Feather 100 insets 50 of them.
        // Vertically the inset is 100 x 100 / 1920 = 5.2083 px, rounded to
        // the nearest 1/65536.
        RectsCase{"pixel_aspect_2", {2, 1}, 1000, 500, 1920, 100, 100,
                  {Px(520), Px(450), Px(1480), Px(550)}, {Px(570), Px(450) + 341333, Px(1430), Px(550) - 341333}},
        RectsCase{"feather_0_inner_is_outer", {1, 1}, 50, 60, 40, 20, 0,
                  {Px(30), Px(50), Px(70), Px(70)}, {Px(30), Px(50), Px(70), Px(70)}},
        RectsCase{"feather_above_half_width_inverts", {1, 1}, 100, 100, 40, 20, 30,
                  {Px(80), Px(90), Px(120), Px(110)}, {Px(110), Px(105), Px(90), Px(95)}},
        // Without height the vertical inset would be Feather / 0: it is 0.
        RectsCase{"height_0", {1, 1}, 100, 100, 200, 0, 10,
                  {Px(0), Px(100), Px(200), Px(100)}, {Px(10), Px(100), Px(190), Px(100)}},
        RectsCase{"width_0", {1, 1}, 100, 100, 0, 50, 10,
                  {Px(100), Px(75), Px(100), Px(125)}, {Px(110), Px(75), Px(90), Px(125)}},
        // 30000 + 7500 px is past the 16.16 range: the right and bottom
        // edges, formed in floating point and in integers, stay at its end.
        RectsCase{"beyond_fixed_range", {1, 1}, 30000, 30000, 15000, 15000, 0,
                  {Px(22500), Px(22500), INT32_MAX, INT32_MAX}, {Px(22500), Px(22500), INT32_MAX, INT32_MAX}},
        RectsCase{"beyond_fixed_range_below", {1, 1}, -30000, -30000, 15000, 15000, 100,
                  {INT32_MIN, INT32_MIN, Px(-22500), Px(-22500)},
                  {INT32_MIN + Px(100), INT32_MIN + Px(100), Px(-22600), Px(-22600)}}),
    [](const auto &info) { return info.param.name; });

TEST(RotateQuadTest, QuarterTurnIsClockwiseAndTruncatedInBothHosts) {
    for (const HostApp app : {HostApp::kAfterEffects, HostApp::kPremiere}) {
        OverlayScene scene(app);
        const A_long host_id = app == HostApp::kPremiere ? PF_APPL_ID_PREMIERE : PF_APPL_ID_AFTER_EFFECTS;
        // 100 px right of the centre turns to 100 px below it. The cosine of
        // the single-precision quarter turn is -4.4e-8, which moves x by
        // -0.29/65536 px, truncated toward zero to one unit less. Its sine
        // is 1 in single precision but just below 1 in double, so After
        // Effects lands one unit short (toward zero) of Premiere Pro.
        const bool premiere = host_id == PF_APPL_ID_PREMIERE;
        const PF_Fixed short_of = premiere ? 0 : 1;
        zonara::CornerQuad quad{PF_FixedPoint{Px(110), Px(20)}, PF_FixedPoint{Px(10), Px(20)},
                                PF_FixedPoint{Px(10), Px(120)}, PF_FixedPoint{Px(-90), Px(20)}};
        InEvent(scene, [&](PF_InData *in_data, PF_ParamDef **) {
            zonara::RotateQuad(in_data, &quad, PF_FixedPoint{Px(10), Px(20)}, 1.5707964f);
        });
        EXPECT_EQ(quad[0].x, Px(10) - 1) << host_id;
        EXPECT_EQ(quad[0].y, Px(120) - short_of) << host_id;
        EXPECT_EQ(quad[1].x, Px(10));
        EXPECT_EQ(quad[1].y, Px(20));
        EXPECT_EQ(quad[2].x, Px(-90) + short_of) << "below turns to the left";
        EXPECT_EQ(quad[3].y, Px(-80) + short_of) << "left turns to above";
        const int expected_ansi = premiere ? 0 : 1;
        EXPECT_EQ(zonara_test::UseOf(scene.host(), kPFANSISuite).acquired, expected_ansi);
        EXPECT_TRUE(scene.SuitesBalanced());
    }
}
// clang-format on

TEST(RotateQuadTest, MissingHostTrigonometryIsFatalToTheCommand) {
    OverlayScene scene;
    scene.host().suites().Refuse(kPFANSISuite);
    zonara::CornerQuad quad{};
    InEvent(scene, [&](PF_InData *in_data, PF_ParamDef **) {
        EXPECT_THROW(zonara::RotateQuad(in_data, &quad, PF_FixedPoint{0, 0}, 0.5f), PF_Err);
    });
}

struct ViewCase {
    std::string name;
    ViewKind type;
    double zoom, pan_x, pan_y, offset_x, offset_y;
};

// clang-format off
const std::vector<ViewCase> VIEWS = {
    {"comp_zoom1", ViewKind::kComposition, 1.0, 0, 0, 0, 0},
    {"comp_zoom2_panned_placed", ViewKind::kComposition, 2.0, 30, -40, 100, 50},
    {"comp_zoom_half", ViewKind::kComposition, 0.5, 12, 8, -200, 0},
    {"layer_zoom1", ViewKind::kLayer, 1.0, 0, 0, 0, 0},
    {"layer_zoom4_panned", ViewKind::kLayer, 4.0, -1000, 200, 0, 0},
};
// clang-format on

class ViewMappingTest : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ViewMappingTest, ConvertsThroughTheViewsCallbacksOnly) {
    const ViewCase &c = GetParam();
    OverlayScene view(HostApp::kAfterEffects, ViewOf(c.type, c.zoom, c.pan_x, c.pan_y, c.offset_x, c.offset_y));
    PF_EventExtra extra = view.Event(PF_Event_DRAW);
    PF_FixedPoint point{Px(250), Px(126)};
    zonara::CornerQuad corners{};
    PF_FixedPoint back{};
    const bool comp = c.type == ViewKind::kComposition;
    InEvent(view, [&](PF_InData *in_data, PF_ParamDef **) {
        zonara::LayerPointToFrame(in_data, &extra, &point);
        corners = zonara::RectToFrameCorners(in_data, &extra, FixedRect{Px(10), Px(20), Px(30), Px(40)});
        const auto to_layer = comp ? zonara::FrameToLayerCompView : zonara::FrameToLayerLayerView;
        back = to_layer(in_data, &extra,
                        PF_Point{static_cast<A_long>(view.FrameX(250)), static_cast<A_long>(view.FrameY(126))});
    });
    EXPECT_EQ(point.x, Px(view.FrameX(250)));
    EXPECT_EQ(point.y, Px(view.FrameY(126)));

    EXPECT_EQ(corners[zonara::CORNER_TOP_RIGHT].x, Px(view.FrameX(30)));
    EXPECT_EQ(corners[zonara::CORNER_TOP_RIGHT].y, Px(view.FrameY(20)));
    EXPECT_EQ(corners[zonara::CORNER_BOTTOM_LEFT].x, Px(view.FrameX(10)));
    EXPECT_EQ(corners[zonara::CORNER_BOTTOM_LEFT].y, Px(view.FrameY(40)));

    EXPECT_EQ(back.x, Px(250));
    EXPECT_EQ(back.y, Px(126));

    // The layer view has no composition step in either direction.
    const testhost::ConversionCounts &calls = view.conversions();
    EXPECT_EQ(calls.layer_to_comp, comp ? 5 : 0);
    EXPECT_EQ(calls.comp_to_layer, comp ? 1 : 0);
    EXPECT_EQ(calls.source_to_frame, 5);
    EXPECT_EQ(calls.frame_to_source, 1);
    EXPECT_EQ(calls.bad_calls, 0);
}

INSTANTIATE_TEST_SUITE_P(Views, ViewMappingTest, ::testing::ValuesIn(VIEWS),
                         [](const auto &info) { return info.param.name; });

// Positions beyond the 16.16 range are held at its ends, never wrapped to
// the other side; NaN, which has no side, gives the lowest value.
TEST(FixedPointTest, ResultsBeyondTheRangeStayAtItsEnds) {
    struct Case {
        const char *what;
        std::int32_t got, want;
    };
    // clang-format off
    const Case cases[] = {
        {"add above", zonara::SaturatingAdd(Px(30000), Px(7500)), INT32_MAX},
        {"add below", zonara::SaturatingAdd(Px(-30000), Px(-7500)), INT32_MIN},
        {"add within", zonara::SaturatingAdd(Px(30000), Px(-7500)), Px(22500)},
        {"subtract above", zonara::SaturatingSub(Px(30000), Px(-7500)), INT32_MAX},
        {"subtract below", zonara::SaturatingSub(INT32_MIN, 1), INT32_MIN},
        {"double", zonara::SaturatingDouble(Px(20000)), INT32_MAX},
        {"midpoint of two large edges", zonara::FixedMidpoint(Px(21000), Px(22520)), Px(21760)},
        {"midpoint of the ends", zonara::FixedMidpoint(INT32_MAX, INT32_MIN), 0},
        {"whole pixels above", zonara::WholeToFixed(40000), INT32_MAX},
        {"whole pixels below", zonara::WholeToFixed(-40000), INT32_MIN},
        {"whole pixels at the edge", zonara::WholeToFixed(-32768), INT32_MIN},
        {"truncate above", zonara::SaturateTruncate(3e9), INT32_MAX},
        {"truncate below", zonara::SaturateTruncate(-3e9), INT32_MIN},
        {"truncate toward zero", zonara::SaturateTruncate(-2.9), -2},
        {"truncate NaN", zonara::SaturateTruncate(std::nan("")), INT32_MIN},
        {"round above", zonara::RoundHalfAwayFromZero(2147483647.5), INT32_MAX},
    };
    // clang-format on
    for (const Case &c : cases) {
        EXPECT_EQ(c.got, c.want) << c.what;
    }
}

TEST(ViewMappingTest, FramePointsBeyondTheFixedRangeStayAtItsEnds) {
    OverlayScene view;
    PF_EventExtra extra = view.Event(PF_Event_DRAG);
    PF_FixedPoint point{};
    InEvent(view, [&](PF_InData *in_data, PF_ParamDef **) {
        point = zonara::FrameToLayerLayerView(in_data, &extra, PF_Point{40000, -40000});
    });
    EXPECT_EQ(point.x, INT32_MAX);
    EXPECT_EQ(point.y, INT32_MIN);
}

// Handle positions for origin (500, 300), Width 200, Height 100, Feather 10
// in a 1000-pixel-high layer (angle handle radius 200), in whole layer
// pixels before the view's mapping.
struct HandleCase {
    std::string name;
    PF_RationalScale aspect;
    double angle_degrees;
    double mix;
    struct At {
        int handle;
        double x, y;
    };
    std::vector<At> layer_points;
    double mix_dy;  // frame pixels below the centre
};

class HandlePointsTest : public ::testing::TestWithParam<std::tuple<ViewCase, HandleCase>> {};

TEST_P(HandlePointsTest, HandlesLieWhereTheWindowShowsInTheView) {
    const auto &[v, c] = GetParam();
    OverlayScene view(HostApp::kAfterEffects, ViewOf(v.type, v.zoom, v.pan_x, v.pan_y, v.offset_x, v.offset_y));
    view.host().frame().layer_height = 1000;
    view.host().frame().pixel_aspect_ratio = c.aspect;
    PF_EventExtra extra = view.Event(PF_Event_DO_CLICK);
    view.Origin(500, 300).Width(200).Height(100).Feather(10).AngleDegrees(c.angle_degrees).Mix(c.mix);

    zonara::HandlePoints points{};
    InEvent(view, [&](PF_InData *in_data, PF_ParamDef **params) {
        points = zonara::ComputeHandlePoints(in_data, params, &extra);
    });
    for (const HandleCase::At &at : c.layer_points) {
        EXPECT_NEAR(points[at.handle - 1].x, view.FrameX(at.x), 1.0) << "handle " << at.handle;
        EXPECT_NEAR(points[at.handle - 1].y, view.FrameY(at.y), 1.0) << "handle " << at.handle;
    }
    // The mix slider lives in frame pixels, whatever the zoom.
    EXPECT_EQ(points[zonara::HANDLE_MIX - 1].x, static_cast<A_long>(view.FrameX(500)) - 40);
    EXPECT_EQ(points[zonara::HANDLE_MIX - 1].y, static_cast<A_long>(view.FrameY(300) + c.mix_dy));
    EXPECT_TRUE(view.SuitesBalanced());
}

// clang-format off
const std::vector<HandleCase> HANDLE_CASES = {
    {"angle0_mix_half", {1, 1}, 0, 0.5,
     {{1, 400, 250}, {2, 600, 250}, {3, 400, 350}, {4, 600, 350}, {5, 500, 100}, {6, 410, 300}, {7, 590, 300},
      {8, 500, 255}, {9, 500, 345}},
     0},
    {"angle0_mix1", {1, 1}, 0, 1.0,
     {{1, 400, 250}, {2, 600, 250}, {3, 400, 350}, {4, 600, 350}, {5, 500, 100}, {6, 410, 300}, {7, 590, 300},
      {8, 500, 255}, {9, 500, 345}},
     -50},
    // Pixel aspect 2 halves horizontal extents; at 90 degrees the angle
    // handle is 200 square pixels = 100 layer pixels right of the centre.
    {"aspect2_angle90_mix0", {2, 1}, 90, 0.0, {{5, 600, 300}}, 50},
};
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Views, HandlePointsTest,
    ::testing::Combine(::testing::ValuesIn(VIEWS), ::testing::ValuesIn(HANDLE_CASES)),
    [](const auto &info) { return std::get<0>(info.param).name + "_" + std::get<1>(info.param).name; });

}  // namespace
// clang-format on
