// The production render (frame record, lookup tables, pixel callbacks, row
// loop, RenderFrame) against the plain reference, bit for bit, over many
// random parameter sets and images in all four formats.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "reference/reference_render.h"
#include "render/grade_tables.h"
#include "render/iterate_float_rows.h"
#include "render/pixel_callbacks.h"
#include "render/render_frame.h"
#include "render/window_render_params.h"
#include "render_test_support.h"
#include "serial_iterate.h"
#include "support/fake_host.h"
#include "test_buffers.h"

namespace {

using namespace render_test;

constexpr Format ALL_FORMATS[] = {Format::ARGB8, Format::ARGB16, Format::BGRA8, Format::BGRA32F};

const char *FormatName(Format f) {
    switch (f) {
    case Format::ARGB8: return "ARGB8";
    case Format::ARGB16: return "ARGB16";
    case Format::BGRA8: return "BGRA8";
    case Format::BGRA32F: return "BGRA32f";
    }
    return "?";
}

struct Resolution {
    PF_RationalScale aspect, down_x, down_y;
};

// A random parameter set whose window lies over the image, so that inside,
// outside and feather band pixels all occur.
void Randomise(ParamSet &p, Resolution &res, std::mt19937 &rng, int width, int height) {
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    p.Popup(PARAM_WINDOW_TYPE, pick(8) == 0 ? 3 : 1 + pick(2));
    p.Point(uniform(0, width), uniform(0, height));
    const double w = uniform(2, 2.5 * width), h = uniform(2, 2.5 * height);
    p.Slider(PARAM_WIDTH, w).Slider(PARAM_HEIGHT, h);
    p.Angle(pick(3) == 0 ? 0 : uniform(-360, 360));
    const int feather_kind = pick(6);
    p.Slider(PARAM_FEATHER, feather_kind == 0 ? 0 : feather_kind == 1 ? uniform(w / 2, w) : uniform(0, w / 2));
    p.Popup(PARAM_FALLOFF, pick(10) == 0 ? 7 : 1 + pick(6));
    p.Checkbox(PARAM_INVERT, pick(2) == 1);
    for (int side = 0; side < 2; ++side) {
        const int master = side == 0 ? PARAM_IN_OFFSET : PARAM_OUT_OFFSET;
        const int channels = side == 0 ? PARAM_IN_RED_OFFSET : PARAM_OUT_RED_OFFSET;
        const bool identity_side = pick(4) == 0;
        auto maybe = [&](double identity, double lo, double hi) {
            return identity_side || pick(3) == 0 ? identity : uniform(lo, hi);
        };
        p.Slider(master, maybe(0, -0.3, 0.3)).Slider(master + 1, maybe(1, 0.3, 3))
            .Slider(master + 2, maybe(1, 0.5, 2)).Slider(master + 3, maybe(1, 0, 2));
        for (int k = 0; k < 3; ++k) {
            p.Slider(channels + 3 * k, maybe(0, -0.3, 0.3)).Slider(channels + 3 * k + 1, maybe(1, 0.3, 3))
                .Slider(channels + 3 * k + 2, maybe(1, 0.5, 2));
        }
    }
    p.Checkbox(PARAM_CLAMP_OUT_BLACK, pick(2) == 1).Checkbox(PARAM_CLAMP_OUT_WHITE, pick(2) == 1)
        .Checkbox(PARAM_CLAMP_IN_BLACK, pick(2) == 1);
    const int mix_kind = pick(5);
    p.Slider(PARAM_MIX, mix_kind == 0 ? 0 : mix_kind == 1 ? uniform(0, 1) : mix_kind == 2 ? 1.7 : 1);
    p.Popup(PARAM_COLOR_MODEL, pick(10) == 0 ? 3 : 1 + pick(2));
    const PF_RationalScale aspects[] = {{1, 1}, {2, 1}, {10, 11}, {4, 3}};
    const PF_RationalScale downs[] = {{1, 1}, {1, 2}, {1, 4}};
    res = {aspects[pick(4)], downs[pick(3)], downs[pick(3)]};
}

void RenderReference(const PF_InData &in_data, ParamSet &params, const Buffer &src, Buffer &dst) {
    reference::RenderFrame(in_data, params.array(), src.format, src.def, dst.def,
                           src.format == Format::BGRA32F ? dst.def.extent_hint.bottom - dst.def.extent_hint.top
                                                         : dst.def.height);
}

// Through RenderFrame, with the host's choice of pixel loop.
PF_Err RenderThroughFrame(const Resolution &res, ParamSet &params, Buffer &src, Buffer &dst) {
    const bool premiere = src.format == Format::BGRA8 || src.format == Format::BGRA32F;
    zonara_test::FakeHost host(premiere ? PF_APPL_ID_PREMIERE : PF_APPL_ID_AFTER_EFFECTS);
    host.ProvideSuite(kPFIterate8Suite, &SERIAL_ITERATE8);
    host.ProvideSuite(kPFIterate16Suite, &SERIAL_ITERATE16);
    host.output_pixel_format =
        src.format == Format::BGRA32F ? PrPixelFormat_BGRA_4444_32f : PrPixelFormat_BGRA_4444_8u;
    host.in_data.pixel_aspect_ratio = res.aspect;
    host.in_data.downsample_x = res.down_x;
    host.in_data.downsample_y = res.down_y;
    params.Input(src.def);
    const PF_Err err = RenderFrame(&host.in_data, &host.out_data, params.array(), &dst.def);
    EXPECT_TRUE(host.SuitesBalanced());
    return err;
}

// The callbacks with the frame's tables always built, whatever the size.
void RenderWithForcedTables(const PF_InData &in_data, ParamSet &params, Buffer &src, Buffer &dst) {
    WindowRenderParams record;
    BuildWindowRenderParams(in_data, params.array(), record);
    GradeTables tables;
    if (src.format == Format::ARGB16) BuildGradeTables16(record, tables);
    else BuildGradeTables8(record, tables);
    record.tables = &tables;
    if (src.format == Format::BGRA32F) {
        IterateFloatRows(0, dst.def.height, &src.def, &record, RenderPixelBgra32f, &dst.def);
        return;
    }
    for (int y = 0; y < dst.def.height; ++y) {
        for (int x = 0; x < dst.def.width; ++x) {
            void *in = src.Pixel(x, y);
            void *out = dst.Pixel(x, y);
            switch (src.format) {
            case Format::ARGB8: RenderPixelArgb8(&record, x, y, static_cast<PF_Pixel *>(in), static_cast<PF_Pixel *>(out)); break;
            case Format::BGRA8: RenderPixelBgra8(&record, x, y, static_cast<PF_Pixel *>(in), static_cast<PF_Pixel *>(out)); break;
            case Format::ARGB16: RenderPixelArgb16(&record, x, y, static_cast<PF_Pixel16 *>(in), static_cast<PF_Pixel16 *>(out)); break;
            case Format::BGRA32F: break;
            }
        }
    }
}

std::string Describe(ParamSet &p, const Resolution &r) {
    std::ostringstream s;
    s << "type " << p[PARAM_WINDOW_TYPE].u.pd.value << " falloff " << p[PARAM_FALLOFF].u.pd.value
      << " invert " << p[PARAM_INVERT].u.bd.value << " model " << p[PARAM_COLOR_MODEL].u.pd.value
      << " mix " << p[PARAM_MIX].u.fs_d.value << " feather " << p[PARAM_FEATHER].u.fs_d.value << " width "
      << p[PARAM_WIDTH].u.fs_d.value << " aspect " << r.aspect.num << "/" << r.aspect.den << " down "
      << r.down_x.num << "/" << r.down_x.den;
    return s.str();
}

TEST(RenderExactness, RandomParametersMatchTheReferenceBitForBit) {
    std::mt19937 rng(20261207);
    constexpr int SETS = 60;
    for (int set = 0; set < SETS; ++set) {
        for (Format format : ALL_FORMATS) {
            // Wide enough for the 8-bit tables to be built through RenderFrame.
            const int width = 71, height = 43;
            ParamSet params;
            Resolution res;
            Randomise(params, res, rng, width, height);
            SCOPED_TRACE(std::string(FormatName(format)) + " set " + std::to_string(set) + ": " + Describe(params, res));
            Buffer src(format, width, height, 12);
            src.Randomise(rng);
            Buffer expected(format, width, height, 12);
            expected.Randomise(rng);
            Buffer through_frame(expected), forced_tables(expected);

            InData in;
            in.in_data.pixel_aspect_ratio = res.aspect;
            in.in_data.downsample_x = res.down_x;
            in.in_data.downsample_y = res.down_y;
            params.Input(src.def);
            RenderReference(in.in_data, params, src, expected);
            ASSERT_EQ(RenderThroughFrame(res, params, src, through_frame), PF_Err_NONE);
            RenderWithForcedTables(in.in_data, params, src, forced_tables);
            ASSERT_TRUE(through_frame.SameBytes(expected)) << through_frame.FirstDifference(expected);
            ASSERT_TRUE(forced_tables.SameBytes(expected)) << forced_tables.FirstDifference(expected);
        }
    }
}

TEST(RenderExactness, SixteenBitFrameLargeEnoughForTables) {
    std::mt19937 rng(7);
    for (int set = 0; set < 3; ++set) {
        const int width = 520, height = 510;
        ParamSet params;
        Resolution res;
        Randomise(params, res, rng, width, height);
        params.Popup(PARAM_COLOR_MODEL, 1 + set % 2).Slider(PARAM_MIX, 1);
        SCOPED_TRACE(Describe(params, res));
        Buffer src(Format::ARGB16, width, height);
        src.Randomise(rng);
        Buffer expected(Format::ARGB16, width, height);
        Buffer through_frame(expected);
        InData in;
        in.in_data.pixel_aspect_ratio = res.aspect;
        in.in_data.downsample_x = res.down_x;
        in.in_data.downsample_y = res.down_y;
        params.Input(src.def);
        RenderReference(in.in_data, params, src, expected);
        ASSERT_EQ(RenderThroughFrame(res, params, src, through_frame), PF_Err_NONE);
        ASSERT_TRUE(through_frame.SameBytes(expected)) << through_frame.FirstDifference(expected);
    }
}

}  // namespace
