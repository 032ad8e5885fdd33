#include "render/drivers/iterate_float_rows.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace zonara {
namespace {

// The number of whole pixels a buffer's rows can hold: its width, and no
// more than its row distance when several rows are used (rows closer than
// their width would overlap the next row or run past the last). A single
// row is bounded by its row distance too when the host gives one: a buffer
// of a narrower pixel format (a source not in the output's format) would
// otherwise be read far past its end.
std::int64_t UsableColumns(const PF_LayerDef &layer, std::int64_t rows, std::int64_t pixel_bytes) {
    std::int64_t columns = layer.width;
    if (rows > 1 || layer.rowbytes != 0) {
        const std::int64_t row_distance = std::abs(static_cast<std::int64_t>(layer.rowbytes));
        columns = std::min(columns, row_distance / pixel_bytes);
    }
    return columns;
}

// Pixels can only be read where their channels may lie; a buffer whose
// start or row distance is not aligned for them holds some other format.
bool Aligned(const PF_LayerDef &layer, std::uintptr_t alignment) {
    return reinterpret_cast<std::uintptr_t>(layer.data) % alignment == 0 &&
           static_cast<std::uintptr_t>(layer.rowbytes) % alignment == 0;
}

}  // namespace

FloatRowSpan FloatRowsToVisit(A_long first_row, A_long end_row, const PF_LayerDef *source,
                              const PF_LayerDef *destination) {
    return RowsToVisit(first_row, end_row, source, destination, sizeof(PF_PixelBGRA32f), alignof(PF_PixelBGRA32f));
}

FloatRowSpan RowsToVisit(A_long first_row, A_long end_row, const PF_LayerDef *source, const PF_LayerDef *destination,
                         std::int64_t pixel_bytes, std::uintptr_t alignment) {
    FloatRowSpan span;
    if (source == nullptr || destination == nullptr || source->data == nullptr || destination->data == nullptr ||
        !Aligned(*source, alignment) || !Aligned(*destination, alignment)) {
        return span;
    }
    const std::int64_t first = std::max<std::int64_t>(first_row, 0);
    const std::int64_t end =
        std::min<std::int64_t>({static_cast<std::int64_t>(end_row), source->height, destination->height});
    if (end <= first) return span;
    const std::int64_t columns =
        std::min(UsableColumns(*source, end, pixel_bytes), UsableColumns(*destination, end, pixel_bytes));
    if (columns <= 0) return span;
    span.first = first;
    span.end = end;
    span.columns = columns;
    span.source_base = reinterpret_cast<std::uint8_t *>(source->data);
    span.destination_base = reinterpret_cast<std::uint8_t *>(destination->data);
    span.source_rowbytes = source->rowbytes;
    span.destination_rowbytes = destination->rowbytes;
    return span;
}

PF_Err IterateFloatRows(A_long first_row, A_long end_row, const PF_LayerDef *source, void *refcon,
                        FloatPixelCallback callback, PF_LayerDef *destination) {
    if (callback == nullptr) return PF_Err_NONE;
    WalkFloatRows<PF_PixelBGRA32f>(
        FloatRowsToVisit(first_row, end_row, source, destination),
        [&](A_long x, A_long y, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out) { callback(refcon, x, y, in, out); });
    return PF_Err_NONE;
}

}  // namespace zonara
