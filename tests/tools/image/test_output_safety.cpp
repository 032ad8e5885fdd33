// Writing outputs end to end where writing goes wrong: a full disk (a
// file-size limit, or a small tmpfs where the test may mount one) is exit 3
// with the system's reason for every writer, the earlier file intact and no
// temporary file, and stops a sequence there; temporary files of a killed
// run are removed by the next, and only those; a hang-up, quit or broken pipe in the middle of a sequence
// leaves no temporary file; a symbolic link is written through; a name as
// long as the file system takes works; and a path that is wrong says which
// part is wrong, in one line of the tool's own.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "support/small_disk.h"
#include "support/tool_runner.h"
#include "tools/base/pending_output.h"
#include "tools/image/image_file.h"

extern char **environ;

namespace {

using tool_test::Quote;
using tool_test::RunTool;
using tool_test::ScratchDir;
using tool_test::ToolResult;

// The input of every case: noise, so that no writer compresses it below the
// small limits used here (about 150 KB as PNG).
constexpr int INPUT_WIDTH = 256;
constexpr int INPUT_HEIGHT = 192;
const std::string EARLIER = "an earlier result";

using tool_test::ReadBytes;
using tool_test::WriteBytes;

void WriteInput(const ScratchDir &dir) {
    tool_test::WriteFile(tool_test::MakePattern(INPUT_WIDTH, INPUT_HEIGHT, 3, OIIO::TypeDesc::UINT8), dir / "in.png",
                         OIIO::TypeDesc::UINT8);
}

// Every entry under `folder`, at any depth, named from `root`, with its
// content (a link's with what it names). Links are not followed, so a loop
// of them is listed like any other.
void AddTree(const std::filesystem::path &root, const std::filesystem::path &folder,
             std::map<std::string, std::string> &tree) {
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(root).string();
        const std::filesystem::file_status status = std::filesystem::symlink_status(entry.path());
        if (std::filesystem::is_symlink(status)) {
            tree[name] = "-> " + std::filesystem::read_symlink(entry.path()).string();
        } else if (std::filesystem::is_directory(status)) {
            tree[name] = "folder";
            AddTree(root, entry.path(), tree);
        } else if (!std::filesystem::is_regular_file(status)) {
            tree[name] = "special";  // a FIFO would block a read
        } else {
            tree[name] = ReadBytes(entry.path().string());
        }
    }
}

// The folder's whole content, to tell that a refused run changed nothing.
std::map<std::string, std::string> Tree(const ScratchDir &dir) {
    std::map<std::string, std::string> tree;
    AddTree(dir.path(), dir.path(), tree);
    return tree;
}

std::vector<std::string> TemporaryFiles(const ScratchDir &dir) {
    std::vector<std::string> found;
    for (const auto &[name, content] : Tree(dir)) {
        if (zonara_tool::IsTemporaryOutputName(std::filesystem::path(name).filename().string())) {
            found.push_back(name);
        }
    }
    return found;
}

// `zonara ARGS...` run in `dir` by a shell that first runs `setup` (ulimit).
ToolResult RunToolAfter(const ScratchDir &dir, const std::string &setup, const std::vector<std::string> &args) {
    std::string command = "cd " + Quote(dir.path().string()) + " && " + setup + " && " + Quote(ZONARA_TOOL_PATH);
    for (const std::string &arg : args) {
        command += " " + Quote(arg);
    }
    // Outside the folder: the limit must not stop the messages being kept.
    const std::string err_path = dir.path().string() + ".stderr";
    command += " 2>" + Quote(err_path) + " </dev/null >/dev/null";
    const int status = std::system(command.c_str());
    ToolResult result;
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = tool_test::ReadText(err_path);
    std::filesystem::remove(err_path);
    return result;
}

using zonara_test::SmallDisk;

