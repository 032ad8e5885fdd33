// What the overlay draws, in which order and style, in both hosts; and that
// every failure the host can produce while drawing leaves nothing held.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "overlay/draw_overlay.h"
#include "overlay/overlay_types.h"
#include "shell/entry_point.h"
#include "support/overlay_scene.h"
#include "testhost/drawing/stroked_shapes.h"

namespace {

using testhost::DrawOp;
using testhost::HostApp;
using testhost::StrokedShape;
using testhost::ViewKind;
using zonara_test::OverlayScene;
using zonara_test::ViewOf;

struct DrawScene : OverlayScene {
    explicit DrawScene(HostApp app = HostApp::kAfterEffects, const testhost::View &view = zonara_test::LayerView())
        : OverlayScene(app, view) {
        host().frame().layer_height = 1000;
        Origin(500, 300).Width(200).Height(100).Feather(10).Mix(0.5);
        extra = Event(PF_Event_DRAW);
    }
    void Draw() {
        Run(
            [this](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **params) {
                zonara::DrawOverlay(in_data, out_data, params, &extra);
                return PF_Err_NONE;
            },
            faults);
    }
    PF_Err DrawThroughEntryPoint() {
        return Run(
            [this](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **params) {
                return EntryPointFunc(PF_Cmd_EVENT, in_data, out_data, params, nullptr, &extra);
            },
            faults);
    }
    // The n-th call (from 1) of op fails with code.
    void FailCall(DrawOp op, int n, SPErr code) { faults.failures.push_back({op, code, n}); }
    std::vector<StrokedShape> Shapes() const { return testhost::StrokedShapes(drawn()); }
    int Count(DrawOp op) const { return testhost::CountCalls(drawn(), op); }
    bool AllObjectsReleased() const { return testhost::EveryObjectReleasedOnce(drawn()); }

