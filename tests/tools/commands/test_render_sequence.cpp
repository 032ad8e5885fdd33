// Sequences end to end: a frame that cannot be read or written in the middle
// of a run is reported while every other frame is rendered and nothing
// partial is left, the memory a run needs does not grow with its length, and
// frames of changing sizes and depths, whose buffers are reused from frame to
// frame, render as each does alone.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "support/tool_runner.h"
#include "tools/image/image_file.h"

namespace {

using tool_test::RunTool;
using tool_test::ScratchDir;

using tool_test::IsTemporary;

struct BrokenFrame {
    const char *name;
    // Prepares the folder so that frame 3 of 1-5 fails.
    void (*prepare)(const ScratchDir &dir);
    const char *message;  // part of what is reported for frame 3
};

class SequenceWithBrokenFrame : public ::testing::TestWithParam<BrokenFrame> {};

TEST_P(SequenceWithBrokenFrame, RendersTheOthersAndLeavesNothingPartial) {
    const BrokenFrame &c = GetParam();
    ScratchDir dir;
    ASSERT_EQ(RunTool(dir, {"render", "-o", "in.%04d.pam", "--frames", "1-5", "--downsample", "8"}).exit_status, 0);
    c.prepare(dir);

    const tool_test::ToolResult result =
        RunTool(dir, {"render", "in.%04d.pam", "-o", "out.%04d.pam", "--frames", "1-5"});
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_NE(result.err.find("frame 3"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("1 of 5 frames failed: 3"), std::string::npos) << result.err;
    for (const char *name : {"out.0001.pam", "out.0002.pam", "out.0004.pam", "out.0005.pam"}) {
        EXPECT_EQ(zonara_tool::ReadImage(dir / name).width, 240) << name;
    }
    for (const std::string &name : dir.Files()) {
        EXPECT_FALSE(IsTemporary(name)) << name;
    }
    EXPECT_FALSE(std::filesystem::is_regular_file(dir / "out.0003.pam"));
}

INSTANTIATE_TEST_SUITE_P(
    MiddleFrame, SequenceWithBrokenFrame,
    ::testing::Values(
        BrokenFrame{"missing_input", [](const ScratchDir &dir) { std::filesystem::remove(dir / "in.0003.pam"); },
                    "no such file"},
        BrokenFrame{"unwritable_output",
                    [](const ScratchDir &dir) { std::filesystem::create_directory(dir / "out.0003.pam"); },
                    "cannot write"},
        BrokenFrame{"damaged_input",
                    [](const ScratchDir &dir) { std::filesystem::resize_file(dir / "in.0003.pam", 100); },
                    "ends early"}),
    [](const ::testing::TestParamInfo<BrokenFrame> &info) { return std::string(info.param.name); });

// The peak resident size of `zonara ARGS...` run in `dir`, in kilobytes.
long PeakResidentKb(const ScratchDir &dir, std::vector<std::string> args) {
    args.insert(args.begin(), ZONARA_TOOL_PATH);
    std::vector<char *> argv;
    for (std::string &arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.path().c_str()) != 0) _exit(127);
        // Under AddressSanitizer freed blocks wait in a quarantine of up to
        // 256 MB before reuse, which would count as growth here.
        const char *asan = std::getenv("ASAN_OPTIONS");
        const std::string options =
            std::string(asan ? asan : "") + ":quarantine_size_mb=0:thread_local_quarantine_size_kb=0";
        setenv("ASAN_OPTIONS", options.c_str(), 1);
        std::freopen("/dev/null", "w", stderr);
        execv(ZONARA_TOOL_PATH, argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return usage.ru_maxrss;
}

// Frames are read ahead and written behind through places for one frame
// each: twelve frames need no more memory than three.
TEST(SequenceMemory, DoesNotGrowWithTheSequencesLength) {
    ScratchDir dir;
    ASSERT_EQ(RunTool(dir, {"render", "-o", "in.%04d.pam", "--frames", "1-12"}).exit_status, 0);
    const long short_run = PeakResidentKb(dir, {"render", "in.%04d.pam", "-o", "a.%04d.pam", "--frames", "1-3"});
    const long long_run = PeakResidentKb(dir, {"render", "in.%04d.pam", "-o", "b.%04d.pam", "--frames", "1-12"});
    ASSERT_GT(short_run, 0);
    ASSERT_GT(long_run, 0);
    // One 1920x1080 RGB frame is about 6 MB (6075 KB). Three frames do not
    // quite fill the pipeline, so the margin is one and a half frames; twelve
    // frames all held would need nine more.
    EXPECT_LE(long_run, short_run + 9000) << "3 frames: " << short_run << " KB, 12 frames: " << long_run << " KB";
}

struct SequenceFrame {
    int width;
    int height;
    int channels;
    zonara_tool::SampleKind kind;
};

// Each frame of a sequence renders as it does on its own, whatever size,
// depth and contents came before it: the layers and the blocks kept from an
// earlier frame never lend it their size or their pixels. Frames are large
// enough (over a megabyte) for their blocks to be kept and reused.
TEST(SequenceOfChangingFrames, RendersEachAsItRendersAlone) {
    const SequenceFrame FRAMES[] = {
        {640, 480, 4, zonara_tool::SampleKind::INT8}, {704, 512, 3, zonara_tool::SampleKind::INT16},
        {640, 480, 4, zonara_tool::SampleKind::INT8}, {640, 480, 4, zonara_tool::SampleKind::INT8},
        {512, 704, 4, zonara_tool::SampleKind::INT8}, {512, 704, 3, zonara_tool::SampleKind::INT16},
    };
    ScratchDir dir;
    std::mt19937 noise(7);
    for (std::size_t i = 0; i < std::size(FRAMES); ++i) {
        const SequenceFrame &f = FRAMES[i];
        zonara_tool::Image image = zonara_tool::MakeImage(f.width, f.height, f.channels, f.kind);
        for (unsigned char &byte : image.bytes) byte = static_cast<unsigned char>(noise());
        zonara_tool::WriteImage(dir / ("in.000" + std::to_string(i + 1) + ".pam"), image);
    }
    const std::vector<std::string> LOOK = {"--set", "angle=30",          "--set", "feather=200",
                                           "--set", "in_saturation=1.3", "--set", "out_gain=0.7",
                                           "--set", "in_red_gamma=1.1"};
    std::vector<std::string> sequence = {"render", "in.%04d.pam", "-o", "seq.%04d.pam", "--frames", "1-6"};
    sequence.insert(sequence.end(), LOOK.begin(), LOOK.end());
    ASSERT_EQ(RunTool(dir, sequence).exit_status, 0);
    for (std::size_t i = 1; i <= std::size(FRAMES); ++i) {
        const std::string number = "000" + std::to_string(i);
        std::vector<std::string> alone = {"render", "in." + number + ".pam", "-o", "alone." + number + ".pam"};
        alone.insert(alone.end(), LOOK.begin(), LOOK.end());
        ASSERT_EQ(RunTool(dir, alone).exit_status, 0) << "frame " << i;
        EXPECT_TRUE(tool_test::ReadText(dir / ("seq." + number + ".pam")) ==
                    tool_test::ReadText(dir / ("alone." + number + ".pam")))
            << "frame " << i;
    }
}

}  // namespace