// A write the machine failed: status 3 (a retry may succeed), the tool's
// one line naming the file the user gave (not the temporary one) with the
// system's reason, and nothing changed.
void ExpectRefusedCleanly(const ToolResult &result, const std::string &output, const std::string &reason,
                          const std::map<std::string, std::string> &before, const ScratchDir &dir) {
    EXPECT_EQ(result.exit_status, 3) << result.err;
    EXPECT_NE(result.err.find("cannot write " + output + ": " + reason), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << "lines not the tool's:\n" << result.err;
    EXPECT_EQ(result.err.find("zonara-partial"), std::string::npos) << result.err;
    EXPECT_EQ(Tree(dir), before);
}

struct FormatOnFullDisk {
    const char *extension;
    const char *over_the_limit;  // the reason given beyond a file-size limit
};

class OutputOnFullDisk : public ::testing::TestWithParam<FormatOnFullDisk> {};

TEST_P(OutputOnFullDisk, FileSizeLimitIsExitThreeWithTheEarlierFileKept) {
    ScratchDir dir;
    WriteInput(dir);
    const std::string output = std::string("out.") + GetParam().extension;
    WriteBytes(dir / output, EARLIER);
    const auto before = Tree(dir);

    // 32 KB: the tool itself turns the limit's signal into a failed write.
    const ToolResult result = RunToolAfter(dir, "ulimit -f 32", {"render", "in.png", "-o", output});
    ExpectRefusedCleanly(result, output, GetParam().over_the_limit, before, dir);
}

TEST_P(OutputOnFullDisk, SmallTmpfsIsExitThreeWithTheEarlierFileKept) {
    ScratchDir dir;
    WriteInput(dir);
    const SmallDisk disk(dir / "disk");
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    const std::string output = std::string("disk/out.") + GetParam().extension;
    WriteBytes(dir / output, EARLIER);
    const auto before = Tree(dir);

    const ToolResult result = RunTool(dir, {"render", "in.png", "-o", output});
    ExpectRefusedCleanly(result, output, "No space left on device", before, dir);
}

// The writers that store through the library's memory output (PNG, JPEG,
// TIFF, OpenEXR, DPX), one that writes a memory file by name (SGI; beyond
// the limit that file is cut short too, which reading it back finds) and
// the tool's own (PAM, PFM).
INSTANTIATE_TEST_SUITE_P(
    Formats, OutputOnFullDisk,
    ::testing::Values(FormatOnFullDisk{"png", "File too large"}, FormatOnFullDisk{"jpg", "File too large"},
                      FormatOnFullDisk{"tif", "File too large"}, FormatOnFullDisk{"exr", "File too large"},
                      FormatOnFullDisk{"dpx", "File too large"}, FormatOnFullDisk{"sgi", "File too large"},
                      FormatOnFullDisk{"pam", "File too large"}, FormatOnFullDisk{"pfm", "File too large"}),
    [](const ::testing::TestParamInfo<FormatOnFullDisk> &info) { return std::string(info.param.extension); });

// A signal that ends the process while a frame's temporary file exists.
struct EndingSignal {
    const char *name;
    int number;
};

class SequenceEndedBySignal : public ::testing::TestWithParam<EndingSignal> {};

TEST_P(SequenceEndedBySignal, LeavesWholeFramesOnly) {
    const EndingSignal &c = GetParam();
    ScratchDir dir;
    // exec: the signal reaches the tool itself; no core file from a quit.
    const std::string command = "cd " + Quote(dir.path().string()) + " && ulimit -c 0 && exec " +
                                Quote(ZONARA_TOOL_PATH) + " render -o 'seq.%04d.png' --frames 1-30 2>/dev/null";
    std::vector<std::string> args = {"/bin/sh", "-c", command};
    std::vector<char *> argv;
    for (std::string &arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ), 0);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        writing = !TemporaryFiles(dir).empty();
        if (!writing) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    kill(pid, c.number);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(writing) << "no write was seen under way";
    EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == c.number) ||
                (WIFEXITED(status) && WEXITSTATUS(status) == 0))
        << status;

    EXPECT_EQ(TemporaryFiles(dir), std::vector<std::string>{});
    for (const std::string &name : dir.Files()) {
        EXPECT_EQ(zonara_tool::ReadImage(dir / name).height, 1080) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, SequenceEndedBySignal,
                         ::testing::Values(EndingSignal{"hang_up", SIGHUP}, EndingSignal{"quit", SIGQUIT},
                                           EndingSignal{"broken_pipe", SIGPIPE}),
                         [](const ::testing::TestParamInfo<EndingSignal> &info) {
                             return std::string(info.param.name);
                         });

