// Image sequences named with a printf-style frame number: shot.%04d.exr is
// shot.0001.exr, shot.0002.exr, ... Only %d, %0Nd and %% are understood; the
// pattern is expanded here, never handed to printf, so a stray % in a file
// name cannot reach a format function.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zonara_tool {

class FramePattern {
public:
    // Nullopt when the path holds no frame number (a single image); %% is
    // then an ordinary percent sign. Throws ToolError (usage) for a path
    // with two frame numbers.
    static std::optional<FramePattern> Parse(std::string_view path);

    std::string Format(int frame) const;

private:
    std::string prefix_;
    std::string suffix_;
    int width_ = 0;
};

// A path with its %% reduced to %, for a path that names a single image.
std::string UnescapePercent(std::string_view path);

struct FrameRange {
    int first = 0;
    int last = 0;
};

// "FIRST-LAST" or a single "N", non-negative, FIRST <= LAST. Throws ToolError
// (usage) otherwise.
FrameRange ParseFrameRange(std::string_view text);

}  // namespace zonara_tool
