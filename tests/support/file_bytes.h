// A whole file's content in one read: test code is compiled unoptimised,
// where reading through stream iterators costs a call per byte.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace zonara_test {

// The file's bytes; empty when it cannot be opened.
inline std::string FileBytes(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return {};
    }
    std::string bytes(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

}  // namespace zonara_test
