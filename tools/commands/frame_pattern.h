// Image sequences named with a printf-style frame number: shot.%04d.exr is
// shot.0001.exr, shot.0002.exr, ... Only %d, %0Nd (N up to 12) and %% are
// understood; any other printf conversion (%5d, %013d, %s) is refused, as
// it would mean something else to every other tool reading the name. The
// pattern is expanded here, never handed to printf, so a stray % in a file
// name cannot reach a format function.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zonara_tool {

class FramePattern {
public:
    // Nullopt when the path holds no frame number (a single image); %% is
    // then an ordinary percent sign, as is a % that starts no conversion
    // ("50%.png"). Throws ToolError (usage) for a path with two frame
    // numbers or another conversion.
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
    int step = 1;
    // How many frames FIRST to LAST take, in 64 bits: 0-2147483647 is one
    // more than an int holds.
    std::int64_t count() const { return (std::int64_t{last} - first) / step + 1; }
};

// One run plans every frame (two file names each) before the first renders;
// a million is over eleven hours at 24 frames a second, more than any shot
// or programme, and its plan still fits in a few hundred megabytes. A range
// longer than that is a typing mistake far more often than a wish.
constexpr std::int64_t MAX_FRAMES_PER_RUN = 1000000;

// "FIRST-LAST", "FIRST-LASTxSTEP" or a single "N": whole numbers 0 to
// 2147483647, FIRST <= LAST, STEP >= 1, at most MAX_FRAMES_PER_RUN frames.
// Throws ToolError (usage) otherwise, saying which of these the text breaks.
FrameRange ParseFrameRange(std::string_view text);

// --frames as sequence tools write it: ranges as above separated by commas
// ("1,3,5-7", "1-100x10,101-110"), the frames in the order given, at most
// MAX_FRAMES_PER_RUN of them in all and none named twice.
std::vector<int> ParseFrameList(std::string_view text);

// Frame numbers, named in ascending order whatever order they come in: consecutive
// ones as FIRST-LAST, at most `max_runs` such runs, then how many frames
// more ("2, 4-9, 12 and 9988 more"), so that a long run's failures stay one
// short line.
std::string FrameListText(const std::vector<int> &frames, std::size_t max_runs);

}  // namespace zonara_tool
