// One pixel of a 32-bit float buffer, in either channel order, inline so
// that the effect's own row loop can take it in whole (the callback
// RenderPixelBgra32f is the same function behind the iterate-shaped
// signature). x and y are layer positions.
#pragma once

#include <cstring>

#include "pf_sdk.h"
#include "render/formula/color_grade.h"
#include "render/formula/hot_inline.h"
#include "render/formula/pixel_steps.h"
#include "render/frame/window_render_params.h"

namespace zonara {

// Pixel: PF_PixelBGRA32f or PF_PixelFloat, whose channels differ only in
// their places.
template <class Pixel>
ZONARA_HOT_INLINE void RenderFloatPixel(const WindowRenderParams &record, A_long x, A_long y, const Pixel *in,
                                        Pixel *out) {
    // Alpha travels bit for bit, not-a-number payloads included.
    float alpha_bits;
    std::memcpy(&alpha_bits, &in->alpha, sizeof alpha_bits);
    FloatPixel source{in->alpha, in->red, in->green, in->blue};
    steps::ClampSourceBlack(record, source);
    const FloatPixel result = GradePixelAtWeight(record, FrameWeight(record, x, y), source);
    out->blue = result.blue;
    out->green = result.green;
    out->red = result.red;
    std::memcpy(&out->alpha, &alpha_bits, sizeof alpha_bits);
}

}  // namespace zonara
