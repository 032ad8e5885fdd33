// zonara render end to end: files made here go through the built tool, and
// every output sample must equal what the plain reference render gives for
// the same layer, parameters, pixel aspect and resolution, converted to and
// from the file with the documented rules. A fault anywhere between the
// command line and the written file (a key mapped to the wrong parameter, a
// channel swapped, a rounding slip, an origin not scaled for draft mode)
// shows up as a differing sample.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include <OpenImageIO/imagebufalgo.h>

#include "common/fixed_scale.h"
#include "params/param_index.h"
#include "reference/reference_render.h"
#include "support/tool_runner.h"
#include "testhost/core/host.h"
#include "testhost/core/layer.h"

namespace {

using namespace zonara;
using tool_test::LayoutOf;
using tool_test::ScratchDir;

constexpr int FRAME_WIDTH = 48;
constexpr int FRAME_HEIGHT = 32;

// A look: the --set arguments and the same settings written straight into
// the host's parameters (points in full-resolution layer pixels).
struct Look {
    std::vector<std::string> args;
    std::function<void(testhost::ParamStore &)> apply;
};

PF_Fixed ToFixed(double value) { return static_cast<PF_Fixed>(std::lround(value * zonara::FIXED_ONE)); }

Look EllipseLook() {
    return {{"--set", "window_type=Ellipse", "--set", "origin=20,12",    "--set", "width=30",
             "--set", "height=18",           "--set", "angle=30",        "--set", "feather=8",
             "--set", "falloff=gaussian",    "--set", "in_gain=1.5",     "--set", "in_red_gamma=1.4",
             "--set", "out_saturation=0.3",  "--set", "out_offset=-0.1", "--set", "color_model=legacy",
             "--set", "clamp_out_white=on",  "--set", "mix=0.9"},
            [](testhost::ParamStore &p) {
                p.at(PARAM_WINDOW_TYPE).u.pd.value = WINDOW_TYPE_ELLIPSE;
                p.at(PARAM_ORIGIN).u.td.x_value = ToFixed(20);
                p.at(PARAM_ORIGIN).u.td.y_value = ToFixed(12);
                p.at(PARAM_WIDTH).u.fs_d.value = 30;
                p.at(PARAM_HEIGHT).u.fs_d.value = 18;
                p.at(PARAM_ANGLE).u.ad.value = ToFixed(30);
                p.at(PARAM_FEATHER).u.fs_d.value = 8;
                p.at(PARAM_FALLOFF).u.pd.value = FALLOFF_GAUSSIAN;
                p.at(PARAM_IN_GAIN).u.fs_d.value = 1.5;
                p.at(PARAM_IN_RED_GAMMA).u.fs_d.value = 1.4;
                p.at(PARAM_OUT_SATURATION).u.fs_d.value = 0.3;
                p.at(PARAM_OUT_OFFSET).u.fs_d.value = -0.1;
                p.at(PARAM_COLOR_MODEL).u.pd.value = COLOR_MODEL_LEGACY;
                p.at(PARAM_CLAMP_OUT_WHITE).u.bd.value = 1;
                p.at(PARAM_MIX).u.fs_d.value = 0.9;
            }};
}

Look RectangleLook() {
    return {{"--set", "window_type=2",      "--set", "width=20",          "--set", "height=24",
             "--set", "feather=5",          "--set", "invert=true",       "--set", "falloff=Cubic",
             "--set", "in_saturation=1.8",  "--set", "out_blue_gain=0.6", "--set", "clamp_in_black=off",
             "--set", "in_green_offset=0.2"},
            [](testhost::ParamStore &p) {
                p.at(PARAM_WINDOW_TYPE).u.pd.value = WINDOW_TYPE_RECTANGLE;
                p.at(PARAM_WIDTH).u.fs_d.value = 20;
                p.at(PARAM_HEIGHT).u.fs_d.value = 24;
                p.at(PARAM_FEATHER).u.fs_d.value = 5;
                p.at(PARAM_INVERT).u.bd.value = 1;
                p.at(PARAM_FALLOFF).u.pd.value = FALLOFF_CUBIC;
                p.at(PARAM_IN_SATURATION).u.fs_d.value = 1.8;
                p.at(PARAM_OUT_BLUE_GAIN).u.fs_d.value = 0.6;
                p.at(PARAM_CLAMP_IN_BLACK).u.bd.value = 0;
                p.at(PARAM_IN_GREEN_OFFSET).u.fs_d.value = 0.2;
            }};
}

struct Case {
    const char *name;
    const char *file;
    OIIO::TypeDesc stored;
    int channels;
    std::vector<std::string> extra_args;
    testhost::HostApp app;
    testhost::PixelFormat layer_format;
    PF_RationalScale par;
    int downsample;
    Look look;
};

// --- the expected side, written from the documented conversions ------------

float ToHost(OIIO::TypeDesc stored, testhost::PixelFormat format, float sample) {
    if (format == testhost::PixelFormat::BGRA32F) {
        return stored == OIIO::TypeDesc::UINT8 ? sample / 255.0f : sample;
    }
    if (stored == OIIO::TypeDesc::UINT16) {
        const auto c = static_cast<std::int64_t>(sample);
        return static_cast<float>((2 * c * 32768 + 65535) / (2 * 65535));
    }
    return sample;
}

float FromHost(OIIO::TypeDesc stored, testhost::PixelFormat format, float value) {
    if (format == testhost::PixelFormat::BGRA32F) {
        return value;
    }
    if (stored == OIIO::TypeDesc::UINT16) {
        const auto v = static_cast<std::int64_t>(value);
        return static_cast<float>((2 * v * 65535 + 32768) / (2 * 32768));
    }
    return value;
}

float FullAlpha(testhost::PixelFormat format) {
    switch (format) {
    case testhost::PixelFormat::ARGB16:
        return 32768.0f;
    case testhost::PixelFormat::BGRA32F:
        return 1.0f;
    default:
        return 255.0f;
    }
}

OIIO::ImageBuf ExpectedOutput(const Case &c, const OIIO::ImageBuf &full_input) {
    OIIO::ImageBuf input = full_input;
    if (c.downsample > 1) {
        const int w = (FRAME_WIDTH + c.downsample - 1) / c.downsample;
        const int h = (FRAME_HEIGHT + c.downsample - 1) / c.downsample;
        OIIO::ImageSpec layout(w, h, c.channels, LayoutOf(full_input).format);
        input.reset(layout);
        OIIO::ImageBufAlgo::resize(input, full_input);
    }
    const int w = LayoutOf(input).width;
    const int h = LayoutOf(input).height;

    testhost::LayerOptions options;
    options.pixel_aspect_ratio = c.par;
    testhost::Layer src(c.layer_format, w, h, options);
    testhost::Layer dst(c.layer_format, w, h, options);
    std::vector<float> pixel(static_cast<std::size_t>(c.channels));
    // An OpenEXR's colour is premultiplied: the effect is handed it divided
    // by alpha, and it is multiplied again after (clear pixels keep theirs).
    const bool premultiplied = c.channels == 4 && std::string(c.file).find(".exr") != std::string::npos;
    const auto associates = [&](float alpha) { return premultiplied && alpha > 0.0f && alpha != 1.0f; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            input.getpixel(x, y, pixel.data(), c.channels);
            // getpixel gives normalised floats; back to the file's codes.
            const float scale = c.stored == OIIO::TypeDesc::UINT8    ? 255.0f
                                : c.stored == OIIO::TypeDesc::UINT16 ? 65535.0f
                                                                     : 1.0f;
            auto code = [&](int ch) { return std::round(pixel[std::size_t(ch)] * scale); };
            auto sample = [&](int ch) {
                return scale > 1.0f ? ToHost(c.stored, c.layer_format, code(ch))
                                    : ToHost(c.stored, c.layer_format, pixel[std::size_t(ch)]);
            };
            const float alpha = c.channels == 4 ? sample(3) : FullAlpha(c.layer_format);
            const float divisor = associates(alpha) ? alpha : 1.0f;
            src.PutPixel(x, y, {alpha, sample(0) / divisor, sample(1) / divisor, sample(2) / divisor});
        }
    }

