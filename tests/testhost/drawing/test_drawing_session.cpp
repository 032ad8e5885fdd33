// The host's drawing suites as an overlay reaches them (through the registry
// and the C tables): every call recorded, every pen and path counted from
// creation to release, faults produced on request, misuse caught, strokes
// painted in the pen's or the theme's style.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testhost/core/suite_registry.h"
#include "testhost/drawing/drawing_canvas.h"
#include "testhost/drawing/drawing_session.h"
#include "testhost/drawing/drawing_suites.h"
#include "testhost/drawing/event_context.h"

namespace testhost {
namespace {

template <class Suite>
const Suite *Acquire(SuiteRegistry &registry, const char *name) {
    const void *table = nullptr;
    EXPECT_EQ(registry.Acquire(name, 1, &table), kSPNoError) << name;
    return static_cast<const Suite *>(table);
}

// What an overlay holds during a draw event: the six suites and a context
// whose draw event is in progress.
class DrawingFixture : public ::testing::Test {
protected:
    void Begin(DrawingFaults faults = {}, Canvas *canvas = nullptr) {
        session_ = std::make_unique<DrawingSession>(std::move(faults), canvas);
        context_.set_drawing(session_.get());
    }
    void SetUp() override {
        RegisterDrawingSuites(registry_);
        ui_ = Acquire<PF_EffectCustomUISuite1>(registry_, kPFEffectCustomUISuite);
        theme_ = Acquire<PF_EffectCustomUIOverlayThemeSuite1>(registry_, kPFEffectCustomUIOverlayThemeSuite);
        draw_ = Acquire<DRAWBOT_DrawbotSuite1>(registry_, kDRAWBOT_DrawSuite);
        supplier_ = Acquire<DRAWBOT_SupplierSuite1>(registry_, kDRAWBOT_SupplierSuite);
        surface_ = Acquire<DRAWBOT_SurfaceSuite1>(registry_, kDRAWBOT_SurfaceSuite);
        path_ = Acquire<DRAWBOT_PathSuite1>(registry_, kDRAWBOT_PathSuite);
        Begin();
    }
    void TearDown() override { context_.set_drawing(nullptr); }

    DRAWBOT_DrawRef DrawRef() {
        DRAWBOT_DrawRef ref = nullptr;
        EXPECT_EQ(ui_->PF_GetDrawingReference(context_.handle(), &ref), kSPNoError);
        return ref;
    }
    DRAWBOT_SupplierRef Supplier(DRAWBOT_DrawRef ref) {
        DRAWBOT_SupplierRef supplier = nullptr;
        EXPECT_EQ(draw_->GetSupplier(ref, &supplier), kSPNoError);
        return supplier;
    }

    SuiteRegistry registry_;
    ViewContext context_{View{}};
    std::unique_ptr<DrawingSession> session_;
    const PF_EffectCustomUISuite1 *ui_ = nullptr;
    const PF_EffectCustomUIOverlayThemeSuite1 *theme_ = nullptr;
    const DRAWBOT_DrawbotSuite1 *draw_ = nullptr;
    const DRAWBOT_SupplierSuite1 *supplier_ = nullptr;
    const DRAWBOT_SurfaceSuite1 *surface_ = nullptr;
    const DRAWBOT_PathSuite1 *path_ = nullptr;
};

TEST_F(DrawingFixture, RecordsEveryCallInOrderAndCountsObjectsToRelease) {
    DRAWBOT_DrawRef ref = DrawRef();
    DRAWBOT_SupplierRef supplier = Supplier(ref);
    const DRAWBOT_ColorRGBA yellow{0.9f, 0.9f, 0.0f, 1.0f};
    DRAWBOT_PenRef pen = nullptr;
    DRAWBOT_PathRef path = nullptr;
    ASSERT_EQ(supplier_->NewPen(supplier, &yellow, 1.0f, &pen), kSPNoError);
    ASSERT_EQ(supplier_->NewPath(supplier, &path), kSPNoError);
    EXPECT_EQ(session_->counts().live(), 2);

    const DRAWBOT_PointF32 centre{10.0f, 20.0f};
    EXPECT_EQ(path_->MoveTo(path, 1.0f, 2.0f), kSPNoError);
    EXPECT_EQ(path_->LineTo(path, 3.0f, 4.0f), kSPNoError);
    EXPECT_EQ(path_->AddArc(path, &centre, 4.0f, 0.0f, 360.0f), kSPNoError);
    EXPECT_EQ(path_->Close(path), kSPNoError);
    DRAWBOT_SurfaceRef surface = nullptr;
    EXPECT_EQ(draw_->GetSurface(ref, &surface), kSPNoError);
    EXPECT_EQ(surface_->StrokePath(surface, pen, path), kSPNoError);
    EXPECT_EQ(theme_->PF_StrokePath(ref, path, 1), kSPNoError);
    EXPECT_EQ(supplier_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(pen)), kSPNoError);
    EXPECT_EQ(supplier_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(path)), kSPNoError);

