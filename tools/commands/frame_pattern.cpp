#include "tools/commands/frame_pattern.h"

#include <limits>

#include "tools/base/tool_error.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

// The largest frame number a file name can carry: the frame counter is an
// int.
constexpr long MAX_FRAME_NUMBER = std::numeric_limits<int>::max();

// Reads "%d" or "%0Nd" at `at` (which holds '%'); returns its length, or 0.
std::size_t FrameTokenLength(std::string_view path, std::size_t at, int &width) {
    std::size_t i = at + 1;
    width = 0;
    if (i < path.size() && path[i] == '0') {
        ++i;
        const std::size_t digits_start = i;
        while (i < path.size() && path[i] >= '0' && path[i] <= '9') {
            width = width * 10 + (path[i] - '0');
            if (width > 12) {
                return 0;
            }
            ++i;
        }
        if (i == digits_start) {
            return 0;
        }
    }
    if (i < path.size() && path[i] == 'd') {
        return i + 1 - at;
    }
    return 0;
}

// Negative frame numbers are refused rather than supported: printf's %04d
// writes -5 as "-005" while other tools write "-0005", so the files of such
// a sequence could not be named in a way every reader of them agrees on.
int ParseFrameNumber(std::string_view text, std::string_view whole) {
    const std::string option = "--frames '" + std::string(whole) + "': ";
    const std::string_view number = Trim(text);
    const std::size_t sign = !number.empty() && (number.front() == '-' || number.front() == '+') ? 1 : 0;
    if (number.size() == sign || number.find_first_not_of("0123456789", sign) != std::string_view::npos) {
        throw UsageError(option + "expected FIRST-LAST, e.g. 1-48");
    }
    if (number.front() == '-' && number.find_first_not_of('0', 1) != std::string_view::npos) {
        throw UsageError(option + "negative frame numbers are not supported; frames count from 0");
    }
    long value = 0;
    if (!ParseInteger(number, value) || value > MAX_FRAME_NUMBER) {
        throw UsageError(option + "frame numbers go up to " + std::to_string(MAX_FRAME_NUMBER));
    }
    return static_cast<int>(value);
}

}  // namespace

std::optional<FramePattern> FramePattern::Parse(std::string_view path) {
    std::optional<FramePattern> pattern;
    std::string literal;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            literal += path[i];
            continue;
        }
        if (i + 1 < path.size() && path[i + 1] == '%') {
            literal += '%';
            ++i;
            continue;
        }
        int width = 0;
        const std::size_t length = FrameTokenLength(path, i, width);
        if (length == 0) {
            literal += '%';  // not a frame number: an ordinary character
            continue;
        }
        if (pattern) {
            throw UsageError("'" + std::string(path) + "': more than one frame number");
        }
        pattern = FramePattern();
        pattern->prefix_ = literal;
        pattern->width_ = width;
        literal.clear();
        i += length - 1;
    }
    if (pattern) {
        pattern->suffix_ = literal;
    }
    return pattern;
}

std::string FramePattern::Format(int frame) const {
    std::string number = std::to_string(frame);
    if (static_cast<int>(number.size()) < width_) {
        number.insert(0, static_cast<std::size_t>(width_) - number.size(), '0');
    }
    return prefix_ + number + suffix_;
}

std::string UnescapePercent(std::string_view path) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        out += path[i];
        if (path[i] == '%' && i + 1 < path.size() && path[i + 1] == '%') {
            ++i;
        }
    }
    return out;
}

FrameRange ParseFrameRange(std::string_view text) {
    // Searched from the second character, so that "-3" is read as the
    // negative number it is and "5--3" as 5 to -3.
    const std::size_t dash = text.find('-', 1);
    FrameRange range;
    if (dash == std::string_view::npos) {
        range.first = range.last = ParseFrameNumber(text, text);
    } else {
        range.first = ParseFrameNumber(text.substr(0, dash), text);
        range.last = ParseFrameNumber(text.substr(dash + 1), text);
    }
    if (range.first > range.last) {
        throw UsageError("--frames '" + std::string(text) + "': FIRST is after LAST");
    }
    if (range.count() > MAX_FRAMES_PER_RUN) {
        throw UsageError("--frames '" + std::string(text) + "': " + std::to_string(range.count()) +
                         " frames; one run renders at most " + std::to_string(MAX_FRAMES_PER_RUN) +
                         " (split the range into several runs)");
    }
    return range;
}

std::string FrameListText(const std::vector<int> &frames, std::size_t max_runs) {
    std::string text;
    std::size_t runs = 0;
    std::size_t at = 0;
    while (at < frames.size() && runs < max_runs) {
        std::size_t end = at;
        while (end + 1 < frames.size() && std::int64_t{frames[end + 1]} == std::int64_t{frames[end]} + 1) {
            ++end;
        }
        text += (runs == 0 ? "" : ", ") + std::to_string(frames[at]);
        if (end > at) {
            text += "-" + std::to_string(frames[end]);
        }
        ++runs;
        at = end + 1;
    }
    if (at < frames.size()) {
        text += " and " + std::to_string(frames.size() - at) + " more";
    }
    return text;
}

}  // namespace zonara_tool
