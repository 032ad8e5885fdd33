// The float row loop's vector kernels at every instruction-set level this
// processor has, against the plain reference, bit for bit: random parameter
// sets over pixels that include negative values, values above 1, denormals,
// infinities and not-a-number, zero and infinite gammas, feather bands, and
// the path on which every power falls back to the host's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "reference/reference_render.h"
#include "render/drivers/iterate_float_rows.h"
#include "render/drivers/render_float_frame.h"
#include "render/frame/simd_level.h"
#include "render/frame/window_render_params.h"
#include "render/lanes/power_fallback_tally.h"
#include "render/plan/frame_plan.h"
#include "support/levels.h"
#include "support/random_params.h"
#include "support/render_test_support.h"
#include "support/test_buffers.h"

namespace {

using namespace render_test;

using zonara_test::LevelsOfThisMachine;

// The values a grade meets at its edges, mixed with ordinary ones.
void FillWithEdgeValues(Buffer &buffer, std::mt19937 &rng) {
    const float edges[] = {0.0f,
                           -0.0f,
                           1.0f,
                           -1.0f,
                           0.5f,
                           1.5f,
                           2.0f,
                           1e30f,
                           -1e30f,
                           1e-30f,
                           std::numeric_limits<float>::denorm_min(),
                           -std::numeric_limits<float>::denorm_min(),
                           1e-40f,
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(),
                           1.0f / 255.0f,
                           0.999999f};
    std::uniform_int_distribution<int> pick(0, 2 * static_cast<int>(std::size(edges)) - 1);
    std::uniform_real_distribution<float> ordinary(-0.5f, 1.5f);
    for (int y = 0; y < buffer.def.height; ++y) {
        for (int x = 0; x < buffer.def.width; ++x) {
            auto *c = reinterpret_cast<float *>(buffer.Pixel(x, y));
            for (int k = 0; k < 4; ++k) {
                const int i = pick(rng);
                c[k] = i < static_cast<int>(std::size(edges)) ? edges[i] : ordinary(rng);
            }
        }
    }
}

// Renders src with the kernel of level, with the frame's fixed-exponent
// power tables as a render has them or without; returns the frame's tally.
PowerTally RenderAtLevel(const PF_InData &in_data, ParamSet &params, const Buffer &src, Buffer &dst, SimdLevel level,
                         bool every_power_falls_back = false, bool constant_powers = true) {
    const WindowRenderParams record = MakeWindowRenderParams(in_data, params.array());
    FramePlanOptions options;
    options.constant_powers = constant_powers;
    const FramePlan plan(record, PixelFormat::BGRA32F, dst.def.width, dst.def.height, level, options);
    const FloatRowSpan span = FloatRowsToVisit(0, dst.def.height, &src.def, &dst.def);
    PowerTally tally;
    FloatFrameProbe probe;
    probe.every_power_falls_back = every_power_falls_back;
    probe.tally = &tally;
    RenderFloatFrame(plan.stage(), plan.float_kernel(), span, probe);
    return tally;
}

struct EdgeCase {
    const char *name;
    void (*apply)(ParamSet &);
};

const EdgeCase EDGE_CASES[] = {
    {"random parameters only", [](ParamSet &) {}},
    {"zero gammas", [](ParamSet &p) { p.Slider(PARAM_IN_GAMMA, 0).Slider(PARAM_OUT_RED_GAMMA, 0); }},
    {"huge gammas", [](ParamSet &p) { p.Slider(PARAM_IN_GAMMA, 1e30).Slider(PARAM_OUT_GAMMA, 1e-30); }},
    {"infinite gain and offset",
     [](ParamSet &p) { p.InsideMaster(INFINITY, 1.5, INFINITY).OutsideMaster(-INFINITY, 0.7, 1); }},
    {"saturation extremes", [](ParamSet &p) { p.Slider(PARAM_IN_SATURATION, 1e30).Slider(PARAM_OUT_SATURATION, -3); }},
    {"not-a-number saturation and gain",
     [](ParamSet &p) { p.Slider(PARAM_IN_SATURATION, std::nan("")).Slider(PARAM_OUT_GAIN, std::nan("")); }},
};

// Many windows, each over random and edge pixels, at every level, with the
// kernel's own powers and with every power falling back.
TEST(LaneKernels, EveryLevelMatchesTheReferenceBitForBit) {
    std::mt19937 rng(1207);
    constexpr int SETS = 40;
    for (const auto &[all_fall_back, tables] :
         {std::pair{false, true}, std::pair{false, false}, std::pair{true, true}}) {
        for (int set = 0; set < SETS; ++set) {
            const EdgeCase &edge = EDGE_CASES[set % std::size(EDGE_CASES)];
            // Widths that leave every tail length of every lane count.
            const int width = 45 + set % 17, height = 23;
            ParamSet params;
            Resolution res;
            RandomiseParams(params.array(), res, rng, width, height);
            edge.apply(params);
            Buffer src(PixelFormat::BGRA32F, width, height, 16 * (set % 3));
            if (set % 2 == 0) src.Randomise(rng);
            else FillWithEdgeValues(src, rng);
            InData in;
            in.in_data.pixel_aspect_ratio = res.aspect;
            in.in_data.downsample_x = res.down_x;
            in.in_data.downsample_y = res.down_y;
            params.Input(src.def);
            Buffer expected(PixelFormat::BGRA32F, width, height, 16 * (set % 3));
            reference::RenderFrame(in.in_data, params.array(), PixelFormat::BGRA32F, src.def, expected.def, height);
            for (SimdLevel level : LevelsOfThisMachine()) {
                SCOPED_TRACE(std::string(SimdLevelName(level)) + (all_fall_back ? ", all fall back" : "") +
                             (tables ? "" : ", no power tables") + ", set " + std::to_string(set) + " (" + edge.name +
                             "): " + DescribeParams(params.array(), res));
                Buffer rendered(PixelFormat::BGRA32F, width, height, 16 * (set % 3));
                const PowerTally tally = RenderAtLevel(in.in_data, params, src, rendered, level, all_fall_back, tables);
                ASSERT_TRUE(rendered.SameBytes(expected)) << rendered.FirstDifference(expected);
                if (all_fall_back) {
                    EXPECT_EQ(tally.fallbacks, tally.powers);
                }
            }
        }
    }
}

// A frame wholly in the feather band's neighbourhood with every falloff
// curve, both shapes and a blend of two different grades.
TEST(LaneKernels, FeatherBandsMatchTheReference) {
    std::mt19937 rng(31);
    for (const auto &shape : WINDOW_TYPE_CHOICES) {
        for (const FalloffRow &falloff : FALLOFF_CHOICES) {
            // The models take turns, curve by curve.
            const ColorModelChoice model = COLOR_MODEL_CHOICES[falloff.value % ChoiceCount(COLOR_MODEL_CHOICES)].value;
            ParamSet params;
            params.Popup(PARAM_WINDOW_TYPE, shape.value)
                .Popup(PARAM_FALLOFF, falloff.value)
                .Point(40, 20)
                .Angle(17)
                .Slider(PARAM_WIDTH, 70)
                .Slider(PARAM_HEIGHT, 34)
                .Slider(PARAM_FEATHER, 25)
                .InsideMaster(0.05, 1.7, 1.2, 1.4)
                .OutsideMaster(-0.03, 0.6, 0.9, 0.5)
                .Popup(PARAM_COLOR_MODEL, model);
            Buffer src(PixelFormat::BGRA32F, 83, 41);
            src.Randomise(rng);
            InData in;
            params.Input(src.def);
            Buffer expected(PixelFormat::BGRA32F, 83, 41);
            reference::RenderFrame(in.in_data, params.array(), PixelFormat::BGRA32F, src.def, expected.def, 41);
            for (SimdLevel level : LevelsOfThisMachine()) {
                SCOPED_TRACE(std::string(SimdLevelName(level)) + ", " + shape.label + ", " + falloff.label);
                Buffer rendered(PixelFormat::BGRA32F, 83, 41);
                RenderAtLevel(in.in_data, params, src, rendered, level);
                ASSERT_TRUE(rendered.SameBytes(expected)) << rendered.FirstDifference(expected);
            }
        }
    }
}

// Ordinary footage keeps nearly every power the kernel computes.
TEST(LaneKernels, FewLanesFallBackOnOrdinaryPixels) {
    std::mt19937 rng(5);
    ParamSet params;
    params.Point(64, 32)
        .Slider(PARAM_WIDTH, 100)
        .Slider(PARAM_HEIGHT, 50)
        .InsideMaster(0.02, 1.1, 1.05, 1.3)
        .OutsideMaster(-0.02, 0.9, 0.95, 0.6)
        .Checkbox(PARAM_CLAMP_IN_BLACK, true);
    Buffer src(PixelFormat::BGRA32F, 128, 64);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            auto *c = reinterpret_cast<float *>(src.Pixel(x, y));
            for (int k = 0; k < 4; ++k) c[k] = value(rng);
        }
    }
    InData in;
    params.Input(src.def);
    for (const auto &model : COLOR_MODEL_CHOICES) {
        params.Popup(PARAM_COLOR_MODEL, model.value);
        Buffer rendered(PixelFormat::BGRA32F, 128, 64);
        const PowerTally tally = RenderAtLevel(in.in_data, params, src, rendered, DetectedSimdLevel());
        EXPECT_EQ(tally.powers, 3u * 128u * 64u) << model.label;
        EXPECT_LT(tally.fallbacks * 1000, tally.powers) << model.label;
    }
}

TEST(SimdLevel, EnvironmentOnlyLowersTheDetectedLevel) {
    struct Case {
        SimdLevel detected;
        const char *cap;
        SimdLevel expected;
        // clang-format off
    } cases[] = {
        {SimdLevel::AVX512, nullptr, SimdLevel::AVX512},    {SimdLevel::AVX512, "avx2", SimdLevel::AVX2},
        {SimdLevel::AVX512, "baseline", SimdLevel::BASELINE}, {SimdLevel::AVX512, "scalar", SimdLevel::SCALAR},
        {SimdLevel::AVX2, "avx512", SimdLevel::AVX2},       {SimdLevel::BASELINE, "avx2", SimdLevel::BASELINE},
        {SimdLevel::AVX2, "AVX2", SimdLevel::AVX2},         {SimdLevel::AVX2, "", SimdLevel::AVX2},
    };
    // clang-format on
    for (const Case &c : cases) {
        EXPECT_EQ(CappedSimdLevel(c.detected, c.cap), c.expected) << (c.cap ? c.cap : "unset");
    }
}

}  // namespace
