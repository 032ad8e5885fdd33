// zonara render as a user meets it: refusals with their exit status and
// nothing left behind, looks saved and reused, sequences with a gap, file
// layouts kept, and Ctrl-C in the middle of a write.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <thread>

#include <OpenImageIO/imagebufalgo.h>

#include "support/tool_runner.h"

extern char **environ;

namespace {

using tool_test::LayoutOf;
using tool_test::RunTool;
using tool_test::ScratchDir;

using zonara_test::WriteText;

// Every case runs in a folder holding in.png (8-bit RGBA, 16x8), in16.png
// (16-bit) and in.exr (float); a refused render must leave exactly these.
struct Refusal {
    const char *name;
    std::vector<std::string> args;
    int exit_status;
    const char *message;  // part of what stderr must say
};

class RenderRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(RenderRefusal, ExitsWithStatusAndWritesNothing) {
    const Refusal &r = GetParam();
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(16, 8, 4, OIIO::TypeDesc::UINT8), dir / "in.png",
                         OIIO::TypeDesc::UINT8);
    tool_test::WriteFile(tool_test::MakePattern(16, 8, 3, OIIO::TypeDesc::UINT16), dir / "in16.png",
                         OIIO::TypeDesc::UINT16);
    tool_test::WriteFile(tool_test::MakePattern(16, 8, 4, OIIO::TypeDesc::FLOAT), dir / "in.exr",
                         OIIO::TypeDesc::FLOAT);
    WriteText(dir / "notes.png", "not an image");
    WriteText(dir / "broken.json", "{\"width\": ");
    WriteText(dir / "unknown.json", "{\"widht\": 100}");
    WriteText(dir / "range.json", "{\"mix\": 2}");
    tool_test::WriteFile(tool_test::MakePattern(32769, 1, 3, OIIO::TypeDesc::UINT8), dir / "wide.png",
                         OIIO::TypeDesc::UINT8);
    const std::vector<std::string> before = dir.Files();

    const tool_test::ToolResult result = RunTool(dir, r.args);
    EXPECT_EQ(result.exit_status, r.exit_status) << result.err;
    EXPECT_NE(result.err.find(r.message), std::string::npos) << result.err;
    EXPECT_EQ(dir.Files(), before);
}

// Values are refused before any image is read or written: those cases
// render the chart to a PAM, which the tool writes without loading its image
// library, the slowest part of a short run.
INSTANTIATE_TEST_SUITE_P(
    Refusals, RenderRefusal,
    ::testing::Values(
        Refusal{"unknown_key_suggests", {"render", "-o", "out.pam", "--set", "widht=10"}, 2, "did you mean width"},
        Refusal{"slider_above_range",
                {"render", "-o", "out.pam", "--set", "in_gamma=10.5"},
                2,
                "in_gamma=10.5: out of range (valid: 0 to 10)"},
        Refusal{
            "slider_below_range", {"render", "-o", "out.pam", "--set", "out_red_offset=-5.01"}, 2, "valid: -5 to 5"},
        Refusal{
            "slider_not_a_number", {"render", "-o", "out.pam", "--set", "width=wide"}, 2, "width=wide: not a number"},
        Refusal{"slider_nan", {"render", "-o", "out.pam", "--set", "mix=nan"}, 2, "mix=nan"},
        Refusal{"popup_unknown_label",
                {"render", "-o", "out.pam", "--set", "falloff=sinc"},
                2,
                "Linear, Quadratic, Cubic, Gamma 2.2, Gaussian, Exponential"},
        Refusal{"popup_number_past_end", {"render", "-o", "out.pam", "--set", "window_type=3"}, 2, "window_type=3"},
        Refusal{"checkbox_word", {"render", "-o", "out.pam", "--set", "invert=maybe"}, 2, "on or off"},
        Refusal{"point_one_number", {"render", "-o", "out.pam", "--set", "origin=5"}, 2, "origin=5"},
        Refusal{"missing_equals", {"render", "-o", "out.pam", "--set", "width"}, 2, "KEY=VALUE"},
        Refusal{"group_is_not_settable",
                {"render", "-o", "out.pam", "--set", "window_group_start=1"},
                2,
                "window_group_start is a group heading, not a value"},
        Refusal{"missing_input", {"render", "nothere.png", "-o", "out.png"}, 2, "no such file"},
        Refusal{"input_not_an_image", {"render", "notes.png", "-o", "out.png"}, 2, "cannot read"},
        Refusal{"input_too_wide", {"render", "wide.png", "-o", "out.png"}, 2, "too large"},
        Refusal{"unknown_output_format", {"render", "in.png", "-o", "out.xyz"}, 2, "no image format"},
        Refusal{"output_folder_missing", {"render", "in.png", "-o", "nowhere/out.png"}, 2, "no such folder"},
        Refusal{"output_is_input", {"render", "in.png", "-o", "./in.png"}, 2, "overwrite the input"},
        Refusal{"16_bits_in_editing_host",
                {"render", "in16.png", "-o", "out.png", "--depth", "16", "--host", "premiere"},
                2,
                "not 16 bits"},
        Refusal{"region_not_a_geometry", {"render", "-o", "out.pam", "--region", "40x30"}, 2, "expected WxH+X+Y"},
        Refusal{"region_outside_frame",
                {"render", "in.png", "-o", "out.png", "--region", "8x8+10+0"},
                2,
                "reaches outside the 16x8 frame"},
        Refusal{"region_with_wipe", {"render", "-o", "out.pam", "--region", "8x8+0+0", "--wipe", "10"}, 2, "--wipe"},
        Refusal{"bad_pixel_aspect", {"render", "-o", "out.pam", "--par", "0/1"}, 2, "--par"},
        Refusal{"bad_downsample", {"render", "-o", "out.pam", "--downsample", "0"}, 2, "--downsample"},
        Refusal{"frames_without_pattern", {"render", "in.png", "-o", "out.png", "--frames", "1-3"}, 2, "frame number"},
        Refusal{"pattern_without_frames", {"render", "-o", "out.%04d.png"}, 2, "--frames"},
        Refusal{"backwards_frames", {"render", "-o", "out.%04d.png", "--frames", "5-2"}, 2, "FIRST is after LAST"},
        Refusal{"preset_not_json",
                {"render", "-o", "out.pam", "--preset", "broken.json"},
                2,
                "broken.json: not valid JSON"},
        Refusal{"preset_unknown_key", {"render", "-o", "out.pam", "--preset", "unknown.json"}, 2, "did you mean width"},
        Refusal{"preset_out_of_range",
                {"render", "-o", "out.pam", "--preset", "range.json"},
                2,
                "range.json: mix=2: out of range"},
        Refusal{"preset_missing", {"render", "-o", "out.pam", "--preset", "none.json"}, 2, "cannot read preset"}),
    [](const ::testing::TestParamInfo<Refusal> &info) { return std::string(info.param.name); });

