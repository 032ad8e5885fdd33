// zonara render --region: the part of the frame a host would ask for, read
// back by the image library: placed where it lay in an OpenEXR, and the same
// samples as that part of the whole frame, whatever the depth and draft.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/tool_runner.h"

namespace {

using tool_test::LayoutOf;
using tool_test::RunTool;
using tool_test::ScratchDir;

TEST(FrameRegion, PartIsTheSamePartOfTheWholeFrame) {
    struct Case {
        const char *name;
        std::vector<std::string> args;  // after the input and output
        int downsample;
    };
    const Case cases[] = {
        {"8-bit", {"--depth", "8"}, 1},
        {"float in the compositing host", {"--host", "ae", "--depth", "float"}, 1},
        {"float in the editing host", {"--host", "premiere", "--depth", "float"}, 1},
        {"draft", {"--depth", "16", "--downsample", "2"}, 2},
    };
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(64, 48, 3, OIIO::TypeDesc::FLOAT), dir / "in.exr",
                         OIIO::TypeDesc::FLOAT);
    const std::vector<std::string> look = {"--set", "width=30",    "--set", "feather=20",
                                           "--set", "in_gain=1.4", "--set", "out_saturation=0.4"};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> whole = {"render", "in.exr", "-o", "whole.exr"};
        whole.insert(whole.end(), c.args.begin(), c.args.end());
        whole.insert(whole.end(), look.begin(), look.end());
        std::vector<std::string> part = whole;
        part[3] = "part.exr";
        part.insert(part.end(), {"--region", "22x15+9+20"});
        ASSERT_EQ(RunTool(dir, whole).exit_status, 0);
        const tool_test::ToolResult result = RunTool(dir, part);
        ASSERT_EQ(result.exit_status, 0) << result.err;

        const OIIO::ImageBuf full = tool_test::ReadFile(dir / "whole.exr", OIIO::TypeDesc::FLOAT);
        const OIIO::ImageBuf region = tool_test::ReadFile(dir / "part.exr", OIIO::TypeDesc::FLOAT);
        const auto placed = LayoutOf(region);
        // Every reduced pixel the part touches, at its place in the frame.
        const int d = c.downsample;
        const int left = 9 / d, top = 20 / d, right = (9 + 22 + d - 1) / d, bottom = (20 + 15 + d - 1) / d;
        EXPECT_EQ(placed.x, left);
        EXPECT_EQ(placed.y, top);
        EXPECT_EQ(placed.width, right - left);
        EXPECT_EQ(placed.height, bottom - top);
        EXPECT_EQ(placed.full_width, LayoutOf(full).width);
        EXPECT_EQ(placed.full_height, LayoutOf(full).height);
        const int channels = placed.nchannels;
        std::vector<float> expected(static_cast<std::size_t>(placed.width * placed.height * channels));
        std::vector<float> got(expected.size());
        ASSERT_TRUE(full.get_pixels(OIIO::ROI(left, right, top, bottom, 0, 1, 0, channels), OIIO::TypeDesc::FLOAT,
                                    expected.data()));
        ASSERT_TRUE(region.get_pixels(region.roi(), OIIO::TypeDesc::FLOAT, got.data()));
        EXPECT_EQ(std::memcmp(expected.data(), got.data(), expected.size() * sizeof(float)), 0);
    }
}

}  // namespace
