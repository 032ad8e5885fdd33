// What every pixel of a frame is rendered from: the frame's record and the
// accelerators planned for it, null where the frame goes without them. Read
// only, from any number of threads; the pixel callbacks' refcon.
#pragma once

#include "render/frame/window_render_params.h"

namespace zonara {

struct GradeTables;
struct ConstantPowers;

struct PixelStage {
    const WindowRenderParams *record = nullptr;
    // Integer frames: each side's results per input code.
    const GradeTables *tables = nullptr;
    // Float frames: each side's fixed-exponent powers.
    const ConstantPowers *constant_powers = nullptr;
};

}  // namespace zonara
