// The per-frame record: feather limits, resolution and aspect factors, the
// rotation's sense, and the folding of master into channel controls.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/formula/window_weight.h"
#include "render/frame/window_render_params.h"
#include "support/render_test_support.h"

namespace {

using namespace render_test;

WindowRenderParams Build(const ParamSet &params, const InData &in) {
    WindowRenderParams record;
    BuildWindowRenderParams(in.in_data, params.const_array(), record);
    return record;
}

struct FeatherCase {
    const char *name;
    double width, height, feather;
    float expect_feather, expect_inner_half_width, expect_inner_half_height;
};

TEST(WindowRenderParams, FeatherIsLimitedBelowHalfTheWidth) {
    const FeatherCase cases[] = {
        {"at half width", 100, 50, 50, 49, 1, 0.5f},
        {"beyond half width", 100, 50, 80, 49, 1, 0.5f},
        {"below half width, above half height", 100, 20, 30, 30, 20, 10 - 30 / 5.0f},
        {"tiny window turns the feather negative", 1, 1, 1, -0.5f, 1, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        InData in;
        ParamSet params;
        params.Slider(PARAM_WIDTH, c.width).Slider(PARAM_HEIGHT, c.height).Slider(PARAM_FEATHER, c.feather);
        const WindowRenderParams record = Build(params, in);
        EXPECT_EQ(record.feather, c.expect_feather);
        EXPECT_EQ(record.inner_half_width, c.expect_inner_half_width);
        EXPECT_FLOAT_EQ(record.inner_half_height, c.expect_inner_half_height);
    }
}

struct TransformCase {
    const char *name;
    PF_RationalScale aspect, down_x, down_y;
    double angle;
    int dx, dy;  // pixel offset from the origin
    float expect_u, expect_v;
};

TEST(WindowRenderParams, TransformMeasuresInFullResolutionSquarePixels) {
    const TransformCase cases[] = {
        {"plain", {1, 1}, {1, 1}, {1, 1}, 0, 10, 0, 10, 0},
        {"pixel aspect 2/1 doubles u", {2, 1}, {1, 1}, {1, 1}, 0, 10, 0, 20, 0},
        {"half resolution", {1, 1}, {1, 2}, {1, 2}, 0, 10, 0, 20, 0},
        {"vertical downsample takes no aspect", {2, 1}, {1, 1}, {1, 2}, 0, 0, 10, 0, 20},
        {"angle 90, below the origin", {1, 1}, {1, 1}, {1, 1}, 90, 0, 10, 10, 0},
        {"angle 90, right of the origin", {1, 1}, {1, 1}, {1, 1}, 90, 10, 0, 0, -10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        InData in;
        in.in_data.pixel_aspect_ratio = c.aspect;
        in.in_data.downsample_x = c.down_x;
        in.in_data.downsample_y = c.down_y;
        ParamSet params;
        params.Point(100, 50).Angle(c.angle);
        const WindowRenderParams r = Build(params, in);
        const float x = 100.0f + c.dx, y = 50.0f + c.dy;
        EXPECT_NEAR(WindowU(r, x, y), c.expect_u, 1e-4);
        EXPECT_NEAR(WindowV(r, x, y), c.expect_v, 1e-4);
    }
}

TEST(WindowRenderParams, MasterControlsFoldIntoEachChannel) {
    InData in;
    ParamSet params;
    params.InsideMaster(0.25, 2, 1.5)
        .Slider(PARAM_IN_GREEN_OFFSET, 0.5)
        .Slider(PARAM_IN_GREEN_GAMMA, 4)
        .Slider(PARAM_IN_GREEN_GAIN, 2)
        .OutsideMaster(0, 0, 1);
    const WindowRenderParams r = Build(params, in);
    const ChannelGrade *inside = r.side_grade[SIDE_INSIDE].channel;
    EXPECT_EQ(inside[0].offset, 0.25f);
    EXPECT_EQ(inside[1].offset, 0.75f);
    EXPECT_EQ(inside[0].inv_gamma, 0.5f);
    EXPECT_EQ(inside[1].inv_gamma, 0.125f);
    EXPECT_EQ(inside[1].gain, 3.0f);
    // Gamma 0 is not rejected: an infinite reciprocal.
    EXPECT_EQ(r.side_grade[SIDE_OUTSIDE].channel[2].inv_gamma, std::numeric_limits<float>::infinity());
    EXPECT_FALSE(r.side_grade[SIDE_INSIDE].channel[0].identity);
    EXPECT_FALSE(r.side_grade[SIDE_INSIDE].channel[2].identity);
}

TEST(WindowRenderParams, PopupsAndCheckboxesAsTheHostStoresThem) {
    struct Case {
        A_long window_type;
        A_long checkbox_value;
        bool expect_ellipse, expect_invert;
    } cases[] = {
        {WINDOW_TYPE_ELLIPSE, 1, true, true},
        {WINDOW_TYPE_RECTANGLE, 0, false, false},
        // Numbers no shape has are ellipses.
        {OnePastLastChoice(WINDOW_TYPE_CHOICES), 0x100, true, false},
        {WINDOW_TYPE_ELLIPSE - 1, 0x101, true, true},
    };
    for (const auto &c : cases) {
        InData in;
        ParamSet params;
        params.Popup(PARAM_WINDOW_TYPE, c.window_type);
        params[PARAM_INVERT].u.bd.value = c.checkbox_value;
        const WindowRenderParams r = Build(params, in);
        EXPECT_EQ(r.is_ellipse, c.expect_ellipse) << c.window_type;
        EXPECT_EQ(r.invert, c.expect_invert) << c.checkbox_value;
    }
}

TEST(WindowRenderParams, WeightIsSkippedOnlyWhenItCannotMatter) {
    struct Case {
        const char *name;
        double mix, inside_gain, outside_saturation;
        A_long color_model;
        bool expect_weight_matters;
    } cases[] = {
        {"defaults", 1, 1, 1, COLOR_MODEL_CDL, false},
        {"inside graded", 1, 2, 1, COLOR_MODEL_CDL, true},
        {"outside saturated", 1, 1, 0.5, COLOR_MODEL_LEGACY, true},
        {"mix 0", 0, 2, 1, COLOR_MODEL_CDL, false},
        {"mix not a number", std::nan(""), 2, 1, COLOR_MODEL_CDL, false},
        {"unknown colour model", 1, 2, 0.5, OnePastLastChoice(COLOR_MODEL_CHOICES), false},
    };
    for (const auto &c : cases) {
        InData in;
        ParamSet params;
        params.Slider(PARAM_MIX, c.mix)
            .Slider(PARAM_IN_GAIN, c.inside_gain)
            .Slider(PARAM_OUT_SATURATION, c.outside_saturation)
            .Popup(PARAM_COLOR_MODEL, c.color_model);
        EXPECT_EQ(Build(params, in).weight_matters, c.expect_weight_matters) << c.name;
    }
}

TEST(WindowRenderParams, HostWithoutPowerFallsBackToTheStandardOne) {
    InData in;
    in.utils.ansi.pow = nullptr;
    ParamSet params;
    const WindowRenderParams r = Build(params, in);
    ASSERT_NE(r.grade_pow, nullptr);
    EXPECT_EQ(r.grade_pow(0.25, 0.5), 0.5);
}

}  // namespace
