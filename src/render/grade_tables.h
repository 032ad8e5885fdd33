// Per-frame lookup tables for the integer formats. Where the weight is
// exactly 0 or 1 the grade is constant, so each channel's result depends on
// its input code alone: computing it once per code, with the very functions
// the per-pixel path uses, gives the same bits for a fraction of the cost of
// the powers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/window_render_params.h"

namespace zonara {

enum class SideTableKind : std::uint8_t {
    // Channels are independent (no saturation): the output code per input
    // code, the whole pixel stage folded in.
    OUTPUT_CODES,
    // Saturation mixes the channels: the graded value per input code; the
    // saturation, Mix and clamps still run per pixel.
    GRADED_VALUES,
};

struct GradeTables {
    int code_count = 0;  // MAX_CODE + 1 of the format
    SideTableKind kind[2] = {SideTableKind::OUTPUT_CODES, SideTableKind::OUTPUT_CODES};
    // Indexed [channel * code_count + code]; the pointer of the side's kind
    // is set, the other is null.
    const std::uint16_t *output_codes[2] = {nullptr, nullptr};
    const float *graded_values[2] = {nullptr, nullptr};
    // Each code's value as the format decodes it, [code].
    const float *decoded = nullptr;

    std::vector<std::uint16_t> code_storage;
    std::vector<float> value_storage;
    std::vector<float> decoded_storage;
};

// Frames smaller than this many pixels per table entry render without
// tables: building them would cost more than it saves.
constexpr std::size_t PIXELS_PER_TABLE_ENTRY_WORTH_BUILDING = 8;

// Fills tables for the 8-bit or 16-bit codes from the record (which must
// not yet point at them). Allocates at most 7 * 32769 floats.
void BuildGradeTables8(const WindowRenderParams &record, GradeTables &tables);
void BuildGradeTables16(const WindowRenderParams &record, GradeTables &tables);

// Whether a frame of this many pixels is worth tables of code_count codes.
bool TablesPayOff(std::size_t pixel_count, int code_count);

}  // namespace zonara