    std::vector<std::string> seen;
    for (const DrawCall &call : session_->calls()) {
        seen.push_back(std::string(SuiteNameOf(call.op)) + "/" + OperationNameOf(call.op));
    }
    const std::vector<std::string> expected{
        "PF Effect Custom UI Suite/PF_GetDrawingReference",
        "DRAWBOT Draw Suite/GetSupplier",
        "DRAWBOT Supplier Suite/NewPen",
        "DRAWBOT Supplier Suite/NewPath",
        "DRAWBOT Path Suite/MoveTo",
        "DRAWBOT Path Suite/LineTo",
        "DRAWBOT Path Suite/AddArc",
        "DRAWBOT Path Suite/Close",
        "DRAWBOT Draw Suite/GetSurface",
        "DRAWBOT Surface Suite/StrokePath",
        "PF Effect Custom UI Overlay Theme Suite/PF_StrokePath",
        "DRAWBOT Supplier Suite/ReleaseObject",
        "DRAWBOT Supplier Suite/ReleaseObject",
    };
    EXPECT_EQ(seen, expected);

    const DrawCall &arc = session_->calls()[6];
    ASSERT_EQ(arc.args.size(), 6u);
    EXPECT_EQ(std::get<std::string>(arc.args[0].value), "path#1");
    EXPECT_EQ(arc.args[3].name, "radius");
    EXPECT_EQ(std::get<double>(arc.args[3].value), 4.0);
    const DrawCall &pen_call = session_->calls()[2];
    EXPECT_EQ(std::get<std::string>(pen_call.args.back().value), "pen#1");

    const DrawingCounts &n = session_->counts();
    EXPECT_EQ(n.pens_made, 1);
    EXPECT_EQ(n.paths_made, 1);
    EXPECT_EQ(n.live(), 0);
    EXPECT_EQ(n.strokes, 2);
    EXPECT_TRUE(session_->misuse().empty());
}

TEST_F(DrawingFixture, InjectedFaultsFailTheChosenCallWithTheChosenCode) {
    struct Case {
        const char *what;
        DrawFault fault;
        int failing_call;  // which of three NewPath / ReleaseObject calls fails; 0 none
    };
    const std::vector<Case> cases{
        {"every NewPath", {DrawOp::kNewPath, 7, 0}, -1},
        {"second NewPath", {DrawOp::kNewPath, 9, 2}, 2},
        {"third ReleaseObject", {DrawOp::kReleaseObject, 11, 3}, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Begin(DrawingFaults{{c.fault}, false});
        DRAWBOT_SupplierRef supplier = Supplier(DrawRef());
        std::vector<DRAWBOT_PathRef> paths;
        int made = 0;
        for (int i = 1; i <= 3; ++i) {
            DRAWBOT_PathRef path = reinterpret_cast<DRAWBOT_PathRef>(&made);  // must be overwritten
            const SPErr err = supplier_->NewPath(supplier, &path);
            const bool should_fail = c.fault.op == DrawOp::kNewPath && (c.failing_call == -1 || c.failing_call == i);
            EXPECT_EQ(err, should_fail ? c.fault.code : kSPNoError);
            if (should_fail) {
                EXPECT_EQ(path, nullptr);
            } else {
                paths.push_back(path);
            }
        }
        int refused = 0;
        for (DRAWBOT_PathRef path : paths) {
            if (supplier_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(path)) == c.fault.code) {
                ++refused;
            }
        }
        // A release the host refused leaves the path alive, and shows.
        EXPECT_EQ(session_->counts().live(), refused);
        EXPECT_EQ(refused, c.fault.op == DrawOp::kReleaseObject ? 1 : 0);
        if (c.fault.op == DrawOp::kReleaseObject) {
            EXPECT_EQ(session_->calls().back().result, c.fault.code);  // recorded with its result
        }
    }
}

