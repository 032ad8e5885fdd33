// Per-frame lookup tables for the integer formats. Where the weight is
// exactly 0 or 1 the grade is constant, so each channel's result depends on
// its input code alone: computing it once per code, with the very functions
// the per-pixel path uses, gives the same bits for a fraction of the cost of
// the powers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/accelerators/saturated_pixel_memo.h"
#include "render/frame/window_render_params.h"

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
    // An OUTPUT_CODES side whose every code comes back as it went in (the
    // identity grade): its pixels are copied without looking anything up.
    bool codes_unchanged[2] = {false, false};
    // Each code's value as the format decodes it, [code].
    const float *decoded = nullptr;

    // 8-bit frames only, and only when a side is GRADED_VALUES and the frame
    // is large enough (see AttachSaturationMemo); not allocated otherwise.
    SaturatedPixelMemo memo;

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

// Frames smaller than this render without the memo: clearing its 1 MB would
// cost more than it saves (a miss costs a hundred times a cleared entry).
constexpr std::size_t MEMO_WORTH_CLEARING_FROM_PIXELS = SaturatedPixelMemo::ENTRY_COUNT / 4;

// Adds the memo of finished pixels to 8-bit tables that have a GRADED_VALUES
// side, when a frame of pixel_count pixels is worth it. May throw
// std::bad_alloc.
void AttachSaturationMemo(std::size_t pixel_count, GradeTables &tables);

// Whether a frame of this many pixels is worth tables of code_count codes.
bool TablesPayOff(std::size_t pixel_count, int code_count);

}  // namespace zonara
