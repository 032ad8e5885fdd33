// Running the built zonara tool as a user would, in a scratch folder, and
// making small images for it. Header-only, for the tool's end-to-end tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/scratch_dir.h"

#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imageio.h>

namespace tool_test {

// A file's whole content, as bytes.
inline std::string ReadBytes(const std::string &path) { return zonara_test::FileBytes(path); }

inline void WriteBytes(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Command-line arguments followed by more of them.
inline std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The tool writes an output under a temporary name and renames it when whole.
inline bool IsTemporary(const std::string &name) { return name.find("zonara-partial") != std::string::npos; }

struct ToolResult {
    int exit_status = -1;
    std::string err;
    std::string out;
};

// A fresh folder per test, removed afterwards; names in it as text, the
// form the tool's arguments take.
class ScratchDir : public zonara_test::ScratchDir {
public:
    ScratchDir() : zonara_test::ScratchDir("tool-test") {}
    std::string operator/(const std::string &name) const { return (path() / name).string(); }
};

// The size, channels, sample type and attributes of an image buffer, as
// stored where it came from a file.
inline OIIO::ImageSpec LayoutOf(const OIIO::ImageBuf &buffer) { return buffer.nativespec(); }

// The same of an opened file's first image.
inline OIIO::ImageSpec LayoutOf(OIIO::ImageInput &input) {
    OIIO::ImageSpec layout;
    input.seek_subimage(0, 0, layout);
    return layout;
}

using zonara_test::Quote;

inline std::string ReadText(const std::string &path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Whether a run ended in the leak checker's own fault rather than the
// tool's: its tracer thread crashes as the process exits, after the tool has
// done all its work, when the C library put a loaded library's thread-local
// block where the checker misreads it (run-tests sets a tunable that makes
// it rare; such a run is given two more tries).
inline bool LeakCheckerCrashed(const ToolResult &result) {
    return result.exit_status != 0 &&
           result.err.find("LeakSanitizer has encountered a fatal error") != std::string::npos;
}

inline ToolResult RunToolOnce(const ScratchDir &dir, const std::vector<std::string> &args);

// Runs `zonara ARGS...` in `dir`; stderr is not a terminal here, so
// sequences report one line per frame. A run the leak checker's tracer
// brought down runs again (a found leak is reported otherwise and counts).
inline ToolResult RunTool(const ScratchDir &dir, const std::vector<std::string> &args) {
    constexpr int ATTEMPTS = 3;
    ToolResult result = RunToolOnce(dir, args);
    for (int attempt = 1; attempt < ATTEMPTS && LeakCheckerCrashed(result); ++attempt) {
        result = RunToolOnce(dir, args);
    }
    return result;
}

inline ToolResult RunToolOnce(const ScratchDir &dir, const std::vector<std::string> &args) {
    std::string command = "cd " + Quote(dir.path().string()) + " && " + Quote(ZONARA_TOOL_PATH);
    for (const std::string &arg : args) {
        command += " " + Quote(arg);
    }
    const std::string out_path = dir / ".stdout";
    const std::string err_path = dir / ".stderr";
    command += " >" + Quote(out_path) + " 2>" + Quote(err_path) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolResult result;
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadText(out_path);
    result.err = ReadText(err_path);
    std::filesystem::remove(out_path);
    std::filesystem::remove(err_path);
    return result;
}

// An image of the given layout whose samples vary over the whole range, so
// that every conversion and every part of the window is exercised.
inline OIIO::ImageBuf MakePattern(int width, int height, int channels, OIIO::TypeDesc type) {
    OIIO::ImageSpec layout(width, height, channels, OIIO::TypeDesc::FLOAT);
    if (channels == 4) {
        layout.alpha_channel = 3;
    }
    OIIO::ImageBuf buf(layout);
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> pixel(static_cast<std::size_t>(channels));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                pixel[static_cast<std::size_t>(c)] = unit(random);
            }
            buf.setpixel(x, y, pixel.data(), channels);
        }
    }
    if (type == OIIO::TypeDesc::FLOAT) {
        return buf;
    }
    OIIO::ImageBuf converted;
    converted.copy(buf, type);
    return converted;
}

inline void WriteFile(const OIIO::ImageBuf &image, const std::string &path, OIIO::TypeDesc stored,
                      int bits_per_sample = 0) {
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec layout = LayoutOf(image);
    layout.set_format(stored);
    layout.attribute("oiio:UnassociatedAlpha", 1);
    if (bits_per_sample != 0) {
        layout.attribute("oiio:BitsPerSample", bits_per_sample);
    }
    if (!out || !out->open(path, layout) || !out->write_image(LayoutOf(image).format, image.localpixels()) ||
        !out->close()) {
        throw std::runtime_error("cannot write test image " + path);
    }
}

// The file's samples in the type it was stored in (UINT8, UINT16 or FLOAT).
inline OIIO::ImageBuf ReadFile(const std::string &path, OIIO::TypeDesc as) {
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    OIIO::ImageBuf buf(path, 0, 0, nullptr, &config);
    if (!buf.read(0, 0, true, as)) {
        throw std::runtime_error("cannot read " + path + ": " + buf.geterror());
    }
    return buf;
}

}  // namespace tool_test
