// The README's layout table is where a newcomer learns where things live; a
// folder added, moved or dropped without it sends them to the wrong place.
// Every folder the table names exists, and every folder of the levels a
// reader navigates by is named.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace {

const std::filesystem::path ROOT = ZONARA_SOURCE_DIR;

// The folders the README's "## Layout" table names in its first column,
// without a trailing slash.
std::set<std::string> FoldersInLayoutTable() {
    std::ifstream readme(ROOT / "README.md");
    const std::regex row("^\\| `([a-z_/]+?)/?` \\|");
    std::set<std::string> folders;
    bool in_layout = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("## ", 0) == 0) in_layout = line == "## Layout";
        std::smatch match;
        if (in_layout && std::regex_search(line, match, row)) folders.insert(match[1].str());
    }
    return folders;
}

// The folders directly below `parent` ("" for the top), as the table spells
// them; hidden folders and build output are not the project's layout.
std::set<std::string> FoldersBelow(const std::string &parent) {
    std::set<std::string> folders;
    for (const auto &entry : std::filesystem::directory_iterator(ROOT / parent)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name.front() == '.' || name == "build") continue;
        folders.insert(parent.empty() ? name : parent + "/" + name);
    }
    return folders;
}

TEST(ReadmeLayout, NamesEveryFolderAndOnlyFoldersThatExist) {
    const std::set<std::string> table = FoldersInLayoutTable();
    ASSERT_GT(table.size(), 10u) << "the README has no layout table under \"## Layout\"";
    for (const std::string &folder : table) {
        EXPECT_TRUE(std::filesystem::is_directory(ROOT / folder)) << "the table names " << folder << ", not a folder";
    }
    for (const char *parent : {"", "src", "src/render", "testhost", "tools"}) {
        for (const std::string &folder : FoldersBelow(parent)) {
            EXPECT_TRUE(table.count(folder)) << "the layout table does not name " << folder;
        }
    }
}

}  // namespace
