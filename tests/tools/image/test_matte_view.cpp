// zonara render --matte end to end: every written sample must be the window
// weight of the plain reference path at that pixel, stored the way the
// output's depth stores a colour (8- and 16-bit codes truncated, float as it
// is), for both shapes, every falloff, invert, a non-square pixel aspect and
// draft resolution; and the source's own values, NaN included, must play no
// part in it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/fixed_scale.h"
#include "params/param_index.h"
#include "reference/reference_render.h"
#include "support/tool_runner.h"
#include "testhost/core/host.h"

namespace {

using namespace zonara;
using tool_test::LayoutOf;
using tool_test::ScratchDir;

constexpr int WIDTH = 48;
constexpr int HEIGHT = 32;

enum class Depth { k8, k16, kFloat };

struct MatteCase {
    const char *name;
    const char *file;
    OIIO::TypeDesc stored;
    int channels;
    Depth depth;
    WindowTypeChoice window_type;
    FalloffChoice falloff;
    bool invert;
    PF_RationalScale par;
    int downsample;
    std::vector<std::string> extra_args;
};

PF_Fixed Fixed(double value) { return static_cast<PF_Fixed>(std::lround(value * zonara::FIXED_ONE)); }

// The window of every case; the grade is set too, and must not show.
std::vector<std::string> LookArgs(const MatteCase &c) {
    std::vector<std::string> args = {"--set", "window_type=" + std::to_string(c.window_type),
                                     "--set", "falloff=" + std::to_string(c.falloff),
                                     "--set", std::string("invert=") + (c.invert ? "on" : "off"),
                                     "--set", "origin=22,15",
                                     "--set", "width=34",
                                     "--set", "height=22",
                                     "--set", "angle=25",
                                     "--set", "feather=9",
                                     "--set", "in_gain=1.7",
                                     "--set", "out_offset=0.3",
                                     "--set", "in_saturation=0.2",
                                     "--set", "mix=0.4",
                                     "--set", "color_model=legacy"};
    args.insert(args.end(), c.extra_args.begin(), c.extra_args.end());
    return args;
}

// The weight at every rendered pixel, from the reference path.
std::vector<float> ReferenceWeights(const MatteCase &c, int width, int height) {
    testhost::Host host(testhost::Module::Load(testhost::DefaultModulePath()), testhost::HostApp::kAfterEffects);
    EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.ParamsSetup(), PF_Err_NONE);
    testhost::ParamStore &p = host.params();
    p.Reset(host.declared_params(), WIDTH, HEIGHT);
    p.at(PARAM_WINDOW_TYPE).u.pd.value = c.window_type;
    p.at(PARAM_FALLOFF).u.pd.value = c.falloff;
    p.at(PARAM_INVERT).u.bd.value = c.invert ? 1 : 0;
    p.at(PARAM_ORIGIN).u.td.x_value = Fixed(22.0 / c.downsample);
    p.at(PARAM_ORIGIN).u.td.y_value = Fixed(15.0 / c.downsample);
    p.at(PARAM_WIDTH).u.fs_d.value = 34;
    p.at(PARAM_HEIGHT).u.fs_d.value = 22;
    p.at(PARAM_ANGLE).u.ad.value = Fixed(25);
    p.at(PARAM_FEATHER).u.fs_d.value = 9;
    PF_InData in_data{};
    in_data.pixel_aspect_ratio = c.par;
    in_data.downsample_x = {1, static_cast<A_u_long>(c.downsample)};
    in_data.downsample_y = {1, static_cast<A_u_long>(c.downsample)};
    const reference::Record record = reference::Build(in_data, p.array());
    std::vector<float> weights;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            weights.push_back(reference::Weight(record, x, y));
        }
    }
    return weights;
}

// A weight as the output file holds it: the code of an 8- or 16-bit file,
// the value of a float file.
float StoredWeight(float w, const MatteCase &c) {
    switch (c.depth) {
    case Depth::k8:
        return static_cast<float>(reference::Limit(w * 255.0f, 255.0f));
    case Depth::k16: {
        const std::int64_t host = reference::Limit(w * 32768.0f, 32768.0f);
        return static_cast<float>((2 * host * 65535 + 32768) / (2 * 32768));
    }
    case Depth::kFloat:
        break;
    }
    return w;
}