TEST_F(DrawingFixture, PathAndStrokeFaultsAndANullDrawingReference) {
    Begin(DrawingFaults{{{DrawOp::kLineTo, 5, 1}, {DrawOp::kThemeStrokePath, 6, 0}}, false});
    DRAWBOT_DrawRef ref = DrawRef();
    DRAWBOT_PathRef path = nullptr;
    ASSERT_EQ(supplier_->NewPath(Supplier(ref), &path), kSPNoError);
    EXPECT_EQ(path_->LineTo(path, 1, 1), 5);
    EXPECT_EQ(path_->LineTo(path, 2, 2), kSPNoError);
    EXPECT_EQ(theme_->PF_StrokePath(ref, path, 1), 6);
    EXPECT_EQ(session_->counts().strokes, 0);
    EXPECT_EQ(supplier_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(path)), kSPNoError);

    Begin(DrawingFaults{{}, true});
    DRAWBOT_DrawRef none = reinterpret_cast<DRAWBOT_DrawRef>(&path);
    EXPECT_EQ(ui_->PF_GetDrawingReference(context_.handle(), &none), kSPNoError);
    EXPECT_EQ(none, nullptr);

    Begin(DrawingFaults{{{DrawOp::kGetDrawingReference, 13, 0}}, false});
    EXPECT_EQ(ui_->PF_GetDrawingReference(context_.handle(), &none), 13);
    EXPECT_EQ(none, nullptr);

    // Outside a draw event the context has nothing to draw into.
    context_.set_drawing(nullptr);
    EXPECT_NE(ui_->PF_GetDrawingReference(context_.handle(), &none), kSPNoError);
}

TEST_F(DrawingFixture, MisuseIsCaughtAndAnsweredWithAnError) {
    DRAWBOT_DrawRef ref = DrawRef();
    DRAWBOT_SupplierRef supplier = Supplier(ref);
    DRAWBOT_PathRef path = nullptr;
    ASSERT_EQ(supplier_->NewPath(supplier, &path), kSPNoError);
    ASSERT_EQ(supplier_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(path)), kSPNoError);

    EXPECT_NE(path_->MoveTo(path, 0, 0), kSPNoError);                                            // used after release
    EXPECT_NE(supplier_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(path)), kSPNoError);  // twice
    EXPECT_NE(theme_->PF_StrokePath(ref, nullptr, 1), kSPNoError);                               // no path
    EXPECT_NE(supplier_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(supplier)), kSPNoError);
    EXPECT_NE(path_->AddArc(path, nullptr, 1, 0, 360), kSPNoError);
    EXPECT_NE(supplier_->NewPath(supplier, nullptr), kSPNoError);
    EXPECT_EQ(session_->misuse().size(), 6u);
    EXPECT_EQ(session_->counts().live(), 0);
    EXPECT_EQ(session_->counts().paths_released, 1);

    // An object of another draw event is not this one's.
    DRAWBOT_PathRef other_path = nullptr;
    ASSERT_EQ(supplier_->NewPath(supplier, &other_path), kSPNoError);
    std::unique_ptr<DrawingSession> first = std::move(session_);
    Begin();
    EXPECT_NE(theme_->PF_StrokePath(DrawRef(), other_path, 1), kSPNoError);
    EXPECT_EQ(session_->misuse().size(), 1u);
    EXPECT_EQ(first->counts().live(), 1);
}

