// A peer as the oracle: OpenColorIO's own CDL, reading the file that
// `zonara cdl export` wrote, must grade a float frame as `zonara render`
// does with that side covering the whole frame; and a collection that
// OpenColorIO wrote must be read back with its values.
#include <gtest/gtest.h>

#include <OpenColorIO/OpenColorIO.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/tool_runner.h"

namespace {

namespace OCIO = OCIO_NAMESPACE;
using OIIO::TypeDesc;
using tool_test::RunTool;
using tool_test::ScratchDir;

constexpr int WIDTH = 32;
constexpr int HEIGHT = 24;
constexpr float TOLERANCE = 2e-5f;

struct Grade {
    const char *name;
    const char *side;  // inside or outside
    std::vector<std::string> sets;
};

using tool_test::Join;

// The frame's colours: 0.05 to 1.45, so that slope x value + offset stays
// above 0 for every grade below, where the effect's input clamp and
// OpenColorIO's pass-through of negatives would part ways.
OIIO::ImageBuf Frame() {
    OIIO::ImageBuf frame(OIIO::ImageSpec(WIDTH, HEIGHT, 3, TypeDesc::FLOAT));
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            const float pixel[3] = {0.05f + 1.4f * x / (WIDTH - 1), 0.05f + 1.4f * y / (HEIGHT - 1),
                                    0.05f + 1.4f * ((x * 7 + y * 3) % 17) / 16.0f};
            frame.setpixel(x, y, pixel, 3);
        }
    }
    return frame;
}

class OpenColorIOAgrees : public ::testing::TestWithParam<Grade> {};

TEST_P(OpenColorIOAgrees, ExportedFileGradesAsTheRender) {
    const Grade &g = GetParam();
    ScratchDir dir;
    const OIIO::ImageBuf frame = Frame();
    tool_test::WriteFile(frame, dir / "in.exr", TypeDesc::FLOAT);
    const auto exported = RunTool(dir, Join({"cdl", "export", "--side", g.side, "-o", "look.cc"}, g.sets));
    ASSERT_EQ(exported.exit_status, 0) << exported.err;

    // The side over the whole frame: a window far larger than it, inverted
    // for the outside.
    std::vector<std::string> render = {"render", "in.exr",       "-o",    "out.exr",   "--set", "width=15000",
                                       "--set",  "height=15000", "--set", "feather=0", "--set", "clamp_out_black=off"};
    if (std::string(g.side) == "outside") {
        render = Join(render, {"--set", "invert=on"});
    }
    const auto rendered = RunTool(dir, Join(render, g.sets));
    ASSERT_EQ(rendered.exit_status, 0) << rendered.err;
    const OIIO::ImageBuf ours = tool_test::ReadFile(dir / "out.exr", TypeDesc::FLOAT);

    OCIO::FileTransformRcPtr file = OCIO::FileTransform::Create();
    file->setSrc((dir / "look.cc").c_str());
    const OCIO::ConstCPUProcessorRcPtr oracle = OCIO::Config::CreateRaw()->getProcessor(file)->getDefaultCPUProcessor();
    float worst = 0.0f;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            float expected[3];
            float actual[3];
            frame.getpixel(x, y, expected, 3);
            oracle->applyRGB(expected);
            ours.getpixel(x, y, actual, 3);
            for (int ch = 0; ch < 3; ++ch) {
                worst = std::max(worst, std::fabs(expected[ch] - actual[ch]));
                ASSERT_NEAR(actual[ch], expected[ch], TOLERANCE) << "pixel (" << x << ", " << y << ") channel " << ch;
            }
        }
    }
    RecordProperty("worst_difference", std::to_string(worst));
}

