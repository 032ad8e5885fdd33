// The views' conversions: positions that can be worked out by hand, each
// pair of conversions undoing the other to within the 1/65536 rounding, and
// the event callbacks answering for their own context only.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "common/fixed_scale.h"
#include "testhost/drawing/event_context.h"
#include "testhost/drawing/views.h"

namespace testhost {
namespace {

using zonara::FIXED_ONE;

PF_FixedPoint Px(double x, double y) {
    return {static_cast<PF_Fixed>(std::lround(x * FIXED_ONE)), static_cast<PF_Fixed>(std::lround(y * FIXED_ONE))};
}

View MakeView(ViewKind kind, double zoom, double pan_x, double pan_y, double off_x = 0, double off_y = 0,
              double scale = 1) {
    View v;
    v.kind = kind;
    v.zoom = zoom;
    v.pan_x = pan_x;
    v.pan_y = pan_y;
    v.placement = {off_x, off_y, scale};
    return v;
}

TEST(ViewConversions, PositionsWorkedOutByHand) {
    struct Case {
        const char *what;
        View view;
        PF_FixedPoint layer;
        PF_FixedPoint comp;   // expected layer_to_comp
        PF_FixedPoint frame;  // expected source_to_frame of comp
    };
    const std::vector<Case> cases{
        {"defaults", MakeView(ViewKind::kComposition, 1, 0, 0), Px(100, 50), Px(100, 50), Px(100, 50)},
        {"zoom 2 and pan", MakeView(ViewKind::kComposition, 2, 10, -5), Px(100, 50), Px(100, 50), Px(210, 95)},
        {"layer offset", MakeView(ViewKind::kComposition, 1, 0, 0, 300, 200), Px(100, 50), Px(400, 250), Px(400, 250)},
        {"offset, half scale, zoom 0.5", MakeView(ViewKind::kComposition, 0.5, 4, 8, 300, 200, 0.5), Px(100, 50),
         Px(350, 225), Px(179, 120.5)},
        {"fraction of a pixel", MakeView(ViewKind::kComposition, 3, 0, 0), Px(0.25, -0.5), Px(0.25, -0.5),
         Px(0.75, -1.5)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const PF_FixedPoint comp = LayerToComp(c.view, c.layer);
        EXPECT_EQ(comp.x, c.comp.x);
        EXPECT_EQ(comp.y, c.comp.y);
        const PF_FixedPoint frame = SourceToFrame(c.view, comp);
        EXPECT_EQ(frame.x, c.frame.x);
        EXPECT_EQ(frame.y, c.frame.y);
    }
}

// For a map value x s + o rounded to 1/65536, the way back is exact to
// within half a unit of the rounding, scaled by 1/s.
void ExpectWithinRounding(PF_FixedPoint back, PF_FixedPoint original, double scale) {
    const double tolerance = 0.5 / scale + 0.5;
    EXPECT_LE(std::abs(static_cast<double>(back.x) - original.x), tolerance);
    EXPECT_LE(std::abs(static_cast<double>(back.y) - original.y), tolerance);
}

TEST(ViewConversions, EachConversionUndoesItsPartner) {
    const std::vector<View> views{
        MakeView(ViewKind::kComposition, 1, 0, 0),
        MakeView(ViewKind::kComposition, 2, 13.25, -7, 120, 80),
        MakeView(ViewKind::kComposition, 0.25, 400, 300, -50.5, 10, 1.5),
        MakeView(ViewKind::kComposition, 1.0 / 3.0, 0.1, 0.2, 0, 0, 0.7),
        MakeView(ViewKind::kLayer, 1, 0, 0),
        MakeView(ViewKind::kLayer, 4, -100, 250),
        MakeView(ViewKind::kLayer, 0.37, 12.5, 3.75),
    };
    const std::vector<PF_FixedPoint> points{Px(0, 0),      Px(960, 540),    Px(-33.3, 1079.9),
                                            Px(1919, 0.5), Px(-4000, 5000), {1, -1}};
    for (const View &view : views) {
        for (const PF_FixedPoint &p : points) {
            SCOPED_TRACE("zoom " + std::to_string(view.zoom) + " scale " + std::to_string(view.placement.scale) +
                         " point " + std::to_string(p.x) + "," + std::to_string(p.y));
            ExpectWithinRounding(CompToLayer(view, LayerToComp(view, p)), p, view.placement.scale);
            ExpectWithinRounding(LayerToComp(view, CompToLayer(view, p)), p, 1.0 / view.placement.scale);
            ExpectWithinRounding(FrameToSource(view, SourceToFrame(view, p)), p, view.zoom);
            ExpectWithinRounding(SourceToFrame(view, FrameToSource(view, p)), p, 1.0 / view.zoom);
        }
    }
}

TEST(ViewConversions, FarPointsSaturateInsteadOfWrapping) {
    const View view = MakeView(ViewKind::kComposition, 8, 0, 0);
    const PF_FixedPoint far{std::numeric_limits<PF_Fixed>::max() / 2, std::numeric_limits<PF_Fixed>::min() / 2};
    const PF_FixedPoint frame = SourceToFrame(view, far);
    EXPECT_EQ(frame.x, std::numeric_limits<PF_Fixed>::max());
    EXPECT_EQ(frame.y, std::numeric_limits<PF_Fixed>::min());
}

TEST(ViewConversions, UnusableViewsAreNamed) {
    struct Case {
        View view;
        bool usable;
    };
    const std::vector<Case> cases{
        {MakeView(ViewKind::kLayer, 1, 0, 0), true},
        {MakeView(ViewKind::kLayer, 0, 0, 0), false},
        {MakeView(ViewKind::kLayer, -2, 0, 0), false},
        {MakeView(ViewKind::kLayer, std::nan(""), 0, 0), false},
        {MakeView(ViewKind::kLayer, 1, std::numeric_limits<double>::infinity(), 0), false},
        {MakeView(ViewKind::kComposition, 1, 0, 0, 0, 0, 0), false},
        {MakeView(ViewKind::kComposition, 1, 0, 0, std::nan(""), 0, 1), false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ValidateView(c.view).empty(), c.usable) << ValidateView(c.view);
    }
}

TEST(ViewConversions, LayerToFrameMapMatchesThePointConversions) {
    for (const View &view : {MakeView(ViewKind::kComposition, 2, 10, 20, 30, 40, 0.5),
                             MakeView(ViewKind::kLayer, 3, -7, 9, 30, 40, 0.5)}) {
        const LayerToFrameMap map = LayerToFrame(view);
        PF_FixedPoint p = Px(123, 45);
        if (view.kind == ViewKind::kComposition) {
            p = LayerToComp(view, p);
        }
        p = SourceToFrame(view, p);
        EXPECT_DOUBLE_EQ(p.x / FIXED_ONE, 123 * map.scale + map.offset_x);
        EXPECT_DOUBLE_EQ(p.y / FIXED_ONE, 45 * map.scale + map.offset_y);
    }
}

TEST(ViewContextCallbacks, ConvertCountAndRefuseForeignContexts) {
    ViewContext context(MakeView(ViewKind::kComposition, 2, 1, 1, 10, 0));
    ViewContext other(MakeView(ViewKind::kLayer, 1, 0, 0));
    PF_EventCallbacks cbs = context.callbacks();
    EXPECT_EQ((*context.handle())->w_type, PF_Window_COMP);
    EXPECT_EQ((*other.handle())->w_type, PF_Window_LAYER);

    PF_FixedPoint p = Px(5, 5);
    EXPECT_EQ(cbs.layer_to_comp(cbs.refcon, context.handle(), 48, 24, &p), PF_Err_NONE);
    EXPECT_EQ(cbs.source_to_frame(cbs.refcon, context.handle(), &p), PF_Err_NONE);
    EXPECT_EQ(p.x, Px(31, 0).x);
    EXPECT_EQ(p.y, Px(0, 11).y);
    EXPECT_EQ(cbs.frame_to_source(cbs.refcon, context.handle(), &p), PF_Err_NONE);
    EXPECT_EQ(cbs.comp_to_layer(cbs.refcon, context.handle(), 48, 24, &p), PF_Err_NONE);
    EXPECT_EQ(p.x, Px(5, 0).x);
    EXPECT_EQ(p.y, Px(0, 5).y);

    const ConversionCounts &n = context.counts();
    EXPECT_EQ(n.layer_to_comp, 1);
    EXPECT_EQ(n.comp_to_layer, 1);
    EXPECT_EQ(n.source_to_frame, 1);
    EXPECT_EQ(n.frame_to_source, 1);
    EXPECT_EQ(n.last_time, 48);
    EXPECT_EQ(n.last_time_scale, 24);

    // Another view's context, or a missing point, is answered with an error
    // and leaves the point alone.
    PF_FixedPoint untouched = Px(1, 2);
    EXPECT_NE(cbs.source_to_frame(cbs.refcon, other.handle(), &untouched), PF_Err_NONE);
    EXPECT_EQ(untouched.x, Px(1, 2).x);
    EXPECT_NE(cbs.source_to_frame(cbs.refcon, context.handle(), nullptr), PF_Err_NONE);
    EXPECT_EQ(context.counts().bad_calls, 2);

    PF_Context stranger{};
    PF_Context *stranger_pointer = &stranger;
    PF_Context *no_context = nullptr;
    EXPECT_EQ(ViewContext::FromHandle(&stranger_pointer), nullptr);
    EXPECT_EQ(ViewContext::FromHandle(&no_context), nullptr);
    EXPECT_EQ(ViewContext::FromHandle(nullptr), nullptr);
    EXPECT_EQ(ViewContext::FromHandle(context.handle()), &context);
}

TEST(ViewKinds, ParseTheToolsSpelling) {
    ViewKind kind{};
    EXPECT_TRUE(ParseViewKind("comp", &kind));
    EXPECT_EQ(kind, ViewKind::kComposition);
    EXPECT_TRUE(ParseViewKind("layer", &kind));
    EXPECT_EQ(kind, ViewKind::kLayer);
    EXPECT_TRUE(ParseViewKind("effect", &kind));
    EXPECT_EQ(WindowTypeOf(kind), PF_Window_EFFECT);
    EXPECT_FALSE(ParseViewKind("Comp", &kind));
}

}  // namespace
}  // namespace testhost
