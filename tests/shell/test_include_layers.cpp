// The effect's folders are layers (see support/include_layers.h): common,
// host, params, then render and overlay side by side, then shell.
#include <gtest/gtest.h>

#include "support/include_layers.h"

namespace {

TEST(IncludeLayers, NoIncludeOfTheEffectClimbsOrCrossesBetweenSubsystems) {
    const auto check = zonara_test::CheckIncludeLayers(
        std::filesystem::path(ZONARA_SOURCE_DIR) / "src", "",
        {{"common", 0}, {"host", 1}, {"params", 2}, {"render", 3}, {"overlay", 3}, {"shell", 4}});
    EXPECT_TRUE(check.unknown_folders.empty()) << "a folder with no layer: " << check.unknown_folders.front();
    EXPECT_GT(check.files, 50);
    EXPECT_TRUE(check.climbs.empty()) << check.climbs.size() << " climbing includes, the first: "
                                      << check.climbs.front();
}

// The tool's: a ground floor (errors, host names, the context every command
// shares, the safe output), then parameters, image files (which show
// values), scenes, and the commands on top.
TEST(IncludeLayers, NoIncludeOfTheToolClimbsOrCrossesBetweenConcerns) {
    const auto check = zonara_test::CheckIncludeLayers(
        std::filesystem::path(ZONARA_SOURCE_DIR) / "tools", "tools/",
        {{"base", 0}, {"params", 1}, {"image", 2}, {"scene", 3}, {"commands", 4}});
    EXPECT_TRUE(check.unknown_folders.empty()) << "a folder with no layer: " << check.unknown_folders.front();
    EXPECT_GT(check.files, 50);
    EXPECT_TRUE(check.climbs.empty()) << check.climbs.size() << " climbing includes, the first: "
                                      << check.climbs.front();
}

}  // namespace