    PF_EventExtra extra;
    testhost::DrawingFaults faults;
};

using Points = std::vector<std::pair<float, float>>;

// The points of a path's MoveTo and LineTo operations, and whether it was
// closed.
Points PolylineOf(const StrokedShape &shape) {
    Points points;
    for (const testhost::PathStep &op : shape.steps) {
        if (op.op == DrawOp::kMoveTo || op.op == DrawOp::kLineTo) {
            points.emplace_back(op.values[0], op.values[1]);
        }
    }
    return points;
}

bool IsClosedQuad(const StrokedShape &shape) {
    return shape.steps.size() == 5 && shape.steps[0].op == DrawOp::kMoveTo && shape.steps[4].op == DrawOp::kClose;
}

// Quad outlines run top-left, top-right, bottom-right, bottom-left.
Points Box(float left, float top, float right, float bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

std::vector<std::vector<float>> ArcsOf(const StrokedShape &shape) {
    std::vector<std::vector<float>> arcs;
    for (const testhost::PathStep &op : shape.steps) {
        if (op.op == DrawOp::kAddArc) {
            arcs.push_back(op.values);
        }
    }
    return arcs;
}

class DrawSequenceTest : public ::testing::TestWithParam<std::tuple<HostApp, A_long>> {};

TEST_P(DrawSequenceTest, ShapesInOrderWithTheHostsStyle) {
    const auto [app, window_type] = GetParam();
    DrawScene scene(app);
    scene.WindowType(window_type);
    EXPECT_EQ(scene.DrawThroughEntryPoint(), PF_Err_NONE);
    EXPECT_EQ(scene.extra.evt_out_flags, PF_EO_HANDLED_EVENT);

    std::vector<StrokedShape> shapes = scene.Shapes();
    const bool ellipse = window_type == zonara::WINDOW_TYPE_ELLIPSE;
    ASSERT_EQ(shapes.size(), ellipse ? 11u : 10u);
    const bool premiere = app == HostApp::kPremiere;
    const std::vector<float> yellow{0.9f, 0.9f, 0.0f, 1.0f, 1.0f};
    const std::vector<float> grey{0.9f, 0.9f, 0.9f, 1.0f, 1.0f};
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (premiere) {
            EXPECT_EQ(shapes[i].stroke, DrawOp::kStrokePath) << i;
            EXPECT_EQ(shapes[i].pen_values, ellipse && i == 0 ? grey : yellow) << i;
        } else {
            EXPECT_EQ(shapes[i].stroke, DrawOp::kThemeStrokePath) << i;
            EXPECT_TRUE(shapes[i].shadow) << i;
        }
    }
    if (ellipse) {
        const Points outline = PolylineOf(shapes[0]);
        ASSERT_EQ(outline.size(), 65u) << "64 points and the way back to the first";
        EXPECT_EQ(shapes[0].steps[0].op, DrawOp::kMoveTo);
        EXPECT_EQ(shapes[0].steps.back().op, DrawOp::kLineTo) << "closed by a segment, not by Close";
        EXPECT_EQ(outline.back(), outline.front());
        // Inscribed in the window outline, running clockwise from the right.
        EXPECT_EQ(outline[0], std::make_pair(600.0f, 300.0f));
        EXPECT_EQ(outline[16], std::make_pair(500.0f, 350.0f));
        EXPECT_EQ(outline[32], std::make_pair(400.0f, 300.0f));
        EXPECT_EQ(outline[48], std::make_pair(500.0f, 250.0f));
        shapes.erase(shapes.begin());
    }
    EXPECT_TRUE(IsClosedQuad(shapes[0]));
    EXPECT_EQ(PolylineOf(shapes[0]), Box(400, 250, 600, 350));
    const Points corners{{400, 250}, {600, 250}, {600, 350}, {400, 350}};  // walk order
    for (int i = 0; i < 4; ++i) {
        const auto [x, y] = corners[i];
        EXPECT_TRUE(IsClosedQuad(shapes[1 + i]));
        EXPECT_EQ(PolylineOf(shapes[1 + i]), Box(x - 3, y - 3, x + 3, y + 3)) << "corner " << i;
    }
    EXPECT_EQ(ArcsOf(shapes[5]),
              (std::vector<std::vector<float>>{
                  {500, 255, 4, 0, 360}, {500, 345, 4, 0, 360}, {410, 300, 4, 0, 360}, {590, 300, 4, 0, 360}}));
    EXPECT_EQ(PolylineOf(shapes[6]), (Points{{500, 300}, {500, 100}})) << "angle line";
    EXPECT_EQ(ArcsOf(shapes[7]), (std::vector<std::vector<float>>{{500, 100, 6, 0, 360}})) << "angle handle";
    EXPECT_EQ(PolylineOf(shapes[8]), (Points{{460, 250}, {460, 350}})) << "mix slider";
    EXPECT_EQ(PolylineOf(shapes[9]), Box(455, 298, 466, 302)) << "mix marker";
    EXPECT_TRUE(IsClosedQuad(shapes[9]));
    // Each shape its own path; pens and paths, suites all given back.
    EXPECT_TRUE(scene.AllObjectsReleased());
    EXPECT_TRUE(scene.misuse().empty());
    EXPECT_TRUE(scene.SuitesBalanced());
    EXPECT_EQ(zonara_test::UseOf(scene.host(), kPFEffectCustomUIOverlayThemeSuite).acquired > 0, !premiere);
    // In Premiere Pro each stroked quad and the ellipse have their own pen;
    // the handles share one.
    EXPECT_EQ(scene.Count(DrawOp::kNewPen), premiere ? (ellipse ? 8 : 7) : 0);
}

INSTANTIATE_TEST_SUITE_P(HostsAndWindows, DrawSequenceTest,
                         ::testing::Combine(::testing::Values(HostApp::kAfterEffects, HostApp::kPremiere),
                                            ::testing::Values(zonara::WINDOW_TYPE_ELLIPSE,
                                                              zonara::WINDOW_TYPE_RECTANGLE)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param) == HostApp::kPremiere ? "premiere_"
                                                                                              : "aftereffects_") +
                                    (std::get<1>(info.param) == zonara::WINDOW_TYPE_ELLIPSE ? "ellipse" : "rectangle");
                         });

