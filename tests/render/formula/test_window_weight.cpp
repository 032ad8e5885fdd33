// The window weight: outline and inner shape boundaries, the falloff curves,
// the rectangle's rounded band corners, Invert and degenerate windows.
#include <gtest/gtest.h>

#include <cmath>

#include "render/formula/window_weight.h"
#include "render/frame/window_render_params.h"
#include "support/render_test_support.h"

namespace {

using namespace render_test;

WindowRenderParams Build(const ParamSet &params) {
    InData in;
    WindowRenderParams record;
    BuildWindowRenderParams(in.in_data, params.const_array(), record);
    return record;
}

TEST(ApplyFalloff, CurvesAtZeroHalfAndOne) {
    struct Case {
        A_long falloff;
        double at_half, at_one;
    } cases[] = {
        {FALLOFF_LINEAR, 0.5, 1},
        {FALLOFF_QUADRATIC, 0.25, 1},
        {FALLOFF_CUBIC, 0.125, 1},
        {FALLOFF_GAMMA_2_2, 0.73002, 1},
        {FALLOFF_GAUSSIAN, 0.64673, 1 - 1.0 / 360},
        {FALLOFF_EXPONENTIAL, 0.61257, 1},
        // Numbers no curve has are linear.
        {FALLOFF_LINEAR - 1, 0.5, 1},
        {OnePastLastChoice(FALLOFF_CHOICES), 0.5, 1},
    };
    for (const auto &c : cases) {
        ParamSet params;
        params.Popup(PARAM_FALLOFF, c.falloff);
        const WindowRenderParams r = Build(params);
        EXPECT_EQ(ApplyFalloff(r, 0.0), 0.0) << c.falloff;
        EXPECT_NEAR(ApplyFalloff(r, 0.5), c.at_half, 5e-6) << c.falloff;
        EXPECT_NEAR(ApplyFalloff(r, 1.0), c.at_one, 1e-15) << c.falloff;
    }
    ParamSet exponential;
    exponential.Popup(PARAM_FALLOFF, FALLOFF_EXPONENTIAL);
    EXPECT_EQ(ApplyFalloff(Build(exponential), 1.0), 1.0);  // exactly
}

// An axis-aligned window 200 x 100 centred at (500, 500), feather 20 (the
// vertical feather is then 10).
ParamSet Window(A_long window_type, double feather = 20, bool invert = false, A_long falloff = FALLOFF_LINEAR) {
    ParamSet params;
    params.Popup(PARAM_WINDOW_TYPE, window_type)
        .Point(500, 500)
        .Slider(PARAM_WIDTH, 200)
        .Slider(PARAM_HEIGHT, 100)
        .Slider(PARAM_FEATHER, feather)
        .Checkbox(PARAM_INVERT, invert)
        .Popup(PARAM_FALLOFF, falloff);
    return params;
}

struct WeightCase {
    const char *name;
    A_long window_type;
    double feather;
    bool invert;
    A_long falloff;
    int x, y;
    float expect;
};

TEST(WindowWeight, PositionsAgainstTheOutlineAndTheBand) {
    const WeightCase cases[] = {
        {"ellipse centre", WINDOW_TYPE_ELLIPSE, 20, false, FALLOFF_LINEAR, 500, 500, 1},
        {"ellipse on the outline", WINDOW_TYPE_ELLIPSE, 20, false, FALLOFF_LINEAR, 600, 500, 0},
        {"ellipse beyond the outline", WINDOW_TYPE_ELLIPSE, 20, false, FALLOFF_LINEAR, 700, 500, 0},
        {"ellipse on the inner ellipse", WINDOW_TYPE_ELLIPSE, 20, false, FALLOFF_LINEAR, 580, 500, 1},
        {"ellipse halfway through the band", WINDOW_TYPE_ELLIPSE, 20, false, FALLOFF_LINEAR, 590, 500, 0.5f},
        {"ellipse band, vertical", WINDOW_TYPE_ELLIPSE, 20, false, FALLOFF_LINEAR, 500, 545, 0.5f},
        {"ellipse hard edge inside", WINDOW_TYPE_ELLIPSE, 0, false, FALLOFF_LINEAR, 599, 500, 1},
        {"ellipse hard edge on the outline", WINDOW_TYPE_ELLIPSE, 0, false, FALLOFF_LINEAR, 600, 500, 0},
        // Checked below.
        {"ellipse gaussian just inside the edge", WINDOW_TYPE_ELLIPSE, 20, false, FALLOFF_GAUSSIAN, 599, 500, 0.0},
        {"inverted centre", WINDOW_TYPE_ELLIPSE, 20, true, FALLOFF_LINEAR, 500, 500, 0},
        {"inverted beyond", WINDOW_TYPE_ELLIPSE, 20, true, FALLOFF_LINEAR, 700, 500, 1},
        {"rectangle centre", WINDOW_TYPE_RECTANGLE, 20, false, FALLOFF_LINEAR, 500, 500, 1},
        {"rectangle on the outline", WINDOW_TYPE_RECTANGLE, 20, false, FALLOFF_LINEAR, 600, 500, 0},
        {"rectangle on the inner edge", WINDOW_TYPE_RECTANGLE, 20, false, FALLOFF_LINEAR, 580, 500, 1},
        {"rectangle side of the band", WINDOW_TYPE_RECTANGLE, 20, false, FALLOFF_LINEAR, 596, 500, 0.2f},
        {"rectangle top of the band", WINDOW_TYPE_RECTANGLE, 20, false, FALLOFF_LINEAR, 500, 548, 0.2f},
        {"rectangle corner of the band", WINDOW_TYPE_RECTANGLE, 20, false, FALLOFF_LINEAR, 596, 548, 0},
        {"rectangle corner, rounded by the capped length", WINDOW_TYPE_RECTANGLE, 20, false, FALLOFF_LINEAR, 583, 542,
         0.75f},
        {"rectangle hard edge", WINDOW_TYPE_RECTANGLE, 0, false, FALLOFF_LINEAR, 599, 549, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const WindowRenderParams r = Build(Window(c.window_type, c.feather, c.invert, c.falloff));
        const float w = WindowWeight(r, c.x, c.y);
        if (c.falloff == FALLOFF_GAUSSIAN) {
            // 1/360 short of the outside grade, then 0 on the edge itself.
            EXPECT_GT(w, 0.0f);
            EXPECT_LT(w, 0.01f);
            EXPECT_EQ(WindowWeight(r, 600, 500), 0.0f);
        } else if (c.expect != 0.0f && c.expect != 1.0f) {
            EXPECT_NEAR(w, c.expect, 1e-4f);
        } else {
            EXPECT_EQ(w, c.expect);
        }
    }
}

// Windows without size, beyond any size or with a size that is no number
// still give every pixel a weight between 0 and 1 (never NaN), symmetric
// about the origin; where the answer is plain it is pinned: a huge window
// covers everything, a zero-size rectangle nothing, and a window's corner
// pixel lies outside it. -1: not pinned (a width that is no number).
TEST(WindowWeight, DegenerateWindowsGiveNumbersNotFaults) {
    struct Case {
        const char *name;
        A_long window_type;
        double width, height, feather;
        float at_origin, at_corner;
    } cases[] = {
        {"zero-size ellipse", WINDOW_TYPE_ELLIPSE, 0, 0, 0, 1, 0},
        {"zero-size rectangle", WINDOW_TYPE_RECTANGLE, 0, 0, 0, 0, 0},
        {"zero-height ellipse", WINDOW_TYPE_ELLIPSE, 100, 0, 10, 1, 0},
        {"huge ellipse", WINDOW_TYPE_ELLIPSE, 1e30, 1e30, 1e29, 1, 1},
        {"feather beyond half", WINDOW_TYPE_RECTANGLE, 10, 10, 100, 1, 0},
        {"not-a-number width", WINDOW_TYPE_ELLIPSE, std::nan(""), 50, 5, -1, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ParamSet params;
        params.Popup(PARAM_WINDOW_TYPE, c.window_type)
            .Point(5, 5)
            .Slider(PARAM_WIDTH, c.width)
            .Slider(PARAM_HEIGHT, c.height)
            .Slider(PARAM_FEATHER, c.feather);
        const WindowRenderParams r = Build(params);
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 11; ++x) {
                const float w = WindowWeight(r, x, y);
                ASSERT_TRUE(w >= 0.0f && w <= 1.0f) << x << "," << y << ": " << w;
                EXPECT_EQ(w, WindowWeight(r, 10 - x, 10 - y)) << x << "," << y;
            }
        }
        if (c.at_origin >= 0.0f) {
            EXPECT_EQ(WindowWeight(r, 5, 5), c.at_origin);
            EXPECT_EQ(WindowWeight(r, 0, 0), c.at_corner);
        }
    }
}

TEST(WindowWeight, RotationTurnsTheWindowAboutTheOrigin) {
    ParamSet params = Window(2, 0);
    params.Angle(90);
    const WindowRenderParams r = Build(params);
    // Turned by 90 degrees the 200 x 100 rectangle stands 100 wide, 200 high.
    EXPECT_EQ(WindowWeight(r, 500, 590), 1.0f);
    EXPECT_EQ(WindowWeight(r, 560, 500), 0.0f);
}

}  // namespace
