// The zonara tool's ASC CDL reader, fed arbitrary bytes as a file's
// content: it must either refuse them with a usage error or give
// corrections whose values, once taken for either side, lie within the
// effect's ranges; and a correction it read, written back out, must read
// back with the same numbers.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "declared_catalog.h"
#include "fuzz_session.h"
#include "shell/entry_point.h"
#include "tools/base/tool_error.h"
#include "tools/params/cdl_file_reader.h"
#include "tools/params/cdl_file_writer.h"
#include "tools/params/side_grade.h"

namespace {

using namespace zonara_tool;

// A collection may hold many corrections; the checks below need only a few.
constexpr std::size_t MAX_CHECKED_CORRECTIONS = 8;

[[noreturn]] void Fail(const char *what) {
    std::fprintf(stderr, "zonara_fuzz_cdl: %s\n", what);
    std::abort();
}

void CheckInRange(const std::vector<ParamValue> &values) {
    for (const ParamValue &value : values) {
        if (value.kind != ValueKind::kSlider) {
            continue;
        }
        for (const ParamCatalog::Entry &entry : zonara_fuzz::DeclaredCatalog().entries()) {
            if (entry.index == value.index &&
                !(value.number >= entry.def.u.fs_d.valid_min && value.number <= entry.def.u.fs_d.valid_max)) {
                Fail("a value outside the effect's range was let through");
            }
        }
    }
}

// The writer promises the single-precision value the effect renders with,
// not every digit of a double.
bool SameSingles(const std::array<double, CDL_CHANNELS> &a, const std::array<double, CDL_CHANNELS> &b) {
    for (int k = 0; k < CDL_CHANNELS; ++k) {
        if (static_cast<float>(a[k]) != static_cast<float>(b[k])) {
            return false;
        }
    }
    return true;
}

void CheckWrittenBack(const CdlCorrection &correction) {
    const std::string text = FormatCdlDocument(correction, CdlFileKind::kDecisionList);
    const std::vector<CdlCorrection> back = ParseCdlDocument(text, "written");
    if (back.size() != 1 || !SameSingles(back[0].slope, correction.slope) ||
        !SameSingles(back[0].offset, correction.offset) || !SameSingles(back[0].power, correction.power) ||
        static_cast<float>(back[0].saturation) != static_cast<float>(correction.saturation)) {
        Fail("a correction written out read back with other numbers");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    std::vector<CdlCorrection> corrections;
    try {
        corrections = ParseCdlDocument(text, "input.ccc");
    } catch (const ToolError &error) {
        if (error.exit_status() != EXIT_USAGE) {
            Fail("a damaged file was not reported as the user's input problem");
        }
        return 0;
    }
    if (corrections.empty()) {
        Fail("a file without corrections was accepted");
    }
    for (std::size_t i = 0; i < corrections.size() && i < MAX_CHECKED_CORRECTIONS; ++i) {
        const CdlCorrection &correction = corrections[i];
        try {
            (void)SelectCdlCorrection(corrections, correction.id, "input.ccc");
        } catch (const ToolError &) {
            // An id given twice, or none: the selection may refuse.
        }
        // Every correction, with an id or without, is reached by its position.
        const CdlCorrection by_position =
            SelectCdlCorrection(corrections, "[" + std::to_string(i + 1) + "]", "input.ccc");
        if (by_position.id != correction.id || !SameSingles(by_position.slope, correction.slope)) {
            Fail("a position picked another correction");
        }
        CheckWrittenBack(correction);
        for (const GradeSide side : {zonara::SIDE_INSIDE, zonara::SIDE_OUTSIDE}) {
            std::vector<std::string> warnings;
            try {
                CheckInRange(
                    GradeFromCorrection(correction, side, zonara_fuzz::DeclaredCatalog(), "input.ccc", warnings));
            } catch (const ToolError &error) {
                if (error.exit_status() != EXIT_USAGE) {
                    Fail("an out-of-range value was not reported as the user's input problem");
                }
            }
        }
    }
    return 0;
}
