// An installation stands on its own: the installed tool, run from another
// folder, loads the module and the image library installed with it, never
// the build folder's (which, here, exists and would hide a wrong lookup).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/tool_runner.h"

namespace {

using tool_test::Quote;
using tool_test::ReadText;
using tool_test::ScratchDir;

// The files the dynamic loader opened whose names contain NAME, from its
// LD_DEBUG=files log.
std::vector<std::string> OpenedFiles(const std::string &log, const std::string &name) {
    const std::string OPENING = "opening file=";
    std::vector<std::string> files;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find(OPENING);
        if (at == std::string::npos) {
            continue;
        }
        const auto start = at + OPENING.size();
        const std::string file = line.substr(start, line.find(' ', start) - start);
        if (file.find(name) != std::string::npos) {
            files.push_back(std::filesystem::weakly_canonical(file).string());
        }
    }
    return files;
}

TEST(Installation, InstalledToolRunsWithWhatWasInstalledWithIt) {
    ScratchDir dir;
    const std::string prefix = std::filesystem::weakly_canonical(dir.path()).string() + "/prefix";
    const std::string install = "cmake --install " + Quote(ZONARA_BINARY_DIR) + " --prefix " + Quote(prefix) + " >" +
                                Quote(dir / "install.log") + " 2>&1";
    ASSERT_EQ(std::system(install.c_str()), 0) << ReadText(dir / "install.log");
    std::filesystem::create_directories(dir.path() / "elsewhere");

    const struct {
        const char *args;
        const char *output;  // left in the working folder, or null
        std::vector<std::string> loads;
    } cases[] = {
        {"about", nullptr, {"/lib/zonara/plug-ins/Quorv_Zonara.so"}},
        {"render -o tiny.png --set width=64 --set height=48",
         "tiny.png",
         {"/lib/zonara/plug-ins/Quorv_Zonara.so", "/lib/zonara/zonara_image_library.so"}},
    };
    for (const auto &c : cases) {
        const std::string log = dir / "loader.log";
        const std::string command = "cd " + Quote(dir / "elsewhere") + " && env -u ZONARA_MODULE LD_DEBUG=files " +
                                    Quote(prefix + "/bin/zonara") + " " + c.args + " >/dev/null 2>" + Quote(log);
        EXPECT_EQ(std::system(command.c_str()), 0) << c.args << "\n" << ReadText(log);
        const std::string loaded = ReadText(log);
        for (const std::string &file : c.loads) {
            const std::string name = file.substr(file.rfind('/') + 1);
            EXPECT_EQ(OpenedFiles(loaded, name), std::vector<std::string>{prefix + file}) << c.args;
        }
        if (c.output != nullptr) {
            EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / "elsewhere" / c.output)) << c.args;
        }
    }
}

}  // namespace
