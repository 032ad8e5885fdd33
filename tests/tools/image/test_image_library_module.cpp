// The image library is a module of its own, loaded only when a file needs
// it: commands and renders that touch no library format start without its
// libraries, which would otherwise cost every run a sizeable start-up.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/tool_runner.h"

namespace {

using tool_test::Quote;
using tool_test::ReadText;
using tool_test::ScratchDir;

// What the dynamic loader says it loaded while the tool ran `args`.
std::string LoadedFilesOf(const ScratchDir &dir, const std::string &args) {
    const std::string log = dir / "loader.log";
    const std::string command = "cd " + Quote(dir.path().string()) + " && LD_DEBUG=files " + Quote(ZONARA_TOOL_PATH) +
                                " " + args + " >/dev/null 2>" + Quote(log);
    EXPECT_EQ(std::system(command.c_str()), 0) << args;
    return ReadText(log);
}

// The libraries the tool loads on their own ahead of the module, by path,
// as the build found them among OpenImageIO's.
std::vector<std::string> EarlyLoads() {
    std::vector<std::string> names;
    std::istringstream list(ZONARA_IMAGE_LIBRARY_EARLY_LOADS);
    for (std::string name; std::getline(list, name, ':');) names.push_back(name);
    return names;
}

TEST(ImageLibraryModule, LoadedOnlyWhereAFileNeedsIt) {
    const struct {
        const char *args;
        bool loads_library;
    } cases[] = {
        {"abi", false},
        {"params", false},
        {"render -o chart.pam", false},
        {"render chart.pam -o graded.pfm --set out_gain=0.5", false},
        {"render chart.pam -o graded.png --set out_gain=0.5", true},
        {"render graded.png -o again.pam", true},
    };
    ScratchDir dir;
    for (const auto &c : cases) {
        const std::string loaded = LoadedFilesOf(dir, c.args);
        EXPECT_EQ(loaded.find("libOpenImageIO") != std::string::npos, c.loads_library) << c.args;
        EXPECT_EQ(loaded.find("zonara_image_library") != std::string::npos, c.loads_library) << c.args;
        for (const std::string &name : EarlyLoads()) {
            const auto apart = loaded.find("file=" + name + " [0];  dynamically loaded by");
            EXPECT_EQ(apart != std::string::npos, c.loads_library) << name << " loaded apart: " << c.args;
            EXPECT_LE(apart, loaded.find("zonara_image_library")) << name << " after the module: " << c.args;
        }
    }
#if !ZONARA_SANITIZED_BUILD
    // Without them every file the tool reads or writes loads slower.
    EXPECT_FALSE(EarlyLoads().empty()) << "the build found neither GDAL nor OpenVDB among OpenImageIO's libraries";
#endif
}

}  // namespace