bool SameSamples(const std::string &a, const std::string &b, OIIO::TypeDesc type) {
    const OIIO::ImageBuf first = tool_test::ReadFile(a, type);
    const OIIO::ImageBuf second = tool_test::ReadFile(b, type);
    if (LayoutOf(first).width != LayoutOf(second).width || LayoutOf(first).height != LayoutOf(second).height ||
        LayoutOf(first).nchannels != LayoutOf(second).nchannels) {
        return false;
    }
    const std::size_t bytes = LayoutOf(first).image_bytes();
    return std::memcmp(first.localpixels(), second.localpixels(), bytes) == 0;
}

TEST(RenderPreset, SetOverridesPresetAndPresetEqualsTheSameSets) {
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(40, 30, 3, OIIO::TypeDesc::UINT8), dir / "in.png",
                         OIIO::TypeDesc::UINT8);
    WriteText(dir / "look.json",
              R"({"window_type": "Rectangle", "width": 20, "height": 14, "feather": 4, "invert": true,
                  "falloff": 2, "origin": [18, 12], "angle": 15, "in_gain": 2.0, "out_saturation": 0})");
    ASSERT_EQ(RunTool(dir, {"render", "in.png", "-o", "preset.png", "--preset", "look.json", "--set", "in_gain=1.25"})
                  .exit_status,
              0);
    ASSERT_EQ(RunTool(dir, {"render", "in.png",    "-o",    "sets.png",          "--set", "window_type=rectangle",
                            "--set",  "width=20",  "--set", "height=14",         "--set", "feather=4",
                            "--set",  "invert=on", "--set", "falloff=quadratic", "--set", "origin=18,12",
                            "--set",  "angle=15",  "--set", "in_gain=1.25",      "--set", "out_saturation=0"})
                  .exit_status,
              0);
    EXPECT_TRUE(SameSamples(dir / "preset.png", dir / "sets.png", OIIO::TypeDesc::UINT8));
    ASSERT_EQ(RunTool(dir, {"render", "in.png", "-o", "gain2.png", "--preset", "look.json"}).exit_status, 0);
    EXPECT_FALSE(SameSamples(dir / "preset.png", dir / "gain2.png", OIIO::TypeDesc::UINT8));
}