TEST(DrawOverlayTest, FollowsTheViewsZoomPanAndPixelAspect) {
    DrawScene scene(HostApp::kAfterEffects, ViewOf(ViewKind::kComposition, 2.0, 10, 20, 100, 50));
    scene.host().frame().pixel_aspect_ratio = {2, 1};
    scene.AngleDegrees(90).Mix(1.0);
    scene.Draw();
    const std::vector<StrokedShape> shapes = scene.Shapes();
    ASSERT_EQ(shapes.size(), 11u);
    const DrawScene &v = scene;
    // At a quarter turn the ellipse's own horizontal axis points down, so
    // its point 0 lies half the Width (100 square pixels, vertical, so 100
    // layer pixels) below the centre.
    const Points outline = PolylineOf(shapes[0]);
    EXPECT_NEAR(outline[0].first, v.FrameX(500), 0.01);
    EXPECT_NEAR(outline[0].second, v.FrameY(400), 0.01);
    // The angle handle: 200 square pixels right, i.e. 100 layer pixels.
    const Points angle_line = PolylineOf(shapes[7]);
    EXPECT_EQ(angle_line[0], std::make_pair(static_cast<float>(v.FrameX(500)), static_cast<float>(v.FrameY(300))));
    EXPECT_NEAR(angle_line[1].first, v.FrameX(600), 1e-3);
    EXPECT_NEAR(angle_line[1].second, v.FrameY(300), 1e-3);
    // The mix slider is in frame pixels whatever the zoom; Mix 1 puts the
    // marker at its top end.
    const float x = static_cast<float>(v.FrameX(500)) - 40;
    const float top = static_cast<float>(v.FrameY(300)) - 50;
    EXPECT_EQ(PolylineOf(shapes[9]), (Points{{x, top}, {x, top + 100}}));
    EXPECT_EQ(PolylineOf(shapes[10]), Box(x - 5, top - 2, x + 6, top + 2));
}

TEST(DrawOverlayTest, TurnedWindowKeepsCornerSquaresUpright) {
    DrawScene scene;
    scene.WindowType(zonara::WINDOW_TYPE_RECTANGLE).AngleDegrees(45);
    scene.Draw();
    const std::vector<StrokedShape> shapes = scene.Shapes();
    const Points outline = PolylineOf(shapes[0]);
    EXPECT_NE(outline[0].second, outline[1].second) << "the outline turns";
    for (int i = 1; i <= 4; ++i) {
        const Points square = PolylineOf(shapes[i]);
        EXPECT_EQ(square[0].second, square[1].second) << i;
        EXPECT_EQ(square[1].first - square[0].first, 6.0f) << i;
    }
}

TEST(DrawOverlayTest, RoundsCornersHalfUpAndTruncatesTheMarker) {
    DrawScene scene;
    // A window of no size at (100.5, -1.5): every corner rounds half up to
    // (101, -1).
    scene.WindowType(zonara::WINDOW_TYPE_RECTANGLE).Origin(100.5, -1.5).Width(0).Height(0).Feather(0);
    scene.Mix(0.507);
    scene.Draw();
    const std::vector<StrokedShape> shapes = scene.Shapes();
    ASSERT_EQ(shapes.size(), 10u);
    EXPECT_EQ(PolylineOf(shapes[0]), Box(101, -1, 101, -1));
    // Centre y -1.5: the slider top is -51.5 and the marker at
    // -51.5 + 49.3 = -2.2; its edges are truncated toward zero.
    const Points marker = PolylineOf(shapes[9]);
    EXPECT_EQ(marker[0].second, -4.0f);  // -2.2 - 2 = -4.2, truncated toward zero
    EXPECT_EQ(marker[2].second, 0.0f);   // -2.2 + 2 = -0.2, truncated toward zero
}

