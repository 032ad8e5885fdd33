// The Windows build installs as it ships: zonara.exe and Quorv_Zonara.aex
// side by side, the installed tool loading the module installed with it
// (the build folder's, which exists here, would hide a wrong lookup).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "windows/windows_build.h"

namespace {

TEST(WindowsInstallation, ToolAndModuleSideBySideAndTheModuleItsOwn) {
    if (const std::string why = windows_test::WhyWindowsChecksCannotRun(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    windows_test::ScratchDir dir("install");
    const std::filesystem::path prefix = dir / "prefix";
    const std::filesystem::path log = dir / "install.log";
    const std::string install = "cmake --install " + windows_test::Quote(windows_test::WindowsBuildDir().string()) +
                                " --prefix " + windows_test::Quote(prefix.string()) + " >" +
                                windows_test::Quote(log.string()) + " 2>&1";
    const int status = std::system(install.c_str());
    const std::vector<std::uint8_t> said = windows_test::ReadBytes(log);
    ASSERT_EQ(status, 0) << std::string(said.begin(), said.end());
    EXPECT_TRUE(std::filesystem::is_regular_file(prefix / "bin" / "zonara.exe"));
    EXPECT_TRUE(std::filesystem::is_regular_file(prefix / "bin" / "Quorv_Zonara.aex"));

    // Wine's loader names each file it maps: Loaded L"Z:\\...\\Quorv_Zonara.aex".
    ::setenv("ZONARA_WINEDEBUG", "+loaddll", 1);
    const windows_test::Run run = windows_test::RunInWine(
        dir.path(), {windows_test::WineRunner(), (prefix / "bin" / "zonara.exe").string()}, {"about"}, "installed");
    ::unsetenv("ZONARA_WINEDEBUG");
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_NE(run.out.find("Zonara"), std::string::npos) << run.out;
    // As Wine writes a path it was given: Z: for the root, each / a doubled \.
    const auto as_logged = [](const std::filesystem::path &path) {
        std::string logged = "Z:";
        for (const char c : std::filesystem::absolute(path).lexically_normal().string()) {
            logged += c == '/' ? std::string("\\\\") : std::string(1, c);
        }
        return logged;
    };
    EXPECT_NE(run.err.find(as_logged(prefix / "bin" / "Quorv_Zonara.aex")), std::string::npos)
        << run.err.substr(0, 2000);
    EXPECT_EQ(run.err.find(as_logged(windows_test::WindowsModule())), std::string::npos) << run.err.substr(0, 2000);
}

}  // namespace
