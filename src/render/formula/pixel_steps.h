// The pixel stage's steps for one pixel (see pixel_steps.inc, which the
// vector kernel includes into each level's namespace for its lanes).
#pragma once

#include <cmath>
#include <cstdint>

#include "render/formula/hot_inline.h"
#include "render/frame/window_render_params.h"

namespace zonara::steps {

ZONARA_HOT_INLINE float SquareRoot(float value) { return std::sqrt(value); }
ZONARA_HOT_INLINE bool AnyOf(bool mask) { return mask; }

#define ZONARA_STEP_INLINE ZONARA_HOT_INLINE
#include "render/formula/pixel_steps.inc"
#undef ZONARA_STEP_INLINE

}  // namespace zonara::steps