    testhost::Host host(testhost::Module::Load(testhost::DefaultModulePath()), c.app);
    EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.ParamsSetup(), PF_Err_NONE);
    testhost::ParamStore &params = host.params();
    params.Reset(host.declared_params(), FRAME_WIDTH, FRAME_HEIGHT);
    c.look.apply(params);
    PF_PointDef &origin = params.at(PARAM_ORIGIN).u.td;
    origin.x_value = ToFixed(zonara::FixedToDouble(origin.x_value) / c.downsample);
    origin.y_value = ToFixed(zonara::FixedToDouble(origin.y_value) / c.downsample);
    params.at(PARAM_INPUT).u.ld = src.def();

    PF_InData in_data{};
    in_data.pixel_aspect_ratio = c.par;
    in_data.downsample_x = {1, static_cast<A_u_long>(c.downsample)};
    in_data.downsample_y = {1, static_cast<A_u_long>(c.downsample)};
    reference::RenderFrame(in_data, params.array(), c.layer_format, src.def(), dst.def(), h);

    OIIO::ImageBuf expected(OIIO::ImageSpec(w, h, c.channels,
                                            c.stored == OIIO::TypeDesc::UINT8    ? OIIO::TypeDesc::UINT8
                                            : c.stored == OIIO::TypeDesc::UINT16 ? OIIO::TypeDesc::UINT16
                                                                                 : OIIO::TypeDesc::FLOAT));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            input.getpixel(x, y, pixel.data(), c.channels);
            const testhost::PixelValue out = dst.GetPixel(x, y);
            const float scale = c.stored == OIIO::TypeDesc::UINT8    ? 255.0f
                                : c.stored == OIIO::TypeDesc::UINT16 ? 65535.0f
                                                                     : 1.0f;
            const float colours[3] = {out.red, out.green, out.blue};
            const float alpha = c.channels == 4 ? pixel[3] : 1.0f;
            for (int ch = 0; ch < 3; ++ch) {
                const float graded = FromHost(c.stored, c.layer_format, colours[ch]) / scale;
                if (!premultiplied || alpha > 0.0f) {
                    pixel[std::size_t(ch)] = associates(alpha) ? graded * alpha : graded;
                }
            }
            expected.setpixel(x, y, pixel.data(), c.channels);  // alpha stays the input's
        }
    }
    return expected;
}

