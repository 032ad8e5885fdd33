// Conversions of the four buffer formats: round trips at identity, the
// integer writers' limiting and truncation, float values kept, alpha copied
// bit for bit, and pixels without a source left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "render/drivers/pixel_callbacks.h"
#include "render/formula/pixel_codecs.h"
#include "render/frame/pixel_stage.h"
#include "render/frame/window_render_params.h"
#include "support/render_test_support.h"

namespace {

using namespace render_test;

// A record at identity with every clamp off, Mix 1.
struct IdentityRecord {
    InData in;
    ParamSet params;
    WindowRenderParams record{};
    PixelStage stage{&record};
    IdentityRecord() {
        params.Checkbox(PARAM_CLAMP_OUT_BLACK, false).Checkbox(PARAM_CLAMP_IN_BLACK, false);
        BuildWindowRenderParams(in.in_data, params.const_array(), record);
    }
};

TEST(PixelFormats, EveryIntegerCodeRoundTripsAtIdentity) {
    IdentityRecord id;
    for (int code = 0; code <= 255; ++code) {
        const auto c = static_cast<A_u_char>(code);
        PF_Pixel in{c, c, c, c}, out{};
        RenderPixelArgb8(&id.stage, 3, 4, &in, &out);
        ASSERT_EQ(std::memcmp(&in, &out, sizeof in), 0) << code;
        PF_Pixel bgra_out{};
        RenderPixelBgra8(&id.stage, 3, 4, &in, &bgra_out);
        ASSERT_EQ(std::memcmp(&in, &bgra_out, sizeof in), 0) << code;
    }
    for (int code = 0; code <= 32768; ++code) {
        const auto c = static_cast<A_u_short>(code);
        PF_Pixel16 in{c, c, c, c}, out{};
        RenderPixelArgb16(&id.stage, 3, 4, &in, &out);
        ASSERT_EQ(std::memcmp(&in, &out, sizeof in), 0) << code;
    }
}

TEST(PixelFormats, IntegerWritersLimitThenTruncate) {
    struct Case {
        float value;
        int expect8, expect16;
    } cases[] = {
        {0.999f, 254, 32735},
        {1.0f, 255, 32768},
        {1.2f, 255, 32768},
        {-0.1f, 0, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0, 0},
        {std::numeric_limits<float>::infinity(), 255, 32768},
        {-std::numeric_limits<float>::infinity(), 0, 0},
        {0.5f, 127, 16384},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Codec8::Encode(c.value), c.expect8) << c.value;
        EXPECT_EQ(Codec16::Encode(c.value), c.expect16) << c.value;
    }
}

TEST(PixelFormats, ChannelOrderOfEachFormat) {
    // Gain 2 on red only shows which byte is red.
    InData in;
    ParamSet params;
    params.Slider(PARAM_IN_RED_GAIN, 2).Slider(PARAM_WIDTH, 1000).Slider(PARAM_HEIGHT, 1000).Point(0, 0);
    WindowRenderParams record;
    BuildWindowRenderParams(in.in_data, params.const_array(), record);
    const PixelStage stage{&record};

    PF_Pixel argb{200, 50, 60, 70}, argb_out{};
    RenderPixelArgb8(const_cast<PixelStage *>(&stage), 0, 0, &argb, &argb_out);
    EXPECT_EQ(argb_out.alpha, 200);
    EXPECT_EQ(argb_out.red, 100);
    EXPECT_EQ(argb_out.green, 60);
    EXPECT_EQ(argb_out.blue, 70);

    PF_PixelBGRA8 bgra{50, 60, 70, 200}, bgra_out{};
    RenderPixelBgra8(const_cast<PixelStage *>(&stage), 0, 0, reinterpret_cast<PF_Pixel *>(&bgra),
                     reinterpret_cast<PF_Pixel *>(&bgra_out));
    EXPECT_EQ(bgra_out.blue, 50);
    EXPECT_EQ(bgra_out.green, 60);
    EXPECT_EQ(bgra_out.red, 140);
    EXPECT_EQ(bgra_out.alpha, 200);

    PF_Pixel16 deep{32768, 1000, 2000, 3000}, deep_out{};
    RenderPixelArgb16(const_cast<PixelStage *>(&stage), 0, 0, &deep, &deep_out);
    EXPECT_EQ(deep_out.alpha, 32768);
    EXPECT_EQ(deep_out.red, 2000);
    EXPECT_EQ(deep_out.green, 2000);
}

