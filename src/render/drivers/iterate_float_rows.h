// The row loop for 32-bit float buffers, for which the hosts offer no
// iterate suite.
#pragma once

#include <cstdint>

#include "pf_sdk.h"
#include "render/frame/float_row_span.h"

namespace zonara {

using FloatPixelCallback = PF_Err (*)(void *refcon, A_long x, A_long y, PF_PixelBGRA32f *in, PF_PixelBGRA32f *out);

// Rows and columns are limited to what the source and the destination both
// hold, so a smaller source or an extent hint taller than the buffers never
// leads outside them. Null data, a misaligned or an empty buffer gives an
// empty span.
FloatRowSpan FloatRowsToVisit(A_long first_row, A_long end_row, const PF_LayerDef *source,
                              const PF_LayerDef *destination);
// The same for pixels of pixel_bytes whose channels lie on `alignment`.
FloatRowSpan RowsToVisit(A_long first_row, A_long end_row, const PF_LayerDef *source, const PF_LayerDef *destination,
                         std::int64_t pixel_bytes, std::uintptr_t alignment);

// Calls pixel(x, y, in, out) for every pixel of the span, row by row, the
// buffers read as pixels of type Pixel (of either float channel order). A
// template, so that the pixel function is inlined into the loop.
template <class Pixel, class PixelFunction>
void WalkFloatRows(const FloatRowSpan &span, PixelFunction &&pixel) {
    for (std::int64_t y = span.first; y < span.end; ++y) {
        // Signed row distances, so bottom-up buffers work.
        auto *in = reinterpret_cast<Pixel *>(span.source_base + y * span.source_rowbytes);
        auto *out = reinterpret_cast<Pixel *>(span.destination_base + y * span.destination_rowbytes);
        for (std::int64_t x = 0; x < span.columns; ++x) {
            pixel(static_cast<A_long>(x), static_cast<A_long>(y), in + x, out + x);
        }
    }
}

// Calls callback for the pixels of rows first_row up to end_row, counted from
// each buffer's data, at x and y from 0, within FloatRowsToVisit. The
// callbacks' results are not examined; returns PF_Err_NONE.
PF_Err IterateFloatRows(A_long first_row, A_long end_row, const PF_LayerDef *source, void *refcon,
                        FloatPixelCallback callback, PF_LayerDef *destination);

}  // namespace zonara
