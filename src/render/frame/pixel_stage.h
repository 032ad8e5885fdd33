// What every pixel of a frame is rendered from: the frame's record, the
// accelerators planned for it, null where the frame goes without them, and
// where the frame's worlds lie in the layer. Read only, from any number of
// threads; the pixel callbacks' refcon.
#pragma once

#include <cstdint>

#include "pf_sdk.h"
#include "render/frame/pixel_format.h"
#include "render/frame/window_render_params.h"

namespace zonara {

struct GradeTables;
struct ConstantPowers;

// Where a world's pixel (0, 0) lies in the layer: worlds handed over for a
// part of a frame start there, and the window is placed in layer pixels.
// Either may be negative (a layer grown left or up by an earlier effect).
struct WorldOrigin {
    A_long left = 0;
    A_long top = 0;
};

// The layer position of a world's column or row. Summed wide and kept as
// the host's 32-bit coordinates keep it, wrapping beyond them exactly as the
// vector lanes' positions do, so that every path weights the same place.
constexpr A_long LayerPosition(A_long origin, std::int64_t world) {
    return static_cast<A_long>(static_cast<std::int64_t>(origin) + world);
}

struct PixelStage {
    const WindowRenderParams *record = nullptr;
    // Integer frames: each side's results per input code.
    const GradeTables *tables = nullptr;
    // Float frames: each side's fixed-exponent powers.
    const ConstantPowers *constant_powers = nullptr;
    // The layer pixel of the worlds' pixel (0, 0).
    WorldOrigin origin{};
    // Float frames: where each channel lies in a pixel.
    ChannelOrder float_order = ChannelOrder::BGRA;
};

}  // namespace zonara