TEST(DrawOverlayTest, NoDrawingReferenceDrawsNothingAndHoldsNothing) {
    for (const HostApp app : {HostApp::kAfterEffects, HostApp::kPremiere}) {
        DrawScene scene(app);
        scene.faults.null_drawing_reference = true;
        EXPECT_EQ(scene.DrawThroughEntryPoint(), PF_Err_NONE);
        EXPECT_EQ(scene.extra.evt_out_flags, PF_EO_HANDLED_EVENT);
        EXPECT_TRUE(scene.Shapes().empty());
        EXPECT_EQ(testhost::ObjectsMade(scene.drawn()), 0);
        EXPECT_TRUE(scene.SuitesBalanced());
    }
}

struct FaultCase {
    std::string name;
    DrawOp op;
    int nth;
    PF_Err result;  // through the entry point
};

class DrawFaultTest : public ::testing::TestWithParam<std::tuple<HostApp, FaultCase>> {};

TEST_P(DrawFaultTest, LeavesNothingHeldAndNothingEscapes) {
    const auto &[app, c] = GetParam();
    DrawScene scene(app);
    scene.FailCall(c.op, c.nth, 0x7E57);
    EXPECT_EQ(scene.DrawThroughEntryPoint(), c.result);
    EXPECT_FALSE(scene.host().exception_escaped());
    EXPECT_TRUE(scene.AllObjectsReleased());
    EXPECT_TRUE(scene.SuitesBalanced());
    if (c.result == PF_Err_NONE) {
        EXPECT_EQ(scene.extra.evt_out_flags, PF_EO_HANDLED_EVENT);
    }
}

// Making or giving back a pen or path throws; the entry point reports that
// as damaged state (512). Any other drawing failure just ends the drawing.
constexpr PF_Err DAMAGED = PF_Err_INTERNAL_STRUCT_DAMAGED;

INSTANTIATE_TEST_SUITE_P(
    Faults, DrawFaultTest,
    ::testing::Combine(::testing::Values(HostApp::kAfterEffects, HostApp::kPremiere),
                       ::testing::Values(FaultCase{"drawing_reference", DrawOp::kGetDrawingReference, 1, 0},
                                         FaultCase{"first_supplier", DrawOp::kGetSupplier, 1, 0},
                                         FaultCase{"handles_supplier", DrawOp::kGetSupplier, 7, 0},
                                         FaultCase{"first_surface", DrawOp::kGetSurface, 1, 0},
                                         FaultCase{"later_surface", DrawOp::kGetSurface, 4, 0},
                                         FaultCase{"first_move", DrawOp::kMoveTo, 1, 0},
                                         FaultCase{"angle_line_move", DrawOp::kMoveTo, 7, 0},
                                         FaultCase{"ellipse_line", DrawOp::kLineTo, 30, 0},
                                         FaultCase{"feather_arc", DrawOp::kAddArc, 2, 0},
                                         FaultCase{"angle_ring_arc", DrawOp::kAddArc, 5, 0},
                                         FaultCase{"close", DrawOp::kClose, 3, 0},
                                         FaultCase{"theme_stroke", DrawOp::kThemeStrokePath, 6, 0},
                                         FaultCase{"surface_stroke", DrawOp::kStrokePath, 7, 0},
                                         FaultCase{"first_path", DrawOp::kNewPath, 1, DAMAGED},
                                         FaultCase{"remade_path", DrawOp::kNewPath, 8, DAMAGED},
                                         FaultCase{"first_release", DrawOp::kReleaseObject, 1, DAMAGED},
                                         FaultCase{"remade_path_release", DrawOp::kReleaseObject, 8, DAMAGED})),
    [](const auto &info) {
        return std::string(std::get<0>(info.param) == HostApp::kPremiere ? "premiere_" : "aftereffects_") +
               std::get<1>(info.param).name;
    });

