// The zonara tool's text inputs fed arbitrary bytes: a preset file, a
// --frames list, an output pattern and a --set assignment, the first byte
// choosing which. Each must be refused as a usage error or give a result
// within the tool's bounds: values inside the effect's ranges, frames 0 to
// the largest int, at most a million and none twice, a pattern naming one
// file per frame. Any other exception (out of memory among them) is a fault:
// the inputs are small, so nothing they say may make the tool allocate
// without bound, and libFuzzer's own limits report the allocation itself.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "declared_catalog.h"
#include "fuzz_session.h"
#include "shell/entry_point.h"
#include "tools/base/tool_error.h"
#include "tools/commands/frame_pattern.h"
#include "tools/params/param_values.h"
#include "tools/params/preset_file.h"

namespace {

using namespace zonara_tool;

enum class TextInput { kPreset, kFrames, kPattern, kAssignment, kCount };

[[noreturn]] void Fail(const char *what) {
    std::fprintf(stderr, "zonara_fuzz_text: %s\n", what);
    std::abort();
}

void CheckInRange(const ParamValue &value) {
    for (const ParamCatalog::Entry &entry : zonara_fuzz::DeclaredCatalog().entries()) {
        if (entry.index != value.index) {
            continue;
        }
        const bool slider_ok = value.kind != ValueKind::kSlider || (value.number >= entry.def.u.fs_d.valid_min &&
                                                                    value.number <= entry.def.u.fs_d.valid_max);
        const bool popup_ok =
            value.kind != ValueKind::kPopup || (value.choice >= 1 && value.choice <= entry.def.u.pd.num_choices);
        const bool point_ok =
            value.kind != ValueKind::kPoint || (std::abs(value.x) <= FIXED_LIMIT && std::abs(value.y) <= FIXED_LIMIT);
        if (!slider_ok || !popup_ok || !point_ok) {
            Fail("a value outside the effect's range was let through");
        }
        return;
    }
    Fail("a value for no settable parameter was let through");
}

void CheckFrames(const std::vector<int> &frames) {
    if (frames.empty() || static_cast<std::int64_t>(frames.size()) > MAX_FRAMES_PER_RUN) {
        Fail("a frame list of no frames or of too many was accepted");
    }
    std::vector<int> sorted = frames;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.front() < 0 || std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
        Fail("a frame list with a negative frame or a frame twice was accepted");
    }
}

void CheckPattern(std::string_view text) {
    const auto pattern = FramePattern::Parse(text);
    if (!pattern) {
        return;
    }
    // Distinct frames must name distinct files, or a sequence overwrites
    // its own frames.
    const int frames[] = {0, 7, 70, std::numeric_limits<int>::max()};
    for (std::size_t i = 0; i + 1 < std::size(frames); ++i) {
        if (pattern->Format(frames[i]) == pattern->Format(frames[i + 1])) {
            Fail("two frames of a pattern name the same file");
        }
    }
}

void Read(TextInput input, const std::string &text) {
    switch (input) {
    case TextInput::kPreset:
        for (const ParamValue &value : ParsePreset(text, "fuzz.json", zonara_fuzz::DeclaredCatalog())) {
            CheckInRange(value);
        }
        break;
    case TextInput::kFrames:
        CheckFrames(ParseFrameList(text));
        break;
    case TextInput::kPattern:
        CheckPattern(text);
        break;
    default:
        CheckInRange(zonara_fuzz::DeclaredCatalog().ParseAssignment(text));
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto input = static_cast<TextInput>(data[0] % static_cast<std::uint8_t>(TextInput::kCount));
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    try {
        Read(input, text);
    } catch (const ToolError &error) {
        if (error.exit_status() != EXIT_USAGE) {
            Fail("text the user gave was refused as something other than the user's problem");
        }
    } catch (...) {
        Fail("text the user gave ended in an exception other than a refusal");
    }
    return 0;
}
