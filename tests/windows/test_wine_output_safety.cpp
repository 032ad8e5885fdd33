// zonara.exe under Wine writes its outputs as safely as the native tool: a
// full disk, a path through a file and a name as long as the file system
// takes end the same way on both, with the same message and the same files
// left behind.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "support/small_disk.h"
#include "windows/windows_build.h"

namespace {

using windows_test::RunNative;
using windows_test::RunUnderWine;
using windows_test::ScratchDir;

// Noise, so that the output is far larger than the small disk.
std::string NoisePam() {
    constexpr int WIDTH = 256, HEIGHT = 192;
    std::string bytes = "P7\nWIDTH " + std::to_string(WIDTH) + "\nHEIGHT " + std::to_string(HEIGHT) +
                        "\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
    std::mt19937 random(7);
    for (int i = 0; i < WIDTH * HEIGHT * 3; ++i) bytes += static_cast<char>(random() & 0xFF);
    return bytes;
}

using windows_test::WriteFile;

// Every file under the folder with its bytes.
std::map<std::string, std::vector<std::uint8_t>> Files(const std::filesystem::path &folder) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(folder).string()] = windows_test::ReadBytes(entry.path());
        }
    }
    return files;
}

using zonara_test::SmallDisk;

struct OutputCase {
    const char *name;
    const char *output;
    int exit_status;
    const char *message;  // part of stderr; empty for a success
};

// As long as a file system takes a name.
const std::string LONG_NAME = std::string(251, 'n') + ".pam";

class WineWritesOutputs : public ::testing::TestWithParam<OutputCase> {};

TEST_P(WineWritesOutputs, AsTheNativeToolDoes) {
    const OutputCase &c = GetParam();
    if (const std::string why = windows_test::WhyWindowsChecksCannotRun(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    ScratchDir dir("output-safety");
    WriteFile(dir / "in.pam", NoisePam());
    WriteFile(dir / "file.pam", "an earlier result");
    const SmallDisk disk(dir / "disk");
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    WriteFile(dir / "disk/out.pam", "an earlier result");
    const auto before = Files(dir.path());

    std::map<std::string, std::vector<std::uint8_t>> left_by_native;
    for (const bool under_wine : {false, true}) {
        SCOPED_TRACE(under_wine ? "under Wine" : "native");
        const std::vector<std::string> args = {"render", "in.pam", "-o", c.output};
        const windows_test::Run run = under_wine ? RunUnderWine(dir.path(), args) : RunNative(dir.path(), args);
        const std::string err = windows_test::WithoutCarriageReturnsBeforeNewlines(run.err);
        EXPECT_EQ(run.exit_status, c.exit_status) << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        const auto after = Files(dir.path());
        if (c.exit_status != 0) {
            EXPECT_EQ(after, before);
        } else if (!under_wine) {
            left_by_native = after;
            std::filesystem::remove(dir / c.output);
        } else {
            EXPECT_EQ(after, left_by_native);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, WineWritesOutputs,
    ::testing::Values(OutputCase{"full_disk", "disk/out.pam", 3, "cannot write disk/out.pam: No space left on device"},
                      OutputCase{"through_a_file", "file.pam/x.pam", 2, "file.pam/x.pam: file.pam is not a folder"},
                      OutputCase{"name_of_255_bytes", LONG_NAME.c_str(), 0, ""}),
    [](const ::testing::TestParamInfo<OutputCase> &info) { return std::string(info.param.name); });

}  // namespace
