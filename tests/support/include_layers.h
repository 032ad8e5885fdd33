// The folders of a source tree as layers: a file may include its own folder
// and the layers below it, never one above nor a neighbour on its own level.
// An include that climbs makes a lower layer depend on a higher one, and the
// two can no longer be understood, tested or changed apart.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace zonara_test {

struct LayerCheck {
    int files = 0;
    std::vector<std::string> climbs;        // "file:line includes folder/"
    std::vector<std::string> unknown_folders;  // folders of the tree no layer names
};

// Reads every file below root. `prefix` is how the tree's own includes
// start ("" for "params/x.h", "tools/" for "tools/image/x.h"); includes of
// anything else are not this tree's and are passed over.
inline LayerCheck CheckIncludeLayers(const std::filesystem::path &root, const std::string &prefix,
                                     const std::map<std::string, int> &layer_of) {
    LayerCheck check;
    const std::regex include_line("^\\s*#\\s*include\\s*\"" + prefix + "([a-z_]+)/");
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        const std::filesystem::path relative = std::filesystem::relative(entry.path(), root);
        if (relative.begin() == relative.end() || std::next(relative.begin()) == relative.end()) continue;
        const std::string from = relative.begin()->string();
        if (!layer_of.count(from)) {
            check.unknown_folders.push_back(from);
            continue;
        }
        ++check.files;
        std::ifstream in(entry.path());
        int line_number = 0;
        for (std::string line; std::getline(in, line);) {
            ++line_number;
            std::smatch match;
            if (!std::regex_search(line, match, include_line)) continue;
            const auto to = layer_of.find(match[1].str());
            if (to == layer_of.end() || to->first == from) continue;
            if (to->second >= layer_of.at(from)) {
                check.climbs.push_back(relative.string() + ":" + std::to_string(line_number) + " includes " +
                                       match[1].str() + "/");
            }
        }
    }
    return check;
}

}  // namespace zonara_test