// A sample as OpenImageIO reads it (0 to 1) back in the file's terms.
float StoredSample(float sample, const MatteCase &c) {
    switch (c.depth) {
    case Depth::k8:
        return std::round(sample * 255.0f);
    case Depth::k16:
        return std::round(sample * 65535.0f);
    case Depth::kFloat:
        break;
    }
    return sample;
}

class MatteMatchesReference : public ::testing::TestWithParam<MatteCase> {};

TEST_P(MatteMatchesReference, EverySampleIsTheReferenceWeight) {
    const MatteCase &c = GetParam();
    ScratchDir dir;
    OIIO::ImageBuf source = tool_test::MakePattern(WIDTH, HEIGHT, c.channels, c.stored);
    if (c.stored == OIIO::TypeDesc::FLOAT) {
        // Colours the grade could never make a weight of.
        const float nan = std::numeric_limits<float>::quiet_NaN();
        std::vector<float> odd(static_cast<std::size_t>(c.channels), nan);
        odd[0] = -4.0f;
        for (int x = 0; x < WIDTH; x += 3) {
            source.setpixel(x, HEIGHT / 2, odd.data(), c.channels);
        }
    }
    tool_test::WriteFile(source, dir / c.file, c.stored);
    const std::string extension = std::string(c.file).substr(std::string(c.file).find('.'));
    std::vector<std::string> args = {"render", c.file, "-o", "matte" + extension, "--matte"};
    const std::vector<std::string> look = LookArgs(c);
    args.insert(args.end(), look.begin(), look.end());
    const tool_test::ToolResult result = tool_test::RunTool(dir, args);
    ASSERT_EQ(result.exit_status, 0) << result.err;

    const OIIO::ImageBuf matte = tool_test::ReadFile(dir / ("matte" + extension), c.stored);
    const int width = (WIDTH + c.downsample - 1) / c.downsample;
    const int height = (HEIGHT + c.downsample - 1) / c.downsample;
    ASSERT_EQ(LayoutOf(matte).width, width);
    ASSERT_EQ(LayoutOf(matte).height, height);
    ASSERT_EQ(LayoutOf(matte).nchannels, c.channels);
    const std::vector<float> weights = ReferenceWeights(c, width, height);
    int mismatches = 0;
    int partial = 0;
    std::vector<float> pixel(static_cast<std::size_t>(c.channels));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            matte.getpixel(x, y, pixel.data(), c.channels);
            const float w = weights[static_cast<std::size_t>(y * width + x)];
            partial += w > 0.0f && w < 1.0f;
            for (int ch = 0; ch < 3; ++ch) {
                const float stored = StoredSample(pixel[std::size_t(ch)], c);
                if (stored != StoredWeight(w, c) && mismatches++ < 5) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") channel " << ch << ": matte " << stored
                                  << ", weight " << w << " stored as " << StoredWeight(w, c);
                }
            }
            if (c.channels == 4) {
                EXPECT_EQ(pixel[3], 1.0f) << "the matte is opaque";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(partial, 0) << "the case should cross the feather band";
}

