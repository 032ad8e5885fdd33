// The wipe: which side of the line each pixel comes from, where the line
// lies at any angle and draft factor, and which texts --wipe accepts.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/tool_runner.h"
#include "tools/base/tool_error.h"
#include "tools/image/wipe_view.h"

namespace {

using zonara_tool::ComposeWipe;
using zonara_tool::Image;
using zonara_tool::MakeImage;
using zonara_tool::ParseWipe;
using zonara_tool::SampleKind;
using zonara_tool::WipeLine;

constexpr int W = 12;
constexpr int H = 8;

// Every sample of `before` is 10, of `after` 20; the picture is read back
// as 'S' (source), 'G' (graded) or '|' (the line, white) per pixel.
std::vector<std::string> Picture(const WipeLine &line, int downsample, SampleKind kind, int channels) {
    Image before = MakeImage(W, H, channels, kind);
    Image after = MakeImage(W, H, channels, kind);
    const std::size_t samples = static_cast<std::size_t>(W) * H * channels;
    for (std::size_t i = 0; i < samples; ++i) {
        switch (kind) {
        case SampleKind::INT8:
            before.Samples<std::uint8_t>()[i] = 10;
            after.Samples<std::uint8_t>()[i] = 20;
            break;
        case SampleKind::INT16:
            before.Samples<std::uint16_t>()[i] = 10;
            after.Samples<std::uint16_t>()[i] = 20;
            break;
        case SampleKind::FLOAT32:
            before.Samples<float>()[i] = 10;
            after.Samples<float>()[i] = 20;
            break;
        }
    }
    const Image out = ComposeWipe(before, after, line, W * downsample, H * downsample, downsample);
    std::vector<std::string> rows;
    for (int y = 0; y < H; ++y) {
        std::string row;
        for (int x = 0; x < W; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * W + x) * channels;
            double first = 0.0;
            double last = 0.0;
            switch (kind) {
            case SampleKind::INT8:
                first = out.Samples<std::uint8_t>()[at];
                last = out.Samples<std::uint8_t>()[at + channels - 1];
                break;
            case SampleKind::INT16:
                first = out.Samples<std::uint16_t>()[at];
                last = out.Samples<std::uint16_t>()[at + channels - 1];
                break;
            case SampleKind::FLOAT32:
                first = out.Samples<float>()[at];
                last = out.Samples<float>()[at + channels - 1];
                break;
            }
            const double white = kind == SampleKind::INT8 ? 255 : kind == SampleKind::INT16 ? 65535 : 1;
            if (first == white) {
                // The line whitens the colours only; alpha stays the frame's.
                EXPECT_TRUE(channels != 4 || last == 20 || last == 10) << x << "," << y;
                row += '|';
            } else {
                row += first == 10 ? 'S' : first == 20 ? 'G' : '?';
            }
        }
        rows.push_back(row);
    }
    return rows;
}

struct WipeCase {
    const char *name;
    std::string text;
    int downsample;
    SampleKind kind;
    int channels;
    std::vector<std::string> expected;
};

class WipePicture : public ::testing::TestWithParam<WipeCase> {};

TEST_P(WipePicture, SourceLeftOfTheLineGradedRight) {
    const WipeCase &c = GetParam();
    EXPECT_EQ(Picture(ParseWipe(c.text), c.downsample, c.kind, c.channels), c.expected);
}