// An output that is a symbolic link: the links stay as they were and the file
// the last one names gets the picture.
struct LinkedOutput {
    const char *name;
    void (*prepare)(const ScratchDir &dir);
    const char *output;
    const char *written;  // the file that must hold the new picture
};

class LinkedOutputWrittenThrough : public ::testing::TestWithParam<LinkedOutput> {};

TEST_P(LinkedOutputWrittenThrough, KeepsTheLinksAndReplacesTheirTarget) {
    const LinkedOutput &c = GetParam();
    ScratchDir dir;
    WriteInput(dir);
    std::filesystem::create_directories(dir / "real");
    std::filesystem::create_directories(dir / "links");
    c.prepare(dir);
    std::map<std::string, std::string> links;
    for (const auto &[name, content] : Tree(dir)) {
        if (content.rfind("-> ", 0) == 0) links[name] = content;
    }

    const ToolResult result = RunTool(dir, {"render", "in.png", "-o", c.output});
    ASSERT_EQ(result.exit_status, 0) << result.err;
    const auto after = Tree(dir);
    for (const auto &[name, content] : links) {
        EXPECT_TRUE(std::filesystem::is_symlink(dir / name)) << name;
        EXPECT_EQ(after.at(name), content) << name;
    }
    EXPECT_EQ(zonara_tool::ReadImage(dir / c.written).width, INPUT_WIDTH);
    EXPECT_EQ(TemporaryFiles(dir), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkedOutputWrittenThrough,
    ::testing::Values(LinkedOutput{"beside",
                                   [](const ScratchDir &d) {
                                       WriteBytes(d / "real/picture.png", EARLIER);
                                       std::filesystem::create_symlink("real/picture.png", d / "out.png");
                                   },
                                   "out.png", "real/picture.png"},
                      // Read from the link's folder, not the current one.
                      LinkedOutput{"relative_from_its_folder",
                                   [](const ScratchDir &d) {
                                       WriteBytes(d / "real/picture.png", EARLIER);
                                       std::filesystem::create_symlink("../real/picture.png", d / "links/out.png");
                                   },
                                   "links/out.png", "real/picture.png"},
                      LinkedOutput{"absolute",
                                   [](const ScratchDir &d) {
                                       WriteBytes(d / "real/picture.png", EARLIER);
                                       std::filesystem::create_symlink(d / "real/picture.png", d / "out.png");
                                   },
                                   "out.png", "real/picture.png"},
                      LinkedOutput{"chain_across_folders",
                                   [](const ScratchDir &d) {
                                       WriteBytes(d / "real/picture.png", EARLIER);
                                       std::filesystem::create_symlink("../real/picture.png", d / "links/middle.png");
                                       std::filesystem::create_symlink("links/middle.png", d / "out.png");
                                   },
                                   "out.png", "real/picture.png"},
                      LinkedOutput{
                          "to_a_file_not_there_yet",
                          [](const ScratchDir &d) { std::filesystem::create_symlink("real/new.png", d / "out.png"); },
                          "out.png", "real/new.png"}),
    [](const ::testing::TestParamInfo<LinkedOutput> &info) { return std::string(info.param.name); });

TEST(LinkedOutputWrittenThrough, InTheFormatOfTheLinksName) {
    // The target's own extension says nothing: the name given chooses PAM.
    ScratchDir dir;
    WriteInput(dir);
    WriteBytes(dir / "picture.bin", EARLIER);
    std::filesystem::create_symlink("picture.bin", dir / "out.pam");
    ASSERT_EQ(RunTool(dir, {"render", "in.png", "-o", "out.pam"}).exit_status, 0);
    EXPECT_EQ(ReadBytes(dir / "picture.bin").rfind("P7\n", 0), 0u);
}

// What an output replaces keeps what it said: a file marked read-only, or
// one with other names (hard links, directly or behind a symbolic link), is
// refused with exit 2 and left as it was; any other keeps its mode and group.
struct ReplacedFile {
    const char *name;
    void (*prepare)(const ScratchDir &dir);
    const char *output;
    const char *replaced;
    bool refused;
    std::filesystem::perms mode;  // the replaced file's, before and after
};

class ReplacedOutput : public ::testing::TestWithParam<ReplacedFile> {};

constexpr gid_t NOGROUP = 65534;

TEST_P(ReplacedOutput, IsRefusedOrKeepsItsModeAndGroup) {
    const ReplacedFile &c = GetParam();
    ScratchDir dir;
    WriteInput(dir);
    WriteBytes(dir / "earlier.png", EARLIER);
    c.prepare(dir);
    std::filesystem::permissions(dir / c.replaced, c.mode);
    ASSERT_EQ(::chown((dir / c.replaced).c_str(), static_cast<uid_t>(-1), NOGROUP), 0);
    const auto before = Tree(dir);

    const ToolResult result = RunTool(dir, {"render", "in.png", "-o", c.output});
    struct stat after {};
    ASSERT_EQ(::stat((dir / c.replaced).c_str(), &after), 0);
    EXPECT_EQ(static_cast<std::filesystem::perms>(after.st_mode & 0777), c.mode);
    EXPECT_EQ(after.st_gid, NOGROUP);
    EXPECT_EQ(TemporaryFiles(dir), std::vector<std::string>{});
    if (c.refused) {
        EXPECT_EQ(result.exit_status, 2);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(Tree(dir), before) << result.err;
        return;
    }
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(zonara_tool::ReadImage(dir / c.replaced).width, INPUT_WIDTH);
}

using std::filesystem::perms;
INSTANTIATE_TEST_SUITE_P(
    Files, ReplacedOutput,
    ::testing::Values(
        ReplacedFile{"read_only",
                     [](const ScratchDir &d) { std::filesystem::rename(d / "earlier.png", d / "out.png"); }, "out.png",
                     "out.png", true, perms(0444)},
        ReplacedFile{"read_only_behind_a_link",
                     [](const ScratchDir &d) { std::filesystem::create_symlink("earlier.png", d / "out.png"); },
                     "out.png", "earlier.png", true, perms(0400)},
        ReplacedFile{"hard_linked",
                     [](const ScratchDir &d) { std::filesystem::create_hard_link(d / "earlier.png", d / "out.png"); },
                     "out.png", "out.png", true, perms(0644)},
        ReplacedFile{"hard_linked_behind_a_link",
                     [](const ScratchDir &d) {
                         std::filesystem::create_hard_link(d / "earlier.png", d / "other.png");
                         std::filesystem::create_symlink("earlier.png", d / "out.png");
                     },
                     "out.png", "earlier.png", true, perms(0644)},
        ReplacedFile{"group_only",
                     [](const ScratchDir &d) { std::filesystem::rename(d / "earlier.png", d / "out.png"); }, "out.png",
                     "out.png", false, perms(0640)},
        ReplacedFile{"private_behind_a_link",
                     [](const ScratchDir &d) { std::filesystem::create_symlink("earlier.png", d / "out.png"); },
                     "out.png", "earlier.png", false, perms(0600)},
        ReplacedFile{"private_pam",
                     [](const ScratchDir &d) { std::filesystem::rename(d / "earlier.png", d / "out.pam"); }, "out.pam",
                     "out.pam", false, perms(0600)}),
    [](const ::testing::TestParamInfo<ReplacedFile> &info) { return std::string(info.param.name); });

// A read-only file of another user, in a folder anyone may write: a run as
// nobody could rename over it, and must not.
TEST(ReplacedOutput, AnotherUsersReadOnlyFileIsKept) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to make a file of another user";
    }
    ScratchDir dir;
    WriteInput(dir);
    WriteBytes(dir / "out.png", EARLIER);
    std::filesystem::permissions(dir / "out.png", perms(0644));
    std::filesystem::permissions(dir.path(), perms(0777));
    const std::string command = "cd " + Quote(dir.path().string()) +
                                " && setpriv --reuid=65534 --regid=65534 --clear-groups " + Quote(ZONARA_TOOL_PATH) +
                                " render in.png -o out.png >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(ReadBytes(dir / "out.png"), EARLIER);
}