INSTANTIATE_TEST_SUITE_P(
    SlopesOffsetsPowers, OpenColorIOAgrees,
    ::testing::Values(
        Grade{"slopes_only",
              "inside",
              {"--set", "in_red_gain=1.3", "--set", "in_green_gain=0.6", "--set", "in_blue_gain=2.5"}},
        Grade{"offsets_only",
              "inside",
              {"--set", "in_red_offset=0.2", "--set", "in_green_offset=-0.03", "--set", "in_blue_offset=0.45"}},
        Grade{"powers_below_one",
              "inside",
              {"--set", "in_red_gamma=1.8", "--set", "in_green_gamma=2.6", "--set", "in_blue_gamma=1.1"}},
        Grade{"powers_above_one",
              "outside",
              {"--set", "out_red_gamma=0.45", "--set", "out_green_gamma=0.8", "--set", "out_blue_gamma=0.3"}},
        Grade{
            "everything_with_masters",
            "inside",
            {"--set", "in_gain=1.2", "--set", "in_red_gain=0.9", "--set", "in_offset=0.04", "--set",
             "in_blue_offset=0.1", "--set", "in_gamma=1.3", "--set", "in_green_gamma=0.6", "--set", "in_red_gamma=2"}},
        Grade{"outside_mixed",
              "outside",
              {"--set", "out_gain=0.7", "--set", "out_green_gain=1.9", "--set", "out_offset=0.06", "--set",
               "out_red_offset=-0.02", "--set", "out_gamma=0.5", "--set", "out_blue_gamma=4"}},
        // Without the input clamp, bases below 0 pass the power unchanged on
        // both sides of the comparison.
        Grade{"negative_bases_unclamped",
              "inside",
              {"--set", "clamp_in_black=off", "--set", "in_offset=-0.3", "--set", "in_red_gamma=1.8", "--set",
               "in_blue_gamma=0.6"}}),
    [](const ::testing::TestParamInfo<Grade> &info) { return std::string(info.param.name); });

// An id of characters beyond ASCII and of XML's own delimiters is written so
// that another XML reader finds the correction by it.
TEST(OpenColorIOCollection, ExportedIdIsFoundByOpenColorIO) {
    ScratchDir dir;
    const std::string id = "sh010 \xC3\xA9t\xC3\xA9 <&\"'> \xF0\x9F\x8E\xAC";
    const auto exported =
        RunTool(dir, {"cdl", "export", "--side", "inside", "--set", "in_red_gain=1.5", "--id", id, "-o", "look.ccc"});
    ASSERT_EQ(exported.exit_status, 0) << exported.err;
    const OCIO::CDLTransformRcPtr read = OCIO::CDLTransform::CreateFromFile((dir / "look.ccc").c_str(), id.c_str());
    EXPECT_EQ(std::string(read->getID()), id);
    double slope[3];
    read->getSlope(slope);
    EXPECT_EQ(slope[0], 1.5);
}

TEST(OpenColorIOCollection, WrittenByOpenColorIOIsReadBack) {
    ScratchDir dir;
    OCIO::GroupTransformRcPtr group = OCIO::GroupTransform::Create();
    auto add = [&](const char *id, std::array<double, 3> slope, std::array<double, 3> offset,
                   std::array<double, 3> power, double saturation) {
        OCIO::CDLTransformRcPtr cdl = OCIO::CDLTransform::Create();
        cdl->setID(id);
        cdl->setSlope(slope.data());
        cdl->setOffset(offset.data());
        cdl->setPower(power.data());
        cdl->setSat(saturation);
        group->appendTransform(cdl);
    };
    add("sh010", {1.1, 0.95, 1.25}, {0.01, 0.0, -0.02}, {0.9, 1.0, 1.2}, 1.0);
    add("sh020", {0.8, 1.6, 0.7}, {-0.05, 0.12, 0.3}, {1.25, 0.5, 2.0}, 0.85);
    {
        std::ofstream out(dir / "show.ccc");
        group->write(OCIO::Config::CreateRaw(), "ColorCorrectionCollection", out);
    }
    const auto result = RunTool(dir, {"params", "--values", "--cdl-outside", "show.ccc#sh020"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_NE(result.err.find("warning"), std::string::npos) << "saturation 0.85 deserves a warning";
    const nlohmann::json values = nlohmann::json::parse(result.out);
    const std::array<double, 3> slope{0.8, 1.6, 0.7}, offset{-0.05, 0.12, 0.3}, power{1.25, 0.5, 2.0};
    const char *channels[3] = {"red", "green", "blue"};
    for (int k = 0; k < 3; ++k) {
        const std::string c = std::string("out_") + channels[k];
        EXPECT_EQ(values[c + "_gain"].get<double>(), slope[k]) << c;
        EXPECT_EQ(values[c + "_offset"].get<double>(), offset[k]) << c;
        EXPECT_EQ(static_cast<float>(1.0 / static_cast<float>(values[c + "_gamma"].get<double>())),
                  static_cast<float>(power[k]))
            << c;
    }
    EXPECT_EQ(values["out_saturation"].get<double>(), 0.85);
    EXPECT_EQ(values["in_red_gain"].get<double>(), 1.0) << "the inside is left alone";
}

}  // namespace