TEST(PixelFormats, FloatKeepsValuesBeyondRangeAndAlphaBits) {
    struct Case {
        const char *name;
        bool clamp_in_black;
        double mix;
        PF_PixelBGRA32f in;
        PF_PixelBGRA32f expect;
    } cases[] = {
        {"beyond 0..1 kept", false, 1, {-0.5f, 1.5f, 7.0f, 2.0f}, {-0.5f, 1.5f, 7.0f, 2.0f}},
        {"input clamp reads negatives as 0, even at Mix 0",
         true,
         0,
         {-0.5f, 1.5f, -7.0f, -2.0f},
         {0.0f, 1.5f, 0.0f, -2.0f}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        InData in;
        ParamSet params;
        params.Checkbox(PARAM_CLAMP_OUT_BLACK, false)
            .Checkbox(PARAM_CLAMP_IN_BLACK, c.clamp_in_black)
            .Slider(PARAM_MIX, c.mix);
        WindowRenderParams record;
        BuildWindowRenderParams(in.in_data, params.const_array(), record);
        const PixelStage stage{&record};
        PF_PixelBGRA32f source = c.in, out{};
        RenderPixelBgra32f(const_cast<PixelStage *>(&stage), 0, 0, &source, &out);
        EXPECT_EQ(out.blue, c.expect.blue);
        EXPECT_EQ(out.green, c.expect.green);
        EXPECT_EQ(out.red, c.expect.red);
        EXPECT_EQ(out.alpha, c.expect.alpha);
    }
    // A signalling-looking NaN alpha with a payload travels unchanged.
    IdentityRecord id;
    const std::uint32_t alpha_bits = 0xFFA01234u;
    PF_PixelBGRA32f source{0.1f, 0.2f, 0.3f, 0.0f}, out{};
    std::memcpy(&source.alpha, &alpha_bits, sizeof alpha_bits);
    RenderPixelBgra32f(&id.stage, 0, 0, &source, &out);
    std::uint32_t out_bits;
    std::memcpy(&out_bits, &out.alpha, sizeof out_bits);
    EXPECT_EQ(out_bits, alpha_bits);
}

TEST(PixelFormats, RenderingInPlaceKeepsTheSourceAlpha) {
    InData in;
    ParamSet params;
    params.InsideMaster(0.5, 1, 1).Slider(PARAM_WIDTH, 1000).Point(0, 0);
    WindowRenderParams record;
    BuildWindowRenderParams(in.in_data, params.const_array(), record);
    const PixelStage stage{&record};
    PF_Pixel pixel{77, 10, 20, 30};
    RenderPixelArgb8(const_cast<PixelStage *>(&stage), 0, 0, &pixel, &pixel);
    EXPECT_EQ(pixel.alpha, 77);
    EXPECT_EQ(pixel.red, 137);
    PF_PixelBGRA32f fpixel{0.1f, 0.2f, 0.3f, 0.25f};
    RenderPixelBgra32f(const_cast<PixelStage *>(&stage), 0, 0, &fpixel, &fpixel);
    EXPECT_EQ(fpixel.alpha, 0.25f);
    EXPECT_FLOAT_EQ(fpixel.red, 0.8f);
}

TEST(PixelFormats, MissingSourcePixelLeavesTheDestinationAlone) {
    IdentityRecord id;
    PF_Pixel out8{1, 2, 3, 4};
    PF_Pixel16 out16{1, 2, 3, 4};
    PF_PixelBGRA32f out32{1, 2, 3, 4};
    EXPECT_EQ(RenderPixelArgb8(&id.stage, 0, 0, nullptr, &out8), PF_Err_NONE);
    EXPECT_EQ(RenderPixelBgra8(&id.stage, 0, 0, nullptr, &out8), PF_Err_NONE);
    EXPECT_EQ(RenderPixelArgb16(&id.stage, 0, 0, nullptr, &out16), PF_Err_NONE);
    EXPECT_EQ(RenderPixelBgra32f(&id.stage, 0, 0, nullptr, &out32), PF_Err_NONE);
    EXPECT_EQ(out8.red, 2);
    EXPECT_EQ(out16.red, 2);
    EXPECT_EQ(out32.red, 3.0f);
}

}  // namespace
