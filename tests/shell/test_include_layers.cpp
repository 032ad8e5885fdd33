// The effect's folders are layers: each may include its own folder and the
// layers below it, never one above (nor render and overlay each other, two
// subsystems side by side). An include that climbs makes a lower layer
// depend on a higher one, and the two can no longer be understood, tested
// or changed apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

// Lower numbers lie lower; folders on one level may not include each other.
const std::map<std::string, int> LAYER_OF = {
    {"common", 0}, {"host", 1}, {"params", 2}, {"render", 3}, {"overlay", 3}, {"shell", 4},
};

TEST(IncludeLayers, NoIncludeClimbsOrCrossesBetweenSubsystems) {
    const std::filesystem::path src = std::filesystem::path(ZONARA_SOURCE_DIR) / "src";
    const std::regex include_line(R"re(^\s*#\s*include\s*"([a-z_]+)/)re");
    std::vector<std::string> climbs;
    int files = 0;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        const std::string from = std::filesystem::relative(entry.path(), src).begin()->string();
        ASSERT_TRUE(LAYER_OF.count(from)) << "a folder of src with no layer: " << from;
        ++files;
        std::ifstream in(entry.path());
        int line_number = 0;
        for (std::string line; std::getline(in, line);) {
            ++line_number;
            std::smatch match;
            if (!std::regex_search(line, match, include_line)) continue;
            const auto to = LAYER_OF.find(match[1].str());
            if (to == LAYER_OF.end() || to->first == from) continue;
            if (to->second >= LAYER_OF.at(from)) {
                climbs.push_back(std::filesystem::relative(entry.path(), src).string() + ":" +
                                 std::to_string(line_number) + " includes " + match[1].str() + "/");
            }
        }
    }
    EXPECT_GT(files, 50);
    EXPECT_TRUE(climbs.empty()) << climbs.size() << " climbing includes, the first: " << climbs.front();
}

}  // namespace