// A look listed by `zonara params --json --values` reads back unchanged: the
// defaults it lists render exactly as no preset at all.
TEST(RenderPreset, ValuesListedByParamsAreAccepted) {
    ScratchDir dir;
    tool_test::WriteFile(tool_test::MakePattern(40, 30, 4, OIIO::TypeDesc::UINT16), dir / "in.tif",
                         OIIO::TypeDesc::UINT16);
    const tool_test::ToolResult listed = RunTool(dir, {"params", "--json", "--values"});
    ASSERT_EQ(listed.exit_status, 0) << listed.err;
    WriteText(dir / "defaults.json", listed.out);
    const tool_test::ToolResult with = RunTool(dir, {"render", "in.tif", "-o", "a.tif", "--preset", "defaults.json"});
    ASSERT_EQ(with.exit_status, 0) << with.err;
    ASSERT_EQ(RunTool(dir, {"render", "in.tif", "-o", "b.tif"}).exit_status, 0);
    EXPECT_TRUE(SameSamples(dir / "a.tif", dir / "b.tif", OIIO::TypeDesc::UINT16));
}

TEST(RenderSequence, MissingFrameFailsAloneAndTheOthersRender) {
    ScratchDir dir;
    for (int frame : {1, 2, 4}) {
        char name[32];
        std::snprintf(name, sizeof name, "shot.%04d.png", frame);
        tool_test::WriteFile(tool_test::MakePattern(12, 8, 3, OIIO::TypeDesc::UINT8), dir / name,
                             OIIO::TypeDesc::UINT8);
    }
    const tool_test::ToolResult result =
        RunTool(dir, {"render", "shot.%04d.png", "-o", "out.%04d.png", "--frames", "1-4", "--set", "in_gain=2"});
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_NE(result.err.find("1 of 4 frames failed: 3"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("frame 4 (4/4) done"), std::string::npos) << result.err;
    const std::vector<std::string> expected = {"out.0001.png",  "out.0002.png",  "out.0004.png",
                                               "shot.0001.png", "shot.0002.png", "shot.0004.png"};
    EXPECT_EQ(dir.Files(), expected);
}

// The output keeps the input's layout, whatever the host worked in.
struct Layout {
    const char *name;
    const char *file;
    int channels;
    OIIO::TypeDesc stored;
    int bits;
    std::vector<std::string> extra_args;
};

class RenderKeepsLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(RenderKeepsLayout, DefaultLookGivesBackTheSameFile) {
    const Layout &l = GetParam();
    ScratchDir dir;
    const std::string out = std::string("out") + std::string(l.file).substr(2);
    tool_test::WriteFile(
        tool_test::MakePattern(20, 10, l.channels, l.stored == OIIO::TypeDesc::HALF ? OIIO::TypeDesc::FLOAT : l.stored),
        dir / l.file, l.stored, l.bits);
    std::vector<std::string> args = {"render", l.file, "-o", out};
    args.insert(args.end(), l.extra_args.begin(), l.extra_args.end());
    const tool_test::ToolResult result = RunTool(dir, args);
    ASSERT_EQ(result.exit_status, 0) << result.err;
    auto in = OIIO::ImageInput::open(dir / l.file);
    auto written = OIIO::ImageInput::open(dir / out);
    ASSERT_TRUE(in && written);
    EXPECT_EQ(LayoutOf(*written).nchannels, l.channels);
    EXPECT_EQ(LayoutOf(*written).format, LayoutOf(*in).format);
    EXPECT_EQ(LayoutOf(*written).get_int_attribute("oiio:BitsPerSample", 0),
              LayoutOf(*in).get_int_attribute("oiio:BitsPerSample", 0));
    // The default look is the identity: the samples come back as they were.
    EXPECT_TRUE(SameSamples(dir / l.file, dir / out, LayoutOf(*in).format));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RenderKeepsLayout,
    ::testing::Values(Layout{"grey_png", "in.png", 1, OIIO::TypeDesc::UINT8, 0, {}},
                      Layout{"grey_alpha_png", "in.png", 2, OIIO::TypeDesc::UINT8, 0, {}},
                      Layout{"rgb_tiff_editing_host", "in.tif", 3, OIIO::TypeDesc::UINT8, 0, {"--host", "premiere"}},
                      Layout{"half_exr", "in.exr", 4, OIIO::TypeDesc::HALF, 0, {}},
                      Layout{"ten_bit_dpx", "in.dpx", 3, OIIO::TypeDesc::UINT16, 10, {}},
                      Layout{"eight_bit_in_float_host", "in.png", 4, OIIO::TypeDesc::UINT8, 0, {"--depth", "float"}}),
    [](const ::testing::TestParamInfo<Layout> &info) { return std::string(info.param.name); });

TEST(RenderChart, SideBySideHoldsSourceAndResult) {
    ScratchDir dir;
    const tool_test::ToolResult result =
        RunTool(dir, {"render", "-o", "demo.png", "--downsample", "4", "--side-by-side", "--set", "out_gain=0.5"});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const OIIO::ImageBuf both = tool_test::ReadFile(dir / "demo.png", OIIO::TypeDesc::UINT8);
    EXPECT_EQ(LayoutOf(both).width, 960);
    EXPECT_EQ(LayoutOf(both).height, 270);
    EXPECT_EQ(LayoutOf(both).nchannels, 3);
    // The white bar, top left: kept on the source side, darkened outside the
    // window on the result side.
    float source[3];
    float graded[3];
    both.getpixel(2, 2, source, 3);
    both.getpixel(480 + 2, 2, graded, 3);
    EXPECT_EQ(source[0], 1.0f);
    EXPECT_LT(graded[0], 0.6f);
}

// Ctrl-C while frames are being written leaves no temporary file; whatever
// output exists is complete.
TEST(RenderInterrupt, LeavesNoTemporaryFile) {
    ScratchDir dir;
    const std::string pattern = dir / "big.%04d.exr";
    std::vector<std::string> args = {ZONARA_TOOL_PATH, "render", "-o", pattern, "--frames", "1-50"};
    std::vector<char *> argv;
    for (std::string &arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, ZONARA_TOOL_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // Wait until the first frame is done, so the signal lands mid-run.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(dir / "big.0001.exr") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    for (const std::string &name : dir.Files()) {
        EXPECT_EQ(name.find("zonara-partial"), std::string::npos) << name;
        const OIIO::ImageBuf frame = tool_test::ReadFile(dir / name, OIIO::TypeDesc::UINT8);
        EXPECT_EQ(LayoutOf(frame).width, 1920) << name;
    }
}

}  // namespace