const std::vector<std::string> CENTRE = {"SSSSS|GGGGGG", "SSSSS|GGGGGG", "SSSSS|GGGGGG", "SSSSS|GGGGGG",
                                         "SSSSS|GGGGGG", "SSSSS|GGGGGG", "SSSSS|GGGGGG", "SSSSS|GGGGGG"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lines, WipePicture,
    ::testing::Values(
        WipeCase{"centre_8bit_rgba", "", 1, SampleKind::INT8, 4, CENTRE},
        WipeCase{"centre_float_grey", "", 1, SampleKind::FLOAT32, 1, CENTRE},
        WipeCase{"at_x_3", "3", 1, SampleKind::INT16, 3,
                 {"SS|GGGGGGGGG", "SS|GGGGGGGGG", "SS|GGGGGGGGG", "SS|GGGGGGGGG", "SS|GGGGGGGGG", "SS|GGGGGGGGG",
                  "SS|GGGGGGGGG", "SS|GGGGGGGGG"}},
        // In full-resolution pixels: x = 6 is rendered column 3 at half size.
        WipeCase{"draft_half", "6", 2, SampleKind::INT8, 3,
                 {"SS|GGGGGGGGG", "SS|GGGGGGGGG", "SS|GGGGGGGGG", "SS|GGGGGGGGG", "SS|GGGGGGGGG", "SS|GGGGGGGGG",
                  "SS|GGGGGGGGG", "SS|GGGGGGGGG"}},
        // Turned a quarter clockwise the line lies across: source above.
        WipeCase{"horizontal", ",90", 1, SampleKind::INT8, 3,
                 {"SSSSSSSSSSSS", "SSSSSSSSSSSS", "SSSSSSSSSSSS", "||||||||||||", "GGGGGGGGGGGG", "GGGGGGGGGGGG",
                  "GGGGGGGGGGGG", "GGGGGGGGGGGG"}},
        // 45 degrees clockwise: the line runs from bottom left to top right.
        WipeCase{"diagonal", "6,45", 1, SampleKind::INT8, 3,
                 {"SSSSSSSSS|GG", "SSSSSSSS|GGG", "SSSSSSS|GGGG", "SSSSSS|GGGGG", "SSSSS|GGGGGG", "SSSS|GGGGGGG",
                  "SSS|GGGGGGGG", "SS|GGGGGGGGG"}},
        WipeCase{"off_the_frame", "-40", 1, SampleKind::INT8, 3,
                 {"GGGGGGGGGGGG", "GGGGGGGGGGGG", "GGGGGGGGGGGG", "GGGGGGGGGGGG", "GGGGGGGGGGGG", "GGGGGGGGGGGG",
                  "GGGGGGGGGGGG", "GGGGGGGGGGGG"}}),
    [](const ::testing::TestParamInfo<WipeCase> &info) { return std::string(info.param.name); });

TEST(WipeText, RefusesAnythingButXAndAngle) {
    for (const char *bad : {"x", "1,2,3", "12px", "nan", "1,", ",", "5,400", "1e300", "inf"}) {
        EXPECT_THROW(ParseWipe(bad), zonara_tool::ToolError) << bad;
    }
    const WipeLine line = ParseWipe("-12.5,-30");
    EXPECT_EQ(line.x, -12.5);
    EXPECT_EQ(line.angle_degrees, -30.0);
    EXPECT_FALSE(ParseWipe("").x.has_value());
}
// clang-format on

// Through the tool: the wipe is the source on one side, the render on the
// other, at the input's own size.
TEST(WipeRender, JoinsTheSourceAndTheRender) {
    tool_test::ScratchDir dir;
    const OIIO::ImageBuf source = tool_test::MakePattern(40, 20, 3, OIIO::TypeDesc::UINT8);
    tool_test::WriteFile(source, dir / "in.png", OIIO::TypeDesc::UINT8);
    const std::vector<std::string> look = {"--set", "out_gain=0.3", "--set", "width=20", "--set", "height=10"};
    std::vector<std::string> graded_args = {"render", "in.png", "-o", "graded.png"};
    std::vector<std::string> wipe_args = {"render", "in.png", "-o", "wipe.png", "--wipe", "15"};
    graded_args.insert(graded_args.end(), look.begin(), look.end());
    wipe_args.insert(wipe_args.end(), look.begin(), look.end());
    ASSERT_EQ(tool_test::RunTool(dir, graded_args).exit_status, 0);
    const tool_test::ToolResult wiped = tool_test::RunTool(dir, wipe_args);
    ASSERT_EQ(wiped.exit_status, 0) << wiped.err;
    const OIIO::ImageBuf graded = tool_test::ReadFile(dir / "graded.png", OIIO::TypeDesc::UINT8);
    const OIIO::ImageBuf wipe = tool_test::ReadFile(dir / "wipe.png", OIIO::TypeDesc::UINT8);
    ASSERT_EQ(tool_test::LayoutOf(wipe).width, 40);
    float got[3], from_source[3], from_graded[3];
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            wipe.getpixel(x, y, got, 3);
            source.getpixel(x, y, from_source, 3);
            graded.getpixel(x, y, from_graded, 3);
            const float *expected = x < 14 ? from_source : from_graded;
            for (int ch = 0; ch < 3; ++ch) {
                ASSERT_EQ(got[ch], x == 14 ? 1.0f : expected[ch]) << x << "," << y;
            }
        }
    }
    const tool_test::ToolResult both =
        tool_test::RunTool(dir, {"render", "in.png", "-o", "x.png", "--wipe", "10", "--side-by-side"});
    EXPECT_EQ(both.exit_status, 2);
}

}  // namespace