TEST(DrawFaultTest, PenRefusedInPremiereIsDamagedStateWithNothingHeld) {
    for (const int nth : {1, 2, 6}) {
        DrawScene scene(HostApp::kPremiere);
        scene.FailCall(DrawOp::kNewPen, nth, 0x7E57);
        EXPECT_EQ(scene.DrawThroughEntryPoint(), DAMAGED) << nth;
        EXPECT_TRUE(scene.AllObjectsReleased()) << nth;
        EXPECT_TRUE(scene.SuitesBalanced()) << nth;
    }
}

TEST(DrawFaultTest, FirstFailingStepEndsTheDrawing) {
    DrawScene scene;
    scene.FailCall(DrawOp::kMoveTo, 1, 0x7E57);
    scene.Draw();
    EXPECT_TRUE(scene.Shapes().empty());
    EXPECT_EQ(scene.Count(DrawOp::kLineTo), 0);
    EXPECT_EQ(scene.Count(DrawOp::kNewPath), 1);
}

TEST(DrawFaultTest, ReleaseRefusedWhileAnotherFailureUnwindsIsDropped) {
    DrawScene scene(HostApp::kPremiere);
    // Six shapes with a path and a pen each are given back in 12 releases;
    // then the handles' pen (the 7th) cannot be made, and the path made just
    // before it refuses to be given back while that failure unwinds.
    scene.FailCall(DrawOp::kNewPen, 7, 0x7E57);
    scene.FailCall(DrawOp::kReleaseObject, 13, 0x0BAD);
    EXPECT_EQ(scene.DrawThroughEntryPoint(), DAMAGED);
    EXPECT_EQ(scene.Count(DrawOp::kReleaseObject), 13);
    EXPECT_EQ(scene.drawn().back().op, DrawOp::kReleaseObject);
    EXPECT_TRUE(scene.AllObjectsReleased());
    EXPECT_TRUE(scene.SuitesBalanced());
}

struct SuiteRefusalCase {
    std::string suite;
    PF_Err result;
    bool told_user;
};

class DrawSuiteRefusalTest : public ::testing::TestWithParam<SuiteRefusalCase> {};

TEST_P(DrawSuiteRefusalTest, RefusedSuiteEndsTheDrawingCleanly) {
    const SuiteRefusalCase &c = GetParam();
    DrawScene scene;
    scene.host().suites().Refuse(c.suite);
    EXPECT_EQ(scene.DrawThroughEntryPoint(), c.result);
    EXPECT_TRUE(scene.AllObjectsReleased());
    EXPECT_TRUE(scene.SuitesBalanced());
    const PF_OutData &out = scene.host().last_out_data();
    EXPECT_EQ((out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0, c.told_user);
    if (c.told_user) {
        EXPECT_STREQ(out.return_msg, "Not able to acquire AEFX Suite.");
        EXPECT_TRUE(scene.drawn().empty()) << "a partial bundle draws nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(Suites, DrawSuiteRefusalTest,
                         ::testing::Values(SuiteRefusalCase{kDRAWBOT_DrawSuite, PF_Err_NONE, true},
                                           SuiteRefusalCase{kDRAWBOT_SupplierSuite, PF_Err_NONE, true},
                                           SuiteRefusalCase{kDRAWBOT_SurfaceSuite, PF_Err_NONE, true},
                                           SuiteRefusalCase{kDRAWBOT_PathSuite, PF_Err_NONE, true},
                                           SuiteRefusalCase{kPFEffectCustomUISuite, PF_Err_BAD_CALLBACK_PARAM, false},
                                           SuiteRefusalCase{kPFEffectCustomUIOverlayThemeSuite,
                                                            PF_Err_BAD_CALLBACK_PARAM, false},
                                           SuiteRefusalCase{kPFANSISuite, PF_Err_BAD_CALLBACK_PARAM, false}),
                         [](const auto &info) {
                             std::string name = info.param.suite;
                             for (char &ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

}  // namespace