// Names up to the file system's 255 bytes: the temporary name must not be
// longer than the target's.
class LongOutputName : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LongOutputName, IsWritten) {
    ScratchDir dir;
    WriteInput(dir);
    for (const char *extension : {".png", ".pam"}) {
        const std::string name = std::string(GetParam() - 4, 'n') + extension;
        const ToolResult result = RunTool(dir, {"render", "in.png", "-o", name});
        ASSERT_EQ(result.exit_status, 0) << result.err;
        EXPECT_EQ(zonara_tool::ReadImage(dir / name).width, INPUT_WIDTH) << extension;
    }
    EXPECT_EQ(TemporaryFiles(dir), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongOutputName, ::testing::Values(240, 255));

// Outputs that cannot be written, refused before any work with what is wrong
// with the path, and nothing made.
struct WrongOutputPath {
    const char *name;
    void (*prepare)(const ScratchDir &dir);
    const char *output;
    const char *message;
};

class OutputPathRefused : public ::testing::TestWithParam<WrongOutputPath> {};

TEST_P(OutputPathRefused, SaysWhichPartIsWrong) {
    const WrongOutputPath &c = GetParam();
    ScratchDir dir;
    WriteInput(dir);
    WriteBytes(dir / "file.png", EARLIER);
    c.prepare(dir);
    const auto before = Tree(dir);

    const ToolResult result = RunTool(dir, {"render", "in.png", "-o", c.output});
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(Tree(dir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OutputPathRefused,
    ::testing::Values(
        WrongOutputPath{"through_a_file", [](const ScratchDir &) {}, "file.png/x.png",
                        "file.png/x.png: file.png is not a folder"},
        WrongOutputPath{"deeper_through_a_file", [](const ScratchDir &) {}, "file.png/sub/x.png",
                        "file.png/sub/x.png: file.png is not a folder"},
        WrongOutputPath{"missing_folder", [](const ScratchDir &) {}, "missing/x.png", "no such folder missing"},
        WrongOutputPath{"link_loop",
                        [](const ScratchDir &d) {
                            std::filesystem::create_symlink("b.png", d / "a.png");
                            std::filesystem::create_symlink("a.png", d / "b.png");
                        },
                        "a.png", "cannot write a.png: Too many levels of symbolic links"},
        WrongOutputPath{"link_to_a_folder",
                        [](const ScratchDir &d) {
                            std::filesystem::create_directory(d / "folder");
                            std::filesystem::create_symlink("folder", d / "out.png");
                        },
                        "out.png", "out.png: is a folder"},
        // Written through, the link would overwrite the input.
        WrongOutputPath{"link_to_the_input",
                        [](const ScratchDir &d) { std::filesystem::create_symlink("in.png", d / "out.png"); },
                        "out.png", "the output would overwrite the input"},
        WrongOutputPath{"link_into_a_missing_folder",
                        [](const ScratchDir &d) { std::filesystem::create_symlink("gone/x.png", d / "out.png"); },
                        "out.png", "no such folder gone"},
        WrongOutputPath{"folder_in_a_loop_of_links",
                        [](const ScratchDir &d) { std::filesystem::create_symlink("loop", d / "loop"); }, "loop/x.png",
                        "loop/x.png: loop: Too many levels of symbolic links"},
        // A rename would put a regular file where the reader or the device was.
        WrongOutputPath{"fifo", [](const ScratchDir &d) { ASSERT_EQ(::mkfifo((d / "out.png").c_str(), 0644), 0); },
                        "out.png", "out.png is a FIFO (named pipe), not a regular file"},
        WrongOutputPath{"link_to_a_device",
                        [](const ScratchDir &d) { std::filesystem::create_symlink("/dev/null", d / "out.png"); },
                        "out.png", "out.png (/dev/null) is a character device"}),
    [](const ::testing::TestParamInfo<WrongOutputPath> &info) { return std::string(info.param.name); });

// A full disk in the middle of a sequence: the frames before it are whole,
// no later frame is read, rendered or written, and the run says which were
// written, with status 3. Frames of 24.5 KB: two fit in the 64 KB.
TEST(SequenceOnFullDisk, StopsAtTheFirstFrameThatDoesNotFit) {
    ScratchDir dir;
    const SmallDisk disk(dir / "disk");
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    const ToolResult result =
        RunTool(dir, {"render", "-o", "disk/f.%04d.pam", "--frames", "1-10", "--downsample", "16"});
    EXPECT_EQ(result.exit_status, 3) << result.err;
    EXPECT_NE(result.err.find("frame 3 (3/10) FAILED: cannot write disk/f.0003.pam: No space left on device"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("stopped at frame 3 (3 of 10) as the machine failed; written: 1-2; not written: 3-10"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("frame 4"), std::string::npos) << result.err;
    EXPECT_EQ(TemporaryFiles(dir), std::vector<std::string>{});
    EXPECT_EQ(zonara_tool::ReadImage(dir / "disk/f.0002.pam").width, 120);
}

// A run killed outright leaves its temporary file; the next run writing into
// that folder removes it, and only it: not one of a live process, not
// another user's, not a name merely alike.
TEST(StaleTemporaryFiles, OnlyThoseOfAGoneProcessOfThisUserAreRemoved) {
    ScratchDir dir;
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const std::string of_gone = ".zonara-partial-" + std::to_string(gone) + "-0.png";
    std::vector<std::string> kept = {".zonara-partial-" + std::to_string(::getpid()) + "-0.png",
                                     ".zonara-partial-" + std::to_string(gone) + ".png", "zonara-partial-1-0.png"};
    for (const std::string &name : kept) WriteBytes(dir / name, EARLIER);
    WriteBytes(dir / of_gone, EARLIER);
    if (::geteuid() == 0) {
        kept.push_back(".zonara-partial-" + std::to_string(gone) + "-1.png");
        WriteBytes(dir / kept.back(), EARLIER);
        ASSERT_EQ(::chown((dir / kept.back()).c_str(), 65534, 65534), 0);  // another user's
    }

    ASSERT_EQ(RunTool(dir, {"render", "-o", "out.pam", "--downsample", "16"}).exit_status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / of_gone));
    for (const std::string &name : kept) EXPECT_EQ(ReadBytes(dir / name), EARLIER) << name;
}

// A damaged PNG makes libpng print its own line before failing; only the
// tool's one line may reach stderr.
TEST(LibraryLines, StayOffStderrForADamagedPng) {
    ScratchDir dir;
    WriteInput(dir);
    const std::string whole = ReadBytes(dir / "in.png");
    WriteBytes(dir / "cut.png", whole.substr(0, whole.size() / 2));

    const ToolResult result = RunTool(dir, {"render", "cut.png", "-o", "out.png"});
    EXPECT_EQ(result.exit_status, 2) << result.err;
    EXPECT_EQ(result.err.rfind("zonara: cut.png: ", 0), 0u) << result.err;
    EXPECT_EQ(result.err.find("libpng"), std::string::npos) << result.err;
}

}  // namespace
