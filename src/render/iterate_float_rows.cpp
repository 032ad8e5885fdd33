#include "render/iterate_float_rows.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace zonara {
namespace {

constexpr std::int64_t FLOAT_PIXEL_BYTES = sizeof(PF_PixelBGRA32f);

// The number of whole pixels a buffer's rows can hold: its width, and no
// more than its row distance when several rows are used (rows closer than
// their width would overlap the next row or run past the last). A single
// row is bounded by its row distance too when the host gives one: a buffer
// of a narrower pixel format (a source not in the output's format) would
// otherwise be read far past its end.
std::int64_t UsableColumns(const PF_LayerDef &layer, std::int64_t rows) {
    std::int64_t columns = layer.width;
    if (rows > 1 || layer.rowbytes != 0) {
        const std::int64_t row_distance = std::abs(static_cast<std::int64_t>(layer.rowbytes));
        columns = std::min(columns, row_distance / FLOAT_PIXEL_BYTES);
    }
    return columns;
}

// Float pixels can only be read where floats may lie; a buffer whose start
// or row distance is not float-aligned holds some other format.
bool FloatAligned(const PF_LayerDef &layer) {
    constexpr std::uintptr_t ALIGNMENT = alignof(PF_PixelBGRA32f);
    return reinterpret_cast<std::uintptr_t>(layer.data) % ALIGNMENT == 0 &&
           static_cast<std::uintptr_t>(layer.rowbytes) % ALIGNMENT == 0;
}

}  // namespace

PF_Err IterateFloatRows(A_long first_row, A_long end_row, const PF_LayerDef *source, void *refcon,
                        FloatPixelCallback callback, PF_LayerDef *destination) {
    if (source == nullptr || destination == nullptr || callback == nullptr ||
        source->data == nullptr || destination->data == nullptr || !FloatAligned(*source) ||
        !FloatAligned(*destination)) {
        return PF_Err_NONE;
    }
    const std::int64_t first = std::max<std::int64_t>(first_row, 0);
    const std::int64_t end = std::min<std::int64_t>(
        {static_cast<std::int64_t>(end_row), source->height, destination->height});
    if (end <= first) return PF_Err_NONE;
    const std::int64_t columns =
        std::min(UsableColumns(*source, end), UsableColumns(*destination, end));
    if (columns <= 0) return PF_Err_NONE;

    auto *source_base = static_cast<std::uint8_t *>(source->data);
    auto *destination_base = static_cast<std::uint8_t *>(destination->data);
    for (std::int64_t y = first; y < end; ++y) {
        // Signed row distances, so bottom-up buffers work.
        auto *in = reinterpret_cast<PF_PixelBGRA32f *>(source_base + y * source->rowbytes);
        auto *out = reinterpret_cast<PF_PixelBGRA32f *>(destination_base + y * destination->rowbytes);
        for (std::int64_t x = 0; x < columns; ++x) {
            callback(refcon, static_cast<A_long>(x), static_cast<A_long>(y), in + x, out + x);
        }
    }
    return PF_Err_NONE;
}

}  // namespace zonara
