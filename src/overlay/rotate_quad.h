// Turning the window's corners by the window angle, in frame coordinates
// about the frame-space centre.
#pragma once

#include <cstdint>
#include <span>

#include "overlay/overlay_types.h"
#include "pf_sdk.h"

namespace zonara {

// Rotates the four points in place by angle radians (clockwise on screen
// for a positive angle). After Effects computes in double precision with the
// host's own sin and cos ("PF ANSI Suite", acquired for this call); Premiere
// Pro in single precision with the standard library's. Each result is
// truncated toward zero into 16.16.
//
// Each of `wide_points` is turned alike, with the same sine and cosine in
// the same precision, into `wide_turned` (as many): truncated toward zero
// but kept in 64 bits, not held at the 16.16 range, so that a midpoint of
// two of them is exact and only it need be held.
struct WidePoint {
    std::int64_t x = 0;
    std::int64_t y = 0;
};
void RotateQuad(const PF_InData *in_data, CornerQuad *quad, PF_FixedPoint centre, float angle,
                std::span<const PF_FixedPoint> wide_points = {}, std::span<WidePoint> wide_turned = {});

}  // namespace zonara