namespace {

TEST(RenderOutput, FormatFollowsTheExtension) {
    const std::vector<std::pair<std::string, std::string>> formats = {
        {"png", "png"}, {"tif", "tiff"}, {"jpg", "jpeg"}, {"exr", "openexr"}, {"dpx", "dpx"}};
    ScratchDir dir;
    for (const auto &[extension, format] : formats) {
        const std::string name = "chart." + extension;
        const tool_test::ToolResult result = RunTool(dir, {"render", "-o", name, "--downsample", "8"});
        ASSERT_EQ(result.exit_status, 0) << name << ": " << result.err;
        auto written = OIIO::ImageInput::open(dir / name);
        ASSERT_TRUE(written) << name;
        EXPECT_EQ(std::string(written->format_name()), format);
        EXPECT_EQ(LayoutOf(*written).width, 240);
        EXPECT_EQ(LayoutOf(*written).height, 135);
    }
}

}  // namespace

namespace {

// Linear float footage keeps what lies beyond 0..1 in either host's float
// frames, and both hosts grade it to the same bits.
TEST(RenderFloat, BothHostsKeepValuesBeyondOneAndBelowZero) {
    ScratchDir dir;
    OIIO::ImageBuf hdr(OIIO::ImageSpec(8, 4, 3, OIIO::TypeDesc::FLOAT));
    const float colour[] = {2.5f, -0.5f, 0.25f};
    OIIO::ImageBufAlgo::fill(hdr, colour);
    tool_test::WriteFile(hdr, dir / "hdr.exr", OIIO::TypeDesc::FLOAT);
    const std::vector<std::string> unclamped = {"--set", "clamp_in_black=off", "--set", "clamp_out_black=off"};
    struct Case {
        const char *name;
        std::vector<std::string> look;
    };
    const Case cases[] = {{"defaults", {}}, {"graded", {"--set", "in_gain=1.5", "--set", "out_gamma=1.2"}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (const char *host : {"ae", "premiere"}) {
            std::vector<std::string> args = {"render", "hdr.exr", "-o",      std::string(host) + ".exr",
                                             "--host", host,      "--depth", "float"};
            args.insert(args.end(), unclamped.begin(), unclamped.end());
            args.insert(args.end(), c.look.begin(), c.look.end());
            const tool_test::ToolResult result = RunTool(dir, args);
            ASSERT_EQ(result.exit_status, 0) << host << ": " << result.err;
        }
        EXPECT_TRUE(SameSamples(dir / "ae.exr", dir / "premiere.exr", OIIO::TypeDesc::FLOAT));
        if (c.look.empty()) {
            EXPECT_TRUE(SameSamples(dir / "ae.exr", dir / "hdr.exr", OIIO::TypeDesc::FLOAT));
        }
    }
}

}  // namespace
