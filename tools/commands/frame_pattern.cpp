#include "tools/commands/frame_pattern.h"

#include <algorithm>
#include <limits>

#include "tools/base/message_text.h"
#include "tools/base/tool_error.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

// The largest frame number a file name can carry: the frame counter is an
// int.
constexpr long MAX_FRAME_NUMBER = std::numeric_limits<int>::max();

// The widest zero padding a frame number takes: ten digits hold the
// largest frame number, and no reader of sequences pads further.
constexpr int MAX_FRAME_WIDTH = 12;

const char SUPPORTED_FORMS[] = "%d, %0Nd with N from 1 to 12 (e.g. %04d) and %% for a percent sign";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of a printf conversion starting at `at` (which holds '%'):
// flags, width, a precision with digits, length modifiers and the
// conversion letter; 0 where the text there is none ("50%.png", "100%_a").
std::size_t ConversionLength(std::string_view path, std::size_t at) {
    std::size_t i = at + 1;
    // No space flag: "50% off.png" is a name, not printf's "% o".
    while (i < path.size() && std::string_view("-+#0").find(path[i]) != std::string_view::npos) {
        ++i;
    }
    while (i < path.size() && IsDigit(path[i])) {
        ++i;
    }
    if (i + 1 < path.size() && path[i] == '.' && IsDigit(path[i + 1])) {
        for (++i; i < path.size() && IsDigit(path[i]); ++i) {}
    }
    while (i < path.size() && std::string_view("hlLqjzt").find(path[i]) != std::string_view::npos) {
        ++i;
    }
    if (i < path.size() && std::string_view("diouxXeEfFgGaAcspn").find(path[i]) != std::string_view::npos) {
        return i + 1 - at;
    }
    return 0;
}

// The padding of "%d" (0) or "%0Nd" (N from 1 to MAX_FRAME_WIDTH), or
// nothing for any other conversion.
std::optional<int> FrameWidth(std::string_view form) {
    if (form == "%d") {
        return 0;
    }
    if (form.size() < 4 || form[1] != '0' || form.back() != 'd' || !IsDigit(form[2]) || form[2] == '0') {
        return std::nullopt;
    }
    int width = 0;
    for (std::size_t i = 2; i + 1 < form.size(); ++i) {
        if (!IsDigit(form[i]) || width > MAX_FRAME_WIDTH) {
            return std::nullopt;
        }
        width = width * 10 + (form[i] - '0');
    }
    return width <= MAX_FRAME_WIDTH ? std::optional<int>(width) : std::nullopt;
}

std::string FramesOption(std::string_view whole) { return "--frames " + QuotedForMessage(whole) + ": "; }

const char EXPECTED_FRAMES[] =
    "expected FIRST-LAST, FIRST-LASTxSTEP, a single frame or a comma list of them, e.g. 1-48, 1-48x2 or 1,3,5-7";

// Negative frame numbers are refused rather than supported: printf's %04d
// writes -5 as "-005" while other tools write "-0005", so the files of such
// a sequence could not be named in a way every reader of them agrees on.
int ParseFrameNumber(std::string_view text, std::string_view whole) {
    const std::string option = FramesOption(whole);
    const std::string_view number = Trim(text);
    const std::size_t sign = !number.empty() && (number.front() == '-' || number.front() == '+') ? 1 : 0;
    if (number.size() == sign || number.find_first_not_of("0123456789", sign) != std::string_view::npos) {
        throw UsageError(option + EXPECTED_FRAMES);
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
        const std::size_t length = ConversionLength(path, i);
        if (length == 0) {
            literal += '%';  // not a conversion: an ordinary character
            continue;
        }
        // Any other conversion would have written something else in
        // printf, or nothing readable as a frame number: refused rather
        // than taken as a literal name.
        const std::string_view form = path.substr(i, length);
        const std::optional<int> width = FrameWidth(form);
        if (!width) {
            throw UsageError(QuotedForMessage(path) + ": " + QuotedForMessage(form) +
                             " is not a frame number this tool writes; it takes " + SUPPORTED_FORMS);
        }
        if (pattern) {
            throw UsageError(QuotedForMessage(path) + ": more than one frame number");
        }
        pattern = FramePattern();
        pattern->prefix_ = literal;
        pattern->width_ = *width;
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

namespace {

// One part of a frame list, `whole` being the entire option for messages.
FrameRange ParseFramePart(std::string_view text, std::string_view whole) {
    FrameRange range;
    const std::size_t step_mark = text.find('x');
    const std::string_view span = text.substr(0, step_mark);
    // Searched from the second character, so that "-3" is read as the
    // negative number it is and "5--3" as 5 to -3.
    const std::size_t dash = span.find('-', 1);
    if (dash == std::string_view::npos) {
        if (step_mark != std::string_view::npos) {
            throw UsageError(FramesOption(whole) + EXPECTED_FRAMES);
        }
        range.first = range.last = ParseFrameNumber(span, whole);
    } else {
        range.first = ParseFrameNumber(span.substr(0, dash), whole);
        range.last = ParseFrameNumber(span.substr(dash + 1), whole);
    }
    if (step_mark != std::string_view::npos) {
        range.step = ParseFrameNumber(text.substr(step_mark + 1), whole);
        if (range.step < 1) {
            throw UsageError(FramesOption(whole) + "the step after x must be at least 1");
        }
    }
    if (range.first > range.last) {
        throw UsageError(FramesOption(whole) + "FIRST is after LAST");
    }
    return range;
}

[[noreturn]] void RefuseFrameCount(std::string_view whole, std::int64_t count) {
    throw UsageError(FramesOption(whole) + std::to_string(count) + " frames; one run renders at most " +
                     std::to_string(MAX_FRAMES_PER_RUN) + " (split the range into several runs)");
}

}  // namespace

FrameRange ParseFrameRange(std::string_view text) {
    const FrameRange range = ParseFramePart(text, text);
    if (range.count() > MAX_FRAMES_PER_RUN) {
        RefuseFrameCount(text, range.count());
    }
    return range;
}

std::vector<int> ParseFrameList(std::string_view text) {
    std::vector<FrameRange> parts;
    std::int64_t total = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view part = text.substr(start, comma == std::string_view::npos ? comma : comma - start);
        parts.push_back(ParseFramePart(part, text));
        total += parts.back().count();
        // Checked as the parts come: a list of a million parts is refused
        // before it is all read.
        if (total > MAX_FRAMES_PER_RUN) {
            RefuseFrameCount(text, total);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    std::vector<int> frames;
    frames.reserve(static_cast<std::size_t>(total));
    for (const FrameRange &range : parts) {
        // Counted rather than compared with LAST: a range ending at the
        // largest int would otherwise wrap the counter and never end.
        for (std::int64_t i = 0; i < range.count(); ++i) {
            frames.push_back(static_cast<int>(range.first + i * range.step));
        }
    }
    // Two renders of one frame would write the same file at once.
    std::vector<int> sorted = frames;
    std::sort(sorted.begin(), sorted.end());
    const auto repeated = std::adjacent_find(sorted.begin(), sorted.end());
    if (repeated != sorted.end()) {
        throw UsageError(FramesOption(text) + "frame " + std::to_string(*repeated) +
                         " is named more than once; name each frame once");
    }
    return frames;
}

std::string FrameListText(const std::vector<int> &given, std::size_t max_runs) {
    // A list may be rendered in any order (--frames 10,1-5): its frames are
    // named ascending, so runs of them join up.
    std::vector<int> frames = given;
    std::sort(frames.begin(), frames.end());
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
