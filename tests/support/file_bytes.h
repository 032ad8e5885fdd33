// A whole file's content in one read (test code is compiled unoptimised,
// where reading through stream iterators costs a call per byte), and a
// small text file written as given.
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

// The text as the file's whole content, byte for byte (no line-end
// translation, so a file means the same on every system).
inline void WriteText(const std::filesystem::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace zonara_test