// Pixel (x, y) of a snapshot, as r, g, b.
std::vector<int> PixelAt(const RgbaImage &image, int x, int y) {
    const std::uint8_t *p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return {p[0], p[1], p[2]};
}

TEST_F(DrawingFixture, StrokesArePaintedInThePensOrTheThemesStyle) {
    if (!Canvas::CanRasterise()) {
        GTEST_SKIP() << "built without a rasteriser";
    }
    Canvas canvas(40, 40, {0.0f, 0.0f, 0.5f, 1.0f});
    Begin({}, &canvas);
    DRAWBOT_DrawRef ref = DrawRef();
    DRAWBOT_SupplierRef supplier = Supplier(ref);
    DRAWBOT_SurfaceRef surface = nullptr;
    ASSERT_EQ(draw_->GetSurface(ref, &surface), kSPNoError);
    const DRAWBOT_ColorRGBA red{1.0f, 0.0f, 0.0f, 1.0f};
    DRAWBOT_PenRef pen = nullptr;
    DRAWBOT_PathRef row = nullptr;
    DRAWBOT_PathRef column = nullptr;
    ASSERT_EQ(supplier_->NewPen(supplier, &red, 1.0f, &pen), kSPNoError);
    ASSERT_EQ(supplier_->NewPath(supplier, &row), kSPNoError);
    ASSERT_EQ(supplier_->NewPath(supplier, &column), kSPNoError);
    // A one-pixel line at whole coordinates covers exactly that row.
    path_->MoveTo(row, 5, 10);
    path_->LineTo(row, 15, 10);
    EXPECT_EQ(surface_->StrokePath(surface, pen, row), kSPNoError);
    path_->MoveTo(column, 30, 5);
    path_->LineTo(column, 30, 20);
    EXPECT_EQ(theme_->PF_StrokePath(ref, column, 1), kSPNoError);

    const RgbaImage image = canvas.Snapshot();
    EXPECT_EQ(PixelAt(image, 10, 10), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(PixelAt(image, 10, 11), (std::vector<int>{0, 0, 128}));
    EXPECT_EQ(PixelAt(image, 10, 9), (std::vector<int>{0, 0, 128}));
    // The theme's light line, with its dark shadow a pixel to the right.
    const std::vector<int> light = PixelAt(image, 30, 12);
    EXPECT_GT(light[0], 200);
    EXPECT_EQ(light[0], light[1]);
    const std::vector<int> shadow = PixelAt(image, 31, 12);
    EXPECT_LT(shadow[2], 64);
    EXPECT_EQ(PixelAt(image, 33, 12), (std::vector<int>{0, 0, 128}));
    for (auto *ref_to_release : {reinterpret_cast<DRAWBOT_ObjectRef>(pen), reinterpret_cast<DRAWBOT_ObjectRef>(row),
                                 reinterpret_cast<DRAWBOT_ObjectRef>(column)}) {
        EXPECT_EQ(supplier_->ReleaseObject(ref_to_release), kSPNoError);
    }
}

TEST(Canvas, PlacesTheLayerThroughTheViewsMap) {
    if (!Canvas::CanRasterise()) {
        GTEST_SKIP() << "built without a rasteriser";
    }
    RgbaImage layer{2, 1, {255, 0, 0, 255, 0, 255, 0, 255}};  // red, green
    Canvas canvas(10, 10, {0, 0, 0, 1});
    canvas.PaintLayer(layer, {2.0, 3.0, 4.0});  // zoom 2, at (3, 4)
    const RgbaImage image = canvas.Snapshot();
    // Layer pixel 0 centres on frame 3, pixel 1 on frame 5, each 2 wide.
    EXPECT_EQ(PixelAt(image, 3, 4), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(PixelAt(image, 5, 4), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(PixelAt(image, 1, 4), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(PixelAt(image, 7, 4), (std::vector<int>{0, 0, 0}));
    EXPECT_THROW(Canvas(0, 10, {}), std::invalid_argument);
    EXPECT_THROW(Canvas(MAX_CANVAS_SIDE + 1, 1, {}), std::invalid_argument);
}

}  // namespace
}  // namespace testhost
