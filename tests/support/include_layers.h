// The folders of a source tree as layers: a file may include its own folder
// and the layers below it, never one above nor a neighbour on its own level.
// An include that climbs makes a lower layer depend on a higher one, and the
// two can no longer be understood, tested or changed apart.
//
// Every include is resolved as the compiler resolves it (beside the file
// first, then from each include folder) before its folder is judged, so
// "params/x.h", "src/params/x.h", "../params/x.h" and <params/x.h> all
// count as the same file.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace zonara_test {

namespace include_detail {

inline bool IsUnder(const std::filesystem::path &file, const std::filesystem::path &folder) {
    const std::filesystem::path relative = file.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

}  // namespace include_detail

// The project's include folders, in the order the build searches them: the
// effect's sources, the interface headers, the repository's top.
struct IncludeSearch {
    std::filesystem::path repository;

    std::vector<std::filesystem::path> Folders() const { return {repository / "src", repository / "sdk", repository}; }

    // The file an include names, as a path below the repository; nothing for
    // a file that is not the project's (a library's or the system's).
    // An include in angle brackets is not looked for beside the file.
    std::optional<std::filesystem::path> Resolve(const std::filesystem::path &including_file,
                                                 const std::string &spelled, bool quoted = true) const {
        std::vector<std::filesystem::path> candidates;
        if (quoted) candidates.push_back(including_file.parent_path() / spelled);
        for (const auto &folder : Folders()) candidates.push_back(folder / spelled);
        for (const auto &candidate : candidates) {
            if (std::filesystem::is_regular_file(candidate)) {
                return candidate.lexically_normal().lexically_relative(repository);
            }
        }
        return std::nullopt;
    }
};

// One include of a project file: where it is written and what it names.
struct ResolvedInclude {
    std::filesystem::path from;  // below the repository
    int line = 0;
    std::filesystem::path to;  // below the repository

    std::string Where() const { return from.generic_string() + ":" + std::to_string(line); }
};

// Every include of a project file made by the files below `tree` (a folder
// of the repository).
inline std::vector<ResolvedInclude> ProjectIncludes(const IncludeSearch &search, const std::filesystem::path &tree) {
    static const std::regex INCLUDE_LINE("^\\s*#\\s*include\\s*(\"([^\"]+)\"|<([^>]+)>)");
    std::vector<ResolvedInclude> includes;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(search.repository / tree)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path());
        int line_number = 0;
        for (std::string line; std::getline(in, line);) {
            ++line_number;
            std::smatch match;
            if (!std::regex_search(line, match, INCLUDE_LINE)) continue;
            const bool quoted = match[2].matched;
            if (const auto to = search.Resolve(entry.path(), quoted ? match[2].str() : match[3].str(), quoted)) {
                includes.push_back({entry.path().lexically_relative(search.repository), line_number, *to});
            }
        }
    }
    return includes;
}

struct LayerCheck {
    int files = 0;
    std::vector<std::string> climbs;           // "file:line includes folder/"
    std::vector<std::string> unknown_folders;  // folders of the tree no layer names
};

// The layers of `tree`'s folders. Files directly in the tree stand on
// `top_files_layer` when given, and are passed over otherwise.
struct Layers {
    std::filesystem::path tree;  // below the repository
    std::map<std::string, int> layer_of;
    std::optional<int> top_files_layer;
};

inline LayerCheck CheckIncludeLayers(const IncludeSearch &search, const Layers &layers) {
    LayerCheck check;
    std::set<std::string> unknown;
    // The folder of the tree a file lies in ("" for the tree's top), and
    // its layer; nothing for a file outside the tree or of no layer.
    auto layer_of_file = [&](const std::filesystem::path &file) -> std::optional<std::pair<std::string, int>> {
        if (!include_detail::IsUnder(file, layers.tree)) return std::nullopt;
        const std::filesystem::path relative = file.lexically_relative(layers.tree);
        if (std::next(relative.begin()) == relative.end()) {
            if (!layers.top_files_layer) return std::nullopt;
            return std::pair<std::string, int>{"", *layers.top_files_layer};
        }
        const std::string folder = relative.begin()->string();
        const auto layer = layers.layer_of.find(folder);
        if (layer == layers.layer_of.end()) {
            unknown.insert(folder);
            return std::nullopt;
        }
        return *layer;
    };
    for (const auto &entry : std::filesystem::recursive_directory_iterator(search.repository / layers.tree)) {
        if (entry.is_regular_file() && layer_of_file(entry.path().lexically_relative(search.repository))) {
            ++check.files;
        }
    }
    for (const ResolvedInclude &include : ProjectIncludes(search, layers.tree)) {
        const auto from = layer_of_file(include.from);
        if (!from) continue;
        const auto to = layer_of_file(include.to);
        if (!to || to->first == from->first) continue;
        if (to->second >= from->second) {
            check.climbs.push_back(include.Where() + " includes " + (to->first.empty() ? "the top" : to->first) + "/");
        }
    }
    check.unknown_folders.assign(unknown.begin(), unknown.end());
    return check;
}

// The includes from `tree` into `into` (both folders of the repository)
// that name a file not in `allowed` (paths below `into`).
inline std::vector<std::string> IncludesOutside(const IncludeSearch &search, const std::filesystem::path &tree,
                                                const std::filesystem::path &into,
                                                const std::set<std::string> &allowed) {
    std::vector<std::string> outside;
    for (const ResolvedInclude &include : ProjectIncludes(search, tree)) {
        if (!include_detail::IsUnder(include.to, into)) continue;
        const std::string named = include.to.lexically_relative(into).generic_string();
        if (!allowed.count(named)) outside.push_back(include.Where() + " includes " + include.to.generic_string());
    }
    return outside;
}

}  // namespace zonara_test