class RenderMatchesReference : public ::testing::TestWithParam<Case> {};

TEST_P(RenderMatchesReference, EverySampleAsTheReferenceGivesIt) {
    const Case &c = GetParam();
    ScratchDir dir;
    const OIIO::ImageBuf source = tool_test::MakePattern(FRAME_WIDTH, FRAME_HEIGHT, c.channels, c.stored);
    tool_test::WriteFile(source, dir / c.file, c.stored);
    const OIIO::ImageBuf input = tool_test::ReadFile(dir / c.file, c.stored);

    const std::string output_name =
        std::string("out.") + (std::string(c.file).substr(std::string(c.file).find('.') + 1));
    std::vector<std::string> args = {"render", c.file, "-o", output_name};
    args.insert(args.end(), c.look.args.begin(), c.look.args.end());
    args.insert(args.end(), c.extra_args.begin(), c.extra_args.end());
    const tool_test::ToolResult result = tool_test::RunTool(dir, args);
    ASSERT_EQ(result.exit_status, 0) << result.err;

    const OIIO::ImageBuf actual = tool_test::ReadFile(dir / output_name, c.stored);
    const OIIO::ImageBuf expected = ExpectedOutput(c, input);
    ASSERT_EQ(LayoutOf(actual).width, LayoutOf(expected).width);
    ASSERT_EQ(LayoutOf(actual).height, LayoutOf(expected).height);
    ASSERT_EQ(LayoutOf(actual).nchannels, c.channels);
    int mismatches = 0;
    std::vector<float> a(static_cast<std::size_t>(c.channels));
    std::vector<float> e(static_cast<std::size_t>(c.channels));
    for (int y = 0; y < LayoutOf(expected).height; ++y) {
        for (int x = 0; x < LayoutOf(expected).width; ++x) {
            actual.getpixel(x, y, a.data(), c.channels);
            expected.getpixel(x, y, e.data(), c.channels);
            for (int ch = 0; ch < c.channels; ++ch) {
                if (a[std::size_t(ch)] != e[std::size_t(ch)] && mismatches++ < 5) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") channel " << ch << ": tool "
                                  << a[std::size_t(ch)] << ", reference " << e[std::size_t(ch)];
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

using testhost::HostApp;
using testhost::PixelFormat;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Formats, RenderMatchesReference,
    ::testing::Values(
        Case{"png8_rgba", "in.png", OIIO::TypeDesc::UINT8, 4, {}, HostApp::kAfterEffects, PixelFormat::ARGB8,
             {1, 1}, 1, EllipseLook()},
        Case{"png8_rgb_editing_host", "in.png", OIIO::TypeDesc::UINT8, 3, {"--host", "premiere"},
             HostApp::kPremiere, PixelFormat::BGRA8, {1, 1}, 1, RectangleLook()},
        Case{"png16_rgb", "in.png", OIIO::TypeDesc::UINT16, 3, {}, HostApp::kAfterEffects, PixelFormat::ARGB16,
             {1, 1}, 1, EllipseLook()},
        Case{"tiff16_rgba", "in.tif", OIIO::TypeDesc::UINT16, 4, {}, HostApp::kAfterEffects,
             PixelFormat::ARGB16, {1, 1}, 1, RectangleLook()},
        Case{"exr_float_rgba", "in.exr", OIIO::TypeDesc::FLOAT, 4, {}, HostApp::kPremiere, PixelFormat::BGRA32F,
             {1, 1}, 1, EllipseLook()},
        Case{"exr_float_rgb_rectangle", "in.exr", OIIO::TypeDesc::FLOAT, 3, {}, HostApp::kPremiere,
             PixelFormat::BGRA32F, {1, 1}, 1, RectangleLook()},
        Case{"pixel_aspect_2_1", "in.png", OIIO::TypeDesc::UINT8, 4, {"--par", "2/1"}, HostApp::kAfterEffects,
             PixelFormat::ARGB8, {2, 1}, 1, EllipseLook()},
        Case{"draft_half_resolution", "in.png", OIIO::TypeDesc::UINT8, 4, {"--downsample", "2"},
             HostApp::kAfterEffects, PixelFormat::ARGB8, {1, 1}, 2, EllipseLook()},
        Case{"draft_third_16bit", "in.tif", OIIO::TypeDesc::UINT16, 3, {"--downsample", "3"},
             HostApp::kAfterEffects, PixelFormat::ARGB16, {1, 1}, 3, RectangleLook()}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

}  // namespace
// clang-format on
