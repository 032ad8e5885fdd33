// Inputs the Windows tool meets more often than the native one, run under
// Wine beside the native tool: a PAM whose header was saved with CR LF line
// ends is read, one converted as text whole is refused, a folder is named as
// one, and a header declaring gigabytes is refused. Both tools end alike and
// say the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "windows/windows_build.h"

namespace {

using windows_test::ReadBytes;

struct InputCase {
    const char *name;
    const char *input;
    std::string bytes;  // empty: `input` is made a folder
    int exit_status;
    const char *message;  // part of what stderr must say; nullptr when it succeeds
};

const std::string CRLF_HEADER = "P7\r\nWIDTH 3\r\nHEIGHT 2\r\nDEPTH 3\r\nMAXVAL 255\r\nENDHDR\r\n";

class WineInputSafety : public ::testing::TestWithParam<InputCase> {};

TEST_P(WineInputSafety, BothToolsAgree) {
#if defined(ZONARA_SANITIZED_BUILD)
    GTEST_SKIP() << "compared once, in the optimised build";
#endif
    if (const std::string why = windows_test::WhyWindowsChecksCannotRun(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const InputCase &c = GetParam();
    windows_test::ScratchDir dir("input-safety");
    if (c.bytes.empty()) {
        std::filesystem::create_directory(dir / c.input);
    } else {
        std::ofstream(dir / c.input, std::ios::binary) << c.bytes;
    }
    const std::vector<std::string> args = {"render", c.input, "-o", "out.pam"};

    const windows_test::Run native = windows_test::RunNative(dir.path(), args);
    std::vector<std::uint8_t> native_output;
    if (std::filesystem::exists(dir / "out.pam")) {
        native_output = ReadBytes(dir / "out.pam");
        std::filesystem::remove(dir / "out.pam");
    }
    const windows_test::Run wine = windows_test::RunUnderWine(dir.path(), args);

    EXPECT_EQ(native.exit_status, c.exit_status) << native.err;
    EXPECT_EQ(wine.exit_status, c.exit_status) << wine.err;
    if (c.message != nullptr) {
        EXPECT_NE(native.err.find(c.message), std::string::npos) << native.err;
        EXPECT_NE(wine.err.find(c.message), std::string::npos) << wine.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.pam"));
    } else {
        ASSERT_FALSE(native_output.empty());
        EXPECT_TRUE(ReadBytes(dir / "out.pam") == native_output);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, WineInputSafety,
    ::testing::Values(
        InputCase{"crlf_header", "in.pam", CRLF_HEADER + "ABCDEFGHIJKLMNOPQR", 0, nullptr},
        InputCase{"converted_as_text", "in.pam", CRLF_HEADER + "AB\r\nDEF\r\nHIJ\r\nLMNOPQR", 2, "converted as text"},
        InputCase{"folder", "plates", "", 2, "plates: is a folder"},
        InputCase{"header_of_8_gigabytes", "bomb.pam",
                  "P7\nWIDTH 16384\nHEIGHT 16384\nDEPTH 16\nMAXVAL 65535\nENDHDR\n", 2, "pixel data ends early"}),
    [](const ::testing::TestParamInfo<InputCase> &info) { return std::string(info.param.name); });

}  // namespace
