// The colour grade: both colour models, the input clamp, saturation in HSV,
// Mix and the output clamps, on the worked examples users rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "reference/reference_render.h"
#include "render/formula/color_grade.h"
#include "render/formula/hsv.h"
#include "support/render_test_support.h"

namespace {

using namespace render_test;

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct GradeCase {
    const char *name;
    A_long color_model;
    double offset, gamma, gain, saturation, mix;
    bool clamp_black, clamp_white, clamp_in_black;
    float weight;  // 1 inside, 0 outside (the outside stays at identity)
    FloatPixel source;
    FloatPixel expect;
};

TEST(GradePixel, WorkedExamples) {
    const float sqrt_035 = static_cast<float>(std::sqrt(static_cast<double>(0.1f + 0.25f)));
    // clang-format off
    const GradeCase cases[] = {
        {"legacy: power, gain, offset", COLOR_MODEL_LEGACY, 0.1, 2, 1, 1, 1, false, false, true, 1,
         {0.5f, 0.25f, 0.25f, 0.25f}, {0.5f, 0.6f, 0.6f, 0.6f}},
        {"cdl: gain, offset, power", COLOR_MODEL_CDL, 0.1, 2, 1, 1, 1, false, false, true, 1,
         {0.5f, 0.25f, 0.25f, 0.25f}, {0.5f, sqrt_035, sqrt_035, sqrt_035}},
        {"cdl: negative base clamped to 0", COLOR_MODEL_CDL, -0.5, 1, 1, 1, 1, false, false, true, 1,
         {1, 0.25f, 0.25f, 0.25f}, {1, 0, 0, 0}},
        {"cdl: negative base, no input clamp, passes the power unchanged", COLOR_MODEL_CDL, -0.5, 2, 1, 1, 1, false, false,
         false, 1, {1, 0.25f, 0.25f, 0.25f}, {1, -0.25f, -0.25f, -0.25f}},
        {"legacy: negative value passes the power, then gain and offset", COLOR_MODEL_LEGACY, 0.1, 2, 2, 1, 1, false, false, false,
         1, {1, -0.25f, 0.25f, -1}, {1, -0.4f, 1.1f, -1.9f}},
        {"saturation 0 greys at the HSV value", 2, 0, 1, 1, 0, 1, false, false, true, 1,
         {1, 1, 0, 0}, {1, 1, 1, 1}},
        {"saturation 2 pushes a channel below 0", 2, 0, 1, 1, 2, 1, false, false, true, 1,
         {1, 1, 0.4f, 0.4f}, {1, 1, -0.2f, -0.2f}},
        {"saturation 2 with the black clamp", 2, 0, 1, 1, 2, 1, true, false, true, 1,
         {1, 1, 0.4f, 0.4f}, {1, 1, 0, 0}},
        {"saturation 0.5", 2, 0, 1, 1, 0.5, 1, false, false, true, 1,
         {1, 0.8f, 0.4f, 0.2f}, {1, 0.8f, 0.6f, 0.5f}},
        {"grey is unchanged by saturation", 2, 0, 1, 1, 3, 1, false, false, true, 1,
         {1, 0.3f, 0.3f, 0.3f}, {1, 0.3f, 0.3f, 0.3f}},
        {"mix 0 returns the source unclamped", 2, 0.5, 2, 3, 0, 0, true, true, true, 1,
         {0.25f, -1, 2, 0.5f}, {0.25f, -1, 2, 0.5f}},
        {"mix 0.5 halfway, clamped after", 1, 0, 1, 4, 1, 0.5, false, true, true, 1,
         {1, 0.1f, 0.2f, 0.6f}, {1, 0.25f, 0.5f, 1}},
        {"mix above 1 acts as 1", 1, 0, 1, 2, 1, 3, false, false, true, 1,
         {1, 0.1f, 0.2f, 0.4f}, {1, 0.2f, 0.4f, 0.8f}},
        {"outside grade at weight 0 is identity here", 1, 0, 1, 2, 1, 1, false, false, true, 0,
         {1, 0.1f, 0.2f, 0.4f}, {1, 0.1f, 0.2f, 0.4f}},
        {"band blends the constants, not the colours", 1, 0, 1, 2, 1, 1, false, false, true, 0.25f,
         {1, 0.4f, 0.4f, 0.4f}, {1, 0.5f, 0.5f, 0.5f}},
        {"gamma 0: below 1 to 0, above 1 to infinity", 1, 0, 0, 1, 1, 1, false, false, true, 1,
         {1, 0.5f, 1, 2}, {1, 0, 1, std::numeric_limits<float>::infinity()}},
        {"a hue rounded up to a full turn stays red", 2, 0, 1, 1, 0.5, 1, false, false, true, 1,
         {1, 1, 0, 1e-9f}, {1, 1, 0.5f, 0.5f}},
        {"unknown colour model skips grade and saturation", 3, 0.5, 2, 2, 0, 1, true, true, true, 1,
         {1, 0.5f, 1.5f, -0.5f}, {1, 0.5f, 1, 0}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        InData in;
        ParamSet params;
        params.Popup(PARAM_COLOR_MODEL, c.color_model)
            .InsideMaster(c.offset, c.gamma, c.gain, c.saturation)
            .Slider(PARAM_MIX, c.mix)
            .Checkbox(PARAM_CLAMP_OUT_BLACK, c.clamp_black)
            .Checkbox(PARAM_CLAMP_OUT_WHITE, c.clamp_white)
            .Checkbox(PARAM_CLAMP_IN_BLACK, c.clamp_in_black);
        WindowRenderParams record;
        BuildWindowRenderParams(in.in_data, params.const_array(), record);
        const FloatPixel got = GradePixelAtWeight(record, c.weight, c.source);
        EXPECT_EQ(got.alpha, c.expect.alpha);
        const float got_channels[] = {got.red, got.green, got.blue};
        const float want_channels[] = {c.expect.red, c.expect.green, c.expect.blue};
        for (int k = 0; k < 3; ++k) {
            if (std::isnan(want_channels[k])) {
                EXPECT_TRUE(std::isnan(got_channels[k])) << k;
            } else if (std::isinf(want_channels[k])) {
                EXPECT_EQ(got_channels[k], want_channels[k]) << k;
            } else {
                EXPECT_NEAR(got_channels[k], want_channels[k], 1e-6f) << k;
            }
        }
    }
}

// The two conversions the saturation control is defined by, written apart in
// the reference: checked here on worked values, so that the yardstick the
// fused step is held to is itself right.
TEST(ReferenceRgbToHsv, HueSectorsAndGrey) {
    struct Case {
        float r, g, b;
        float hue, saturation, value;
        // clang-format off
    } cases[] = {
        {0.8f, 0.4f, 0.2f, 1.0f / 18, 0.75f, 0.8f},
        {1, 0, 0, 0, 1, 1},
        {0, 1, 0, 1.0f / 3, 1, 1},
        {0, 0, 1, 2.0f / 3, 1, 1},
        {1, 0, 0.5f, 11.0f / 12, 1, 1},  // blue above green wraps the hue
        {0.3f, 0.3f, 0.3f, 0, 0, 0.3f},
    };
    // clang-format on
    for (const auto &c : cases) {
        float hue, saturation, value;
        reference::RgbToHsv(c.r, c.g, c.b, hue, saturation, value);
        EXPECT_NEAR(hue, c.hue, 1e-6f);
        EXPECT_NEAR(saturation, c.saturation, 1e-6f);
        EXPECT_EQ(value, c.value);
    }
}

TEST(ReferenceHsvToRgb, SectorsIncludingTheWrapAndGarbageHues) {
    struct Case {
        float h, s, v;
        float red, green, blue;
        // clang-format off
    } cases[] = {
        {1.0f / 18, 0.375f, 0.8f, 0.8f, 0.6f, 0.5f},
        {1, 1, 1, 1, 0, 0},  // a full turn is red, not magenta
        {1, 0.5f, 1, 1, 0.5f, 0.5f},
        {0.5f, 1, 1, 0, 1, 1},
        {0.75f, 1, 1, 0.5f, 0, 1},
        {0.3f, 0, 0.7f, 0.7f, 0.7f, 0.7f},
    };
    // clang-format on
    for (const auto &c : cases) {
        float red, green, blue;
        reference::HsvToRgb(c.h, c.s, c.v, red, green, blue);
        EXPECT_NEAR(red, c.red, 1e-6f);
        EXPECT_NEAR(green, c.green, 1e-6f);
        EXPECT_NEAR(blue, c.blue, 1e-6f);
    }
    // Hues whose sector cannot be represented must not trap.
    const float garbage[] = {NaN, std::numeric_limits<float>::infinity(), -1e30f, 1e30f, -0.5f};
    for (float h : garbage) {
        float red, green, blue;
        reference::HsvToRgb(h, 0.5f, 0.5f, red, green, blue);
    }
}

// The renderer's fused step against the two conversions it stands for, to
// the bit: every sector, the wrap to a full turn, grey, negative and
// oversized channels, zero, huge and not-a-number saturation scales.
TEST(ScaleSaturation, MatchesTheTwoConversionsBitForBit) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> channel(-0.5f, 1.5f);
    const float special[] = {0, 1, 0.5f, -0.25f, 1e-9f, 2, 1e30f, -1e30f, NaN};
    const float scales[] = {0, 0.5f, 1, 2, 1e30f, -3, NaN};
    auto same = [](float a, float b) { return std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, 4) == 0; };
    for (int n = 0; n < 20000; ++n) {
        const float r = n < 729 ? special[n % 9] : channel(rng);
        const float g = n < 729 ? special[n / 9 % 9] : channel(rng);
        const float b = n < 729 ? special[n / 81 % 9] : channel(rng);
        const float scale = scales[n % 7];
        float hue, saturation, value, red, green, blue;
        reference::RgbToHsv(r, g, b, hue, saturation, value);
        reference::HsvToRgb(hue, saturation * scale, value, red, green, blue);
        const Rgb got = ScaleSaturation(r, g, b, scale);
        ASSERT_TRUE(same(got.red, red) && same(got.green, green) && same(got.blue, blue))
            << r << " " << g << " " << b << " x " << scale << ": " << got.red << " " << got.green << " " << got.blue
            << " vs " << red << " " << green << " " << blue;
    }
}

}  // namespace