using OIIO::TypeDesc;
const PF_RationalScale SQUARE{1, 1};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    ShapesFalloffsFormats, MatteMatchesReference,
    ::testing::Values(
        MatteCase{"ellipse_linear_png8", "in.png", TypeDesc::UINT8, 4, Depth::k8,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_LINEAR, false, SQUARE, 1, {}},
        MatteCase{"ellipse_quadratic_png16", "in.png", TypeDesc::UINT16, 3, Depth::k16,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_QUADRATIC, false, SQUARE, 1, {}},
        MatteCase{"ellipse_cubic_exr", "in.exr", TypeDesc::FLOAT, 4, Depth::kFloat,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_CUBIC, false, SQUARE, 1, {}},
        MatteCase{"ellipse_gamma22_editing_8", "in.png", TypeDesc::UINT8, 3, Depth::k8,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_GAMMA_2_2, false, SQUARE, 1, {"--host", "premiere"}},
        MatteCase{"ellipse_gaussian_exr", "in.exr", TypeDesc::FLOAT, 3, Depth::kFloat,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_GAUSSIAN, false, SQUARE, 1, {}},
        MatteCase{"ellipse_exponential_tiff16", "in.tif", TypeDesc::UINT16, 4, Depth::k16,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_EXPONENTIAL, false, SQUARE, 1, {}},
        MatteCase{"rectangle_linear_exr", "in.exr", TypeDesc::FLOAT, 4, Depth::kFloat,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_LINEAR, false, SQUARE, 1, {}},
        MatteCase{"rectangle_quadratic_png8", "in.png", TypeDesc::UINT8, 4, Depth::k8,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_QUADRATIC, false, SQUARE, 1, {}},
        MatteCase{"rectangle_cubic_png16", "in.png", TypeDesc::UINT16, 3, Depth::k16,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_CUBIC, false, SQUARE, 1, {}},
        MatteCase{"rectangle_gamma22_exr", "in.exr", TypeDesc::FLOAT, 3, Depth::kFloat,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_GAMMA_2_2, false, SQUARE, 1, {}},
        MatteCase{"rectangle_gaussian_editing_8", "in.png", TypeDesc::UINT8, 4, Depth::k8,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_GAUSSIAN, false, SQUARE, 1, {"--host", "premiere"}},
        MatteCase{"rectangle_exponential_png8", "in.png", TypeDesc::UINT8, 3, Depth::k8,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_EXPONENTIAL, false, SQUARE, 1, {}},
        MatteCase{"ellipse_invert_exr", "in.exr", TypeDesc::FLOAT, 4, Depth::kFloat,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_LINEAR, true, SQUARE, 1, {}},
        MatteCase{"rectangle_invert_png16", "in.png", TypeDesc::UINT16, 4, Depth::k16,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_GAUSSIAN, true, SQUARE, 1, {}},
        MatteCase{"ellipse_pixel_aspect_2", "in.png", TypeDesc::UINT8, 4, Depth::k8,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_LINEAR, false, {2, 1}, 1, {"--par", "2/1"}},
        MatteCase{"rectangle_pixel_aspect_2_exr", "in.exr", TypeDesc::FLOAT, 3, Depth::kFloat,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_CUBIC, false, {2, 1}, 1, {"--par", "2/1"}},
        MatteCase{"ellipse_draft_half", "in.png", TypeDesc::UINT8, 4, Depth::k8,
                  WINDOW_TYPE_ELLIPSE, FALLOFF_GAUSSIAN, false, SQUARE, 2, {"--downsample", "2"}},
        MatteCase{"rectangle_draft_third_16", "in.tif", TypeDesc::UINT16, 3, Depth::k16,
                  WINDOW_TYPE_RECTANGLE, FALLOFF_LINEAR, true, SQUARE, 3, {"--downsample", "3"}}),
    [](const ::testing::TestParamInfo<MatteCase> &info) { return std::string(info.param.name); });

// Source | matte, and a sequence: the matte is the same picture in each.
TEST(MatteView, SideBySideShowsTheSourceBesideTheMatte) {
    ScratchDir dir;
    const OIIO::ImageBuf source = tool_test::MakePattern(WIDTH, HEIGHT, 3, TypeDesc::UINT8);
    tool_test::WriteFile(source, dir / "in.png", TypeDesc::UINT8);
    ASSERT_EQ(tool_test::RunTool(dir, {"render", "in.png", "-o", "matte.png", "--matte"}).exit_status, 0);
    const tool_test::ToolResult both =
        tool_test::RunTool(dir, {"render", "in.png", "-o", "both.png", "--matte", "--side-by-side"});
    ASSERT_EQ(both.exit_status, 0) << both.err;
    const OIIO::ImageBuf matte = tool_test::ReadFile(dir / "matte.png", TypeDesc::UINT8);
    const OIIO::ImageBuf pair = tool_test::ReadFile(dir / "both.png", TypeDesc::UINT8);
    ASSERT_EQ(LayoutOf(pair).width, 2 * WIDTH);
    float left[3], right[3], expected_left[3], expected_right[3];
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            pair.getpixel(x, y, left, 3);
            pair.getpixel(x + WIDTH, y, right, 3);
            source.getpixel(x, y, expected_left, 3);
            matte.getpixel(x, y, expected_right, 3);
            for (int ch = 0; ch < 3; ++ch) {
                ASSERT_EQ(left[ch], expected_left[ch]) << x << "," << y;
                ASSERT_EQ(right[ch], expected_right[ch]) << x << "," << y;
            }
        }
    }
}
// clang-format on

TEST(MatteView, RefusedBesideAWipe) {
    ScratchDir dir;
    const tool_test::ToolResult result = tool_test::RunTool(dir, {"render", "-o", "m.png", "--matte", "--wipe"});
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_NE(result.err.find("--wipe"), std::string::npos) << result.err;
    EXPECT_TRUE(dir.Files().empty());
}

}  // namespace
