// What tests that run programs share: a fresh folder per test, removed
// afterwards, and the quoting of an argument for the shell.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace zonara_test {

class ScratchDir {
public:
    // The folder's name starts with "zonara-<tag>-", so a leftover one shows
    // which tests made it.
    explicit ScratchDir(const std::string &tag) {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("zonara-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }
    const std::filesystem::path &path() const { return path_; }

    // The names of the files in the folder, sorted: what a run left behind.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

// One argument for /bin/sh, whatever characters it holds.
inline std::string Quote(const std::string &arg) {
    std::string quoted = "'";
    for (char c : arg) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace zonara_test
