// The row loop for Premiere Pro's 32-bit float BGRA buffers, for which the
// host offers no iterate suite.
#pragma once

#include "pf_sdk.h"

namespace zonara {

using FloatPixelCallback = PF_Err (*)(void *refcon, A_long x, A_long y, PF_PixelBGRA32f *in,
                                      PF_PixelBGRA32f *out);

// Calls callback for the pixels of rows first_row up to end_row, counted from
// each buffer's data, at x and y from 0. Only pixels that both buffers hold
// are visited: rows and columns are limited to what the source and the
// destination both have, so a smaller source or an extent hint taller than
// the buffers never leads outside them. Null data or an empty buffer visits
// nothing. The callbacks' results are not examined; returns PF_Err_NONE.
PF_Err IterateFloatRows(A_long first_row, A_long end_row, const PF_LayerDef *source, void *refcon,
                        FloatPixelCallback callback, PF_LayerDef *destination);

}  // namespace zonara
