// zonara render against damaged inputs, outputs it cannot or must not write,
// and interruption: every case is a clear message and exit status 2 (or the
// signal's own end), and no file is lost, half-written or left behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include "support/tool_runner.h"

extern char **environ;

namespace {

using tool_test::RunTool;
using tool_test::ScratchDir;

using tool_test::ReadBytes;
using tool_test::WriteBytes;

// Every file of the folder with its size and a hash of its content, to tell
// that nothing changed (and say so briefly when something did).
std::map<std::string, std::pair<std::size_t, std::size_t>> Contents(const ScratchDir &dir) {
    std::map<std::string, std::pair<std::size_t, std::size_t>> contents;
    for (const std::string &name : dir.Files()) {
        if (!std::filesystem::is_regular_file(dir / name)) continue;
        const std::string bytes = ReadBytes(dir / name);
        contents[name] = {bytes.size(), std::hash<std::string>{}(bytes)};
    }
    return contents;
}

// A valid image file of this format, as bytes.
std::string ValidImageBytes(const ScratchDir &dir, const std::string &extension, OIIO::TypeDesc type) {
    const std::string path = dir / ("valid-source" + extension);
    tool_test::WriteFile(tool_test::MakePattern(40, 30, 4, type), path, type);
    std::string bytes = ReadBytes(path);
    std::filesystem::remove(path);
    return bytes;
}

// Damaged inputs. The folder also holds out.png from an earlier run, which a
// refused render must leave as it was.
struct DamagedInput {
    const char *name;
    const char *file_name;
    // Builds the file's bytes (given a scratch folder to make valid ones in).
    std::string (*bytes)(const ScratchDir &dir);
    const char *message;  // part of what stderr must say
};

class RenderDamagedInput : public ::testing::TestWithParam<DamagedInput> {};

TEST_P(RenderDamagedInput, RefusedWithStatusTwoAndNothingWritten) {
    const DamagedInput &c = GetParam();
    ScratchDir dir;
    WriteBytes(dir / c.file_name, c.bytes(dir));
    WriteBytes(dir / "out.png", "an earlier result");
    const auto before = Contents(dir);

    const tool_test::ToolResult result = RunTool(dir, {"render", c.file_name, "-o", "out.png"});
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(Contents(dir), before);
}

std::string Half(const std::string &bytes) { return bytes.substr(0, bytes.size() / 2); }

INSTANTIATE_TEST_SUITE_P(
    Inputs, RenderDamagedInput,
    ::testing::Values(
        DamagedInput{"zero_length_png", "in.png", [](const ScratchDir &) { return std::string(); }, "cannot read"},
        DamagedInput{"zero_length_exr", "in.exr", [](const ScratchDir &) { return std::string(); }, "cannot read"},
        DamagedInput{"truncated_png", "in.png",
                     [](const ScratchDir &d) { return Half(ValidImageBytes(d, ".png", OIIO::TypeDesc::UINT8)); },
                     "in.png"},
        DamagedInput{"truncated_16_bit_tiff", "in.tif",
                     [](const ScratchDir &d) { return Half(ValidImageBytes(d, ".tif", OIIO::TypeDesc::UINT16)); },
                     "in.tif"},
        DamagedInput{"truncated_exr", "in.exr",
                     [](const ScratchDir &d) { return Half(ValidImageBytes(d, ".exr", OIIO::TypeDesc::FLOAT)); },
                     "in.exr"},
        DamagedInput{"truncated_jpeg", "in.jpg",
                     [](const ScratchDir &d) { return Half(ValidImageBytes(d, ".jpg", OIIO::TypeDesc::UINT8)); },
                     "in.jpg"},
        DamagedInput{"png_with_scrambled_pixels", "in.png",
                     [](const ScratchDir &d) {
                         std::string bytes = ValidImageBytes(d, ".png", OIIO::TypeDesc::UINT8);
                         for (std::size_t i = bytes.size() / 3; i < bytes.size() * 2 / 3; ++i) bytes[i] ^= 0x5A;
                         return bytes;
                     },
                     "in.png"},
        DamagedInput{"header_only_pnm", "in.ppm",
                     [](const ScratchDir &) { return std::string("P6\n64 64\n255\n") + std::string(100, '\x7f'); },
                     "in.ppm"},
        // Headers that promise more than the documented limits: refused
        // before any pixel memory is set aside.
        DamagedInput{"more_pixels_than_the_limit", "in.ppm",
                     [](const ScratchDir &) { return std::string("P6\n20000 20000\n255\n") + std::string(64, '\0'); },
                     "too large"},
        DamagedInput{"wider_than_the_limit", "in.pgm",
                     [](const ScratchDir &) { return std::string("P5\n40000 1\n255\n") + std::string(64, '\0'); },
                     "too large"},
        DamagedInput{"text_named_as_exr", "in.exr", [](const ScratchDir &) { return std::string("hello\n"); },
                     "cannot read"}),
    [](const ::testing::TestParamInfo<DamagedInput> &info) { return std::string(info.param.name); });

// Outputs the tool cannot or must not write. The folder holds in.png and
// in.0001.png / in.0002.png; none may change.
struct RefusedOutput {
    const char *name;
    void (*prepare)(const ScratchDir &dir);
    std::vector<std::string> args;
    const char *message;
};

class RenderRefusedOutput : public ::testing::TestWithParam<RefusedOutput> {};

TEST_P(RenderRefusedOutput, RefusedWithStatusTwoAndNothingChanged) {
    const RefusedOutput &c = GetParam();
    ScratchDir dir;
    const OIIO::ImageBuf pattern = tool_test::MakePattern(16, 8, 4, OIIO::TypeDesc::UINT8);
    for (const char *name : {"in.png", "in.0001.png", "in.0002.png"}) {
        tool_test::WriteFile(pattern, dir / name, OIIO::TypeDesc::UINT8);
    }
    c.prepare(dir);
    const auto before = Contents(dir);
    const std::vector<std::string> names_before = dir.Files();

    const tool_test::ToolResult result = RunTool(dir, c.args);
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(dir.Files(), names_before);
    EXPECT_EQ(Contents(dir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, RenderRefusedOutput,
    ::testing::Values(
        RefusedOutput{"symlink_to_the_input",
                      [](const ScratchDir &d) { std::filesystem::create_symlink("in.png", d / "link.png"); },
                      {"render", "in.png", "-o", "link.png"},
                      "overwrite the input"},
        RefusedOutput{"hard_link_to_the_input",
                      [](const ScratchDir &d) { std::filesystem::create_hard_link(d / "in.png", d / "same.png"); },
                      {"render", "in.png", "-o", "same.png"},
                      "overwrite the input"},
        RefusedOutput{"input_through_another_path",
                      [](const ScratchDir &d) { std::filesystem::create_directory(d / "sub"); },
                      {"render", "in.png", "-o", "sub/../in.png"},
                      "overwrite the input"},
        RefusedOutput{"sequence_onto_its_own_frames",
                      [](const ScratchDir &) {},
                      {"render", "in.%04d.png", "-o", "in.%04d.png", "--frames", "1-2"},
                      "2 of 2 frames failed"},
        RefusedOutput{"output_is_a_folder",
                      [](const ScratchDir &d) { std::filesystem::create_directory(d / "out.png"); },
                      {"render", "in.png", "-o", "out.png"},
                      "folder"},
        // A folder nothing can be created in, whoever runs the test.
        RefusedOutput{"folder_not_writable",
                      [](const ScratchDir &) {},
                      {"render", "in.png", "-o", "/proc/zonara-hardening-test.png"},
                      "cannot write"}),
    [](const ::testing::TestParamInfo<RefusedOutput> &info) { return std::string(info.param.name); });

// Interrupted runs: the signal lands while an output's temporary file is
// being written. Afterwards no temporary file remains, every output is
// either the complete new image or the earlier file untouched, and the last
// line says where the run was interrupted.
struct Interruption {
    const char *name;
    int signal_number;
    std::vector<std::string> args;
    const char *last_line;  // how the notice begins
};

class RenderInterrupted : public ::testing::TestWithParam<Interruption> {};

using tool_test::IsTemporary;

TEST_P(RenderInterrupted, LeavesCompleteFilesOnly) {
    const Interruption &c = GetParam();
    ScratchDir dir;
    WriteBytes(dir / "chart.exr", "an earlier result");

    std::vector<std::string> args = {ZONARA_TOOL_PATH};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::vector<char *> argv;
    for (std::string &arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string err_path = dir.path().string() + ".stderr";  // outside: only outputs there
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, ZONARA_TOOL_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Strike while a temporary file exists, i.e. in the middle of a write.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        for (const std::string &name : dir.Files()) writing = writing || IsTemporary(name);
        if (!writing) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    kill(pid, c.signal_number);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(writing) << "no write was seen under way";
    // Killed by the signal, or finished just before it arrived.
    EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == c.signal_number) ||
                (WIFEXITED(status) && WEXITSTATUS(status) == 0));
    std::string err = tool_test::ReadText(err_path);
    std::filesystem::remove(err_path);
    if (WIFSIGNALED(status)) {
        err.erase(0, err.rfind('\n', err.size() - 2) + 1);
        EXPECT_EQ(err.rfind(c.last_line, 0), 0u) << err;
    }

    for (const std::string &name : dir.Files()) {
        EXPECT_FALSE(IsTemporary(name)) << name;
        if (name == "chart.exr" && ReadBytes(dir / name) == "an earlier result") continue;
        const OIIO::ImageBuf image = tool_test::ReadFile(dir / name, OIIO::TypeDesc::FLOAT);
        EXPECT_GE(tool_test::LayoutOf(image).width, 1920) << name;
        EXPECT_EQ(tool_test::LayoutOf(image).height, 1080) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, RenderInterrupted,
                         ::testing::Values(Interruption{"ctrl_c_single_image",
                                                        SIGINT,
                                                        {"render", "-o", "chart.exr", "--side-by-side"},
                                                        "zonara: interrupted\n"},
                                           Interruption{"terminate_single_image",
                                                        SIGTERM,
                                                        {"render", "-o", "chart.exr", "--side-by-side"},
                                                        "zonara: interrupted\n"},
                                           Interruption{"terminate_sequence",
                                                        SIGTERM,
                                                        {"render", "-o", "seq.%04d.exr", "--frames", "1-30"},
                                                        "zonara: interrupted at frame "},
                                           // Numbered from 101: the notice counts frames and names the number.
                                           Interruption{"ctrl_c_sequence",
                                                        SIGINT,
                                                        {"render", "-o", "seq.%04d.png", "--frames", "101-130"},
                                                        "zonara: interrupted at frame "}),
                         [](const ::testing::TestParamInfo<Interruption> &info) {
                             return std::string(info.param.name);
                         });

// How a render ends when it succeeds: one line saying what it wrote, and,
// for a float picture at an otherwise unchanged grade, how many samples the
// clamps (on by default) changed. Never on stdout.
TEST(RenderClosingLines, SayWhatWasWrittenAndWhatTheClampsChanged) {
    struct Case {
        std::vector<std::string> args;
        const char *said;  // a line stderr must hold
        bool clamps_said;
    };
    const Case cases[] = {
        {{"render", "-o", "out.png", "--downsample", "16"}, "zonara: wrote out.png: 120x68, 8-bit RGB\n", false},
        {{"render", "-o", "s.%02d.pam", "--frames", "8-9", "--downsample", "16"},
         "zonara: wrote 2 frames: s.%02d.pam (8-9)\n",
         false},
        {{"render", "neg.pfm", "-o", "out.pfm"},
         "zonara: note: the clamps changed 3 colour samples below 0 at an otherwise unchanged grade; set "
         "clamp_in_black=off and clamp_out_black=off to keep them\n",
         true},
        {{"render", "neg.pfm", "-o", "out.pfm", "--set", "clamp_out_white=on"},
         "changed 4 colour samples below 0 and above 1",
         true},
        {{"render", "neg.pfm", "-o", "out.pfm", "--set", "clamp_in_black=off", "--set", "clamp_out_black=off"},
         "zonara: wrote out.pfm: 2x1, float RGB\n",
         false},
        {{"render", "neg.pfm", "-o", "out.pfm", "--set", "out_gain=0.5"}, "zonara: wrote out.pfm", false},
        {{"render", "neg.pfm", "-o", "out.pfm", "--set", "mix=0"}, "zonara: wrote out.pfm", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.back());
        ScratchDir dir;
        const float samples[] = {-0.5f, 0.25f, 1.5f, -1.0f, -0.0001f, 0.5f};
        WriteBytes(dir / "neg.pfm",
                   "PF\n2 1\n-1.0\n" + std::string(reinterpret_cast<const char *>(samples), sizeof samples));
        const tool_test::ToolResult result = RunTool(dir, c.args);
        EXPECT_EQ(result.exit_status, 0) << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("clamps changed") != std::string::npos, c.clamps_said) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

}  // namespace
